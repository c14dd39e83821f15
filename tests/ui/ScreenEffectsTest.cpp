// The menu-screen effects and the cut-scene manager, on layers loaded from small screen files.

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Keys.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/UICutsceneMngr.h"
#include "ui/fx/UIAmbientFX.h"
#include "ui/fx/UIBonusFX.h"
#include "ui/fx/UIFireworksFX.h"
#include "ui/fx/UIFlyInFX.h"
#include "ui/fx/UIMapZoomFX.h"
#include "ui/fx/UIMenuFX.h"
#include "ui/fx/UIShiftBkgFX.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

constexpr const char* kDefinitions = R"(
(Final
  (Item UILabel (POSI) (TEXT))
  (Pic UIStatic (POSI) (SPRT))
  (UIMenuFX) (UIShadowsFX) (UITablesFX) (UICardsFX) (UILightsFX) (UIFogFX) (UICloudsFX)
  (UIShiftBkgFX) (UIFlyInFX) (UIBonusFX) (UIFireworksFX) (UIMapZoomFX) (UICutsceneMngr)
)
)";

class ScreenEffects : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteData("scripts/ui_objects.txt", kDefinitions);
        WriteData("menus/cutscenes/intro_camera_path.txt", "1 2 3 4 5 6 7 8 9\n");
        WriteData("fw.wav", "fireworks");
        WriteData("zm.wav", "map_zoom");
        WriteData("sounds.txt", "(set global (fireworks fw.wav) (map_zoom zm.wav))");
        Sounds.LoadDefinitions("sounds.txt");
    }
    // The layers let go of their textures before the media layer goes.
    void TearDown() override {
        UiTest::TearDown();
        ResetMedia();
    }

    // How often the set of that name was heard (its one sample holds the name).
    int SoundsPlayed(const std::string& set) const {
        const std::vector<std::string> files = PlayedFiles();
        return static_cast<int>(std::count(files.begin(), files.end(), set));
    }
    // The renderer on a recording device, so that the view transform can be read back.
    void OpenRecordingRenderer() {
        UseRecordingGraphics(script);
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
    }

    UserInterface& Screen(const std::string& objects) {
        WriteScreen("fx", objects);
        return Layer(mui, "fx");
    }

    // Steps the layer for the seconds, as its process does (the dead go after each step).
    static void Run(UserInterface& layer, float seconds) {
        const int steps = static_cast<int>(std::lround(seconds / kStepTime));
        for (int i = 0; i < steps; ++i) {
            layer.Update(kStepTime);
            layer.RemoveDead();
        }
    }

    RecordingScript script;

    static Object* ByCode(UserInterface& layer, const char* code) {
        return layer.FindByCode(FourCC(code));
    }
    static PositionChunk& Position(Object& object) {
        return object.RequireChunk<PositionChunk>(FourCC("POSI"));
    }
    static TextRenderChunk& Text(Object& object) {
        return object.RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    }
    static SpriteRenderChunk& Sprite(Object& object) {
        return object.RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
    }
    template <typename T>
    static T* Find(UserInterface& layer) {
        for (const auto& object : layer.Objects()) {
            if (auto* found = dynamic_cast<T*>(object.get())) {
                return found;
            }
        }
        return nullptr;
    }
};

// ---------------------------------------------------------------------------------------------
// UIMenuFX

