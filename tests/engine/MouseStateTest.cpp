#include "engine/MouseState.h"

#include "engine/Application.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FixedCursorFrame final : MouseState::CursorFrameSource {
    explicit FixedCursorFrame(MouseState::CursorFrame frame) : frame(frame) {}
    MouseState::CursorFrame CurrentCursorFrame() const override { return frame; }
    MouseState::CursorFrame frame;
};

class MouseStateTest : public testing::Test {
protected:
    MouseStateTest() { Reset(); }
    ~MouseStateTest() override { Reset(); }

    static void Reset() {
        ReleaseAllKeys();
        Mouse = MouseState();
        MouseState::SetCursorFrameSource(nullptr);
        App = Application();
        ClearMessages();
    }

    // The left button's flags after an update: "P" pressed, "H" held, "R" released, "-" none.
    static std::string LeftStep() {
        Mouse.Update();
        std::string flags;
        flags += Mouse.leftPressed ? "P" : "";
        flags += Mouse.leftHeld ? "H" : "";
        flags += Mouse.leftReleased ? "R" : "";
        return flags.empty() ? "-" : flags;
    }

    static void Move(int x, int y) { Mouse.OnWindowMessage(kMessageMouseMove, 0, PackPoint(x, y)); }
};

using Steps = std::vector<std::string>;

TEST_F(MouseStateTest, ClickOfThreeStepsIsPressedHeldHeldThenReleased) {
    Steps steps;
    SetKeyDown(kKeyLeftButton, true);
    for (int step = 0; step < 3; ++step) {
        steps.push_back(LeftStep());
    }
    SetKeyDown(kKeyLeftButton, false);
    steps.push_back(LeftStep());
    steps.push_back(LeftStep());
    EXPECT_EQ(steps, (Steps{"PH", "H", "H", "R", "-"}));
}

TEST_F(MouseStateTest, ClickShorterThanAStepIsPressedInOneStepAndReleasedInTheNext) {
    SetKeyDown(kKeyRightButton, true);
    SetKeyDown(kKeyRightButton, false);
    Mouse.Update();
    EXPECT_TRUE(Mouse.rightPressed);
    EXPECT_TRUE(Mouse.rightHeld);
    Mouse.Update();
    EXPECT_FALSE(Mouse.rightPressed);
    EXPECT_FALSE(Mouse.rightHeld);
    EXPECT_TRUE(Mouse.rightReleased);
}

TEST_F(MouseStateTest, SuppressedButtonReadsUpUntilBothAreReleasedThenPressesCountAgain) {
    SetKeyDown(kKeyLeftButton, true);
    Steps steps{LeftStep()};
    Mouse.SuppressButtons();
    steps.push_back(LeftStep());
    SetKeyDown(kKeyRightButton, true); // the other button keeps the suppression on
    SetKeyDown(kKeyLeftButton, false);
    steps.push_back(LeftStep());
    EXPECT_TRUE(Mouse.suppress);
    EXPECT_FALSE(Mouse.rightHeld);
    SetKeyDown(kKeyLeftButton, true); // a click made while suppressed is never seen
    SetKeyDown(kKeyLeftButton, false);
    SetKeyDown(kKeyRightButton, false);
    steps.push_back(LeftStep());
    EXPECT_FALSE(Mouse.suppress);
    SetKeyDown(kKeyLeftButton, true); // at once in the next step
    steps.push_back(LeftStep());
    EXPECT_EQ(steps, (Steps{"PH", "-", "-", "-", "PH"}));
}

TEST_F(MouseStateTest, ReleaseButtonsReportsBothReleased) {
    SetKeyDown(kKeyLeftButton, true);
    Mouse.Update();
    Mouse.ReleaseButtons();
    EXPECT_FALSE(Mouse.leftHeld);
    EXPECT_FALSE(Mouse.leftPressed);
    EXPECT_TRUE(Mouse.leftReleased);
    EXPECT_TRUE(Mouse.rightReleased);
}

