#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "tests/support/TestData.h"
#include "tests/ui/UiFixture.h"
#include "ui/UIButton.h"
#include "world/NormalLevelSystem.h"

namespace {

class Buttons : public UiTest {};

TEST(FadeScheme, FactorFollowsTheFadeTimes) {
    struct Case {
        FadeTimes fades;
        float clock;
        float factor;
    };
    const Case cases[] = {
        {{-1, -1, -1, -1}, 0.0f, 0.8f},                                // both off: always full
        {{-1, -1, -1, -1}, 99.0f, 0.8f}, {{1, 2, -1, -1}, 0.5f, 0.0f}, // before the fade-in
        {{1, 2, -1, -1}, 2.0f, 0.4f},                                  // half way
        {{1, 2, -1, -1}, 3.5f, 0.8f},    {{-1, -1, 2, 1}, 1.0f, 0.8f}, // before the fade-out
        {{-1, -1, 2, 1}, 2.5f, 0.4f},    {{-1, -1, 2, 1}, 3.5f, 0.0f},
        {{0, 4, 1, 2}, 2.0f, 0.4f},   // overlapping: the fade-out wins
        {{1, 0, -1, -1}, 1.0f, 0.8f}, // zero durations jump to the end
        {{-1, -1, 1, 0}, 1.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        EXPECT_FLOAT_EQ(c.fades.Factor(c.clock, 0.8f), c.factor);
    }
}

TEST(Ids, PackFromTheirFirstFourCharacters) {
    EXPECT_EQ(PackId("QUIT"), 0x51554954u);
    EXPECT_EQ(PackId("BNO"), 0x424E4F00u);
    EXPECT_EQ(PackId("LOAD"), PackId("LOADING"));
    EXPECT_EQ(PackId(""), 0u);
    for (const char* answer : {"0", ""}) {
        EXPECT_FALSE(DataIsTrue(answer)) << answer;
    }
    for (const char* answer : {"00", "word", " "}) {
        EXPECT_TRUE(DataIsTrue(answer)) << answer;
    }
}

TEST_F(Buttons, ClicksPostTheirEventOnlyInsideOnTheFrameTheButtonWentDown) {
    WriteScreen("b", "(Question (POSI (position 100 100)) (Data (clickEvent BYES)))");
    struct Case {
        const char* what;
        float x;
        float y;
        bool pressed;
        bool right;
        int events;
    };
    const Case cases[] = {
        {"inside", 150, 120, true, false, 1},      {"on the edge", 200, 150, true, false, 1},
        {"outside", 250, 120, true, false, 0},     {"held, not pressed", 150, 120, false, false, 0},
        {"right button", 150, 120, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        UserInterface& layer = Layer(mui, "b");
        Mouse.x = c.x;
        Mouse.y = c.y;
        (c.right ? Mouse.rightHeld : Mouse.leftHeld) = true;
        (c.right ? Mouse.rightPressed : Mouse.leftPressed) = c.pressed;
        layer.Update(kStepTime);
        Mouse = MouseState();
        EXPECT_EQ(events.size(), static_cast<std::size_t>(c.events));
    }
}

TEST_F(Buttons, UnboundOrDisabledButtonsPostNothing) {
    WriteScreen("b", "(Skip (POSI (position 0 0)) (Data (clickEvent SKIP)))"
                     "(Question (POSI (position 0 0)) (Data (clickEvent BYES) (enabled ENAB)))");
    UserInterface& layer = Layer(mui, "b");
    data[FourCC("ENAB")] = "0";
    layer.Update(kStepTime); // the enabled id is read by the update
    ClickAt(layer, 10, 10);
    EXPECT_TRUE(events.empty());
    data[FourCC("ENAB")] = "1";
    layer.Update(kStepTime);
    ClickAt(layer, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"BYES"}));
}

TEST_F(Buttons, SkipButtonsClickInSilence) {
    WriteScreen("b", "(UISkipButton (POSI (position 0 0)) (Data (clickEvent SKIP)))");
    UserInterface& layer = Layer(mui, "b");
    auto* button = dynamic_cast<UIButton*>(layer.Objects()[0].get());
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->clickSound.empty());
    ClickAt(layer, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"SKIP"}));
}