TEST_F(ScreenEffects, MenuEffectBringsItemsInOneAGapApartAndEndsAtFifteenSeconds) {
    std::string items;
    for (int i = 1; i <= 6; ++i) {
        items += "(Item (Name IT" + std::to_string(i) + ") (POSI (position 100 " +
                 std::to_string(100 * i) + ")) (TEXT (text x)) (Data (animate 1)))";
    }
    UserInterface& layer = Screen("(UIMenuFX (Data (timeGap 0.2)))" + items);
    Run(layer, kStepTime);
    Object& sixth = *ByCode(layer, "IT6");
    // At its first step every item stands above its place, large and clear.
    EXPECT_FLOAT_EQ(Position(sixth).y, 600.0f - 30.0f);
    EXPECT_FLOAT_EQ(Text(sixth).scale, 5.0f);
    EXPECT_FLOAT_EQ(Text(sixth).alpha, 0.0f);
    EXPECT_GT(Text(*ByCode(layer, "IT1")).alpha, 0.0f);

    Run(layer, 0.98f);
    EXPECT_FLOAT_EQ(Text(sixth).alpha, 0.0f) << "the sixth item waits for five gaps";
    Run(layer, 0.05f);
    EXPECT_GT(Text(sixth).alpha, 0.0f);
    EXPECT_LT(Position(sixth).y, 600.0f);

    Run(layer, 13.9f);
    ASSERT_NE(Find<UIMenuFX>(layer), nullptr) << "still running before fifteen seconds";
    Run(layer, 0.1f);
    EXPECT_EQ(Find<UIMenuFX>(layer), nullptr);
    EXPECT_FLOAT_EQ(Text(sixth).alpha, 1.0f);
    EXPECT_FLOAT_EQ(Text(sixth).scale, 1.0f);
}

TEST_F(ScreenEffects, MenuEffectSlidesTheOldAnimatedItemsAwayAndDropsTheRestAtOnce) {
    WriteScreen("old", "(Item (Name OLDA) (POSI (position 100 300)) (TEXT (text a))"
                       "  (Data (animate 1)))"
                       "(Item (Name OLDP) (POSI (position 100 400)) (TEXT (text p)))");
    UserInterface& layer = Layer(mui, "old");
    WriteScreen("new", "(UIMenuFX) (Item (Name NEWA) (POSI (position 100 300)) (TEXT (text n))"
                       "  (Data (animate 1)))");
    layer.LoadScene("menus/new.txt", false);
    Run(layer, kStepTime);
    EXPECT_EQ(ByCode(layer, "OLDP"), nullptr) << "not animated: gone at the first sweep";
    Object* old = ByCode(layer, "OLDA");
    ASSERT_NE(old, nullptr);
    // Right at (650 - y) x slideOutSpeed pixels a second.
    EXPECT_NEAR(Position(*old).x, 100.0f + 350.0f * 4.0f * kStepTime, 0.01f);
    EXPECT_FLOAT_EQ(Text(*ByCode(layer, "NEWA")).scale, 5.0f + (1.0f - 5.0f) * 4.0f * kStepTime);
    Run(layer, 15.0f);
    EXPECT_EQ(ByCode(layer, "OLDA"), nullptr);
    EXPECT_NE(ByCode(layer, "NEWA"), nullptr);
}

TEST_F(ScreenEffects, MenuEffectForgetsAnOutgoingItemThatLeavesBeforeItEnds) {
    WriteScreen("old", "(Item (Name OLDA) (POSI) (TEXT (text a)) (Data (animate 1)))");
    UserInterface& layer = Layer(mui, "old");
    WriteScreen("new", "(UIMenuFX)");
    layer.LoadScene("menus/new.txt", false);
    layer.DestroyObject(ByCode(layer, "OLDA"));
    Run(layer, 15.5f); // touches no freed item (the sanitizers watch)
    EXPECT_EQ(Find<UIMenuFX>(layer), nullptr);
}

// ---------------------------------------------------------------------------------------------
// The ambient loops and the one-shot entrances

TEST_F(ScreenEffects, ShadowPairsPulseInTurn) {
    UserInterface& layer = Screen("(Pic (Name SHD1)) (Pic (Name SHD2)) (Pic (Name SHD3))"
                                  "(Pic (Name SHD4)) (UIShadowsFX)");
    UIShadowsFX& shadows = *Find<UIShadowsFX>(layer);
    shadows.clock = std::numbers::pi_v<float> / 2.0f - kStepTime;
    layer.Update(kStepTime);
    for (const char* code : {"SHD1", "SHD2"}) {
        EXPECT_NEAR(Sprite(*ByCode(layer, code)).alpha, 0.05f, 1e-5f) << code;
    }
    for (const char* code : {"SHD3", "SHD4"}) {
        EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, code)).alpha, 0.0f) << code;
    }
}

