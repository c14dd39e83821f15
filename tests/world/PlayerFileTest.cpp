#include "world/PlayerFile.h"

#include "engine/Application.h"
#include "engine/Parcon.h"
#include "platform/os/DiskFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace {

// What the parser makes of the token inside a list: the list's one value, or nothing when the
// token did not stay one value.
std::optional<std::string> ReadBack(const std::string& token) {
    Parcon parser;
    std::istringstream input("(" + token + " 7)\r\n");
    parser.ParseStream("test", input);
    ParconCursor top = parser.RootCursor();
    if (!top.Next() || !top.GetList() || top.HasNext()) {
        return std::nullopt;
    }
    ParconCursor list(top.GetList(), 0);
    if (list.List()->elements.size() != 2) {
        return std::nullopt;
    }
    return list.GetListName();
}

TEST(PlayerFileToken, EveryStorableNameReadsBackUnchangedAsOneValue) {
    const std::string names[] = {
        "z1-swamp:door_killed",
        "levels\\z1.txt",
        "coin1",
        "a#b",
        "old coin",
        "(",
        "a)b",
        "[x]",
        "say \"hi\"",
        "#1",
        "",
        " lead",
        "back\\slash",
        "\\\"",
        "a\\\"b",
        "tab\tin",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        if (name.find('\t') != std::string::npos) {
            EXPECT_FALSE(IsStorableName(name));
            continue;
        }
        ASSERT_TRUE(IsStorableName(name));
        EXPECT_EQ(ReadBack(PlayerFileToken(name)), name);
    }
}

TEST(PlayerFileToken, PlainWordsAreWrittenAsTheyAre) {
    EXPECT_EQ(PlayerFileToken("z1-swamp:door_killed"), "z1-swamp:door_killed");
    EXPECT_EQ(PlayerFileToken("levels\\z1.txt"), "levels\\z1.txt");
    EXPECT_EQ(PlayerFileToken("old coin"), "\"old coin\"");
    EXPECT_EQ(PlayerFileToken("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(PlayerFileToken(""), "\"\"");
}

TEST(PlayerFileToken, NamesThatNoTokenCarriesAreNotStorable) {
    const std::string names[] = {"line\nbreak",       "cr\r",   std::string("nul\0x", 5), "bell\a",
                                 "quoted and ends\\", "del\x7f"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsStorableName(name));
    }
    EXPECT_TRUE(IsStorableName("plain\\")); // a plain word may end with a backslash
}

TEST(PlayerFileToken, ItemNamesMustStayInTheirPictureFolder) {
    for (const std::string item : {"key", "coin1", "old coin", "library_book2"}) {
        EXPECT_TRUE(IsSafeItemName(item)) << item;
    }
    for (const std::string item : {"", "0", "../../x", "a/b", "a\\b", "C:x", "bad\n"}) {
        EXPECT_FALSE(IsSafeItemName(item)) << item;
    }
}

TEST(PlayerFileNumbers, OnlyWholeDecimalNumbersInRangeAreNumbers) {
    EXPECT_EQ(ParseInt32("0"), 0);
    EXPECT_EQ(ParseInt32("-12"), -12);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), -2147483647 - 1);
    for (const char* text : {"", "+", "-", "+-1", "1.5", "12a", " 1", "2147483648", "0x10"}) {
        EXPECT_EQ(ParseInt32(text), std::nullopt) << text;
    }
}

TEST(PlayerFileNumbers, FloatsAreWrittenAsTheStreamWritesThem) {
    EXPECT_EQ(FormatFloat(0.5f), "0.5");
    EXPECT_EQ(FormatFloat(1.0f), "1");
    EXPECT_EQ(FormatFloat(0.0f), "0");
    EXPECT_EQ(FormatFloat(0.1f), "0.1");
    EXPECT_EQ(FormatFloat(1.0f / 3.0f), "0.333333");
    EXPECT_EQ(FormatFloat(0.00001f), "1e-05");
}

TEST(PlayerFileEnd, OnlyAListClosedOnItsOwnLineEndsAFile) {
    EXPECT_TRUE(EndsWithClosedList("(a\r\nb\r\n )"));
    EXPECT_TRUE(EndsWithClosedList("(a\nb\n)\r\n"));
    EXPECT_FALSE(EndsWithClosedList("(a\r\nb\r\n "));
    EXPECT_FALSE(EndsWithClosedList("(a\r\n\"b)"));
    EXPECT_FALSE(EndsWithClosedList("(a b)"));
    EXPECT_FALSE(EndsWithClosedList(""));
}

class PlayerFileIo : public testing::Test {
protected:
    void SetUp() override { App.saveFolder = folder / "players"; }
    void TearDown() override { App = Application(); }

