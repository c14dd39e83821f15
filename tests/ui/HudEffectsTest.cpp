#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "tests/ui/HudFixture.h"
#include "ui/UIButton.h"
#include "ui/hud/UIHudTweens.h"
#include "ui/hud/UIMapPieceFx.h"
#include "ui/hud/UIPartFx.h"
#include "media/ParticleEmitter.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

PositionChunk& Position(Object& object) {
    return *dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

SpriteRenderChunk& Sprite(Object& object) {
    return *dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

class HudEffects : public HudTest {
protected:
    // MainUI with a picture coded 'TARG' at (0, 0) and the tween after it.
    UserInterface& WithTween(const std::string& tween) {
        WriteScreen("tween", "(UIStatic (Name TARG) (POSI (position 0 0))) " + tween);
        return Layer(MainUI, "tween");
    }
    Object& Target() { return *MainUI->FindByCode(FourCC("TARG")); }
    // Steps of the layer until the tween has gone; the steps taken.
    int StepsUntilGone(const std::string& className, int most = 1000) {
        int steps = 0;
        while (!OfClass(className).empty() && steps < most) {
            MainUI->Update(kStepTime);
            MainUI->RemoveDead();
            ++steps;
        }
        return steps;
    }
};

// Each tween lands exactly on its destination when its time is over, also for an awkward time
// and for a time of 0.
TEST_F(HudEffects, TweensLandExactlyOnTheirDestination) {
    struct Case {
        const char* tween;
        const char* className;
        float time;
    };
    const Case cases[] = {
        {"UIFxShift", "UIFxShift", 0.7f},       {"UIFxShift", "UIFxShift", 0.0f},
        {"UIFxShiftObject", "UIFxShiftObject", 0.35f},
        {"UIFxScale", "UIFxScale", 0.7f},       {"UIFxScale", "UIFxScale", 0.0f},
        {"UIFxScaleObject", "UIFxScaleObject", 0.7f}, {"UIFxRotate", "UIFxRotate", 0.7f},
        {"UIFxRotate", "UIFxRotate", 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tween) + " " + std::to_string(c.time));
        Fresh();
        WithTween(std::string("(") + c.tween + " (Data (object TARGET) (time " +
                  std::to_string(c.time) +
                  ") (destPos 310 -45) (destScale 2.5) (angle 1.5)))");
        const int steps = StepsUntilGone(c.className);
        EXPECT_LE(steps, static_cast<int>(std::ceil(c.time / kStepTime)) + 2);
        const std::string name = c.tween;
        if (name.starts_with("UIFxShift")) {
            EXPECT_EQ(Position(Target()).x, 310.0f);
            EXPECT_EQ(Position(Target()).y, -45.0f);
        } else if (name.starts_with("UIFxScale")) {
            EXPECT_EQ(Sprite(Target()).scale, 2.5f);
        } else {
            EXPECT_FLOAT_EQ(Position(Target()).rotation, 1.5f);
        }
        EXPECT_FALSE(std::isnan(Position(Target()).x));
    }
}

TEST_F(HudEffects, ATweenWaitsOutItsDelayFirst) {
    WithTween("(UIFxShift (Data (object TARG) (time 0.5) (delay 1) (destPos 100 0)))");
    for (int step = 0; step < 59; ++step) {
        MainUI->Update(kStepTime);
    }
    EXPECT_EQ(Position(Target()).x, 0.0f);
    EXPECT_GT(StepsUntilGone("UIFxShift"), 25);
    EXPECT_EQ(Position(Target()).x, 100.0f);
}

TEST_F(HudEffects, TweensWithoutTargetsEndAtOnceOrRunOutTheirTime) {
    struct Case {
        const char* tween;
        int steps;
    };
    const Case cases[] = {{"UIFxScale", 1}, {"UIFxRotate", 1}, {"UIFxShift", 31}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tween);
        Fresh();
        WithTween(std::string("(") + c.tween + " (Data (object NONE) (time 0.5)))");
        EXPECT_EQ(StepsUntilGone(c.tween), c.steps);
    }
}

