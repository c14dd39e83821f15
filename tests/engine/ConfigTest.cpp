#include "engine/Config.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace {

// Every field that the configuration can change, with the two global flags, on one line each so
// that a failure shows exactly which ones differ.
std::string Settings(const Application& app, PriorityClass priority) {
    std::ostringstream out;
    out << "fullScreen=" << app.fullScreen << "\nshowFps=" << app.showFps
        << "\npriority=" << static_cast<int>(priority)
        << "\ntextureFiltering=" << app.textureFiltering << "\nDevMode=" << DevMode
        << "\nLogEnabled=" << LogEnabled << "\ntutorials=" << app.tutorials
        << "\nautoMinFpsUp=" << app.autoMinFpsUp << "\nautoMinFpsDown=" << app.autoMinFpsDown
        << "\nautoFpsTimeSwitch=" << app.autoFpsTimeSwitch << "\nbit16=" << app.bit16
        << "\nmaxFps=" << app.maxFps << "\ntripleBuffering=" << app.tripleBuffering
        << "\nrenderFonts=" << app.renderFonts << "\nlocalDataDir=" << app.localDataDir
        << "\nstartFromLevel=" << app.startFromLevel << "\nversionInfo=" << app.versionInfo[0]
        << "|" << app.versionInfo[1] << "\nmainNumber=" << app.mainNumber
        << "\nuntouched=" << app.active << app.toggleFullScreen << app.menuFlag << app.lowQuality
        << app.autoQuality << app.deviceLost << app.saveFolder << "\n";
    return out.str();
}

std::string MoreDataMessage(const std::string& file, const std::string& value,
                            const std::string& listName) {
    return "Parcon Error: More data expected! Last read:\n\nFile: " + file + "\nValue: " + value +
           "\nList name: " + listName;
}

// The game runs in "game/", its data in "game/data/", the configuration one folder above.
class ConfigFiles : public testing::Test {
protected:
    void SetUp() override {
        App = Application{};
        DevMode = false;
        LogEnabled = false;
        folder.MakeFolder("game/data");
        std::filesystem::current_path(folder / "game");
        Files.SetDataFolder("data");
    }
    void TearDown() override {
        App = Application{};
        DevMode = false;
        LogEnabled = false;
    }

    TempFolder folder{TempFolder::Enter::Yes};
};

struct ConfigCase {
    const char* name;
    std::string text;
    PriorityClass priorityBefore;
    // The changes the file makes to the defaults.
    std::function<void(Application&, PriorityClass&)> expect;
};

void PrintTo(const ConfigCase& c, std::ostream* out) {
    *out << c.name;
}

class ConfigFileCases : public ConfigFiles, public testing::WithParamInterface<ConfigCase> {};

TEST_P(ConfigFileCases, SetsTheFields) {
    const ConfigCase& c = GetParam();
    folder.Write("config.txt", c.text);
    PriorityClass priority = c.priorityBefore;
    ReadConfigFile(App, "../config.txt", priority);
    const std::string actual = Settings(App, priority);

    Application expectedApp;
    PriorityClass expectedPriority = c.priorityBefore;
    DevMode = false;
    LogEnabled = false;
    c.expect(expectedApp, expectedPriority);
    EXPECT_EQ(actual, Settings(expectedApp, expectedPriority));
}

auto Nothing = [](Application&, PriorityClass&) {};

