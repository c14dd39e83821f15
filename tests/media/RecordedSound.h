#pragma once

#include "engine/FileSystem.h"
#include "engine/Random.h"
#include "platform/audio/AudioLayer.h"
#include "platform/audio/RecordingAudio.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

// Runs a test in a game folder of its own ("data" beside an optional "pack.boo"), with the
// recording audio layer in place of the real one, open, and the random generator seeded.
class RecordedSound : public testing::Test {
protected:
    void SetUp() override {
        folder.MakeFolder("data");
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo"); // none yet: forgets the pack of an earlier test
        SetAudioLayer(&audio);
        audio.Open();
        SeedRandom(1);
    }
    void TearDown() override { SetAudioLayer(nullptr); }

    void WriteData(const std::string& name, const std::string& bytes) const {
        folder.Write("data/" + name, bytes);
    }

    // The bytes a sample was loaded from, as text (the test's files are text).
    std::string SampleFile(AudioId sample) const {
        for (const RecordingAudio::Sample& loaded : audio.Samples()) {
            if (loaded.id == sample) {
                return std::string(loaded.bytes.begin(), loaded.bytes.end());
            }
        }
        return "(no sample " + std::to_string(sample) + ")";
    }

    // The files of the samples played, in order.
    std::vector<std::string> PlayedFiles() const {
        std::vector<std::string> files;
        for (const AudioId sample : audio.PlayedSamples()) {
            files.push_back(SampleFile(sample));
        }
        return files;
    }

    TempFolder folder{TempFolder::Enter::Yes};
    RecordingAudio audio;
};
