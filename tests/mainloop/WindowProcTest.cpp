#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Timer.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "tests/mainloop/LoopFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST_F(LoopTest, WindowMenuMakesTheGameInactiveUntilItCloses) {
    SetKeyDown(kKeyLeftButton, true);
    Mouse.Update();
    WindowProc(App.window, kMessageEnterMenuLoop, 0, 0);
    EXPECT_FALSE(App.active);
    EXPECT_FALSE(Mouse.leftHeld);
    EXPECT_TRUE(Mouse.leftReleased);
    EXPECT_EQ(audio.Calls().back(), "Pause");

    clock.AdvanceSeconds(10.0); // the time in the menu
    WindowProc(App.window, kMessageExitMenuLoop, 0, 0);
    EXPECT_TRUE(App.active);
    EXPECT_EQ(audio.Calls().back(), "Start");
    FrameTimer.Update();
    EXPECT_EQ(FrameTimer.StepsDue(), 0) << "the time in the menu is not made up";
}

TEST_F(LoopTest, MovedFlagTellsWhetherTheLastMessageWasAMove) {
    WindowProc(App.window, kMessageMouseMove, 0, PackPoint(12, 34));
    EXPECT_TRUE(Mouse.moved);
    EXPECT_EQ(Mouse.x, 12.0f);
    EXPECT_EQ(Mouse.y, 34.0f);
    WindowProc(App.window, kMessageKeyDown, 'A', 0);
    EXPECT_FALSE(Mouse.moved);
}

TEST_F(LoopTest, FocusLostInAWindowKeepsTheDeviceAndRestartsNothing) {
    WindowProc(App.window, kMessageActivate, kActivateInactive, 0);
    EXPECT_FALSE(App.active);
    EXPECT_FALSE(App.deviceLost);
    EXPECT_FALSE(App.window->IsMinimised());
    // A switch already asked for keeps a full-screen window where it is.
    App.fullScreen = true;
    App.toggleFullScreen = true;
    WindowProc(App.window, kMessageActivate, kActivateInactive, 0);
    EXPECT_FALSE(App.deviceLost);
    App.toggleFullScreen = false;
    WindowProc(App.window, kMessageActivate, kActivateInactive, 0);
    EXPECT_TRUE(App.deviceLost);
    WindowProc(App.window, kMessageActivate, 2, 0); // activated by a click
    EXPECT_TRUE(App.active);
}

TEST_F(LoopTest, GameWindowIsShownCentredAndItsClassIsTheGames) {
    EXPECT_TRUE(App.window->IsVisible());
    EXPECT_EQ(App.window->ClassName(), "Orvex");
    EXPECT_EQ(App.window->ClientWidth(), 1024);
    EXPECT_EQ(App.window->ClientHeight(), 768);
    EXPECT_EQ(CreateAppWindow(1024, 768, false), nullptr) << "the class is registered already";
    EXPECT_EQ(ProcedureOf(App.window), &WindowProc);
}

TEST_F(LoopTest, LoadingASceneMakesTheMouseIgnoreItsButtons) {
    ObjectsManager scene;
    EXPECT_THROW(scene.LoadScene("levels/no such scene.txt", false), Exception);
    EXPECT_TRUE(Mouse.suppress) << "before the file is read";
}

} // namespace
