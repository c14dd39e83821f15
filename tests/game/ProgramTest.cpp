// The real orvexgame, run headless on the demo game folder with scripted runs: what a player
// would see of it (its exit status, the files it writes, its pictures).

#include "tests/game/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class ProgramTest : public testing::Test {
protected:
    // A run in the demo game folder with a profile folder of its own and a single-instance name
    // of its own.
    ProgramRun Run(const std::string& profileFolder) const {
        ProgramRun run;
        run.folder = DEMO_GAME_FOLDER;
        run.environment = {
            {"XDG_DATA_HOME", profileFolder},
            {"ORVEX_INSTANCE", "orvex-program-test-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", "ok"},
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
        };
        return run;
    }

    std::string SaveFolder(const std::string& profileFolder) const {
        return profileFolder + "/Saved Games/Vostrel Games/Orvex/";
    }

    static std::vector<std::string> FilesUnder(const std::string& path) {
        std::vector<std::string> names;
        if (fs::exists(path)) {
            for (const auto& entry : fs::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    names.push_back(fs::relative(entry.path(), path).string());
                }
            }
        }
        return names;
    }

    TempFolder folder;
};

TEST_F(ProgramTest, AScriptedRunCanEndAfterTheFirstFrame) {
    ProgramRun run = Run(folder / "profile");
    run.environment["ORVEX_END"] = "first-frame";
    run.environment["ORVEX_SCREENSHOT"] = "1:" + folder / "first.png";
    EXPECT_EQ(RunProgram(run), 0);
    const Picture first = ReadPicture(folder / "first.png");
    EXPECT_EQ(first.width, 1024);
    EXPECT_EQ(first.height, 768);
    // Nobody has played: the save folder is there, and empty.
    EXPECT_TRUE(fs::is_directory(SaveFolder(folder / "profile")));
    EXPECT_THAT(FilesUnder(folder / "profile"), ::testing::IsEmpty());
}

TEST_F(ProgramTest, TheSplashScreenLooksAsItsReferencePicture) {
    ProgramRun run = Run(folder / "profile");
    // One second and a bit: the splash has faded in and not yet out.
    run.environment["ORVEX_SCREENSHOT"] = "120:" + folder / "splash.png";
    run.environment["ORVEX_END"] = "130";
    ASSERT_EQ(RunProgram(run), 0);
    const PictureDifference difference =
        ComparePictures(ReadPicture(folder / "splash.png"),
                        ReadPicture(std::string(ORVEX_TEST_REFERENCES) + "/splash.png"));
    ASSERT_TRUE(difference.sameSize);
    EXPECT_LT(difference.meanChannelDifference, 2.0);
    EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
}

TEST_F(ProgramTest, ASecondCopyEndsAtOnceWithoutAWordOrAFile) {
    ProgramRun first = Run(folder / "first");
    const int firstPid = StartProgram(first);
    ASSERT_GT(firstPid, 0);
    // The first copy holds the name once it has made its save folder.
    ASSERT_TRUE(WaitForFile(SaveFolder(folder / "first")));

    ProgramRun second = Run(folder / "second");
    second.environment["ORVEX_MESSAGE_BOX"] = std::nullopt; // a box would be a failure here
    EXPECT_EQ(RunProgram(second), 0);
    EXPECT_FALSE(fs::exists(folder / "second"));

    ::kill(firstPid, SIGKILL);
    WaitForProgram(firstPid, kHungRunSeconds);
}

TEST_F(ProgramTest, AFatalErrorEndsWithAFailureStatus) {
    // A folder without the game's files: "version.txt" is missing.
    ProgramRun run = Run(folder / "profile");
    run.folder = folder.Path();
    EXPECT_EQ(RunProgram(run), 1);
}

// A terminate signal (log-out, shutdown, kill) ends the game as a close request in the background
// would: the profile is saved and the program ends normally, with no question asked.
TEST_F(ProgramTest, ATerminateSignalInALocationSavesAndEndsNormally) {
    const std::string profile = folder / "profile";
    ProgramRun run = Run(profile);
    run.environment["ORVEX_SCRIPT"] =
        std::string(ORVEX_TEST_SESSIONS) + "/terminate_in_location.txt";
    // The picture marks the pass after the acorn was taken; the program then waits in the
    // location for the signal.
    run.environment["ORVEX_SCREENSHOT"] = "600:" + folder / "taken.png";
    run.environment["ORVEX_MESSAGE_BOX"] = std::nullopt; // a box would be a failure here
    const int pid = StartProgram(run);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForFile(folder / "taken.png"));
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    EXPECT_EQ(WaitForProgram(pid, kHungRunSeconds), 0);

    const std::string saves = SaveFolder(profile);
    EXPECT_THAT(FilesUnder(saves), ::testing::UnorderedElementsAre("0.pla", "0.sav", "last.pla"));
    EXPECT_THAT(ReadFileBytes(saves + "0.pla"), ::testing::HasSubstr("acorn"));
}

