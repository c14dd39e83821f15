#include "engine/Input.h"

#include "platform/os/Keys.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class InputTest : public testing::Test {
protected:
    InputTest() { Reset(); }
    ~InputTest() override { Reset(); }

    static void Reset() {
        ReleaseAllKeys();
        Keyboard.Reset();
    }

    // The key's state after each step, with the key set down or up before the step.
    static std::vector<Input::KeyState> Steps(int key, const std::vector<bool>& down) {
        std::vector<Input::KeyState> states;
        for (const bool isDown : down) {
            SetKeyDown(key, isDown);
            Keyboard.Update();
            states.push_back(Keyboard.State(key));
        }
        return states;
    }
};

using States = std::vector<Input::KeyState>;

TEST_F(InputTest, KeyHeldThreeStepsReadsPressedHeldHeldThenReleasedThenUp) {
    EXPECT_EQ(Steps('A', {true, true, true, false, false}),
              (States{Input::kPressed, Input::kHeld, Input::kHeld, Input::kReleased, Input::kUp}));
    SetKeyDown('A', true);
    Keyboard.Update();
    EXPECT_TRUE(Keyboard.KeyPressed('A'));
    EXPECT_TRUE(Keyboard.KeyDown('A'));
    Keyboard.Update();
    EXPECT_FALSE(Keyboard.KeyPressed('A'));
    EXPECT_TRUE(Keyboard.KeyDown('A'));
}

TEST_F(InputTest, KeyDownAgainRightAfterItsReleaseStepReadsHeldNotPressed) {
    EXPECT_EQ(Steps(kKeyEnter, {true, false, true}),
              (States{Input::kPressed, Input::kReleased, Input::kHeld}));
    EXPECT_FALSE(Keyboard.KeyPressed(kKeyEnter));
    EXPECT_TRUE(Keyboard.KeyDown(kKeyEnter));
}

TEST_F(InputTest, PressShorterThanAStepReadsPressedThenReleased) {
    SetKeyDown(kKeyEscape, true);
    SetKeyDown(kKeyEscape, false);
    Keyboard.Update();
    EXPECT_TRUE(Keyboard.KeyPressed(kKeyEscape));
    Keyboard.Update();
    EXPECT_EQ(Keyboard.State(kKeyEscape), Input::kReleased);
    Keyboard.Update();
    EXPECT_EQ(Keyboard.State(kKeyEscape), Input::kUp);
}

TEST_F(InputTest, GenericModifiersFollowEitherKey) {
    SetKeyDown(0xA1, true); // right Shift
    Keyboard.Update();
    EXPECT_TRUE(Keyboard.KeyPressed(kKeyShift));
    EXPECT_TRUE(Keyboard.KeyPressed(0xA1));
    EXPECT_FALSE(Keyboard.KeyDown(kKeyLeftShift));
    SetKeyDown(kKeyLeftShift, true); // the other Shift too: still one held Shift
    Keyboard.Update();
    EXPECT_EQ(Keyboard.State(kKeyShift), Input::kHeld);
    SetKeyDown(0xA1, false);
    SetKeyDown(kKeyLeftShift, false);
    Keyboard.Update();
    EXPECT_EQ(Keyboard.State(kKeyShift), Input::kReleased);
}

TEST_F(InputTest, MouseButtonCodesNeverReadAsKeys) {
    for (int button = 1; button <= 4; ++button) {
        SetKeyDown(button, true);
    }
    Keyboard.Update();
    for (int button = 1; button <= 4; ++button) {
        SCOPED_TRACE(button);
        EXPECT_FALSE(Keyboard.KeyPressed(button));
        EXPECT_FALSE(Keyboard.KeyDown(button));
    }
    // The buttons' presses are left for the mouse.
    EXPECT_TRUE(TakeKeyPress(kKeyLeftButton));
}

TEST_F(InputTest, CodesOutsideTheTableReadUp) {
    for (const int code : {-1, 256, 100000}) {
        EXPECT_FALSE(Keyboard.KeyPressed(code));
        EXPECT_FALSE(Keyboard.KeyDown(code));
        EXPECT_EQ(Keyboard.State(code), Input::kUp);
    }
}

} // namespace
