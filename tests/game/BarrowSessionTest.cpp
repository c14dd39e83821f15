// The real orvexgame, run headless on the demo data through the barrow's inner chamber: the
// glyph stone won, the lock door left by Escape and then won, the wall filled; its flags in the
// profile and its pictures against their references (both looked at: the stone screen with its
// symbol buttons and the fire sigil under the cursor; the wall with its three places filled and
// the dust of its breaking settling over the chamber's floor).
// Then, started in the chamber itself, the games played with things kept in the inventory bar:
// the steam machine, the clock door, the wheel of time left by Escape and then won.

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

// Three runs on one profile, each continuing the save game of the one before, so that no run is
// long: the stone, the lock, the wall.
TEST(BarrowSessionTest, TheStoneAndTheLockAreWonAndTheWallIsFilled) {
    TempFolder folder;
    const std::string profile = folder / "profile";
    const std::string sessions = ORVEX_TEST_SESSIONS;
    const auto run = [&](const std::string& script, const std::string& screenshot,
                         const std::string& end) {
        ProgramRun program;
        program.folder = DEMO_GAME_FOLDER;
        program.environment = {
            {"XDG_DATA_HOME", profile},
            {"ORVEX_INSTANCE", "orvex-barrow-test-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", "ok"},
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
            {"ORVEX_SCRIPT", sessions + "/" + script},
            {"ORVEX_END", end},
        };
        if (!screenshot.empty()) {
            program.environment["ORVEX_SCREENSHOT"] = screenshot;
        }
        return RunProgram(program);
    };
    const std::string player = profile + "/Saved Games/Vostrel Games/Orvex/0.pla";

    ASSERT_EQ(run("barrow_stones.txt", "1500:" + folder / "stones.png", "2540"), 0);
    EXPECT_THAT(ReadFileBytes(player),
                ::testing::HasSubstr("(z1-barrow-in:barrow_stones_completed 1)"));
    ASSERT_EQ(run("barrow_lock.txt", "", "2250"), 0);
    ASSERT_EQ(run("barrow_wall.txt", "880:" + folder / "wall.png", "900"), 0);

    const std::string flags = ReadFileBytes(player);
    for (const char* flag : {"(z1-barrow-in:barrow_stones_completed 1)",
                             "(z1-barrow-in:lock_door_completed 1)",
                             "(z1-barrow-in:screen_sun_filled 1)",
                             "(z1-barrow-in:screen_moon_filled 1)",
                             "(z1-barrow-in:screen_star_filled 1)",
                             "(z1-barrow-in:barrow_wall_done 1)"}) {
        EXPECT_THAT(flags, ::testing::HasSubstr(flag));
    }
    for (const char* flag : {"steam_machine_completed", "clock_door_completed",
                             "wheel_of_time_completed"}) {
        EXPECT_THAT(flags, ::testing::Not(::testing::HasSubstr(flag)));
    }
    ExpectLooksLikeReference(folder / "stones.png", "barrow_stones.png");
    ExpectLooksLikeReference(folder / "wall.png", "barrow_wall.png");
}

class BarrowBarSession : public testing::Test {
protected:
    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    TempFolder folder;
};

// Three runs on one profile, each started in the chamber by the game's configuration: the gears
// gathered into the bar and the machine filled; the keys gathered and set into the clock door,
// the wheel opened and left by Escape; the wheel won.
TEST_F(BarrowBarSession, TheMachineTheClockDoorAndTheWheelAreWonWithThingsFromTheBar) {
    namespace fs = std::filesystem;
    const std::string game = folder / "game";
    fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
    {
        std::ofstream config(game + "/config.txt", std::ios::app);
        config << "(start_from_level \"levels\\z1-barrow-in.txt\")\n";
    }
    const std::string profile = folder / "profile";
    const std::string saves = profile + "/Saved Games/Vostrel Games/Orvex/";
    fs::create_directories(saves);
    App.saveFolder = saves;
    ASSERT_TRUE(CreatePlayerFileFolder());
    ASSERT_TRUE(Player::CreateProfile(0, "Ann"));
    ResetWorldGlobals();

    const auto run = [&](const std::string& script, const std::string& screenshot,
                         const std::string& end) {
        ProgramRun program;
        program.folder = game;
        program.environment = {
            {"XDG_DATA_HOME", profile},
            {"ORVEX_INSTANCE", "orvex-barrow-bar-test-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", std::nullopt}, // a box would be a failure here
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
            {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/" + script},
            {"ORVEX_END", end},
        };
        if (!screenshot.empty()) {
            program.environment["ORVEX_SCREENSHOT"] = screenshot;
        }
        return RunProgram(program);
    };
    const std::string player = saves + "0.pla";
    const auto flag = [](const char* name) {
        return ::testing::HasSubstr(std::string("(z1-barrow-in:") + name + " 1)");
    };

    ASSERT_EQ(run("barrow_steam.txt", "1262:" + folder / "steam.png", "1520"), 0);
    EXPECT_THAT(ReadFileBytes(player), flag("steam_machine_completed"));

    ASSERT_EQ(run("barrow_clock.txt", "", "1100"), 0);
    EXPECT_THAT(ReadFileBytes(player), flag("clock_door_completed"));
    EXPECT_THAT(ReadFileBytes(player), ::testing::Not(::testing::HasSubstr("wheel_of_time")))
        << "the wheel left by Escape is not won";

    ASSERT_EQ(run("barrow_wheel.txt", "545:" + folder / "wheel.png", "800"), 0);
    const std::string flags = ReadFileBytes(player);
    for (const char* name : {"steam_machine_completed", "clock_door_completed",
                             "wheel_of_time_completed", "librarian_key_red_killed",
                             "gear_big2_killed"}) {
        EXPECT_THAT(flags, flag(name));
    }

    // Looked at: seven gears of the train in the machine, the last medium one on the cursor over
    // the backdrop, the bar emptied; the wheel with its dots counting up clockwise from straight
    // up and its eight sparks flying out.
    ExpectLooksLikeReference(folder / "steam.png", "barrow_steam.png");
    ExpectLooksLikeReference(folder / "wheel.png", "barrow_wheel.png");
}

} // namespace
