// The game process over the real level and layers, on the recording renderer: what it makes,
// its pause keys, which scenes it updates and draws for the kind of level, the cursor pictures,
// and its end on the level's word.

#include "game/GameProc.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/System.h"
#include "game/ClassList.h"
#include "game/ConnectGameHooks.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/world/WorldFixture.h"
#include "ui/GameFlow.h"
#include "ui/LayerServices.h"
#include "ui/UserInterface.h"
#include "world/FullScreenKey.h"
#include "world/GameSettings.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kKeyP = 0x50;

// What the scenes' passes did, as "<scene>.<pass>".
std::vector<std::string> Passes;

// A system that journals the passes of the scene it is added to.
class PassTracer : public System {
public:
    PassTracer(ObjectsManager* owner, std::string scene)
        : System(owner, FourCC("TRAC")), scene(std::move(scene)) {}
    void Update(float) override { Passes.push_back(scene + ".Update"); }
    void PreRender() override { Passes.push_back(scene + ".PreRender"); }
    void Render() override { Passes.push_back(scene + ".Render"); }
    void PostRender() override { Passes.push_back(scene + ".PostRender"); }

private:
    std::string scene;
};

bool Contains(const std::vector<std::string>& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

class GameProcess : public WorldTest {
protected:
    void SetUp() override {
        ResetMedia();
        UseRecordingGraphics(script);
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        WorldTest::SetUp();
        RegisterGameClasses();
        InstallWorldServices(&layers);
        WriteData("scripts/ui_objects.txt", "(Final)\n");
        WriteData("menus/game.txt", "(Objects)\n");
        WriteScene("location");
        // Cursor pictures of three sizes, so that each is told by its quad: the cursor 16 wide,
        // the held item 32 and the tool 8 (drawn at 0.8, so 6).
        WriteData("cursor.png", PngFile(SolidImage(16, 16, 0xFFFFFFFFu)));
        WriteData("item.png", PngFile(SolidImage(32, 32, 0xFFFFFFFFu)));
        WriteData("tool.png", PngFile(SolidImage(8, 8, 0xFFFFFFFFu)));
        WriteData("cursor.ani", "(framedAnim idle cursor.png 16 16 (fps 1) (frames 0))\n");
        WriteData("item.ani", "(framedAnim cursor item.png 32 32 (fps 1) (frames 0))\n");
        WriteData("tool.ani", "(framedAnim knife_cursor tool.png 8 8 (fps 1) (frames 0))\n");
        Passes.clear();
        ResetFullScreenKey();
        GamePaused = false;
        Mouse = MouseState();
        ReleaseKeys();
    }

    void TearDown() override {
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        DeleteAllLayers();
        GamePaused = false;
        ResetFullScreenKey();
        Renderer::State().smallDesktop = false;
        PausePicture.Release();
        PausePicture = TextureHandle();
        ReleaseKeys();
        Mouse = MouseState();
        WorldTest::TearDown();
        ResetMedia();
    }

    static void ReleaseKeys() {
        for (int key = 0; key < 256; ++key) {
            SetKeyDown(key, false);
            TakeKeyPress(key);
        }
        Keyboard.Reset();
    }

    // GameProc::Create, with the text of an Exception in the test's failure.
    static std::unique_ptr<GameProc> Create() {
        try {
            return GameProc::Create();
        } catch (const Exception& error) {
            ADD_FAILURE() << error.Text();
            throw;
        }
    }

    // The game process as the menu starts it, on the location, with every scene traced.
    GameProc& Start(const std::string& levelType = "normal") {
        process = Create();
        WriteScene("location", levelType);
        GameLevel->LoadScene("levels/location.txt", true);
        Trace(GameLevel, "level");
        Trace(MainUI, "hud");
        Trace(OverlayUI, "overlay");
        Trace(LevelOverlayUI, "tips");
        return *process;
    }

    static void Trace(ObjectsManager* scene, const std::string& name) {
        scene->AddSystem(std::make_unique<PassTracer>(scene, name));
    }

    // One step of the main loop with exactly these keys down.
    static void Step(XProcess& proc, std::initializer_list<int> keysDown) {
        for (int key = 0; key < 256; ++key) {
            SetKeyDown(key, std::find(keysDown.begin(), keysDown.end(), key) != keysDown.end());
        }
        Keyboard.Update();
        proc.Update(kStepTime);
        proc.AfterUpdate();
    }

    // One frame as the main loop draws it; answers the widths of the quads drawn.
    std::multiset<int> Frame(XProcess& proc) {
        script.draws.clear();
        Renderer::Clear();
        Renderer::BeginScene();
        proc.PreRender();
        proc.Render();
        Renderer::EndScene();
        proc.PostRender();
        std::multiset<int> widths;
        for (const RecordedDraw& draw : script.draws) {
            float left = draw.vertices.at(0).x;
            float right = left;
            for (const GfxVertex& vertex : draw.vertices) {
                left = std::min(left, vertex.x);
                right = std::max(right, vertex.x);
            }
            widths.insert(static_cast<int>(std::lround(right - left)));
        }
        return widths;
    }

    // The cursor, an item on it and a tool's picture beside it.
    static void PutCursorPictures() {
        CursorAnim.Load("cursor.ani");
        HeldItemAnim.Load("item.ani");
        HeldItemAnim.Play("cursor", true, false, true, 0.0f);
        HeldItemShown = true;
        ToolCursorAnim.Load("tool.ani");
        ToolCursorAnim.Play("knife_cursor", true, false, true, 0.0f);
        ToolCursorShown = true;
        Mouse.x = 500.0f;
        Mouse.y = 400.0f;
    }

    RecordingScript script;
    std::unique_ptr<GameProc> process;
    LayerServices layers;
};

// ---------------------------------------------------------------------------------------------
// Making the process

TEST_F(GameProcess, CreateMakesTheMissingScenesAndLoadsTheHud) {
    WriteData("menus/game.txt", "(Objects (UIStatic (POSI (position 10 10))))\n");
    WriteData("scripts/ui_objects.txt", "(Final (UIStatic (POSI) (SPRT)))\n");
    process = Create();
    ASSERT_NE(MainUI, nullptr);
    ASSERT_NE(OverlayUI, nullptr);
    ASSERT_NE(LevelOverlayUI, nullptr);
    ASSERT_NE(GameLevel, nullptr);
    EXPECT_NE(GameLevel->levelSystem, nullptr) << "the level is loaded with its systems";
    EXPECT_EQ(GameLevel->state, 0);
    EXPECT_EQ(MainUI->Objects().size(), 1u);
    EXPECT_EQ(CurrentProcess, process.get());
}

TEST_F(GameProcess, ASecondProcessReusesTheScenesAndLoadsTheHudAgain) {
    WriteData("menus/game.txt", "(Objects (UIStatic (POSI (position 10 10))))\n");
    WriteData("scripts/ui_objects.txt", "(Final (UIStatic (POSI) (SPRT)))\n");
    process = Create();
    UserInterface* const hud = MainUI;
    UserInterface* const overlay = OverlayUI;
    UserInterface* const tips = LevelOverlayUI;
    Level* const level = GameLevel;
    level->state = 6;
    process.reset();
    process = Create();
    EXPECT_EQ(MainUI, hud);
    EXPECT_EQ(OverlayUI, overlay);
    EXPECT_EQ(LevelOverlayUI, tips);
    EXPECT_EQ(GameLevel, level);
    EXPECT_EQ(GameLevel->state, 0) << "the level's word left from the last game is cleared";
    EXPECT_EQ(MainUI->Objects().size(), 1u) << "the screen is loaded with clearing";
}

TEST_F(GameProcess, CreateStopsTheLoopingSoundsOnly) {
    WriteData("hum.wav", "hum");
    WriteData("ding.wav", "ding");
    WriteData("sounds.txt", "(set global (hum hum.wav) (ding ding.wav))\n");
    Sounds.LoadDefinitions("sounds.txt");
    Sounds.PlayByName("hum", true, 100, 0);
    Sounds.PlayByName("ding", false, 100, 0);
    process = Create();
    EXPECT_FALSE(Sounds.IsPlaying("hum"));
    EXPECT_TRUE(Sounds.IsPlaying("ding"));
}

TEST_F(GameProcess, AMissingHudScreenIsFatal) {
    std::filesystem::remove(folder / "data/menus/game.txt");
    EXPECT_THROW(process = GameProc::Create(), Exception);
}

// ---------------------------------------------------------------------------------------------
// Keys

TEST_F(GameProcess, PTogglesThePauseAndShiftPRunsOneStepWhilePaused) {
    struct Case {
        std::initializer_list<int> keys;
        bool paused;     // after the step
        bool levelMoved; // the level was updated in the step
    };
    // A key reads as pressed again only after a step up, so presses are two steps apart.
    const Case steps[] = {
        {{}, false, true},
        {{kKeyP}, true, false},                // pauses at once: the step is not run
        {{}, true, false},                     //
        {{}, true, false},                     //
        {{kKeyLeftShift, kKeyP}, true, true},  // one step while paused
        {{kKeyLeftShift, kKeyP}, true, false}, // held, not pressed again: nothing
        {{kKeyLeftShift}, true, false},        //
        {{kKeyLeftShift}, true, false},        //
        {{kKeyLeftShift, kKeyP}, true, true},  // each press one step
        {{}, true, false},                     //
        {{}, true, false},                     //
        {{kKeyP}, false, true},                // unpauses and runs the step
        {{}, false, true},                     //
        {{}, false, true},                     //
        {{kKeyLeftShift, kKeyP}, false, true}, // Shift+P never toggles the pause
        {{kKeyLeftShift}, false, true},        //
        {{}, false, true},                     //
        {{kKeyLeftShift, kKeyP}, false, true}, //
    };
    GameProc& game = Start();
    int index = 0;
    for (const Case& step : steps) {
        SCOPED_TRACE(index++);
        Passes.clear();
        Step(game, step.keys);
        EXPECT_EQ(GamePaused, step.paused);
        EXPECT_EQ(Contains(Passes, "level.Update"), step.levelMoved);
        EXPECT_EQ(Contains(Passes, "overlay.Update"), step.levelMoved);
    }
}

TEST_F(GameProcess, AltEnterSwitchesTheScreenModeOnceExceptOnASmallDesktop) {
    struct Case {
        const char* what;
        bool smallDesktop;
        bool paused;
        bool toggled;
    };
    const Case cases[] = {
        {"a wide desktop", false, false, true},
        {"a small desktop: full screen only", true, false, false},
        {"while paused: the step ends before the key", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        ResetFullScreenKey();
        Renderer::State().smallDesktop = c.smallDesktop;
        App.fullScreen = false;
        App.toggleFullScreen = false;
        GameSettings.fullScreen = false;
        GamePaused = c.paused;
        GameProc& game = Start();
        Step(game, {kKeyLeftAlt, kKeyEnter});
        // The level systems ask for the key in the same step; it must not switch back.
        RunFullScreenKey();
        EXPECT_EQ(GameSettings.fullScreen, c.toggled);
        EXPECT_EQ(App.toggleFullScreen, c.toggled);
        EXPECT_EQ(PlayerFileExists("settings.dat"), c.toggled);
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
    }
}

TEST_F(GameProcess, ThePausePictureIsDrawnOnlyWhilePaused) {
    WriteData("gfx/interface/pause.png", PngFile(SolidImage(256, 128, 0xFFFFFFFFu)));
    ASSERT_TRUE(TextureManager::Load(PausePicture, "gfx/interface/pause.png"));
    GameProc& game = Start();
    EXPECT_EQ(Frame(game).count(256), 0u);
    Step(game, {kKeyP});
    ASSERT_TRUE(GamePaused);
    Frame(game);
    const auto picture =
        std::find_if(script.draws.begin(), script.draws.end(), [](const RecordedDraw& draw) {
            return draw.vertices.size() == 4 &&
                   std::lround(draw.vertices[2].x - draw.vertices[0].x) == 256;
        });
    ASSERT_NE(picture, script.draws.end());
    float left = 1e9f;
    float top = 1e9f;
    for (const GfxVertex& vertex : picture->vertices) {
        left = std::min(left, vertex.x);
        top = std::min(top, vertex.y);
    }
    EXPECT_NEAR(left, 272.0f, 0.5f);
    EXPECT_NEAR(top, 236.0f, 0.5f);
}

// ---------------------------------------------------------------------------------------------
// Scenes and cursors by the kind of level

TEST_F(GameProcess, TheHudAndTheHeldItemBelongToLocationsOnly) {
    struct Case {
        const char* what;
        const char* levelType;
        const char* modalType; // nullptr: no mini-game level
        bool hudUpdated;
        bool hudPreRendered;
        bool hudDrawn; // its main and late passes
        bool tipsDrawn;
        bool heldItemDrawn;
    };
    const Case cases[] = {
        {"a location", "normal", nullptr, true, true, true, true, true},
        {"the world map", "map", nullptr, false, false, false, true, false},
        {"the map game over a location", "normal", "map_game", false, false, false, false, false},
        {"a mini-game over a location", "normal", "normal", true, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameProc& game = Start(c.levelType);
        PutCursorPictures();
        std::unique_ptr<Level> miniGame;
        if (c.modalType != nullptr) {
            miniGame = std::make_unique<Level>();
            miniGame->type = c.modalType;
            ModalLevel = miniGame.get();
        }
        Passes.clear();
        Step(game, {});
        const std::multiset<int> widths = Frame(game);
        EXPECT_EQ(Contains(Passes, "hud.Update"), c.hudUpdated);
        EXPECT_EQ(Contains(Passes, "hud.PreRender"), c.hudPreRendered);
        EXPECT_EQ(Contains(Passes, "hud.Render"), c.hudDrawn);
        EXPECT_EQ(Contains(Passes, "hud.PostRender"), c.hudDrawn);
        EXPECT_EQ(Contains(Passes, "tips.Render"), c.tipsDrawn);
        for (const char* always : {"level.Update", "overlay.Update", "tips.Update", "level.Render",
                                   "overlay.Render", "level.PostRender"}) {
            EXPECT_TRUE(Contains(Passes, always)) << always;
        }
        EXPECT_EQ(widths.count(32), c.heldItemDrawn ? 1u : 0u) << "the held item";
        EXPECT_EQ(widths.count(16), 1u) << "the cursor";
        EXPECT_EQ(widths.count(6), 1u) << "the tool's picture";
        ModalLevel = nullptr;
        process.reset();
    }
}

TEST_F(GameProcess, CursorPicturesFollowTheMouseAndAreNotDrawnUnderAModalProcess) {
    GameProc& game = Start();
    PutCursorPictures();
    Step(game, {});
    EXPECT_EQ(CursorAnim.CurrentAnimName(), "idle");
    Frame(game);
    ASSERT_EQ(script.draws.size(), 3u);
    // Held item and cursor centred on the mouse, the tool's picture 20 right and below it.
    const auto centre = [](const RecordedDraw& draw) {
        float left = 1e9f;
        float top = 1e9f;
        float right = -1e9f;
        float bottom = -1e9f;
        for (const GfxVertex& vertex : draw.vertices) {
            left = std::min(left, vertex.x);
            top = std::min(top, vertex.y);
            right = std::max(right, vertex.x);
            bottom = std::max(bottom, vertex.y);
        }
        return std::pair<int, int>(std::lround((left + right) / 2),
                                   std::lround((top + bottom) / 2));
    };
    EXPECT_EQ(centre(script.draws[0]), std::make_pair(500, 400));
    EXPECT_EQ(centre(script.draws[1]), std::make_pair(500, 400));
    EXPECT_EQ(centre(script.draws[2]), std::make_pair(520, 420));
    {
        const XProcess modal; // a dialogue, say, on top of the game
        EXPECT_TRUE(Frame(game).empty());
    }
    EXPECT_EQ(Frame(game).size(), 3u) << "on top again";
}

TEST_F(GameProcess, TheHeldItemAndToolAnimationsAdvanceWithTheGame) {
    WriteData("item.ani", "(framedAnim cursor item.png 32 32 (fps 60) (frames 0 0 0 0))\n");
    GameProc& game = Start();
    PutCursorPictures();
    Step(game, {});
    Step(game, {});
    EXPECT_EQ(HeldItemAnim.CurrentFrame(), 2);
    Step(game, {kKeyP});
    Step(game, {});
    EXPECT_EQ(HeldItemAnim.CurrentFrame(), 2) << "frozen while paused";
}

// ---------------------------------------------------------------------------------------------
// The end

TEST_F(GameProcess, TheLevelsWordEndsTheProcessInTheStepItIsSet) {
    for (const int32_t word : {5, 6, 1, 8}) {
        SCOPED_TRACE(word);
        GameProc& game = Start();
        Step(game, {});
        EXPECT_EQ(game.state, 1);
        int steps = 0;
        // The level asks to be left from inside its own update, as its blend-out does.
        class Ender : public System {
        public:
            Ender(ObjectsManager* owner, int32_t word, int& steps)
                : System(owner, FourCC("ENDR")), word(word), steps(steps) {}
            void Update(float) override {
                if (++steps == 2) {
                    GameLevel->state = word;
                }
            }
            int32_t word;
            int& steps;
        };
        GameLevel->AddSystem(std::make_unique<Ender>(GameLevel, word, steps));
        Step(game, {});
        EXPECT_EQ(game.state, 1);
        Step(game, {});
        EXPECT_EQ(game.state, 0);
        EXPECT_EQ(game.result, word);
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
    }
}

TEST_F(GameProcess, EndClearsTheScenesAndKeepsThem) {
    WriteData("scripts/ui_objects.txt", "(Final (UIStatic (POSI) (SPRT)))\n");
    WriteData("scripts/objects.txt", "(Final (Thing BaseGameObject (POSI)))\n");
    WriteData("menus/game.txt", "(Objects (UIStatic))\n");
    WriteData("menus/dialogue.txt", "(Objects (UIStatic))\n");
    GameProc& game = Start();
    WriteData("levels/location.txt", "(Meta (Name location))\n(Objects (Thing))\n");
    GameLevel->LoadScene("levels/location.txt", true);
    for (UserInterface** layer : {&OverlayUI, &LevelOverlayUI, &mui, &VideoUI, &DialogueUI}) {
        EnsureLayer(*layer).LoadScene("menus/dialogue.txt", true);
    }
    UserInterface* const hud = MainUI;
    try {
        game.End();
    } catch (const Exception& e) {
        FAIL() << e.Text();
    }
    EXPECT_EQ(MainUI, hud);
    EXPECT_TRUE(MainUI->Objects().empty());
    EXPECT_TRUE(GameLevel->Objects().empty());
    for (UserInterface* layer : {OverlayUI, LevelOverlayUI, mui, VideoUI}) {
        ASSERT_NE(layer, nullptr);
        EXPECT_TRUE(layer->Objects().empty());
    }
    EXPECT_EQ(DialogueUI, nullptr);
}

// ---------------------------------------------------------------------------------------------
// The program's wiring

TEST_F(GameProcess, InFullScreenTheCursorAnimationHoldsTheCursorOnScreen) {
    CursorAnim.Load("cursor.ani");
    CursorAnim.Play("idle", true, false, true, 0.0f);
    const FrameRect frame = CursorAnim.GetFrameRect("idle");
    ASSERT_GT(frame.right, 0);
    ConnectGameHooks();
    App.fullScreen = true;
    Mouse.OnWindowMessage(kMessageMouseMove, 0, PackPoint(2, 2));
    EXPECT_EQ(Mouse.x, static_cast<float>(frame.right)) << "right of the idle frame's edge";
    EXPECT_EQ(Mouse.y, static_cast<float>(frame.bottom));
    Mouse.OnWindowMessage(kMessageMouseMove, 0, PackPoint(5000, 5000));
    EXPECT_EQ(Mouse.x, static_cast<float>(1024 - frame.right / 2));
    EXPECT_EQ(Mouse.y, static_cast<float>(768 - frame.bottom / 2));

    MouseState::SetCursorFrameSource(nullptr);
    InstallMainLoopClient(nullptr);
    ObjectsManager::SetLoadListener(nullptr);
    InstallGameFlow(nullptr);
    InstallWorldServices(&layers);
    CursorAnim = AnimPlayer();
    App.fullScreen = false;
}

} // namespace

