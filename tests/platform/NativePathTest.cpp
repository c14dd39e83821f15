#include "platform/os/NativePath.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

TEST(NativePathTest, TurnsSeparatorsAndResolvesDotsLexically) {
    const struct {
        const char* name;
        const char* native;
    } cases[] = {
        {"menus\\tutorials\\x.txt", "menus/tutorials/x.txt"},
        {"data/../config.txt", "config.txt"},
        {"data\\..\\config.txt", "config.txt"},
        {"./a/./b", "a/b"},
        {"a//b\\\\c", "a/b/c"},
        {"/base/data/\\x.txt", "/base/data/x.txt"},
        {"/x/../../y", "/y"},
        {"../config.txt", "../config.txt"},
        {"a/..", "."},
        {"C:\\game\\x.txt", "C:/game/x.txt"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NativePath(c.name), c.native) << c.name;
    }
}

TEST(NativePathTest, SlashAndDriveLetterNamesAreAbsoluteButBackslashNamesAreNot) {
    const struct {
        const char* name;
        bool absolute;
    } cases[] = {
        {"/home/x.pla", true},  {"C:\\x.pla", true}, {"c:", true}, {"\\menus\\x.txt", false},
        {"menus/x.txt", false}, {"", false},         {"x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAbsoluteName(c.name), c.absolute) << c.name;
    }
}

TEST(NativePathTest, CurrentFolderHasNoLengthLimit) {
    TempFolder folder(TempFolder::Enter::Yes);
    // Well past the 260 characters of the old Windows limit.
    std::string deep = folder.Path();
    for (int i = 0; i < 12; ++i) {
        deep += "/" + std::string(50, char('a' + i));
    }
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(CurrentFolder(), std::filesystem::canonical(deep).string());
}

TEST(NativePathTest, OnlyRegularFilesCountAsFiles) {
    TempFolder folder;
    folder.Write("file.txt", "x");
    folder.MakeFolder("folder.txt");
    ASSERT_EQ(::symlink((folder / "file.txt").c_str(), (folder / "link.txt").c_str()), 0);
    ASSERT_EQ(::symlink((folder / "gone.txt").c_str(), (folder / "dangling.txt").c_str()), 0);

    EXPECT_TRUE(IsRegularFile(folder / "file.txt"));
    EXPECT_TRUE(IsRegularFile(folder / "link.txt"));
    EXPECT_FALSE(IsRegularFile(folder / "folder.txt"));
    EXPECT_FALSE(IsRegularFile(folder / "dangling.txt"));
    EXPECT_FALSE(IsRegularFile(folder / "missing.txt"));
    EXPECT_FALSE(IsRegularFile("/dev/null"));
}