// The whole first session and the one that continues it, through the in-game layers' event
// handling (the splash ends on 'KILL', the in-game menu opens on 'MENU' and leaves on 'QUIT').
// The reference pictures were looked at: the main menu greeting "ann", the location with the
// acorn on the ground, and the location continued, the acorn gone from the ground and back on the
// cursor.
TEST_F(ProgramTest, ASecondStartContinuesTheFirstSession) {
    const std::string profile = folder / "profile";
    const std::string sessions = ORVEX_TEST_SESSIONS;
    ProgramRun first = Run(profile);
    first.environment["ORVEX_SCRIPT"] = sessions + "/first_start.txt";
    first.environment["ORVEX_SCREENSHOT"] =
        "300:" + folder / "main_menu.png" + ";500:" + folder / "location.png";
    first.environment["ORVEX_END"] = "2000"; // only when the script goes wrong
    first.environment["ORVEX_SOUNDS"] = folder / "sounds.txt";
    ASSERT_EQ(RunProgram(first), 0);
    // What a player hears: the menu's music, the location's once Play is clicked, the acorn's
    // pick-up sound, and the menu's music again on the way back.
    const std::string sounds = ReadFileBytes(folder / "sounds.txt");
    EXPECT_THAT(sounds, ::testing::ContainsRegex("^33 music snd/music/main_menu.ogg\n"));
    EXPECT_THAT(sounds, ::testing::ContainsRegex("\n3[2-9][0-9] music snd.music.wood.ogg\n"));
    EXPECT_THAT(sounds, ::testing::ContainsRegex("\n5[2-9][0-9] sound pickup\n"));
    EXPECT_THAT(sounds, ::testing::ContainsRegex("\n6[0-9][0-9] music snd/music/main_menu.ogg\n"));
    const std::string saves = SaveFolder(profile);
    EXPECT_THAT(FilesUnder(saves),
                ::testing::UnorderedElementsAre("0.pla", "0.sav", "last.pla", "settings.dat"));
    EXPECT_EQ(ReadFileBytes(saves + "last.pla"), "0");
    // The name field takes letters as typed, without Shift.
    EXPECT_THAT(ReadFileBytes(saves + "0.pla"), ::testing::HasSubstr("ann"));
    EXPECT_THAT(ReadFileBytes(saves + "0.pla"), ::testing::HasSubstr("acorn"));
    EXPECT_THAT(ReadFileBytes(saves + "0.sav"), ::testing::HasSubstr("z1-wood-glyphstone"));

    ProgramRun second = Run(profile);
    second.environment["ORVEX_SCRIPT"] = sessions + "/second_start.txt";
    second.environment["ORVEX_SCREENSHOT"] = "400:" + folder / "continued.png";
    second.environment["ORVEX_MESSAGE_BOX"] = "yes";
    second.environment["ORVEX_END"] = "2000";
    ASSERT_EQ(RunProgram(second), 0);

    const std::string references = ORVEX_TEST_REFERENCES;
    for (const char* picture : {"main_menu.png", "location.png", "continued.png"}) {
        SCOPED_TRACE(picture);
        const PictureDifference difference =
            ComparePictures(ReadPicture(folder / picture), ReadPicture(references + "/" + picture));
        ASSERT_TRUE(difference.sameSize);
        EXPECT_LT(difference.meanChannelDifference, 2.0);
        EXPECT_LT(difference.shareOfDifferentPixels, 0.005);
    }
    // The HUD bar lies over the location: its top line runs whole across the screen, also over
    // the squares of the things to find (whose transparent corners must not cut it).
    const Picture location = ReadPicture(folder / "location.png");
    ASSERT_EQ(location.width, 1024);
    constexpr int kHudLine = 688;
    for (int x = 0; x < location.width; ++x) {
        const uint32_t pixel =
            location.pixels[static_cast<std::size_t>(kHudLine * location.width + x)];
        const int red = static_cast<int>((pixel >> 16) & 0xFF);
        const int green = static_cast<int>((pixel >> 8) & 0xFF);
        ASSERT_NEAR(red, 186, 24) << "x " << x;
        ASSERT_NEAR(green, 162, 24) << "x " << x;
    }
    // The acorn was taken in the first session: the continued location differs from the first
    // picture of it exactly there.
    const PictureDifference change = ComparePictures(ReadPicture(folder / "location.png"),
                                                     ReadPicture(folder / "continued.png"));
    EXPECT_GT(change.shareOfDifferentPixels, 0.0);
}

} // namespace
