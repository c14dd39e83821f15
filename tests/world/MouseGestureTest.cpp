// The mouse-gesture system with scripted mouse input through the real input state: strokes to
// stroke texts and gesture names, who receives them, the trail and its sparks.

#include "world/MouseGestureSystem.h"

#include "engine/ClassFactory.h"
#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/TestData.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/GestureReceiver.h"
#include "world/NormalLevelSystem.h"

#include <gmock/gmock.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// A gesture element as the mini-games will have them: it notes what it receives, and may add an
// object to its scene when it does.
class TestGestureElement : public BaseGameObject,
                           public GestureReceiver,
                           public OCreator<TestGestureElement> {
public:
    static constexpr std::string_view kClassName = "TestGestureElement";
    explicit TestGestureElement(ObjectsManager* owner) : BaseGameObject(owner) {
        SetCreator(static_cast<OCreator<TestGestureElement>*>(this), 0, 0);
    }
    void OnGesture(const std::string& gesture) override {
        received.push_back(visName + ":" + gesture);
        if (addsAnObject && owner != nullptr) {
            addsAnObject = false;
            std::unique_ptr<Object> added = owner->CreateObject("GestureGameElement", true);
            added->visName = "added";
            owner->AddObject(std::move(added));
        }
    }
    static inline std::vector<std::string> received;
    static inline bool addsAnObject = false;
};

constexpr const char* kTemplates = R"(
(gesture hook RDL)
(gesture back RL)
(other fall D)
(gesture loop DR 1)
(gesture stroke R)
(gesture anyRight R 1)
)";

constexpr const char* kElements =
    "(GestureGameElement TestGestureElement (POSI))"
    "(TelescopeGestureGameElement TestGestureElement (POSI))"
    "(Other TestGestureElement (POSI))";

struct Move {
    float dx, dy;
    int steps; // moves of (dx, dy) each
};

class MouseGestures : public SceneObjects {
protected:
    void SetUp() override {
        ResetMedia();
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        static const Registerer<TestGestureElement> registerer;
        SceneObjects::SetUp();
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        WriteData("gestures.txt", kTemplates);
        WriteData("gfx/fx/gold_trail.jpg", JpegFile(SolidImage(16, 16, 0xFFFFD080u)));
        WriteData("gfx/fx/magic_trail.prt",
                  "(alpha 0 1) (alpha 0.5 1) (size 0 4) (max_parts 50) (flow 0 60) (vel 0 0 0)\n");
        TestGestureElement::received.clear();
        TestGestureElement::addsAnObject = false;
        Mouse = MouseState();
        SetKeyDown(kKeyLeftButton, false);
        TakeKeyPress(kKeyLeftButton);
    }
    void TearDown() override {
        SetKeyDown(kKeyLeftButton, false);
        TakeKeyPress(kKeyLeftButton);
        Mouse = MouseState();
        ModalLevel = nullptr;
        miniGame.reset();
        SceneObjects::TearDown();
        ResetMedia();
    }

    Level& LoadRoom(const std::string& objects = "(TelescopeGestureGameElement (visName lens))") {
        Level& level = Load(kElements, objects);
        level.levelSystem->toolInUse = true;
        Step(false); // the scene load ignores the buttons until both have been seen up
        return level;
    }
    MouseGestureSystem& Gestures() {
        return dynamic_cast<MouseGestureSystem&>(*gameLevel->FindSystem(FourCC("MOUG")));
    }

    // One pass of the window and one step: the mouse moves to (x, y) when move is set.
    void Step(bool move) {
        Mouse.moved = false;
        if (move) {
            const auto x = static_cast<uint16_t>(static_cast<int>(cursorX));
            const auto y = static_cast<uint16_t>(static_cast<int>(cursorY));
            Mouse.OnWindowMessage(kMessageMouseMove, 0, static_cast<int64_t>(y) << 16 | x);
            Mouse.moved = true;
        }
        Mouse.Update();
        gameLevel->Update(kStep);
        gameLevel->RemoveDead();
    }
    // Presses at (x, y), makes the moves a step each, releases where it ends.
    void Stroke(float x, float y, const std::vector<Move>& moves, bool releaseOutside = false) {
        cursorX = x;
        cursorY = y;
        SetKeyDown(kKeyLeftButton, true);
        Step(true);
        for (const Move& move : moves) {
            for (int i = 0; i < move.steps; ++i) {
                cursorX += move.dx;
                cursorY += move.dy;
                Step(true);
            }
        }
        if (releaseOutside) {
            Mouse.moved = false;
            Mouse.OnWindowMessage(kMessageMouseLeave, 0, 0);
        }
        SetKeyDown(kKeyLeftButton, false);
        Step(false);
    }
    void Rest(int steps) {
        for (int i = 0; i < steps; ++i) {
            Step(false);
        }
    }

