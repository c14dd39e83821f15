#include "platform/os/Seams.h"

#include "platform/os/MessageBox.h"
#include "platform/os/Window.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class SeamsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSeams(); }
    void TearDown() override {
        unsetenv("ORVEX_DESKTOP");
        unsetenv("ORVEX_MESSAGE_BOX");
        unsetenv("ORVEX_SOUNDS");
        ResetSeams();
    }
};

TEST_F(SeamsTest, DesktopFromTheEnvironment) {
    struct Case {
        const char* text;
        bool valid;
        int width, height;
        bool rotated;
    };
    const Case cases[] = {
        {"1280x1024", true, 1280, 1024, false}, {"800x600r", true, 800, 600, true},
        {"1280x", false, 0, 0, false},          {"x1024", false, 0, 0, false},
        {"0x600", false, 0, 0, false},          {"1280x1024z", false, 0, 0, false},
        {"99999999999x2", false, 0, 0, false},  {"", false, 0, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ResetSeams();
        setenv("ORVEX_DESKTOP", c.text, 1);
        const std::vector<std::string> malformed = ReadSeamsFromEnvironment();
        ASSERT_EQ(Seams().desktop.has_value(), c.valid);
        if (c.valid) {
            EXPECT_TRUE(malformed.empty());
            EXPECT_EQ(Seams().desktop->width, c.width);
            EXPECT_EQ(Seams().desktop->height, c.height);
            EXPECT_EQ(Seams().desktop->rotated, c.rotated);
            EXPECT_EQ(DesktopDisplayMode()->width, c.width);
        } else {
            EXPECT_THAT(malformed, ::testing::ElementsAre("ORVEX_DESKTOP"));
        }
    }
}

TEST_F(SeamsTest, NothingInTheEnvironmentSetsNothing) {
    EXPECT_TRUE(ReadSeamsFromEnvironment().empty());
    EXPECT_FALSE(Seams().desktop);
    EXPECT_FALSE(Seams().messageBoxAnswer);
}

// The sound record gets one line per start, with its pass, written at once; a file that cannot
// be written is a malformed variable, and nothing is recorded.
TEST_F(SeamsTest, TheSoundRecordListsEachStartWithItsPass) {
    TempFolder folder;
    const std::string record = folder / "sounds.txt";
    setenv("ORVEX_SOUNDS", record.c_str(), 1);
    ASSERT_TRUE(ReadSeamsFromEnvironment().empty());
    Seams().pass = 12;
    NoteSoundStarted("music", "snd/music/wood.ogg");
    Seams().pass = 40;
    NoteSoundStarted("sound", "pick1");
    EXPECT_EQ(ReadFileBytes(record), "12 music snd/music/wood.ogg\n40 sound pick1\n");

    ResetSeams();
    setenv("ORVEX_SOUNDS", folder.Path().c_str(), 1);
    EXPECT_THAT(ReadSeamsFromEnvironment(), ::testing::ElementsAre("ORVEX_SOUNDS"));
    NoteSoundStarted("sound", "pick1");
}

TEST_F(SeamsTest, MessageBoxesTakeTheSeamsAnswerUnshown) {
    setenv("ORVEX_MESSAGE_BOX", "yes", 1);
    ASSERT_TRUE(ReadSeamsFromEnvironment().empty());
    EXPECT_EQ(ShowMessageBox(nullptr, "Exit to Windows?", "Quit", MessageBoxButtons::YesNo,
                             MessageBoxIcon::None),
              MessageBoxAnswer::Yes);
    // A box with only OK answers OK whatever the seam says.
    EXPECT_EQ(ShowMessageBox(nullptr, "Could Not Release hWnd.", "SHUTDOWN ERROR",
                             MessageBoxButtons::Ok, MessageBoxIcon::Information),
              MessageBoxAnswer::Ok);
    Seams().messageBoxAnswer = MessageBoxAnswer::No;
    EXPECT_EQ(ShowMessageBox(nullptr, "Exit to Windows?", "Quit", MessageBoxButtons::YesNo,
                             MessageBoxIcon::None),
              MessageBoxAnswer::No);
    EXPECT_THAT(Seams().messageBoxesShown,
                ::testing::ElementsAre("Quit: Exit to Windows?",
                                       "SHUTDOWN ERROR: Could Not Release hWnd.",
                                       "Quit: Exit to Windows?"));

    setenv("ORVEX_MESSAGE_BOX", "maybe", 1);
    EXPECT_THAT(ReadSeamsFromEnvironment(), ::testing::ElementsAre("ORVEX_MESSAGE_BOX"));
}

} // namespace
