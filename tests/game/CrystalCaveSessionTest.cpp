// The real orvexgame at the demo's crystal cave, started there by its configuration, in short runs
// on one profile the test made (with the wand, which the player found in the wood): a wrong
// crystal set into the altar and both crystals given back; the lamps lit and the altar won; the
// two pictures and the mirror hall won. What the player keeps (the profile), what the player saw
// (the lit cave, the beam through both crystals) and the exit status.

#include "engine/Application.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"
#include "ui/hud/UIPermanentSlots.h"
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

constexpr const char* kCave = "z2-crystal-cave";

class CrystalCaveSession : public testing::Test {
protected:
    void SetUp() override {
        game = folder / "game";
        fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\z2-crystal-cave.txt\")\n";
        saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
        MakeProfile();
    }

    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // The player's profile "Ann" in slot 0, made as the game makes it, holding the wand.
    void MakeProfile() {
        fs::create_directories(saves);
        App.saveFolder = saves;
        ASSERT_TRUE(CreatePlayerFileFolder());
        ASSERT_TRUE(Player::CreateProfile(0, "Ann"));
        CurrentPlayer->SetPermanentCount(1, Tools::kWand);
        ResetWorldGlobals();
    }

    // One run of the session script until the pass end, with screenshots "PASS:FILE;...".
    int Run(const std::string& script, const std::string& screenshots, int end) {
        return RunProgram(ScriptedSession(game, folder / "profile", "orvex-crystal-cave",
                                          std::string(ORVEX_TEST_SESSIONS) + "/" + script,
                                          screenshots, end));
    }

    // The profile as the runs left it.
    Player& Profile() { return ReadSessionProfile(saves); }
    int32_t CaveFlag(const std::string& name) {
        return Profile().GetFlag(std::string(kCave) + ":" + name);
    }

    TempFolder folder;
    std::string game;
    std::string saves;
};

// Three runs on one profile, each a short one: the wrong crystal, the lamps and the altar, the
// pictures and the mirror hall. Looked at: the cave with both lamps burning and the altar still
// empty; the two pictures with the sun set into the right one and the tree and the boat still on
// the shelf, opened while the darkness of the lamps, lit before, still lifts; the mirror hall with
// the beam running up from the light, right through the first crystal and down through the
// second.
TEST_F(CrystalCaveSession, TheLampsAndTheThreeGamesAreWonAndAWrongCrystalIsGivenBack) {
    const std::string player = saves + "0.pla";

    ASSERT_EQ(Run("crystal_cave_wrong.txt", "", 800), 0);
    {
        const std::string kept = ReadFileBytes(player);
        EXPECT_THAT(kept, HasSubstr("(z2-crystal-cave:crystals_completed 0)"));
        EXPECT_THAT(kept, HasSubstr("(z2-crystal-cave:crystal_red1_killed 1)"));
        EXPECT_THAT(kept, HasSubstr("(z2-crystal-cave:crystal_blue1_killed 1)"));
        // Both crystals back in the bar, as they were when the altar opened.
        const std::size_t start = kept.find("(inventory");
        const std::string bar = kept.substr(start, kept.find("(inventoryBack") - start);
        EXPECT_THAT(bar, HasSubstr("(slot 0 crystal_blue1 1)"));
        EXPECT_THAT(bar, HasSubstr("(slot 1 crystal_red1 1)"));
    }

    ASSERT_EQ(Run("crystal_cave_lamps.txt", "480:" + folder / "lit.png", 1100), 0);
    ASSERT_EQ(Run("crystal_cave_games.txt",
                  "330:" + folder / "pictures.png;1150:" + folder / "beam.png", 1400),
              0);

    Player& kept = Profile();
    for (const char* flag :
         {"candle_killed", "lamp_candle_killed", "lamp_wand_killed", "cave_lamps_killed",
          "crystals_completed", "minigame2_completed", "minigame3_completed"}) {
        EXPECT_EQ(CaveFlag(flag), 1) << flag;
    }
    // One energy for the lamps and one for each game; the candle and the crystals used up.
    EXPECT_EQ(kept.GetEnergy(), 4);
    for (const char* item : {"candle", "crystal_red1", "crystal_blue1"}) {
        EXPECT_EQ(kept.CountItem(item), 0) << item;
    }
    ExpectLooksLikeReference(folder / "lit.png", "crystal_cave_lit.png");
    ExpectLooksLikeReference(folder / "pictures.png", "crystal_cave_pictures.png");
    ExpectLooksLikeReference(folder / "beam.png", "crystal_cave_beam.png");
}

} // namespace
