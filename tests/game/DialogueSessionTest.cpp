// The real orvexgame, headless, on a scripted tour of the dialogues and the menu screens'
// effects: what a player would see of it and what it leaves in the profile.

#include "tests/game/ProgramRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// The reference pictures were looked at: the main menu with its last items still settling under
// drifting clouds and fog; the credits with the panel slid in, firework sparks, blinking lamps,
// the cards and the coloured lights; Katya's page at the barrow with her portrait, the window and the red hint,
// the HUD's menu button faded away.
TEST(DialogueSession, AFirstStartToursTheMenusAndClicksThroughTheBarrowsDialogue) {
    TempFolder folder;
    const std::string profile = folder / "profile";
    ProgramRun run;
    run.folder = DEMO_GAME_FOLDER;
    run.environment = {
        {"XDG_DATA_HOME", profile},
        {"ORVEX_INSTANCE", "orvex-dialogue-session-" + std::to_string(::getpid())},
        {"ORVEX_MESSAGE_BOX", "ok"},
        {"ORVEX_SEED", "1"},
        {"ORVEX_STEP_CLOCK", "1"},
        {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/dialogue_tour.txt"},
        {"ORVEX_SCREENSHOT", "400:" + folder / "tour_main_menu.png" + ";560:" +
                                 folder / "tour_credits.png" + ";1140:" +
                                 folder / "tour_dialogue.png"},
        {"ORVEX_END", "3000"}, // only when the script goes wrong
    };
    ASSERT_EQ(RunProgram(run), 0);

    const std::string references = ORVEX_TEST_REFERENCES;
    for (const char* picture : {"tour_main_menu.png", "tour_credits.png", "tour_dialogue.png"}) {
        SCOPED_TRACE(picture);
        const PictureDifference difference =
            ComparePictures(ReadPicture(folder / picture), ReadPicture(references + "/" + picture));
        ASSERT_TRUE(difference.sameSize);
        EXPECT_LT(difference.meanChannelDifference, 2.0);
        EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
    }
    // Both dialogues of the first visit were shown to their end, and the hint was clicked away.
    const std::string player =
        ReadFileBytes(profile + "/Saved Games/Vostrel Games/Orvex/0.pla");
    for (const char* flag : {"(z1-barrow-out:dialog1_killed 1)",
                             "(z1-barrow-out:glyphstone_hint_killed 1)",
                             "(z1-barrow-out:glyphstone_tutorial_killed 1)"}) {
        EXPECT_THAT(player, ::testing::HasSubstr(flag));
    }
}

} // namespace
