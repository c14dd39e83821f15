#include "services/LocalFile.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(DataFolderTest, TheCommonDataFolderComesFromTheEnvironment) {
    const struct {
        std::optional<std::string> common;
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string folder;
    } cases[] = {
        {"/srv/common", "/xdg", "/home/p", "/srv/common/"},
        {"", "/xdg/", "/home/p", "/xdg/"},
        {std::nullopt, "/xdg", "/home/p", "/xdg/"},
        {std::nullopt, "relative", "/home/p", "/home/p/.local/share/"},
        {std::nullopt, std::nullopt, "/home/p", "/home/p/.local/share/"},
        {std::nullopt, std::nullopt, "", ""},
        {std::nullopt, std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment common(kCommonDataVariable, c.common);
        const ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(CommonDataFolder(), c.folder) << c.folder;
    }
}

TEST(DataFolderTest, TheGameLevelIsAlwaysInLowerCase) {
    const ScopedEnvironment common(kCommonDataVariable, "/data");
    const struct {
        std::string company;
        std::string game;
        std::string folder;
    } cases[] = {
        {"Vostrel Games", "Crypt Quest", "/data/Vostrel Games/crypt quest/"},
        {"Vostrel Games", "crypt quest", "/data/Vostrel Games/crypt quest/"},
        {"", "Game", "/data/game/"},
        {"Company", "", "/data/Company/"},
        {"a/b", "Game", ""},
        {"Company", "..", ""},
        {".", "Game", ""},
        {"Company", "back\\slash", ""},
        {std::string("nul\0l", 5), "Game", ""},
        {"..x", "Game.", "/data/..x/game./"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataFolderPath(c.company, c.game), c.folder) << c.company << " " << c.game;
    }
    EXPECT_EQ(GameFolderOnDisk("MiXeD \xC3\x89"), "mixed \xC3\x89");
}

TEST(DataFolderTest, BuildsTheItemPathsAndFileNames) {
    EXPECT_EQ(ItemFolderPath("/data/C/g/", 7), "/data/C/g/7/");
    EXPECT_EQ(ItemFilePath("/data/C/g/", 7, "data", "dat"), "/data/C/g/7/data7.dat");
    EXPECT_EQ(ItemFilePath("/data/C/g/", 12, "logo", "png"), "/data/C/g/12/logo12.png");

    const struct {
        const char* url;
        const char* name;
    } names[] = {
        {"http://h/files/crypt-level.dat", "crypt-level.dat"},
        {"c:\\temp\\x.png", "x.png"},
        {"plain", "plain"},
        {"http://h/", ""},
        {"", ""},
    };
    for (const auto& n : names) {
        EXPECT_EQ(FileNameOfUrl(n.url), n.name) << n.url;
    }

    {
        const ScopedEnvironment temporary("TMPDIR", "/var/tmp");
        EXPECT_EQ(TemporaryFolder(), "/var/tmp/");
    }
    const ScopedEnvironment temporary("TMPDIR", std::nullopt);
    EXPECT_EQ(TemporaryFolder(), "/tmp/");
}

TEST(DataFolderTest, CreatesItemFolders) {
    const TempFolder folder;
    const std::string data = folder.Path() + "/C/g/";
    EXPECT_EQ(CreateItemFolder(data, 7), data + "7/");
    EXPECT_TRUE(fs::is_directory(data + "7"));
    EXPECT_EQ(CreateItemFolder(data, 7), data + "7/") << "an existing folder is fine";
    folder.Write("C/g/8", "a file in the way");
    EXPECT_EQ(CreateItemFolder(data, 8), "");
    EXPECT_EQ(CreateItemFolder("", 9), "");
}

class LocalFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnvironment common{kCommonDataVariable, folder.Path() + "/share"};
    std::string path = folder.Path() + "/share/Vostrel Games/crypt quest/scores.xml";
};

TEST_F(LocalFileTest, WritesTheWholeFileInItsDataFolder) {
    LocalFile file(kScoresFileName, "Vostrel Games", "Crypt Quest");
    EXPECT_EQ(file.Path(), path);
    ASSERT_TRUE(file.Write("0123456789ABCDEF0123456789ABCDEF"));
    EXPECT_EQ(ReadFileBytes(path), "0123456789ABCDEF0123456789ABCDEF");
    ASSERT_TRUE(LocalFile(kScoresFileName, "Vostrel Games", "crypt quest").Write("FEDC"));
    EXPECT_EQ(ReadFileBytes(path), "FEDC") << "a shorter text leaves nothing of the longer";
    EXPECT_FALSE(fs::exists(path + ".tmp")) << "written beside and renamed into place";

    std::string text;
    ASSERT_TRUE(LocalFile(kScoresFileName, "Vostrel Games", "CRYPT QUEST").Read(text));
    EXPECT_EQ(text, "FEDC");
}

TEST_F(LocalFileTest, ReadingAMissingFileCreatesItEmpty) {
    std::string text = "old";
    ASSERT_TRUE(LocalFile(kScoresFileName, "Vostrel Games", "Crypt Quest").Read(text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(LocalFileTest, ReadsUpToTheFirstZeroByteAndRefusesHugeFiles) {
    folder.Write("share/Vostrel Games/crypt quest/scores.xml", std::string("AB\0CD", 5));
    std::string text;
    ASSERT_TRUE(LocalFile(kScoresFileName, "Vostrel Games", "Crypt Quest").Read(text));
    EXPECT_EQ(text, "AB");

    folder.Write("share/Vostrel Games/crypt quest/scores.xml",
                 std::string(LocalFile::kMaxSize + 1, 'A'));
    text = "old";
    EXPECT_FALSE(LocalFile(kScoresFileName, "Vostrel Games", "Crypt Quest").Read(text));
    EXPECT_EQ(text, "old");

    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(LocalFile(kScoresFileName, "Vostrel Games", "Crypt Quest").Read(text))
        << "only a regular file reads";
}

TEST_F(LocalFileTest, AFolderThatCannotBeMadeGivesNoFile) {
    folder.Write("share/Blocked", "a file where the company folder should be");
    LocalFile blocked(kContentFileName, "Blocked", "Game");
    std::string text;
    EXPECT_FALSE(blocked.Write("ABCD"));
    EXPECT_FALSE(blocked.Read(text));

    LocalFile unnamed(kContentFileName, "../escape", "Game");
    EXPECT_EQ(unnamed.Path(), "");
    EXPECT_FALSE(unnamed.Write("ABCD"));
    EXPECT_FALSE(unnamed.Read(text));
    EXPECT_FALSE(fs::exists(folder.Path() + "/escape"));
}

} // namespace
