#include "world/FullScreenKey.h"

#include "engine/Application.h"
#include "engine/Input.h"
#include "media/Renderer.h"
#include "platform/os/Keys.h"
#include "tests/world/WorldFixture.h"
#include "world/GameSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FullScreenKeyTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ResetFullScreenKey();
        Renderer::State().smallDesktop = false;
        ReleaseKeys();
    }
    void TearDown() override {
        ReleaseKeys();
        Renderer::State().smallDesktop = false;
        ResetFullScreenKey();
        WorldTest::TearDown();
    }

    static void ReleaseKeys() {
        ReleaseAllKeys();
        Keyboard.Reset();
    }
    // One step in which the keys are down (and newly pressed when they were up).
    static void Step(bool alt, bool enter) {
        SetKeyDown(kKeyLeftAlt, alt);
        SetKeyDown(kKeyEnter, enter);
        Keyboard.Update();
    }
};

TEST_F(FullScreenKeyTest, TogglesOncePerStepHoweverManyAsk) {
    App.fullScreen = false;
    GameSettings.fullScreen = false;
    Step(true, true);
    // The game process and two level systems ask in the same step.
    EXPECT_TRUE(RunFullScreenKey());
    EXPECT_FALSE(RunFullScreenKey());
    EXPECT_FALSE(RunFullScreenKey());
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
    EXPECT_EQ(PlayerBytes("settings.dat").substr(0, 3), "1\r\n");

    // Enter held on: no new press, no toggle.
    Step(true, true);
    EXPECT_FALSE(RunFullScreenKey());
    EXPECT_TRUE(GameSettings.fullScreen);
}

TEST_F(FullScreenKeyTest, ASecondPressLaterTogglesBackAndTakesTheRequestBack) {
    App.fullScreen = false;
    GameSettings.fullScreen = false;
    Step(true, true);
    ASSERT_TRUE(RunFullScreenKey());
    Step(true, false);
    Step(true, false);
    Step(true, true);
    EXPECT_TRUE(RunFullScreenKey());
    EXPECT_FALSE(GameSettings.fullScreen);
    EXPECT_FALSE(App.toggleFullScreen);
    EXPECT_EQ(PlayerBytes("settings.dat").substr(0, 3), "0\r\n");
}

TEST_F(FullScreenKeyTest, NeedsAltHeldAndEnterPressedAndALargeDesktop) {
    struct Case {
        const char* what;
        bool alt;
        bool enter;
        bool smallDesktop;
    };
    const Case cases[] = {
        {"Enter without Alt", false, true, false},
        {"Alt without Enter", true, false, false},
        {"a small desktop", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReleaseKeys();
        ResetFullScreenKey();
        App.fullScreen = true;
        GameSettings.fullScreen = true;
        Renderer::State().smallDesktop = c.smallDesktop;
        Step(c.alt, c.enter);
        EXPECT_FALSE(RunFullScreenKey());
        EXPECT_TRUE(GameSettings.fullScreen);
        EXPECT_FALSE(App.toggleFullScreen);
        EXPECT_FALSE(PlayerFileExists("settings.dat"));
    }
}

TEST_F(FullScreenKeyTest, TheCurrentProfileKeepsTheNewSetting) {
    MakeProfile(0, "Ann");
    App.fullScreen = true;
    GameSettings.fullScreen = true;
    Step(true, true);
    ASSERT_TRUE(RunFullScreenKey());
    EXPECT_TRUE(App.toggleFullScreen);
    // The profile's copy of the settings: the line after its name.
    EXPECT_NE(PlayerBytes("0.pla").find("\r\nAnn\r\n0\r\n"), std::string::npos);
}

} // namespace