TEST_F(Buttons, EnterFiresEveryDefaultButtonUnlessAnItemIsHeld) {
    WriteScreen("b", "(Question (POSI (position 0 0)) (Data (clickEvent BYES) (defaultButton 1)))"
                     "(Question (POSI (position 0 0)) (Data (clickEvent BNO) (defaultButton 1)))"
                     "(Question (POSI (position 0 0)) (Data (clickEvent OTHR)))");
    UserInterface& layer = Layer(mui, "b");
    PressKey(13);
    layer.Update(kStepTime);
    // Posted from the update: delivered in the next step, in layer order.
    ReleaseKeys();
    layer.Update(kStepTime);
    EXPECT_EQ(events, (std::vector<std::string>{"BYES", "BNO"}));

    events.clear();
    Level& level = MakeGameLevel();
    level.levelSystem->heldItemName = "key";
    PressKey(13);
    layer.Update(kStepTime);
    ReleaseKeys();
    layer.Update(kStepTime);
    EXPECT_TRUE(events.empty());
}

TEST_F(Buttons, OverAndLostOverEventsFollowTheMouse) {
    WriteScreen("b", "(Question (POSI (position 100 100)) (Data (overEvent OVER) "
                     "(lostOverEvent LOST)))");
    UserInterface& layer = Layer(mui, "b");
    // Posted from the update: each arrives in the step after.
    for (auto [x, y] : {std::pair{500, 500}, {110, 110}, {120, 120}, {500, 500}, {500, 500}}) {
        MoveTo(layer, x, y);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"OVER", "LOST"}));
}

TEST_F(Buttons, TaskTipFollowsTheHoverLevel) {
    WriteScreen("b", "(Question (POSI (position 0 0)) (Data (taskTip yes)))");
    UserInterface& layer = Layer(MainUI, "b");
    auto* button = dynamic_cast<UIButton*>(layer.Objects()[0].get());
    ASSERT_NE(button, nullptr);
    for (int step = 0; step < 30; ++step) {
        MoveTo(layer, 10, 10);
    }
    EXPECT_EQ(button->TaskTipColour() >> 24, 128u);
    EXPECT_EQ(button->TaskTipColour() & 0xFFFFFFu, 0xCCFF00u);
    for (int step = 0; step < 30; ++step) {
        MoveTo(layer, 500, 500);
    }
    EXPECT_EQ(button->TaskTipColour() >> 24, 0u);
}

TEST(ToolTips, StayOnTheScreen) {
    struct Case {
        float mouseX;
        float mouseY;
        float x;
        float y;
    };
    const Case cases[] = {
        {100, 100, 120, 130},  // 20 right, 30 below
        {1000, 100, 924, 130}, // moved in from the right edge
        {100, 750, 120, 748},  // and from the bottom
        {-50, 100, 0, 130},    // never left of 0
    };
    for (const Case& c : cases) {
        float x = 0;
        float y = 0;
        UIButton::PlaceToolTip(c.mouseX, c.mouseY, 100, 20, x, y);
        EXPECT_FLOAT_EQ(x, c.x) << c.mouseX;
        EXPECT_FLOAT_EQ(y, c.y) << c.mouseY;
    }
}

TEST_F(Buttons, ADefinitionWithoutTheChunksOfItsRegionFailsNamingIt) {
    WriteData("scripts/ui_objects.txt",
              "(Final (Bare UIBitmapButton (POSI) (Data (regionFromSprite idle))))");
    UserInterface& layer = EnsureLayer(mui);
    WriteScreen("b", "(Bare)");
    const std::string error = ErrorOf([&] { layer.LoadScene("menus/b.txt", true); });
    EXPECT_NE(error.find("Bare"), std::string::npos) << error;
}

} // namespace
