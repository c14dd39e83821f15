// The real orvexgame at the demo's sealed gate, started there by its configuration with a profile
// the test made: a scripted player opens both mini-games by their seals, wins them and comes back;
// what the player keeps (the profile), what the player saw (the watered pipes, the gate without
// its seals) and the exit status.

#include "engine/Application.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The passes of the session "puzzle_gate.txt".
constexpr int kWateredPass = 448;
constexpr int kOpenGatePass = 1380;
constexpr int kEndPass = 1400;

class PuzzleGateSession : public testing::Test {
protected:
    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // The player's profile "Ann" in slot 0, made as the game makes it, in the save folder under
    // the profile folder.
    void MakeProfile(const std::string& saves) {
        fs::create_directories(saves);
        App.saveFolder = saves;
        ASSERT_TRUE(CreatePlayerFileFolder());
        ASSERT_TRUE(Player::CreateProfile(0, "Ann"));
        ResetWorldGlobals();
    }

    TempFolder folder;
};

TEST_F(PuzzleGateSession, APlayerAtTheGateWinsBothGamesAndKeepsThem) {
    // A game folder of the test's own: the demo's, started at the gate.
    const std::string game = folder / "game";
    fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
    {
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\z1-puzzlegate.txt\")\n";
    }
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
    MakeProfile(saves);

    ProgramRun run;
    run.folder = game;
    run.environment = {
        {"XDG_DATA_HOME", folder / "profile"},
        {"ORVEX_INSTANCE", "orvex-puzzle-gate-" + std::to_string(::getpid())},
        {"ORVEX_MESSAGE_BOX", std::nullopt}, // a box would be a failure here
        {"ORVEX_SEED", "1"},
        {"ORVEX_STEP_CLOCK", "1"},
        {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/puzzle_gate.txt"},
        {"ORVEX_SCREENSHOT", std::to_string(kWateredPass) + ":" + folder / "pipes.png;" +
                                 std::to_string(kOpenGatePass) + ":" + folder / "gate.png"},
        {"ORVEX_END", std::to_string(kEndPass)},
    };
    ASSERT_EQ(RunProgram(run), 0);

    // Both games kept in the profile, each with its reward.
    App.saveFolder = saves;
    Player::LoadNames();
    ASSERT_TRUE(Player::SelectProfile(0));
    EXPECT_EQ(CurrentPlayer->GetFlag("z1-puzzlegate:minigame1_completed"), 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("z1-puzzlegate:minigame2_completed"), 1);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 2);

    // Looked at: the pipes all watered in one line from the top left to the bottom left; the gate
    // with both seals gone and no tip.
    ExpectLooksLikeReference(folder / "pipes.png", "puzzle_gate_pipes.png");
    ExpectLooksLikeReference(folder / "gate.png", "puzzle_gate_open.png");
}

} // namespace