TEST_F(MouseStateTest, ActivationSuppressesTheButtons) {
    Mouse.OnWindowMessage(kMessageActivateApp, 0, 0);
    EXPECT_FALSE(Mouse.suppress);
    Mouse.OnWindowMessage(kMessageActivateApp, 1, 0);
    EXPECT_TRUE(Mouse.suppress);
}

TEST_F(MouseStateTest, WheelNotchIsSeenByExactlyOneStep) {
    const uint64_t up = static_cast<uint64_t>(kWheelNotch) << 16;
    const uint64_t down = static_cast<uint64_t>(static_cast<uint16_t>(-kWheelNotch)) << 16;
    Mouse.OnWindowMessage(kMessageMouseWheel, up, 0);
    Mouse.OnWindowMessage(kMessageMouseWheel, down, 0);
    EXPECT_EQ(Mouse.wheelUp, 2);
    EXPECT_EQ(Mouse.wheelDown, 2);
    Mouse.Update();
    EXPECT_EQ(Mouse.wheelUp, 1);
    EXPECT_EQ(Mouse.wheelDown, 1);
    Mouse.Update();
    EXPECT_EQ(Mouse.wheelUp, 0);
    Mouse.Update();
    EXPECT_EQ(Mouse.wheelUp, 0);
}

TEST_F(MouseStateTest, CursorOutsideTheWindowReadsMinusThousandUntilItMovesIn) {
    Move(-3, 700); // in a window positions are taken as they come, also off the picture
    EXPECT_EQ(Mouse.x, -3.0f);
    EXPECT_EQ(Mouse.y, 700.0f);
    Mouse.OnWindowMessage(kMessageMouseLeave, 0, 0);
    EXPECT_EQ(Mouse.x, MouseState::kOutside);
    EXPECT_EQ(Mouse.y, MouseState::kOutside);
    Mouse.Update();
    EXPECT_EQ(Mouse.x, MouseState::kOutside);
    Move(10, 20);
    EXPECT_EQ(Mouse.x, 10.0f);
    EXPECT_EQ(Mouse.y, 20.0f);
}

struct ClampCase {
    bool idle;
    FrameRect rect;
    int x, y;
    float expectedX, expectedY;
};

class MouseClamp : public MouseStateTest, public testing::WithParamInterface<ClampCase> {};

TEST_P(MouseClamp, FullScreenHoldsTheCursorOnScreenByItsFrame) {
    const ClampCase& c = GetParam();
    App.fullScreen = true;
    const FixedCursorFrame frame({c.rect, c.idle});
    MouseState::SetCursorFrameSource(&frame);
    Move(c.x, c.y);
    EXPECT_EQ(Mouse.x, c.expectedX);
    EXPECT_EQ(Mouse.y, c.expectedY);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, MouseClamp,
    testing::Values(
        // No frame: inside the screen, edges included.
        ClampCase{false, {}, 1500, -40, 1024.0f, 0.0f},
        ClampCase{false, {}, 512, 384, 512.0f, 384.0f},
        // Halves are whole pixels cut toward zero: 1024 - 31/2 = 1009, 768 - 41/2 = 748.
        ClampCase{false, {-10, -20, 31, 41}, 2000, 2000, 1009.0f, 748.0f},
        ClampCase{false, {-10, -20, 31, 41}, -5, -5, 0.0f, 0.0f},
        // The "idle" animation keeps the cursor right of and below its frame's far edges.
        ClampCase{true, {-10, -20, 31, 41}, 5, 5, 31.0f, 41.0f},
        ClampCase{true, {-10, -20, 31, 41}, 2000, 2000, 1009.0f, 748.0f}));

TEST_F(MouseStateTest, WindowedPositionsAreNotClamped) {
    const FixedCursorFrame frame({{0, 0, 100, 100}, true});
    MouseState::SetCursorFrameSource(&frame);
    Move(1100, 5);
    EXPECT_EQ(Mouse.x, 1100.0f);
    EXPECT_EQ(Mouse.y, 5.0f);
}

} // namespace