TEST_F(HudEffects, ATargetThatLeftTheLayerIsLeftAlone) {
    WithTween("(UIFxScale (Data (object TARG) (time 1) (destScale 3)))");
    MainUI->Update(kStepTime);
    MainUI->DestroyObject(&Target());
    EXPECT_EQ(StepsUntilGone("UIFxScale"), 1) << "no target left";
}

TEST_F(HudEffects, TheEndlessTurnKeepsTurningBackTenDegreesASecond) {
    WithTween("(UIFxRotate (Data (object TARG) (time 0.5) (angle 1) (continueRotate 1)))");
    EXPECT_EQ(StepsUntilGone("UIFxRotate", 90), 90);
    const float turned = 1.0f - Position(Target()).rotation;
    EXPECT_NEAR(turned, 10.0f * 3.14159265f / 180.0f, 0.004f) << "a second of turning";
}

TEST_F(HudEffects, AMapPieceCounterAddsAtOnceThenGlowsAfterItsDelay) {
    WriteScreen("hud", "(Picture (Name LSTO) (POSI)) (Picture (Name PROG) (POSI)) "
                       "(Picture (Name LST2) (POSI))");
    Layer(MainUI, "hud");
    CurrentPlayer->AddMapPieces(9, true);
    std::unique_ptr<Object> created = MainUI->CreateObject("UIAddMapPiece", true);
    dynamic_cast<UIAddMapPiece&>(*created).Start(1, 1.0f);
    MainUI->AddObject(std::move(created));
    MainUI->Update(kStepTime);
    EXPECT_EQ(CurrentPlayer->GetMapPieces(), 10);
    EXPECT_EQ(Played(), std::vector<std::string>{"all_mappieces_collected"});
    EXPECT_TRUE(OfClass("UIPartFx").empty()) << "the glow waits";
    Run(1.05f);
    EXPECT_EQ(OfClass("UIPartFx").size(), 1u);
    EXPECT_TRUE(dynamic_cast<UIButton*>(MainUI->FindByCode(FourCC("LSTO")))->pointerOver);
    EXPECT_EQ(Sprite(*MainUI->FindByCode(FourCC("PROG"))).alpha, 0.0f);
    EXPECT_EQ(OfClass("UIAddMapPiece").size(), 1u);
    Run(1.3f);
    EXPECT_TRUE(OfClass("UIAddMapPiece").empty()) << "0.8 s of glow and 0.5 s more";
    EXPECT_EQ(CurrentPlayer->GetMapPieces(), 10);

    // Without the display: the pieces and the burst all the same.
    Fresh();
    LoadHud(1, false);
    created = MainUI->CreateObject("UIAddMapPiece", true);
    dynamic_cast<UIAddMapPiece&>(*created).Start(2, 0.0f);
    MainUI->AddObject(std::move(created));
    MainUI->Update(kStepTime);
    EXPECT_EQ(CurrentPlayer->GetMapPieces(), 2);
    ASSERT_EQ(OfClass("UIPartFx").size(), 1u);
    EXPECT_EQ(dynamic_cast<UIPartFx*>(OfClass("UIPartFx")[0])->Emitter()->x, 70.0f);
}

TEST_F(HudEffects, AMapPieceFlightToItsOwnPointEndsAfterASecondShrinkingAndTellsMainUi) {
    LoadHud(1, false);
    std::unique_ptr<Object> created = MainUI->CreateObject("UIFxMapPieceFly", true);
    auto& fly = dynamic_cast<UIFxMapPieceFly&>(*created);
    fly.Start(300.0f, 200.0f, 300.0f, 200.0f, "gfx\\interface\\gui_buttons.ani", "map_piece");
    MainUI->AddObject(std::move(created));
    Object* art = fly.Art();
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(Sprite(*art).zOrder, 999.0f);
    for (int step = 0; step < 59; ++step) {
        ASSERT_TRUE(fly.Update(kStepTime));
    }
    EXPECT_LT(Sprite(*art).scale, 0.02f);
    EXPECT_EQ(Position(*art).x, 300.0f);
    StepsUntilGone("UIFxMapPieceFly");
    EXPECT_TRUE(fly.done);
    MainUI->Update(kStepTime); // the message system delivers
    EXPECT_NE(std::find(events.begin(), events.end(), "ADDA"), events.end());
}

} // namespace
