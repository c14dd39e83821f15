// The HUD in the real program, headless, on the demo data: the inventory bar, the tool slots,
// the map-piece display and the wand's chest played through with scripted input, then the game
// continued from the main menu.

#include "tests/game/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using ::testing::HasSubstr;

class HudSession : public testing::Test {
protected:
    ProgramRun Run(const std::string& script) const {
        ProgramRun run;
        run.folder = DEMO_GAME_FOLDER;
        run.environment = {
            {"XDG_DATA_HOME", profile},
            {"ORVEX_INSTANCE", "orvex-hud-session-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", "ok"},
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
            {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/" + script},
            {"ORVEX_END", "4000"}, // only when the script goes wrong
        };
        return run;
    }

    std::string PlayerFile() const {
        return ReadFileBytes(profile + "/Saved Games/Vostrel Games/Orvex/0.pla");
    }

    static void ExpectLooksAsReference(const std::string& picture, const std::string& name) {
        SCOPED_TRACE(name);
        const PictureDifference difference =
            ComparePictures(ReadPicture(picture),
                            ReadPicture(std::string(ORVEX_TEST_REFERENCES) + "/" + name));
        ASSERT_TRUE(difference.sameSize);
        EXPECT_LT(difference.meanChannelDifference, 2.0);
        EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
    }

    TempFolder folder;
    std::string profile = folder / "profile";
};

// The reference pictures were looked at: in the barrow, the bar holds two acorns (the count 2)
// and the moonstone (its tool-tip under the mouse), the map display counts "1 of 10", the wand
// sits lit in its tool slot with its picture on the cursor and the chest is gone; continued, the
// same bar, count and wand slot, the wand no longer in hand.
TEST_F(HudSession, BarToolsMapPiecesAndTheWandsChestPlayThroughAndContinueAsLeft) {
    ProgramRun play = Run("hud_session.txt");
    play.environment["ORVEX_SCREENSHOT"] = "2250:" + folder / "hud_session.png";
    ASSERT_EQ(RunProgram(play), 0);
    const std::string left = PlayerFile();
    // Stacked under the second acorn's name, as the profile's slot takes it.
    EXPECT_THAT(left, HasSubstr("(slot 0 acorn2 2)"));
    EXPECT_THAT(left, HasSubstr("(slot 1 moonstone 1)"));
    // The wand owned; the lens's one charge spent on the feather.
    EXPECT_THAT(left, HasSubstr("(permanentSlots\r\n(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 0)"));
    EXPECT_THAT(left, HasSubstr("(mapPieces\r\n1\r\n )"));
    EXPECT_THAT(left, HasSubstr("(energy\r\n1\r\n )")) << "the chest's energy point";
    EXPECT_THAT(left, HasSubstr("(z1-barrow-out:wand_toTake 1)"));
    EXPECT_THAT(left, HasSubstr("(z1-barrow-out:magic_wand_filled 1)"));
    EXPECT_THAT(left, HasSubstr("(global:stackDialogShown 1)"));
    EXPECT_THAT(left, HasSubstr("(global:clens_tutorial_shown 1)"));

    ProgramRun again = Run("second_start.txt");
    again.environment["ORVEX_SCREENSHOT"] = "400:" + folder / "hud_continued.png";
    again.environment["ORVEX_MESSAGE_BOX"] = "yes";
    ASSERT_EQ(RunProgram(again), 0);
    const std::string continued = PlayerFile();
    EXPECT_THAT(continued, HasSubstr("(slot 0 acorn2 2)"));
    EXPECT_THAT(continued, HasSubstr("(slot 1 moonstone 1)"));
    EXPECT_THAT(continued, HasSubstr("(permanentSlots\r\n(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 0)"));
    EXPECT_THAT(continued, HasSubstr("(mapPieces\r\n1\r\n )"));

    ExpectLooksAsReference(folder / "hud_session.png", "hud_session.png");
    ExpectLooksAsReference(folder / "hud_continued.png", "hud_continued.png");
}

} // namespace
