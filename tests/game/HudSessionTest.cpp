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
            {"ORVEX_END", "3000"}, // only when the script goes wrong
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

// Three runs, each short enough for a run under the sanitizers on a busy machine. The reference
// pictures were looked at: in the wood, two acorns stacked in the bar (the count 2), "1 of 10"
// on the map display, the lens's glow on the feather and its slot gone with its one charge; in
// the barrow, the moonstone beside the acorns (its tool-tip under the mouse), the wand lit in its
// tool slot with its picture on the cursor and the chest gone; continued, the same bar, count and
// wand slot, the wand no longer in hand.
TEST_F(HudSession, BarToolsMapPiecesAndTheWandsChestPlayThroughAndContinueAsLeft) {
    ProgramRun wood = Run("hud_wood.txt");
    wood.environment["ORVEX_SCREENSHOT"] = "1160:" + folder / "hud_wood.png";
    ASSERT_EQ(RunProgram(wood), 0);
    const std::string inWood = PlayerFile();
    // Stacked under the second acorn's name, as the profile's slot takes it.
    EXPECT_THAT(inWood, HasSubstr("(slot 0 acorn2 2)"));
    // The lens's one charge spent on the feather.
    EXPECT_THAT(inWood, HasSubstr("(permanentSlots\r\n(slot 0 0)(slot 1 0)(slot 2 0)(slot 3 0)"));
    EXPECT_THAT(inWood, HasSubstr("(mapPieces\r\n1\r\n )"));
    EXPECT_THAT(inWood, HasSubstr("(z1-wood-glyphstone:map_piece1_killed 1)"));
    EXPECT_THAT(inWood, HasSubstr("(z1-wood-glyphstone:chromatic_lens_killed 1)"));
    EXPECT_THAT(inWood, HasSubstr("(global:stackDialogShown 1)"));
    EXPECT_THAT(inWood, HasSubstr("(global:clens_tutorial_shown 1)"));

    ProgramRun barrow = Run("hud_barrow.txt");
    barrow.environment["ORVEX_SCREENSHOT"] = "1420:" + folder / "hud_session.png";
    ASSERT_EQ(RunProgram(barrow), 0);
    const std::string left = PlayerFile();
    EXPECT_THAT(left, HasSubstr("(slot 0 acorn2 2)(slot 1 moonstone 1)"));
    EXPECT_THAT(left, HasSubstr("(permanentSlots\r\n(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 0)"))
        << "the wand owned";
    EXPECT_THAT(left, HasSubstr("(mapPieces\r\n1\r\n )"));
    EXPECT_THAT(left, HasSubstr("(energy\r\n1\r\n )")) << "the chest's energy point";
    EXPECT_THAT(left, HasSubstr("(z1-barrow-out:wand_toTake 1)"));
    EXPECT_THAT(left, HasSubstr("(z1-barrow-out:magic_wand_filled 1)"));

    ProgramRun again = Run("second_start.txt");
    again.environment["ORVEX_SCREENSHOT"] = "400:" + folder / "hud_continued.png";
    again.environment["ORVEX_MESSAGE_BOX"] = "yes";
    ASSERT_EQ(RunProgram(again), 0);
    const std::string continued = PlayerFile();
    EXPECT_THAT(continued, HasSubstr("(slot 0 acorn2 2)(slot 1 moonstone 1)"));
    EXPECT_THAT(continued,
                HasSubstr("(permanentSlots\r\n(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 0)"));
    EXPECT_THAT(continued, HasSubstr("(mapPieces\r\n1\r\n )"));

    for (const char* picture : {"hud_wood.png", "hud_session.png", "hud_continued.png"}) {
        ExpectLooksAsReference(folder / picture, picture);
    }
}

} // namespace