    TempFolder folder;
};

TEST_F(PlayerFileIo, TheFolderIsTheSaveFolderOrConfigUnderTheCurrentOne) {
    EXPECT_EQ(PlayerFilePath("0.pla"), folder / "players/0.pla");
    App.localDataDir = true;
    EXPECT_EQ(PlayerFilePath("0.pla"), "config\\0.pla");
    TempFolder current(TempFolder::Enter::Yes);
    ASSERT_TRUE(CreatePlayerFileFolder());
    EXPECT_TRUE(std::filesystem::is_directory(current / "config"));
}

TEST_F(PlayerFileIo, WritingReplacesTheFileWholeWithCrLfAndLeavesNothingBeside) {
    ASSERT_TRUE(CreatePlayerFileFolder());
    ASSERT_TRUE(WritePlayerFile(PlayerFilePath("a.pla"), "old\nfile\n"));
    ASSERT_TRUE(WritePlayerFile(PlayerFilePath("a.pla"), "1\nnew\n(x\n )"));
    EXPECT_EQ(ReadFileBytes(folder / "players/a.pla"), "1\r\nnew\r\n(x\r\n )");
    EXPECT_FALSE(std::filesystem::exists(folder / "players/a.pla.tmp"));
    std::string text;
    EXPECT_EQ(ReadPlayerFile(PlayerFilePath("a.pla"), text), FileRead::Read);
    EXPECT_EQ(text, "1\r\nnew\r\n(x\r\n )");
}

TEST_F(PlayerFileIo, WhatACrashLeftUnderTheTemporaryNameIsReplacedNotFollowed) {
    ASSERT_TRUE(CreatePlayerFileFolder());
    folder.Write("elsewhere", "keep");
    std::filesystem::create_symlink(folder / "elsewhere", folder / "players/a.pla.tmp");
    ASSERT_TRUE(WritePlayerFile(PlayerFilePath("a.pla"), "new"));
    EXPECT_EQ(ReadFileBytes(folder / "players/a.pla"), "new");
    EXPECT_EQ(ReadFileBytes(folder / "elsewhere"), "keep");
}

TEST_F(PlayerFileIo, AFailedWriteKeepsTheOldFileAndIsLogged) {
    ASSERT_TRUE(CreatePlayerFileFolder());
    ASSERT_TRUE(WritePlayerFile(PlayerFilePath("a.pla"), "old"));
    // The temporary file cannot be made where a folder of its name stands.
    folder.MakeFolder("players/a.pla.tmp");
    LogCapture log;
    EXPECT_FALSE(WritePlayerFile(PlayerFilePath("a.pla"), "new"));
    EXPECT_EQ(ReadFileBytes(folder / "players/a.pla"), "old");
    EXPECT_NE(log.Text().find("Player file not saved: Cannot create"), std::string::npos)
        << log.Text();
}

TEST_F(PlayerFileIo, ReadingFindsOnlyARegularFileAtTheExactPath) {
    ASSERT_TRUE(CreatePlayerFileFolder());
    std::string text;
    EXPECT_EQ(ReadPlayerFile(PlayerFilePath("none.pla"), text), FileRead::Missing);
    folder.MakeFolder("players/dir.pla");
    EXPECT_EQ(ReadPlayerFile(PlayerFilePath("dir.pla"), text), FileRead::Failed);
    ASSERT_EQ(::mkfifo((folder / "players/pipe.pla").c_str(), 0600), 0);
    EXPECT_EQ(ReadPlayerFile(PlayerFilePath("pipe.pla"), text), FileRead::Failed);

    std::string bytes;
    std::string error;
    folder.Write("big", std::string(100, 'x'));
    EXPECT_EQ(ReadRegularFile(folder / "big", 99, bytes, error), FileRead::Failed);
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_EQ(ReadRegularFile(folder / "big", 100, bytes, error), FileRead::Read);
    EXPECT_EQ(bytes.size(), 100u);
}

TEST_F(PlayerFileIo, DeletingAMissingFileIsNoFailure) {
    ASSERT_TRUE(CreatePlayerFileFolder());
    EXPECT_TRUE(DeletePlayerFile(PlayerFilePath("none.sav")));
    ASSERT_TRUE(WritePlayerFile(PlayerFilePath("a.sav"), "x"));
    EXPECT_TRUE(DeletePlayerFile(PlayerFilePath("a.sav")));
    EXPECT_FALSE(std::filesystem::exists(folder / "players/a.sav"));
    folder.MakeFolder("players/dir.sav");
    EXPECT_FALSE(DeletePlayerFile(PlayerFilePath("dir.sav")));
}

} // namespace
