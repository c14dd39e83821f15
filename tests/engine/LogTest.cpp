#include "engine/Log.h"

#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(DebugLogTest, WritesNothingWhileDisabled) {
    TempFolder folder;
    SetLogPath(folder / "log.txt");
    LogEnabled = false;
    DebugLog("Application::Init\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "log.txt"));
    SetLogPath("");
}

TEST(DebugLogTest, AppendsFormattedLines) {
    LogCapture log;
    DebugLog("Loading player info and strings..");
    DebugLog("done\n");
    DebugLog("Process priority change OK. Set to %d.\n", 32);
    EXPECT_EQ(log.Text(),
              "Loading player info and strings..done\nProcess priority change OK. Set to 32.\n");
}

TEST(DebugLogTest, KeepsLongLinesWhole) {
    LogCapture log;
    const std::string longText(10000, 'z');
    DebugLog("%s\n", longText.c_str());
    EXPECT_EQ(log.Text(), longText + "\n");
}

TEST(DebugLogTest, BackslashPathReachesTheFile) {
    TempFolder folder;
    folder.MakeFolder("save");
    SetLogPath(folder.Path() + "/save\\log.txt");
    LogEnabled = true;
    DebugLog("x");
    LogEnabled = false;
    SetLogPath("");
    EXPECT_EQ(ReadFileBytes(folder / "save/log.txt"), "x");
}

TEST(DebugLogTest, UnwritableLogIsSkippedQuietly) {
    TempFolder folder;
    SetLogPath(folder / "missing-folder/log.txt");
    LogEnabled = true;
    DebugLog("lost line\n");
    LogEnabled = false;
    SetLogPath("");
    EXPECT_FALSE(std::filesystem::exists(folder / "missing-folder"));
}
