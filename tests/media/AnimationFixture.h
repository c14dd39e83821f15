#pragma once

// The animation tests' game folder: the renderer on a recording device, the recording audio
// layer, and a sheet and a picture to cut frames from.

#include "engine/FileSystem.h"
#include "engine/Random.h"
#include "platform/audio/AudioLayer.h"
#include "platform/audio/RecordingAudio.h"
#include "tests/media/MediaTestSupport.h"

#include <string>
#include <vector>

class AnimationTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo"); // none: forgets the pack of an earlier test
        InitRenderer();
        SetAudioLayer(&audio);
        audio.Open();
        SeedRandom(1);
        folder.Write("sheet.png", PngFile(SolidImage(256, 128, 0xFF808080u)));
        folder.Write("pic.png", PngFile(SolidImage(64, 32, 0xFF808080u)));
    }

    void TearDown() override {
        // The cached sound sets free their samples on the recording layer while it is in place.
        RecordingMediaTest::TearDown();
        SetAudioLayer(nullptr);
    }

    void Write(const std::string& name, const std::string& text) const { folder.Write(name, text); }

    // The files of the samples played, in order (the tests' sound files hold their own names).
    std::vector<std::string> PlayedFiles() const {
        std::vector<std::string> files;
        for (const AudioId sample : audio.PlayedSamples()) {
            for (const RecordingAudio::Sample& loaded : audio.Samples()) {
                if (loaded.id == sample) {
                    files.emplace_back(loaded.bytes.begin(), loaded.bytes.end());
                }
            }
        }
        return files;
    }

    RecordingAudio audio;
};