TEST_F(ScreenEffects, AmbientLoopsSetTheirObjectsAndPassOverMissingOnes) {
    struct Case {
        const char* effect;
        float clock;
        const char* code;
        float alpha;
    };
    const Case cases[] = {
        {"UITablesFX", 0.1f, "TAB1", 1.0f},  // sin(0.5) > 0
        {"UITablesFX", 0.4f, "TAB2", 0.0f},  // sin(4) < 0
        {"UICardsFX", 0.5f, "CAR1", 1.0f},   {"UICardsFX", 0.5f, "CAR2", 0.0f},
        {"UICardsFX", 0.5f, "CAR4", 1.0f},   {"UICardsFX", 3.5f, "CAR3", 1.0f},
        {"UICardsFX", 3.5f, "CAR1", 0.0f},   {"UIFogFX", 0.0f, "SMOK", 0.0f},
        {"UIFogFX", 1.5f, "SMOK", 1.0f}, // the middle of the puff
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.effect) + " " + c.code + " at " + std::to_string(c.clock));
        UserInterface& layer =
            Screen(std::string("(Pic (Name ") + c.code + ")) (" + c.effect + ")");
        auto& effect = *Find<UIAmbientFX>(layer);
        effect.clock = c.clock - kStepTime;
        layer.Update(kStepTime);
        EXPECT_NEAR(Sprite(*ByCode(layer, c.code)).alpha, c.alpha, 1e-4f);
    }
}

TEST_F(ScreenEffects, LightsBlendBetweenKeyColoursOverAThreeSecondCycle) {
    // Whole seconds are the key colours; the cycle closes on itself.
    EXPECT_EQ(UILightsFX::Tint(0, 0.0f), UILightsFX::Tint(0, 3.0f));
    EXPECT_EQ(UILightsFX::Tint(0, 0.0f), 0xFFFF7F00u);
    EXPECT_EQ(UILightsFX::Tint(0, 0.5f), 0xFFFFBF3Fu); // half-way to (1, 1, 0.5), truncated
    UserInterface& layer = Screen("(Pic (Name LIG1)) (UILightsFX)");
    layer.Update(kStepTime);
    EXPECT_EQ(static_cast<uint32_t>(Sprite(*ByCode(layer, "LIG1")).tint),
              UILightsFX::Tint(0, kStepTime));
}

TEST_F(ScreenEffects, CloudsComeRoundAtTheOtherEdge) {
    struct Case {
        float speed;
        float x;
        float expected;
    };
    // A sprite without frames is 0 wide.
    for (const Case c : {Case{60.0f, 1023.5f, 0.0f}, Case{-60.0f, -0.5f, 1024.0f},
                         Case{60.0f, 10.0f, 11.0f}, Case{0.0f, 10.0f, 10.0f}}) {
        UserInterface& layer =
            Screen("(Pic (Name CLD1)) (UICloudsFX (Data (object CLD1) (moveSpeed " +
                   std::to_string(c.speed) + ")))");
        Position(*ByCode(layer, "CLD1")).x = c.x;
        layer.Update(kStepTime);
        EXPECT_FLOAT_EQ(Position(*ByCode(layer, "CLD1")).x, c.expected) << c.speed << " " << c.x;
    }
}