    RecordingScript script;
    std::unique_ptr<Level> miniGame;
    float cursorX = 0.0f;
    float cursorY = 0.0f;
};

TEST_F(MouseGestures, StrokesBecomeTextsAndNames) {
    struct Case {
        const char* name;
        std::vector<Move> moves;
        const char* gesture;
    };
    const Case cases[] = {
        {"right, down, left", {{10, 0, 10}, {0, 10, 10}, {-10, 0, 10}}, "hook"},
        {"a part of the stroke", {{-10, 0, 10}, {0, 10, 10}, {10, 0, 10}, {0, -10, 10}}, "loop"},
        {"a wiggle under a tenth", {{10, 0, 20}, {0, 5, 3}, {-10, 0, 20}}, "back"},
        {"the first template wins", {{10, 0, 12}}, "stroke"},
        {"a diagonal counts by its slope", {{10, 3, 10}}, "stroke"},
        {"unrecognised", {{0, -10, 10}}, ""},
        {"small moves add up", {{3, 0, 40}}, "stroke"},
    };
    LoadRoom();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGestureElement::received.clear();
        Stroke(500.0f, 300.0f, c.moves);
        EXPECT_THAT(TestGestureElement::received,
                    testing::ElementsAre(std::string("lens:") + c.gesture));
        EXPECT_FALSE(Gestures().Recording());
        EXPECT_TRUE(Gestures().Segments().empty());
    }
}

TEST_F(MouseGestures, TheStrokeTextKeepsRunsLongerThanATenthOfTheLongest) {
    EXPECT_EQ(MouseGestureSystem::StrokeText({{'R', 100}, {'D', 10}, {'L', 10.5f}, {'U', 50}}),
              "RLU");
    EXPECT_EQ(MouseGestureSystem::StrokeText({}), "");
}

TEST_F(MouseGestures, ASecondStrokeIsMeasuredFromItsOwnPress) {
    LoadRoom();
    Stroke(600.0f, 400.0f, {{10, 0, 10}});
    Stroke(100.0f, 100.0f, {{0, 10, 4}, {10, 0, 5}});
    // Measured from the first stroke's end, the second's first run would be 600 pixels long and
    // its run right less than a tenth of it.
    EXPECT_THAT(TestGestureElement::received, testing::ElementsAre("lens:stroke", "lens:loop"));
}

TEST_F(MouseGestures, NoGestureWithoutAToolOrWhenReleasedOutsideTheWindow) {
    Level& level = LoadRoom();
    level.levelSystem->toolInUse = false;
    Stroke(500.0f, 300.0f, {{10, 0, 10}});
    EXPECT_TRUE(TestGestureElement::received.empty()) << "no tool in use";
    EXPECT_TRUE(Gestures().Trail().empty());
    EXPECT_TRUE(All<FxParticles>().empty());
    level.levelSystem->toolInUse = true;
    Stroke(500.0f, 300.0f, {{10, 0, 10}}, true);
    EXPECT_TRUE(TestGestureElement::received.empty()) << "released outside the window";
}

TEST_F(MouseGestures, ReceiversAreTheEnabledElementsByLevelAndDefinitionName) {
    struct Case {
        const char* miniGameName; // none: no mini-game
        std::vector<std::string> received;
    };
    const Case cases[] = {
        {nullptr, {"lens:stroke"}},
        {"gestures", {"wand:stroke", "lens:stroke"}},
        {"switchpuzzle", {"wand:stroke", "lens:stroke"}},
        {"tiles", {"lens:stroke"}},
    };
    LoadRoom("(TelescopeGestureGameElement (visName lens))"
             "(TelescopeGestureGameElement (visName off) (Data (enabled 0)))"
             "(Other (visName other))"
             "(GestureGameElement (visName wrongLevel))");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.miniGameName != nullptr ? c.miniGameName : "none");
        ModalLevel = nullptr;
        miniGame.reset();
        if (c.miniGameName != nullptr) {
            miniGame = std::make_unique<Level>();
            miniGame->Load();
            miniGame->name = c.miniGameName;
            for (const char* element : {"wand", "off"}) {
                std::unique_ptr<Object> object = miniGame->CreateObject("GestureGameElement", true);
                object->visName = element;
                dynamic_cast<BaseGameObject&>(*object).enabled = std::string(element) != "off";
                miniGame->AddObject(std::move(object));
            }
            std::unique_ptr<Object> telescope =
                miniGame->CreateObject("TelescopeGestureGameElement", true);
            telescope->visName = "telescopeInMiniGame";
            miniGame->AddObject(std::move(telescope));
            ModalLevel = miniGame.get();
        }
        TestGestureElement::received.clear();
        Stroke(500.0f, 300.0f, {{10, 0, 10}});
        EXPECT_EQ(TestGestureElement::received, c.received);
    }
}

