#include "engine/Application.h"
#include "game/ApplicationInit.h"
#include "game/RunApplication.h"
#include "game/Shutdown.h"
#include "media/Renderer.h"
#include "platform/os/Seams.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/Window.h"
#include "tests/game/GameFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class StartUpTest : public GameTest {
protected:
    std::vector<std::string> FilesUnder(const std::string& path) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(path)) {
            names.push_back(fs::relative(entry.path(), path).string());
        }
        return names;
    }
};

TEST_F(StartUpTest, FullScreenAtStartComesFromLastPlayerThenSettingsThenConfig) {
    struct Case {
        const char* name;
        bool lastPlayer;
        std::optional<std::string> settings;
        int configured;
        bool fullScreen;
    };
    const Case cases[] = {
        {"first start is full screen even when configured off", false, std::nullopt, 0, true},
        {"first start ignores settings without last.pla", false, "0\r\n1\r\n1\r\n", 0, true},
        {"no settings: the configuration decides (off)", true, std::nullopt, 0, false},
        {"no settings: the configuration decides (on)", true, std::nullopt, 1, true},
        {"settings say windowed over a full-screen configuration", true, "0\r\n1\r\n1\r\n", 1,
         false},
        {"settings say full screen over a windowed configuration", true, "1\r\n1\r\n1\r\n", 0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        fs::remove_all(ProfileFolder());
        fs::create_directories(SaveFolder());
        if (c.lastPlayer) {
            folder.Write("profile/Saved Games/Vostrel Games/Orvex/last.pla", "0");
        }
        if (c.settings) {
            folder.Write("profile/Saved Games/Vostrel Games/Orvex/settings.dat", *c.settings);
        }
        WriteConfig("(full_screen " + std::to_string(c.configured) + ")\n");
        ASSERT_TRUE(InitApplication());
        EXPECT_EQ(App.fullScreen, c.fullScreen);
        ASSERT_NE(App.window, nullptr);
        EXPECT_EQ(App.window->IsFullScreen(), c.fullScreen);
        Shutdown();
    }
}

// A kill between writing a player file's temporary copy and renaming it leaves the copy behind;
// the next start removes every such copy before it reads the folder, and nothing else.
TEST_F(StartUpTest, StartUpRemovesTheTemporaryCopiesOfPlayerFilesOnly) {
    fs::remove_all(ProfileFolder());
    fs::create_directories(SaveFolder());
    const std::string saves = "profile/Saved Games/Vostrel Games/Orvex/";
    for (const char* name : {"0.pla.tmp", "4.pla.tmp", "last.pla.tmp", "0.sav.tmp",
                             "settings.dat.tmp", "0.pla", "notes.tmp", "0.pla.damaged", ".tmp"}) {
        folder.Write(saves + name, "1");
    }
    ASSERT_TRUE(InitApplication());
    EXPECT_THAT(FilesUnder(SaveFolder()),
                ::testing::UnorderedElementsAre("0.pla", "notes.tmp", "0.pla.damaged", ".tmp"));
    Shutdown();
}

TEST_F(StartUpTest, AMissingVersionOrConfigurationFileEndsWithTheErrorBox) {
    for (const char* missing : {"data/version.txt", "config.txt"}) {
        SCOPED_TRACE(missing);
        StartAgain();
        WriteData("version.txt", "(version_info 1 4)\n");
        WriteConfig("(full_screen 0)\n");
        fs::remove(*game / missing);

        EXPECT_EQ(RunApplication(), 1);
        ASSERT_EQ(Seams().messageBoxesShown.size(), 1u);
        EXPECT_THAT(Seams().messageBoxesShown[0], StartsWith("Error: "));
        EXPECT_THAT(Seams().messageBoxesShown[0], HasSubstr(fs::path(missing).filename()));
        // Everything was shut down before the box.
        EXPECT_EQ(Renderer::State().device, nullptr);
    }
}

TEST_F(StartUpTest, AFatalErrorAfterStartUpShutsDownShowsTheBoxAndFails) {
    // Start-up succeeds; the game's first file is missing.
    EXPECT_EQ(RunApplication(), 1);
    ASSERT_EQ(Seams().messageBoxesShown.size(), 1u);
    EXPECT_THAT(Seams().messageBoxesShown[0], StartsWith("Error: "));
    EXPECT_THAT(Seams().messageBoxesShown[0], HasSubstr("sounds.txt"));
    EXPECT_EQ(Renderer::State().device, nullptr);
    EXPECT_EQ(script.devicesAlive, 0);
    EXPECT_EQ(script.texturesAlive, 0);
    EXPECT_FALSE(App.window->IsVisible());
}

TEST_F(StartUpTest, ASecondInstanceEndsAtOnceWithoutAWordOrAFile) {
    SingleInstance first;
    ASSERT_TRUE(first.Claim(InstanceName()));

    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(Seams().messageBoxesShown.empty());
    EXPECT_EQ(App.window, nullptr);
    EXPECT_TRUE(FilesUnder(ProfileFolder()).empty());
    EXPECT_THAT(FilesUnder(game->Path()),
                ::testing::UnorderedElementsAre("data", "data/version.txt", "data/strings-utf8.txt",
                                                "data/gestures.txt", "config.txt"));

    // Once the first copy is gone the game starts.
    first.Release();
    EXPECT_TRUE(InitApplication());
}

TEST_F(StartUpTest, TheSaveFolderIsUnderTheProfileFolderOrTheCurrentFoldersStore) {
    struct Case {
        const char* name;
        std::optional<std::string> xdg;  // relative to the test's folder; "" for unset
        std::optional<std::string> home; // the same
        std::string expected;            // relative to the test's folder, or "<game>/..."
    };
    const Case cases[] = {
        {"XDG_DATA_HOME", "xdg", "home", "xdg/Saved Games/Vostrel Games/Orvex/"},
        {"HOME's .local/share without XDG_DATA_HOME", std::nullopt, "home",
         "home/.local/share/Saved Games/Vostrel Games/Orvex/"},
        {"a relative XDG_DATA_HOME is not used", "relative", "home",
         "home/.local/share/Saved Games/Vostrel Games/Orvex/"},
        {"no profile folder: the current folder's store", std::nullopt, std::nullopt,
         "<game>/store/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        WriteConfig("(full_screen 0)\n(create_log 1)\n");
        auto absolute = [&](const std::optional<std::string>& relative) {
            return relative ? std::optional<std::string>(
                                  *relative == "relative" ? *relative : folder / *relative)
                            : std::nullopt;
        };
        const ScopedEnvironment xdgVariable("XDG_DATA_HOME", absolute(c.xdg));
        const ScopedEnvironment homeVariable("HOME", absolute(c.home));
        const std::string expected = c.expected.starts_with("<game>")
                                         ? game->Path() + c.expected.substr(6)
                                         : folder / c.expected;

        ASSERT_TRUE(InitApplication());
        EXPECT_EQ(App.saveFolder, expected);
        EXPECT_TRUE(fs::is_directory(expected));
        EXPECT_THAT(ReadFileBytes(expected + "log.txt"), HasSubstr("Application::Init done\n"));
        Shutdown();
    }
}

TEST_F(StartUpTest, ASaveFolderThatCannotBeMadeIsFatal) {
    folder.Write("blocked", "a file where the profile folder should be");
    const ScopedEnvironment blocked("XDG_DATA_HOME", folder / "blocked");

    EXPECT_EQ(RunApplication(), 1);
    EXPECT_THAT(Seams().messageBoxesShown, ElementsAre("Error: Could not create data directory!"));
}

TEST_F(StartUpTest, CreateDirectoryPathMakesEveryLevelAndRefusesWhatItCannot) {
    folder.Write("file", "x");
    struct Case {
        std::string path;
        bool made;
    };
    const std::string longPath = folder / std::string(kMaxDirectoryPath, 'a');
    const Case cases[] = {
        {folder / "one/two/three", true},
        {folder / "one\\two\\four\\", true}, // Windows separators and a closing one
        {folder / "one/two", true},          // already there
        {folder / "file/under", false},      // a level is a file
        {folder / "file", false},
        {"", false},
        {longPath, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CreateDirectoryPath(c.path), c.made);
    }
    EXPECT_TRUE(fs::is_directory(folder / "one/two/four"));
    // The over-long path made nothing at all, not even its first levels.
    EXPECT_FALSE(fs::exists(longPath.substr(0, folder.Path().size() + 2)));
}

} // namespace