TEST_F(ScreenEffects, ShiftedBackgroundSettlesWithinAPixelAfterAboutOnePointFourSeconds) {
    UserInterface& layer = Screen("(Pic (Name BKGD) (POSI (position 0 0)))"
                                  "(Pic (Name PANL) (POSI (position 200 0)))"
                                  "(UIShiftBkgFX (Data (backObj BKGD) (panelObj PANL)))");
    layer.Update(0.0f);
    EXPECT_FLOAT_EQ(Position(*ByCode(layer, "BKGD")).x, 1024.0f);
    EXPECT_FLOAT_EQ(Position(*ByCode(layer, "PANL")).x, 700.0f);
    Run(layer, 1.4f);
    EXPECT_LT(std::abs(Position(*ByCode(layer, "BKGD")).x), 1.0f);
    Run(layer, 3.7f);
    EXPECT_EQ(Find<UIShiftBkgFX>(layer), nullptr);
}

TEST_F(ScreenEffects, BonusPulsePeaksInTheMiddleAndAZeroLengthPulseIsAStep) {
    UserInterface& layer =
        Screen("(Pic (Name STAR)) (UIBonusFX (Data (object STAR) (time 2)))");
    Find<UIBonusFX>(layer)->clock = 1.0f;
    layer.Update(kStepTime);
    EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "STAR")).alpha, 1.0f);
    EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "STAR")).scale, 1.1f);
    Run(layer, 1.0f);
    EXPECT_EQ(Find<UIBonusFX>(layer), nullptr);

    UserInterface& instant =
        Screen("(Pic (Name STAR)) (UIBonusFX (Data (object STAR) (time 0)))");
    Run(instant, kStepTime);
    EXPECT_FLOAT_EQ(Sprite(*ByCode(instant, "STAR")).alpha, 0.0f);
    EXPECT_FALSE(std::isnan(Sprite(*ByCode(instant, "STAR")).scale));
    EXPECT_EQ(Find<UIBonusFX>(instant), nullptr);
}

TEST_F(ScreenEffects, FlyInStartsOnItsTriggerAndPostsItsEventWhenThereToItsLayer) {
    struct Case {
        const char* trigger;
        const char* expected; // the event once the flight is over
        bool firstFlies;
    };
    for (const Case c : {Case{"ZOE1", "ENDW", true}, Case{"ZOF2", "ENDF", false}}) {
        SCOPED_TRACE(c.trigger);
        events.clear();
        UserInterface& layer = Screen("(Pic (Name MK1) (POSI (position 100 100)))"
                                      "(Pic (Name MK2) (POSI (position 300 100)))"
                                      "(UIFlyInFX (Data (object MK1) (object MK2)"
                                      "  (flair MK1) (flair MK2)))");
        Run(layer, 1.0f);
        EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "MK2")).scale, 1.0f) << "idle until its trigger";
        layer.HandleEvent(nullptr, FourCC(c.trigger), 0);
        EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "MK1")).scale, c.firstFlies ? 4.0f : 1.0f);
        EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "MK2")).scale, 4.0f);
        Run(layer, 5.1f);
        EXPECT_THAT(events, ::testing::Contains(c.expected));
        EXPECT_FLOAT_EQ(Position(*ByCode(layer, "MK2")).x, 300.0f);
        EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "MK2")).alpha, 1.0f);
    }
}

TEST_F(ScreenEffects, FireworksLaunchInTurnWithTheirBang) {
    WriteData("gfx/fx/burst.prt", "(max_parts 8) (flow 0 100) (alpha 0 1) (alpha 1 0)");
    SeedRandom(1);
    UserInterface& layer = Screen("(UIFireworksFX (Data (particles2 gfx\\fx\\burst.prt)"
                                  "  (timeGap 0.5)))");
    Run(layer, 5.0f);
    const UIFireworksFX& fireworks = *Find<UIFireworksFX>(layer);
    // One at once, then one every 0.375 to 0.625 s.
    EXPECT_GE(fireworks.launches, 9);
    EXPECT_LE(fireworks.launches, 14);
    EXPECT_EQ(SoundsPlayed("fireworks"), fireworks.launches);
}

// ---------------------------------------------------------------------------------------------
// UIMapZoomFX

Matrix CurrentView() {
    Matrix view = MatrixIdentity();
    if (Renderer::State().device != nullptr) {
        Renderer::State().device->GetTransform(TransformType::View, view);
    }
    return view;
}