TEST_F(MouseGestures, AReceiverMayAddObjectsToTheLevelBeingWalked) {
    LoadRoom("(TelescopeGestureGameElement (visName lens))");
    TestGestureElement::addsAnObject = true;
    Stroke(500.0f, 300.0f, {{10, 0, 10}});
    EXPECT_THAT(TestGestureElement::received, testing::ElementsAre("lens:stroke"));
    EXPECT_NE(Find("added"), nullptr);
}

TEST_F(MouseGestures, TheTrailFadesInItsTimeAndItsSparksGoWithThem) {
    LoadRoom();
    Stroke(500.0f, 300.0f, {{10, 0, 20}});
    const std::vector<GestureTrailPoint>& trail = Gestures().Trail();
    ASSERT_EQ(trail.size(), 21u) << "a point at every move, the press's own included";
    EXPECT_FLOAT_EQ(trail.back().width, 38.0f);
    EXPECT_NEAR(trail.back().alpha, 1.0f - 2 * kStep / 0.8f, 1e-5f) << "aged two steps";
    EXPECT_GT(All<FxParticles>().size(), 10u) << "sparks behind the cursor";
    Rest(48);
    EXPECT_TRUE(Gestures().Trail().empty()) << "0.8 s after the last point";
    Rest(120);
    EXPECT_TRUE(All<FxParticles>().empty()) << "no spark object is left behind";
}

TEST_F(MouseGestures, TheTrailIsDrawnAdditivelyOverEverythingThenTheStatesComeBack) {
    LoadRoom();
    cursorX = 500.0f;
    cursorY = 300.0f;
    SetKeyDown(kKeyLeftButton, true);
    Step(true);
    for (int i = 0; i < 3; ++i) {
        cursorX += 10.0f;
        Step(true);
    }
    script.calls.clear();
    script.draws.clear();
    Gestures().PostRender();
    std::vector<std::string> states;
    for (const std::string& call : script.calls) {
        if (call.starts_with("SetRenderState") || call.starts_with("DrawPrimitive")) {
            states.push_back(call);
        }
    }
    EXPECT_THAT(states, testing::ElementsAre(
                            "SetRenderState ZFunc 8", "SetRenderState ZWriteEnable 0",
                            "SetRenderState SrcBlend 5", "SetRenderState DestBlend 2",
                            testing::StartsWith("DrawPrimitive TriangleFan"),
                            testing::StartsWith("DrawPrimitive TriangleFan"),
                            testing::StartsWith("DrawPrimitive TriangleFan"),
                            "SetRenderState SrcBlend 5", "SetRenderState DestBlend 6",
                            "SetRenderState ZFunc 4", "SetRenderState ZWriteEnable 1"));
    ASSERT_EQ(script.draws.size(), 3u);
    TextureHandle trail;
    ASSERT_TRUE(TextureManager::Load(trail, "gfx/fx/gold_trail.jpg"));
    EXPECT_EQ(script.draws[0].texture, RecordedTextureId(trail.Texture()));
    trail.Release();
}

// Beneath a running pop-up of a mini-game the game level is updated too: its system still takes
// the stroke, but the mini-game's own system draws it, and nothing of the game level's trail
// stands unfaded over the room once the pop-up has closed.
TEST_F(MouseGestures, AMiniGameOpenOverTheRoomHasTheOnlyTrail) {
    LoadRoom();
    // A room stroke still fading when the mini-game opens.
    Stroke(500.0f, 300.0f, {{10, 0, 5}});
    ASSERT_FALSE(Gestures().Trail().empty());
    miniGame = std::make_unique<Level>();
    miniGame->Load();
    miniGame->name = "gestures";
    ModalLevel = miniGame.get();
    script.calls.clear();
    Gestures().PostRender();
    EXPECT_TRUE(script.calls.empty()) << "the room's trail is not drawn beneath the mini-game";

    TestGestureElement::received.clear();
    Rest(60);
    Stroke(500.0f, 300.0f, {{10, 0, 10}});
    EXPECT_THAT(TestGestureElement::received, testing::ElementsAre("lens:stroke"));
    EXPECT_TRUE(Gestures().Trail().empty());
    EXPECT_TRUE(miniGame->Objects().empty()) << "no sparks of the room's in the mini-game";
}

TEST_F(MouseGestures, ALevelNeedsItsGestureTemplates) {
    std::remove((folder / "data/gestures.txt").c_str());
    EXPECT_EQ(ErrorOf([] { Level level; level.Load(); }),
              "Parcon Error: Cannot find file gestures.txt!");
    WriteData("gestures.txt", "(gesture nameless)\n");
    EXPECT_THAT(ErrorOf([] { Level level; level.Load(); }),
                testing::StartsWith("Parcon Error: More data expected!"));
}

} // namespace
