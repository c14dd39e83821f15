// The real orvexgame in the demo's workshop, started there by its configuration, in three runs on
// one profile: the map pieces found and the block chest won; the picture in pieces restored; the
// maze box won and, with all ten map pieces, the map put together on the world map's table. What
// the player keeps (the flags, the energy, no map pieces left) and what the player saw.

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

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using ::testing::HasSubstr;
using ::testing::Not;

// The passes of the sessions' pictures and ends.
constexpr int kChestEnd = 1100;
constexpr int kRestoredPass = 1930;
constexpr int kPictureEnd = 2150;
constexpr int kAssembledPass = 1430;
constexpr int kHudPass = 1900;
constexpr int kMapEnd = 1910;

class WorkshopSession : public testing::Test {
protected:
    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // "Ann" in slot 0, as the game makes her, come the way to the workshop: the wood's map piece
    // in hand and the barrow's first-visit dialogues heard (the map run ends at the barrow).
    void MakeProfile() {
        fs::create_directories(saves);
        App.saveFolder = saves;
        ASSERT_TRUE(CreatePlayerFileFolder());
        ASSERT_TRUE(Player::CreateProfile(0, "Ann"));
        ASSERT_TRUE(Player::SelectProfile(0));
        CurrentPlayer->SetFlag("z1-wood-glyphstone", "map_piece1_killed", 1);
        CurrentPlayer->AddMapPieces(1, true);
        CurrentPlayer->SetFlag("z1-barrow-out", "dialog1_killed", 1);
        CurrentPlayer->SetFlag("z1-barrow-out", "glyphstone_hint_killed", 1);
        ASSERT_TRUE(CurrentPlayer->Save());
        ResetWorldGlobals();
    }

    // A game folder of the test's own: the demo's, started in the workshop.
    void MakeGameFolder() {
        fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\z2-workshop.txt\")\n";
    }

    int Run(const std::string& script, const std::string& screenshots, int end) {
        return RunProgram(ScriptedSession(game, folder / "profile", "orvex-workshop",
                                          std::string(ORVEX_TEST_SESSIONS) + "/" + script,
                                          screenshots, end));
    }

    std::string Profile() const { return ReadFileBytes(saves + "0.pla"); }

    TempFolder folder;
    const std::string game = folder / "game";
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
};

TEST_F(WorkshopSession, TheThreeGamesAreWonAndTheMapIsPutTogether) {
    MakeProfile();
    MakeGameFolder();

    ASSERT_EQ(Run("workshop_chest.txt", "", kChestEnd), 0);
    EXPECT_THAT(Profile(), HasSubstr("(z2-workshop:minigame1_completed 1)"));
    EXPECT_THAT(Profile(), HasSubstr("(mapPieces\r\n10\r\n )"));

    ASSERT_EQ(Run("workshop_picture.txt",
                  std::to_string(kRestoredPass) + ":" + folder / "restored.png", kPictureEnd),
              0);
    EXPECT_THAT(Profile(), HasSubstr("(z2-workshop:switchpuzzle_completed 1)"));

    ASSERT_EQ(Run("workshop_maze_map.txt",
                  std::to_string(kAssembledPass) + ":" + folder / "assembled.png;" +
                      std::to_string(kHudPass) + ":" + folder / "hud.png",
                  kMapEnd),
              0);

    // Three games with a completion flag; the maze without one; each of the four rewarded with a
    // unit of energy as it ends won; the ten map pieces used up by the map.
    const std::string profile = Profile();
    for (const char* flag :
         {"(z2-workshop:minigame1_completed 1)", "(z2-workshop:switchpuzzle_completed 1)",
          "(map_metal:minigame4_completed 1)"}) {
        EXPECT_THAT(profile, HasSubstr(flag));
    }
    EXPECT_THAT(profile, Not(HasSubstr("maze_completed")));
    EXPECT_THAT(profile, HasSubstr("(energy\r\n4\r\n )"));
    EXPECT_THAT(profile, HasSubstr("(mapPieces\r\n0\r\n )"));

    // Looked at: the windmill picture whole in its frame; the map of the metal lands whole on the
    // table; the barrow with the HUD's map display and no count under it.
    ExpectLooksLikeReference(folder / "restored.png", "workshop_picture.png");
    ExpectLooksLikeReference(folder / "assembled.png", "workshop_map.png");
    ExpectLooksLikeReference(folder / "hud.png", "workshop_hud.png");
}

} // namespace