TEST_F(ScreenEffects, MapZoomScalesAboutItsTargetWhileTheTargetEasesToTheCentre) {
    float at[3];
    // Whole at the start; at full zoom the target lies on (400, 300), scaled about itself.
    TransformPoint(UIMapZoomFX::ViewAt(0.0f, 600.0f, 500.0f), 10.0f, 20.0f, 0.0f, at);
    EXPECT_FLOAT_EQ(at[0], 10.0f);
    EXPECT_FLOAT_EQ(at[1], 20.0f);
    TransformPoint(UIMapZoomFX::ViewAt(1.0f, 600.0f, 500.0f), 600.0f, 500.0f, 0.0f, at);
    EXPECT_FLOAT_EQ(at[0], 400.0f);
    EXPECT_FLOAT_EQ(at[1], 300.0f);
    TransformPoint(UIMapZoomFX::ViewAt(1.0f, 600.0f, 500.0f), 610.0f, 500.0f, 0.0f, at);
    EXPECT_FLOAT_EQ(at[0], 400.0f + 10.0f * UIMapZoomFX::kFullScale);
}

TEST_F(ScreenEffects, MapZoomPostsItsEventsToItsLayerAndLeavesNoViewBehind) {
    OpenRecordingRenderer();
    UserInterface& layer =
        Screen("(Pic (Name VEIL))"
               "(UIMapZoomFX (Data (trigger ZMIN) (outTrigger ZMOU) (target 600 500)"
               "  (zoom VEIL) (event GOIN) (zoomOutEvent GOUT)))");
    layer.HandleEvent(nullptr, FourCC("ZMIN"), 0);
    EXPECT_EQ(SoundsPlayed("map_zoom"), 1);
    Run(layer, 0.5f);
    layer.PreRender();
    EXPECT_NE(CurrentView(), MatrixIdentity()) << "zoomed while its scene draws";
    EXPECT_NEAR(Sprite(*ByCode(layer, "VEIL")).alpha, 1.0f, 1e-6f) << "3.25 x 0.5, held at 1";
    layer.PostRender();
    EXPECT_EQ(CurrentView(), MatrixIdentity()) << "whole for whatever draws next";

    events.clear();
    Run(layer, 0.6f);
    EXPECT_FLOAT_EQ(Sprite(*ByCode(layer, "VEIL")).alpha, 0.0f);
    // At full zoom the event comes each step until the layer acts on it.
    EXPECT_GE(std::count(events.begin(), events.end(), "GOIN"), 5);

    layer.HandleEvent(nullptr, FourCC("ZMOU"), 0);
    events.clear();
    Run(layer, 1.1f);
    EXPECT_EQ(std::count(events.begin(), events.end(), "GOUT"), 1);
    layer.PreRender();
    EXPECT_EQ(CurrentView(), MatrixIdentity()) << "idle after the zoom out";

    layer.HandleEvent(nullptr, FourCC("ZMIN"), 0);
    Run(layer, 0.5f);
    layer.PreRender();
    ClearLayer(&layer);
    EXPECT_EQ(CurrentView(), MatrixIdentity()) << "the view goes with the effect";
}

// ---------------------------------------------------------------------------------------------
// UICutsceneMngr

TEST_F(ScreenEffects, CameraPathReadsThreePointsALine) {
    struct Case {
        const char* what;
        const char* text;
        std::size_t points;
    };
    const Case cases[] = {
        {"one line", "1 2 3 4 5 6 7 8 9\n", 3},
        {"CR LF and blank lines", "\r\n1 2 3 4 5 6 7 8 9\r\n  \r\n9 8 7 6 5 4 3 2 1", 6},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteData("menus/cutscenes/intro_camera_path.txt", c.text);
        UserInterface& layer = Screen("(UICutsceneMngr)");
        const UICutsceneMngr& manager = *Find<UICutsceneMngr>(layer);
        ASSERT_EQ(manager.points.size(), c.points);
        if (c.points > 0) {
            EXPECT_FLOAT_EQ(manager.points[0].x, 1.0f);
            EXPECT_FLOAT_EQ(manager.points[0].y, 3.0f);
            EXPECT_FLOAT_EQ(manager.points[0].z, -2.0f);
            EXPECT_FLOAT_EQ(manager.points[2].y, 9.0f);
        }
    }
}

