#pragma once

// A game folder of its own ("data", "config.txt" beside it) that the test works in, a profile
// folder of its own through XDG_DATA_HOME, the recording graphics and audio layers, a
// single-instance name of its own, message boxes answered unseen, and every global that
// start-up touches back to a normal start before and after.

#include "platform/audio/RecordingAudio.h"
#include "platform/gfx/RecordingDevice.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

// Start-up's and the game's globals back to a normal start; the game window closed.
void ResetGameGlobals();

class GameTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The globals back to a normal start and the test's seams again, for the next case of a
    // table.
    void StartAgain();
    // A file under the game folder's "data".
    void WriteData(std::string_view name, std::string_view bytes) const;
    // "config.txt" beside "data", found as "data/../config.txt".
    void WriteConfig(std::string_view settings) const;
    // The folder that XDG_DATA_HOME names.
    std::string ProfileFolder() const { return folder / "profile"; }
    // The save folder under it.
    std::string SaveFolder() const;
    std::string InstanceName() const { return instanceName; }

    TempFolder folder{TempFolder::Enter::No};
    std::unique_ptr<TempFolder> game; // the current folder while the test runs
    std::unique_ptr<ScopedEnvironment> xdg;
    RecordingScript script;
    RecordingAudio audio;
    std::string instanceName;
};
