// The real orvexgame with a scripted session that shows the opening cut-scene and draws with the
// wand: what the player sees during and after the video and of the wand's trail, the flag the
// video leaves, the exit status.

#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

class VideoSessionTest : public testing::Test {
protected:
    // A run in the demo game folder with a profile folder and a single-instance name of its own.
    // No sound output can be had: the sound manager stays down, so the video runs on its update
    // clock, a step a pass, and its pictures are the same at the same pass on every run.
    ProgramRun Run() const {
        ProgramRun run;
        run.folder = DEMO_GAME_FOLDER;
        run.environment = {
            {"XDG_DATA_HOME", folder / "profile"},
            {"ORVEX_INSTANCE", "orvex-video-test-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", "yes"},
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
            {"SDL_AUDIODRIVER", "no-sound-output"},
        };
        return run;
    }

    TempFolder folder;
};

TEST_F(VideoSessionTest, TheCarvedStoneShowsTheCutSceneAndTheWandDrawsItsTrail) {
    ProgramRun run = Run();
    run.environment["ORVEX_SCRIPT"] = std::string(ORVEX_TEST_SESSIONS) + "/cutscene.txt";
    run.environment["ORVEX_SCREENSHOT"] = "1140:" + folder / "cutscene_mid.png" + ";1400:" +
                                          folder / "cutscene_after.png" + ";2129:" +
                                          folder / "wand_trail.png";
    run.environment["ORVEX_END"] = "3000"; // only when the script goes wrong
    ASSERT_EQ(RunProgram(run), 0);
    // Mid-way: the frame across the screen, the first subtitle below it and the skip hint above.
    ExpectLooksLikeReference(folder / "cutscene_mid.png", "cutscene_mid.png");
    // After it: the barrow again, under the HUD.
    ExpectLooksLikeReference(folder / "cutscene_after.png", "cutscene_after.png");
    // The wand's stroke: its glowing trail and sparks behind the cursor.
    ExpectLooksLikeReference(folder / "wand_trail.png", "wand_trail.png");
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
    EXPECT_THAT(ReadFileBytes(saves + "0.pla"),
                testing::HasSubstr("(z1-barrow-out:intro_video_killed 1)"));
}

} // namespace
