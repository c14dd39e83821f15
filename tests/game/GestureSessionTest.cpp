// The real orvexgame at the hermitage's inner room, started there by its configuration with a
// profile the test made (the wand and the chromatic lens handed out earlier in the demo): a
// scripted player picks the wand on the bar inside the slab's game and draws through its tutorial
// and the game; another draws the star sign through the telescope and the square of the rune in
// the beam. What the player keeps (the profile: flags and energy, each game rewarded once), what
// the player sees (a stroke's trail, the room after) and the exit status.

#include "engine/Application.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kRoom = "z1-hermitage-in";

class GestureSession : public testing::Test {
protected:
    void SetUp() override {
        fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\" << kRoom << ".txt\")\n";
    }

    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // One run of a session script, ending at that pass; pictures (pass, name) into the folder.
    int Run(const std::string& script, const std::vector<std::pair<int, std::string>>& pictures,
            int end) {
        std::string screenshots;
        for (const auto& [pass, name] : pictures) {
            screenshots +=
                (screenshots.empty() ? "" : ";") + std::to_string(pass) + ":" + Picture(name);
        }
        return RunProgram(ScriptedSession(game, folder / "profile", "orvex-gesture",
                                          std::string(ORVEX_TEST_SESSIONS) + "/" + script,
                                          screenshots, end));
    }

    // Where a picture is taken: the test's folder, or GESTURE_PICTURES to keep them.
    std::string Picture(const std::string& name) const {
        const char* keep = std::getenv("GESTURE_PICTURES");
        return (keep != nullptr ? std::string(keep) : std::string(folder / "")) + name;
    }

    // The profile as the run left it.
    Player& Profile() { return ReadSessionProfile(saves); }

    static std::string Here(const char* flag) { return std::string(kRoom) + ":" + flag; }

    TempFolder folder;
    const std::string game = folder / "game";
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
};

TEST_F(GestureSession, TheWandPickedInTheSlabsGameDrawsThroughItsTutorialAndWinsItOnce) {
    ASSERT_TRUE(MakeSessionProfile(saves));
    ASSERT_EQ(Run("hermitage_gesture_tutorial.txt", {{1290, "gesture_trail.png"}}, 2100), 0);
    Player& player = Profile();
    EXPECT_EQ(player.GetFlag("global:tutorial_gesture_completed"), 1);
    EXPECT_EQ(player.GetFlag(Here("minigame1_completed")), 1);
    // The star sign's own flag is not the slab's.
    EXPECT_EQ(player.GetFlag(Here("gestures_completed")), 0);
    // The won game's reward, once: the slab, clicked again, opens nothing.
    EXPECT_EQ(player.GetEnergy(), 1);
    // Looked at: the slab with the sort, row and column runes lit, the flash's pop-up above, and
    // the trail of the flash stroke glowing behind the wand's cursor.
    ExpectLooksLikeReference(Picture("gesture_trail.png"), "gesture_trail.png");
}

TEST_F(GestureSession, TheStarSignAndTheRuneInTheBeamEachRewardOnce) {
    // After the slab's game: its tutorial done and its game won.
    ASSERT_TRUE(MakeSessionProfile(
        saves, {{"global", "tutorial_gesture_completed"}, {kRoom, "minigame1_completed"}}));
    ASSERT_EQ(Run("hermitage_gesture_rune.txt", {{1100, "gesture_room.png"}}, 1120), 0);
    Player& player = Profile();
    EXPECT_EQ(player.GetFlag(Here("minigame1_completed")), 1);
    EXPECT_EQ(player.GetFlag(Here("gestures_completed")), 1);
    EXPECT_EQ(player.GetFlag(Here("lens_rune_killed")), 1);
    // The star sign's own energy and its won game's, once (the chart, clicked again, opens
    // nothing); the rune's one, once (its square drawn twice).
    EXPECT_EQ(player.GetEnergy(), 3);
    // Looked at: the room after, the slab and the star chart gone with their games won, the rune
    // in the beam where it was (it goes when the room is next entered).
    ExpectLooksLikeReference(Picture("gesture_room.png"), "gesture_room.png");
}

} // namespace