TEST_F(ScreenEffects, CameraPathRefusesLinesThatAreNotNineNumbersNamingFileAndLine) {
    for (const char* text : {"1 2 3 4 5 6 7 8\n", "1 2 3 4 5 6 7 8 9 10\n", "1 2 3 4 x 6 7 8 9\n"}) {
        WriteData("menus/cutscenes/intro_camera_path.txt", std::string("\n") + text);
        try {
            Screen("(UICutsceneMngr)");
            ADD_FAILURE() << text;
        } catch (const Exception& error) {
            EXPECT_THAT(error.Text(), ::testing::HasSubstr("intro_camera_path.txt, line 2"));
        }
    }
    std::filesystem::remove("data/menus/cutscenes/intro_camera_path.txt");
    try {
        Screen("(UICutsceneMngr)");
        ADD_FAILURE() << "a missing path";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(),
                     "Can't open file menus/cutscenes/intro_camera_path.txt for reading.");
    }
}

TEST_F(ScreenEffects, CameraRunsTwentyFivePointsASecondAndStopsOnTheLast) {
    std::string path;
    for (int line = 0; line < 10; ++line) {
        for (int k = 0; k < 3; ++k) {
            path += std::to_string(line * 3 + k) + " 0 0 ";
        }
        path += "\n";
    }
    WriteData("menus/cutscenes/intro_camera_path.txt", path);
    UserInterface& layer = Screen("(UICutsceneMngr)");
    UICutsceneMngr& manager = *Find<UICutsceneMngr>(layer);
    Run(layer, 1.0f);
    EXPECT_EQ(manager.pointIndex, 25);
    manager.Draw();
    EXPECT_FLOAT_EQ(manager.camera.pointX, 25.0f);
    Run(layer, 1.0f);
    manager.Draw();
    EXPECT_FLOAT_EQ(manager.camera.pointX, 29.0f) << "the last of thirty points";

    WriteData("menus/cutscenes/intro_camera_path.txt", "");
    UserInterface& empty = Screen("(UICutsceneMngr)");
    Find<UICutsceneMngr>(empty)->Draw();
    EXPECT_EQ(Find<UICutsceneMngr>(empty)->camera.pointsTaken, 0) << "nothing handed on";
}

TEST_F(ScreenEffects, HeldArrowKeysPanTheBackgroundsAHundredPixelsASecond) {
    struct Case {
        int key;
        float dx;
        float dy;
    };
    for (const Case c : {Case{kKeyLeft, 100.0f, 0.0f}, Case{kKeyRight, -100.0f, 0.0f},
                         Case{kKeyUp, 0.0f, 100.0f}, Case{kKeyDown, 0.0f, -100.0f}}) {
        SCOPED_TRACE(c.key);
        UserInterface& layer = Screen("(Pic (Name BACK) (POSI (position 1024 768)))"
                                      "(Pic (Name BACK) (POSI (position 1124 768)))"
                                      "(UICutsceneMngr (Data))");
        SetKeyDown(c.key, true);
        Keyboard.Update();
        Run(layer, 1.0f);
        ReleaseKeys();
        int seen = 0;
        for (const auto& object : layer.Objects()) {
            if (object->code == FourCC("BACK")) {
                const PositionChunk& position = Position(*object);
                EXPECT_NEAR(position.x, position.initialX - 1024.0f + c.dx, 1e-3f);
                EXPECT_NEAR(position.y, position.initialY - 768.0f + c.dy, 1e-3f);
                ++seen;
            }
        }
        EXPECT_EQ(seen, 2);
    }
}

} // namespace
