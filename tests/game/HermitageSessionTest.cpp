// The real orvexgame at the hermitage's inner room, started there by its configuration with a
// profile the test made (the wand and the chromatic lens handed out earlier in the demo): a
// scripted player wins the organ's rhythm game with a music sheet, searches the sky, finds the
// filter's glyph and forges the rod. What the player keeps (the profile) and sees (the room, the
// glyph) and the exit status.

#include "engine/Application.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class HermitageSession : public testing::Test {
protected:
    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // One run of a session script on the game folder and the profile, ending at that pass.
    int Run(const std::string& script, const std::string& screenshots, int end) {
        return RunProgram(ScriptedSession(game, folder / "profile", "orvex-hermitage",
                                          std::string(ORVEX_TEST_SESSIONS) + "/" + script,
                                          screenshots, end));
    }

    TempFolder folder;
    std::string game;
};

TEST_F(HermitageSession, APlayerInTheHermitageWinsItsOrganForgeAndTelescopesViews) {
    // A game folder of the test's own: the demo's, started in the hermitage.
    game = folder / "game";
    fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
    {
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\z1-hermitage-in.txt\")\n";
    }
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
    ASSERT_TRUE(MakeSessionProfile(saves));

    const char* keep = std::getenv("HERMITAGE_PICTURES");
    const std::string pictures = keep != nullptr ? keep : std::string(folder / "");
    ASSERT_EQ(Run("hermitage_games.txt",
                  "40:" + pictures + "room.png;1790:" + pictures + "glyph.png;2680:" + pictures +
                      "rod.png",
                  2730),
              0);
    const std::string flags = ReadFileBytes(saves + "0.pla");
    for (const char* flag :
         {"(z1-hermitage-in:organ_game_music_sheet_completed 1)", "(z1-hermitage-in:OrganGame 1)",
          "(z1-hermitage-in:telescope_completed 1)", "(z1-hermitage-in:telescope_view_completed 1)",
          "(z1-hermitage-in:forging_rod_completed 1)", "multitool_rod"}) {
        EXPECT_THAT(flags, ::testing::HasSubstr(flag));
    }
    // Looked at: the room with the organ, the slab, the glasses, the telescope, the anvil, the
    // things to find and the rune in the beam (the star chart comes once the slab's game is won);
    // the sky through the cyan glass with the flash shown; the room at the end, the anvil,
    // telescope and glasses gone with their games won, the rod in the bar and two map pieces
    // counted.
    ExpectLooksLikeReference(pictures + "room.png", "hermitage_room.png");
    ExpectLooksLikeReference(pictures + "glyph.png", "hermitage_glyph.png");
    ExpectLooksLikeReference(pictures + "rod.png", "hermitage_rod.png");
}

} // namespace
