#pragma once

// A game folder with the file layer on its "data" folder, a player-file folder of its own, the
// sound manager up on the recording audio layer, the world's globals fresh, and hooks that
// journal what the world asks of the layers above it.

#include "tests/media/RecordedSound.h"
#include "tests/world/FakeWorld.h"
#include "world/Level.h"
#include "world/Player.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Every world global back to its start-up state.
void ResetWorldGlobals();

// For a run of the real program: the player's profile "Ann" made in slot 0 of the player-file
// folder saves, holding the wand and the chromatic lens and with these (scope, name) flags set;
// the world's globals are then fresh again. False when it could not be made.
bool MakeSessionProfile(const std::string& saves,
                        const std::vector<std::pair<std::string, std::string>>& flags = {});
// The profile in slot 0 of saves as the run left it, read anew; the current player.
Player& ReadSessionProfile(const std::string& saves);

class WorldTest : public RecordedSound {
protected:
    void SetUp() override;
    // Hooks that journal into hookCalls.
    void InstallHooks();
    void TearDown() override;

    // The player-file folder followed by "/" and the name.
    std::string Players(std::string_view name) const;
    // The bytes of a player file.
    std::string PlayerBytes(std::string_view name) const;
    void WritePlayerBytes(std::string_view name, std::string_view bytes) const;
    bool PlayerFileExists(std::string_view name) const;
    // The player file's names in the folder, sorted.
    std::vector<std::string> PlayerFolder() const;

    // The world's globals fresh and the player-file folder empty, for the next case of a table.
    void StartAgain();
    // A profile made in the slot and current.
    Player& MakeProfile(int slot, const std::string& name);
    // The game level, loaded (its systems and definitions), and GameLevel.
    Level& MakeGameLevel();
    // A scene file "levels/<name>.txt" whose Meta gives its Name, levelPath and Type.
    void WriteScene(const std::string& name, const std::string& type = "normal");
    // The picture of an item that can be held.
    void WriteItemArt(const std::string& item);

    std::string playerFolder;
    std::vector<std::string> hookCalls;
    std::unique_ptr<Level> gameLevel;
};

// Text with "\n" line breaks as it lies on disk, with CR LF.
std::string OnDisk(std::string_view text);
