// The real orvexgame on the demo data through the world map and the barrow's chest: a scripted
// session checked by its exit status, the profile it leaves and its pictures.

#include "tests/game/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The reference pictures were looked at: the world map with the red arrow over the glyphstone's
// clearing, where the player came from, and the sparkle over that place; the barrow after the
// chest was opened, the chest gone, the silver ring where it stood, the old key no longer on the
// ground, the pool shimmering and the stream falling.
TEST(SceneSession, TheMapMarksTheWoodAndTheChestOpensWithItsKey) {
    TempFolder folder;
    const std::string profile = folder / "profile";
    ProgramRun run;
    run.folder = DEMO_GAME_FOLDER;
    run.environment = {
        {"XDG_DATA_HOME", profile},
        {"ORVEX_INSTANCE", "orvex-scene-session-" + std::to_string(::getpid())},
        {"ORVEX_MESSAGE_BOX", "ok"},
        {"ORVEX_SEED", "1"},
        {"ORVEX_STEP_CLOCK", "1"},
        {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/map_and_chest.txt"},
        {"ORVEX_SCREENSHOT", "640:" + folder / "map.png" + ";1600:" + folder / "chest_opened.png"},
        {"ORVEX_END", "3000"}, // only when the script goes wrong
    };
    ASSERT_EQ(RunProgram(run), 0);

    const std::string player = FileText(profile + "/Saved Games/Vostrel Games/Orvex/0.pla");
    for (const char* flag : {"(z1-barrow-out:chest_killed 1)", "(z1-barrow-out:old_key_killed 1)",
                             "(z1-barrow-out:silver_ring_killed 1)"}) {
        EXPECT_THAT(player, ::testing::HasSubstr(flag));
    }

    for (const char* picture : {"map.png", "chest_opened.png"}) {
        SCOPED_TRACE(picture);
        const PictureDifference difference =
            ComparePictures(ReadPicture(folder / picture),
                            ReadPicture(std::string(ORVEX_TEST_REFERENCES) + "/" + picture));
        ASSERT_TRUE(difference.sameSize);
        EXPECT_LT(difference.meanChannelDifference, 2.0);
        EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
    }
}

} // namespace