const ConfigCase kConfigCases[] = {
    {"Empty", "", PriorityClass::Normal, Nothing},
    {"UnrelatedListsLeaveDefaults",
     "(resolution 800 600)\n(Full_Screen 1)\n(full_screen_x 1)\n(sound (full_screen 1))",
     PriorityClass::Normal, Nothing},
    {"TopLevelValuesAreNotSettings", "full_screen 1 show_fps 1", PriorityClass::Normal, Nothing},
    {"StrayListsAreHarmless", "[1 2]\n()\n[]\n[full_screen 1]\n((show_fps) 1)", PriorityClass::Idle,
     Nothing},
    {"EveryKey",
     "# the whole configuration\n"
     "(full_screen 1)\n(show_fps 1)\n(priority idle)\n(texture_filtering 1)\n(dev_mode 1)\n"
     "(create_log 1)\n(tutorials 1)\n(auto_min_fps_up 30.5)\n(auto_min_fps_down 12)\n"
     "(auto_fps_time_switch 2.25)\n(bit16 1)\n(maxfps 1)\n(triple_buffering 1)\n"
     "(render_fonts 0)\n(local_data_dir 1)\n(start_from_level \"levels\\intro.lvl\")\n",
     PriorityClass::Normal,
     [](Application& app, PriorityClass& priority) {
         app.fullScreen = app.showFps = app.textureFiltering = app.tutorials = true;
         app.bit16 = app.maxFps = app.tripleBuffering = app.localDataDir = true;
         app.renderFonts = false;
         app.autoMinFpsUp = 30.5f;
         app.autoMinFpsDown = 12.0f;
         app.autoFpsTimeSwitch = 2.25f;
         app.startFromLevel = "levels\\intro.lvl";
         priority = PriorityClass::Idle;
         DevMode = LogEnabled = true;
     }},
    {"PriorityNormal", "(priority normal)", PriorityClass::Idle,
     [](Application&, PriorityClass& priority) { priority = PriorityClass::Normal; }},
    {"PriorityHighKeepsNormal", "(priority high)", PriorityClass::Normal, Nothing},
    {"PriorityOtherKeepsIdle", "(priority \"idle \")", PriorityClass::Idle, Nothing},
    {"PriorityWithoutValueKeeps", "(priority)", PriorityClass::Idle, Nothing},
    {"PriorityListValueKeeps", "(priority (idle))", PriorityClass::Normal, Nothing},
    {"PriorityCaseSensitive", "(priority IDLE)", PriorityClass::Normal, Nothing},
    {"TripleBufferingHalfCountsAsSet", "(triple_buffering 0.5)", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.tripleBuffering = true; }},
    {"TripleBufferingZero", "(triple_buffering 0.0)", PriorityClass::Normal, Nothing},
    {"FullScreenMinusOneCountsAsSet", "(full_screen -1)", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.fullScreen = true; }},
    {"BooleanHalfIsFalse", "(full_screen 0.5)", PriorityClass::Normal, Nothing},
    {"NotANumberReadsZero", "(show_fps yes)\n(auto_min_fps_up fast)", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.autoMinFpsUp = 0.0f; }},
    {"LaterListWins", "(show_fps 1)\n(show_fps 0)\n(bit16 0)\n(bit16 2)", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.bit16 = true; }},
    {"ExtraValuesIgnored", "(full_screen 1 0 0)", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.fullScreen = true; }},
    {"ListAsValueReadsDefault", "(render_fonts (1))\n(start_from_level [x])", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.renderFonts = false; }},
    {"UnclosedLastList", "(show_fps 1", PriorityClass::Normal,
     [](Application& app, PriorityClass&) { app.showFps = true; }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ConfigFileCases, testing::ValuesIn(kConfigCases),
                         [](const auto& test) { return test.param.name; });

// Every setting but "priority" needs its value.
class ConfigMissingValue : public ConfigFiles, public testing::WithParamInterface<const char*> {};

TEST_P(ConfigMissingValue, IsTheMoreDataError) {
    const std::string key = GetParam();
    folder.Write("config.txt", "(show_fps 1)\n(" + key + ")\n");
    PriorityClass priority = PriorityClass::Normal;
    EXPECT_EQ(ErrorOf([&] { ReadConfigFile(App, "../config.txt", priority); }),
              MoreDataMessage("../config.txt", key, key));
}

INSTANTIATE_TEST_SUITE_P(Keys, ConfigMissingValue,
                         testing::Values("full_screen", "show_fps", "texture_filtering", "dev_mode",
                                         "create_log", "tutorials", "auto_min_fps_up",
                                         "auto_min_fps_down", "auto_fps_time_switch", "bit16",
                                         "maxfps", "triple_buffering", "render_fonts",
                                         "local_data_dir", "start_from_level"));

TEST_F(ConfigFiles, MissingConfigFileIsCannotFind) {
    PriorityClass priority = PriorityClass::Normal;
    EXPECT_EQ(ErrorOf([&] { ReadConfigFile(App, "../config.txt", priority); }),
              "Parcon Error: Cannot find file ../config.txt!");
}

TEST_F(ConfigFiles, VersionFileSetsTheTexts) {
    folder.Write("game/version.txt", "(main_number \"1.04\")\n(version_info \"Demo\" build-7)\n"
                                     "(unrelated 1)\n(main_number 1.05)\n");
    ReadVersionFile(App, "version.txt");
    EXPECT_EQ(App.versionInfo[0], "Demo");
    EXPECT_EQ(App.versionInfo[1], "build-7");
    EXPECT_EQ(App.mainNumber, "1.05");
}

TEST_F(ConfigFiles, VersionFileWithoutSettingsChangesNothing) {
    folder.Write("game/data/version.txt", "(version)\nversion_info 1 2\n[main_number 3]");
    ReadVersionFile(App, "version.txt");
    EXPECT_EQ(Settings(App, PriorityClass::Normal), Settings(Application{}, PriorityClass::Normal));
}

TEST_F(ConfigFiles, VersionInfoNeedsTwoTexts) {
    folder.Write("game/version.txt", "(version_info \"only one\")");
    EXPECT_EQ(ErrorOf([&] { ReadVersionFile(App, "version.txt"); }),
              MoreDataMessage("version.txt", "only one", "version_info"));
}

TEST_F(ConfigFiles, MainNumberNeedsItsText) {
    folder.Write("game/version.txt", "(main_number)");
    EXPECT_EQ(ErrorOf([&] { ReadVersionFile(App, "version.txt"); }),
              MoreDataMessage("version.txt", "main_number", "main_number"));
}

TEST_F(ConfigFiles, MissingVersionFileIsCannotFind) {
    EXPECT_EQ(ErrorOf([&] { ReadVersionFile(App, "version.txt"); }),
              "Parcon Error: Cannot find file version.txt!");
}

} // namespace
