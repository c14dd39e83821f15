// The real orvexgame, run headless on the demo data through the barrow's inner chamber: the
// glyph stone won, the lock door left by Escape and then won, the wall filled; its flags in the
// profile and its pictures against their references (both looked at: the stone screen with its
// symbol buttons and the fire sigil under the cursor; the wall with its three places filled).

#include "tests/game/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectLooksLikeReference(const std::string& picture, const std::string& reference) {
    SCOPED_TRACE(reference);
    const PictureDifference difference = ComparePictures(
        ReadPicture(picture), ReadPicture(std::string(ORVEX_TEST_REFERENCES) + "/" + reference));
    ASSERT_TRUE(difference.sameSize);
    EXPECT_LT(difference.meanChannelDifference, 2.0);
    EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
}

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

} // namespace
