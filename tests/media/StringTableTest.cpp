#include "media/StringTable.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;

class StringTableTest : public testing::Test {
protected:
    void SetUp() override {
        StringTable::Clear();
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
    }
    void TearDown() override { StringTable::Clear(); }

    void WriteStrings(const std::string& text) const { folder.Write("strings-utf8.txt", text); }

    TempFolder folder{TempFolder::Enter::Yes};
};

TEST_F(StringTableTest, LoadsEveryNamedListWithATextLaterOnesWinning) {
    WriteStrings("(str.hello \"Hello, world\")\n"
                 "(str.menu.play Play)\n"
                 "(str.alone)\n"
                 "[str.unnamed text]\n"
                 "loose_value\n"
                 "(str.hello \"Hi\")\n"
                 "(str.sub (nested list))\n");
    LogCapture log;
    StringTable::Load();
    EXPECT_EQ(StringTable::Translate("str.hello"), "Hi");
    // The key given twice is named, once; the others are not.
    EXPECT_EQ(log.Text(), "strings-utf8.txt gives the key str.hello more than once: its last "
                          "text is used\n");
    EXPECT_EQ(StringTable::Translate("str.menu.play"), "Play");
    const auto& entries = StringTable::Entries();
    EXPECT_FALSE(entries.contains("str.alone"));
    EXPECT_FALSE(entries.contains("str.unnamed"));
    EXPECT_FALSE(entries.contains(""));
    // A list where the text should be gives an empty text: the key shows.
    EXPECT_EQ(StringTable::Translate("str.sub"), "str.sub");
}

TEST_F(StringTableTest, AMissingKeyShowsItselfAndIsAdded) {
    WriteStrings("(str.known Known)\n");
    StringTable::Load();
    EXPECT_EQ(StringTable::Translate("str.unknown"), "str.unknown");
    ASSERT_TRUE(StringTable::Entries().contains("str.unknown"));
    EXPECT_EQ(StringTable::Entries().at("str.unknown"), "");
    EXPECT_EQ(StringTable::Translate("str.unknown"), "str.unknown");
}

TEST_F(StringTableTest, OnlyTextsBeginningWithTheKeyPrefixAreLookedUp) {
    WriteStrings("(Play \"Translated\")\n(str.x X)\n");
    StringTable::Load();
    for (const char* text : {"Play", "str", "str_x", "Str.x", "", " str.x"}) {
        EXPECT_EQ(StringTable::Translate(text), text);
    }
    EXPECT_FALSE(StringTable::Entries().contains("str_x"));
    EXPECT_EQ(StringTable::Translate("str.x"), "X");
}

TEST_F(StringTableTest, AMissingFileIsFatal) {
    EXPECT_THAT(ErrorOf([] { StringTable::Load(); }),
                HasSubstr("Cannot find file strings-utf8.txt"));
}

} // namespace
