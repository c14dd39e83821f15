// The real orvexgame, run headless on the demo data through the barrow's inner chamber: the
// glyph stone won, the lock door left by Escape and then won, the wall filled; its flags in the
// profile and its pictures against their references.

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

TEST(BarrowSessionTest, TheStoneAndTheLockAreWonAndTheWallIsFilled) {
    TempFolder folder;
    const std::string profile = folder / "profile";
    ProgramRun run;
    run.folder = DEMO_GAME_FOLDER;
    run.environment = {
        {"XDG_DATA_HOME", profile},
        {"ORVEX_INSTANCE", "orvex-barrow-test-" + std::to_string(::getpid())},
        {"ORVEX_MESSAGE_BOX", "ok"},
        {"ORVEX_SEED", "1"},
        {"ORVEX_STEP_CLOCK", "1"},
        {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/barrow_games.txt"},
        {"ORVEX_SCREENSHOT", "1260:" + folder / "stones.png" + ";3800:" + folder / "wall.png"},
        {"ORVEX_END", "3820"},
    };
    ASSERT_EQ(RunProgram(run), 0);

    const std::string player =
        ReadFileBytes(profile + "/Saved Games/Vostrel Games/Orvex/0.pla");
    for (const char* flag : {"(z1-barrow-in:barrow_stones_completed 1)",
                             "(z1-barrow-in:lock_door_completed 1)",
                             "(z1-barrow-in:screen_sun_filled 1)",
                             "(z1-barrow-in:screen_moon_filled 1)",
                             "(z1-barrow-in:screen_star_filled 1)",
                             "(z1-barrow-in:barrow_wall_done 1)"}) {
        EXPECT_THAT(player, ::testing::HasSubstr(flag));
    }
    for (const char* flag : {"steam_machine_completed", "clock_door_completed",
                             "wheel_of_time_completed"}) {
        EXPECT_THAT(player, ::testing::Not(::testing::HasSubstr(flag)));
    }
    ExpectLooksLikeReference(folder / "stones.png", "barrow_stones.png");
    ExpectLooksLikeReference(folder / "wall.png", "barrow_wall.png");
}

} // namespace
