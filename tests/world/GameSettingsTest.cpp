#include "world/GameSettings.h"

#include "engine/Application.h"
#include "media/SoundManager.h"
#include "tests/world/WorldFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class GameSettingsTest : public WorldTest {
protected:
    // The live state that a missing value falls back to.
    void SetLive(bool fullScreen, int music, int sound) {
        App.fullScreen = fullScreen;
        Sounds.SetStreamVolume(music);
        Sounds.SetSampleVolume(sound);
    }
};

TEST_F(GameSettingsTest, SettingsAreThreeLinesWithCrLf) {
    GameSettings = {true, true, 0.25f, 1.0f / 3.0f};
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(PlayerBytes("settings.dat"), "1\r\n0.25\r\n0.333333\r\n");
}

struct LoadCase {
    const char* file; // nullptr: no file
    bool fullScreen;
    float music;
    float sound;
};

TEST_F(GameSettingsTest, EachValueIsReadOnItsOwnAndFallsBackToTheLiveOne) {
    const LoadCase cases[] = {
        {"0\r\n0.5\r\n0.25\r\n", false, 0.5f, 0.25f},
        {"1 0.5 0.25", true, 0.5f, 0.25f},
        {nullptr, true, 0.4f, 0.7f},
        {"", true, 0.4f, 0.7f},
        {"x\n0.5\n0.25\n", true, 0.5f, 0.25f},
        {"0\nnan\n0.25\n", false, 0.4f, 0.25f},
        {"0\n0.5\ninf\n", false, 0.5f, 0.7f},
        {"0\n-3\n7\n", false, 0.0f, 1.0f},
        {"2\n0.5x\n", true, 0.4f, 0.7f},
        {"0\n", false, 0.4f, 0.7f},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        SetLive(true, 40, 70);
        if (c.file != nullptr) {
            WritePlayerBytes("settings.dat", c.file);
        } else {
            std::filesystem::remove(Players("settings.dat"));
        }
        LoadSettings();
        EXPECT_EQ(GameSettings.fullScreen, c.fullScreen);
        EXPECT_FLOAT_EQ(GameSettings.musicVolume, c.music);
        EXPECT_FLOAT_EQ(GameSettings.soundVolume, c.sound);
        EXPECT_EQ(Sounds.GetStreamVolume(), static_cast<int>(c.music * 100.0f));
        EXPECT_EQ(Sounds.GetSampleVolume(), static_cast<int>(c.sound * 100.0f));
    }
}

TEST_F(GameSettingsTest, TheSoundLayerGetsTheVolumesTruncated) {
    WritePlayerBytes("settings.dat", "0\n0.505\n0.999\n");
    LoadSettings();
    EXPECT_EQ(Sounds.GetStreamVolume(), 50);
    EXPECT_EQ(Sounds.GetSampleVolume(), 99);
}

TEST_F(GameSettingsTest, TheFirstStartIsInFullScreenAndLaterOnesAsTheSettingsSay) {
    EXPECT_TRUE(FullScreenAtStart(false));
    WritePlayerBytes("last.pla", "0");
    EXPECT_FALSE(FullScreenAtStart(false));
    EXPECT_TRUE(FullScreenAtStart(true));
    WritePlayerBytes("settings.dat", "1\n0.5\n0.5\n");
    EXPECT_TRUE(FullScreenAtStart(false));
    WritePlayerBytes("settings.dat", "0\n");
    EXPECT_FALSE(FullScreenAtStart(true));
    WritePlayerBytes("settings.dat", "yes\n");
    EXPECT_TRUE(FullScreenAtStart(true));
    // Only the player-file folder counts: a "last.pla" among the data is none.
    std::filesystem::remove(Players("last.pla"));
    WriteData("last.pla", "0");
    EXPECT_TRUE(FullScreenAtStart(false));
}

TEST_F(GameSettingsTest, EveryProfileCarriesACopyOfTheSettings) {
    GameSettings = {true, false, 0.5f, 0.125f};
    Player& player = MakeProfile(0, "Ann");
    GameSettings = {true, false, 0.5f, 0.125f}; // loading the profile read the live ones
    player.SetFlag("z1", "a", 1);
    const std::string head = "16838\r\nAnn\r\n1\r\n0\r\n0.5\r\n0.125\r\n(z1:a 1)";
    EXPECT_EQ(PlayerBytes("0.pla").substr(0, head.size()), head);
}

} // namespace
