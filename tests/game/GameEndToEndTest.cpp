// The game's main road, headless on the real OpenGL device: a location with two hidden objects
// is loaded from its files through the file layer, the parser, the scene and level code and the
// player's profile; the game process runs in the real main loop; a click made through the input
// layer picks one object up, and the item is seen on the cursor, in the profile and on screen.

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Timer.h"
#include "game/ConnectGameHooks.h"
#include "game/GameProc.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Clock.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/world/WorldFixture.h"
#include "ui/GameFlow.h"
#include "ui/UserInterface.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;   // the key as it lies in the meadow
constexpr uint32_t kGreen = 0xFF00FF00u; // the coin
constexpr uint32_t kBlue = 0xFF0000FFu;  // the key as it is carried on the cursor
constexpr uint32_t kGrey = 0xFF404040u;  // the meadow

class GameEndToEnd : public WorldTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ResetMedia();
        WorldTest::SetUp();
        Seams().desktop = DesktopMode{1920, 1080, false};
        SetClockSource(&clock);
        FrameTimer.SetRate(60.0);
        // Half a step in, so that whole steps of clock time never land on a step's edge.
        clock.AdvanceSeconds(0.5 / 60.0);
        App.window = CreateAppWindow(1024, 768, false);
        if (App.window == nullptr) {
            GTEST_SKIP() << "no display for a window: the end-to-end run did not run";
        }
        try {
            Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, App.window, true);
        } catch (const Exception& error) {
            GTEST_SKIP() << "no OpenGL context (" << error.Text() << ")";
        }
        Mouse.SetWindow(App.window);
        // What the system says about the new window is not the test's business.
        for (Message message; PeekMessage(message);) {
        }
        App.active = true;
        // As the program's start-up connects them.
        ConnectGameHooks();
        Seams().eventSource = [this](std::vector<SyntheticEvent>& handed) { Pump(handed); };
    }

    void TearDown() override {
        ResetSeams();
        while (CurrentProcess != nullptr) {
            delete CurrentProcess;
        }
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
        GamePaused = false;
        InstallMainLoopClient(nullptr);
        ObjectsManager::SetLoadListener(nullptr);
        InstallWorldServices(nullptr);
        InstallGameFlow(nullptr);
        ReleaseAllKeys();
        Keyboard.Reset();
        Mouse = MouseState();
        ResetMedia();
        if (App.window != nullptr) {
            DestroyWindow(App.window);
            App.window = nullptr;
        }
        UnregisterWindowClass(kWindowClassName);
        ClearMessages();
        SetClockSource(nullptr);
        WorldTest::TearDown();
    }

    // Each look of the main loop into the message queue is one step of clock time; the events
    // and actions planned for that look happen then.
    void Pump(std::vector<SyntheticEvent>& handed) {
        ++pumps;
        clock.AdvanceSeconds(1.0 / 60.0);
        const auto due = plan.find(pumps);
        if (due != plan.end()) {
            due->second(handed);
        }
    }

    void At(int pump, std::function<void(std::vector<SyntheticEvent>&)> action) {
        plan[pump] = std::move(action);
    }

    static SyntheticEvent Event(SyntheticEvent::Type type, int x, int y) {
        return SyntheticEvent{type, App.window, kKeyLeftButton, x, y};
    }

    // The pixel of the frame last drawn.
    static uint32_t Pixel(int x, int y) {
        std::vector<uint32_t> pixels;
        EXPECT_EQ(Renderer::State().device->ReadBackBuffer({x, y, 1, 1}, pixels), kGfxOk);
        return pixels.empty() ? 0 : pixels[0] | 0xFF000000u;
    }

    // The location "meadow": a grey ground, a key at (300, 300) and a coin at (700, 300), each a
    // hidden object 40 x 40; the key's picture on the cursor is a blue square 24 x 24.
    void WriteMeadow() {
        WriteData("gfx/meadow.png", PngFile(SolidImage(64, 64, kGrey)));
        WriteData("gfx/key.png", PngFile(SolidImage(40, 40, kRed)));
        WriteData("gfx/coin.png", PngFile(SolidImage(40, 40, kGreen)));
        WriteData("gfx/key_held.png", PngFile(SolidImage(24, 24, kBlue)));
        WriteData("gfx/meadow.ani", "(framedAnim idle gfx/meadow.png 64 64 (fps 1) (frames 0))\n");
        WriteData("gfx/key.ani", "(framedAnim idle gfx/key.png 40 40 (fps 1) (frames 0))\n");
        WriteData("gfx/coin.ani", "(framedAnim idle gfx/coin.png 40 40 (fps 1) (frames 0))\n");
        WriteData("gfx/objects/key.ani",
                  "(framedAnim cursor gfx/key_held.png 24 24 (fps 1) (frames 0))\n");
        WriteData("gfx/objects/coin.ani",
                  "(framedAnim cursor gfx/key_held.png 24 24 (fps 1) (frames 0))\n");
        WriteData("pickup.wav", "pickup");
        WriteData("cannot.wav", "cannot");
        WriteData("sounds.txt", "(set global (pickup pickup.wav) (cannot cannot.wav))\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("scripts/ui_objects.txt", "(Final)\n");
        WriteData("menus/game.txt", "(Objects)\n");
        WriteData(
            "scripts/objects.txt",
            "(Final\n"
            "  (Ground BaseGameObject (POSI) (SPRT (file gfx/meadow.ani) (animName idle)"
            "    (zOrder -500) (scale 16)))\n"
            "  (HiddenKey GameHiddenObject (POSI) (KEYB) (SPRT (file gfx/key.ani) (animName idle))"
            "    (COLI (left -20) (right 20) (top -20) (bottom 20)))\n"
            "  (HiddenCoin GameHiddenObject (POSI) (KEYB) (SPRT (file gfx/coin.ani)"
            "    (animName idle)) (COLI (left -20) (right 20) (top -20) (bottom 20)))\n"
            ")\n");
        WriteData("levels/meadow.txt",
                  "(Meta (Name meadow) (levelPath levels\\meadow.txt)"
                  " (Type normal))\n"
                  "(Objects (Ground (POSI (position 512 384)))\n"
                  "         (HiddenKey (POSI (position 300 300)) (visName key))\n"
                  "         (HiddenCoin (POSI (position 700 300)) (visName coin)))\n");
    }

    ManualClock clock;
    int pumps = 0;
    std::map<int, std::function<void(std::vector<SyntheticEvent>&)>> plan;
};

TEST_F(GameEndToEnd, AClickedHiddenObjectGoesOntoTheCursorAndIntoTheProfile) {
    WriteMeadow();
    Player& player = MakeProfile(0, "Ann");

    struct Seen {
        uint32_t heldItem = 0;
        uint32_t keyPlace = 0;
        uint32_t coin = 0;
        uint32_t before = 0;
    } seen;
    using Type = SyntheticEvent::Type;
    At(4, [&](std::vector<SyntheticEvent>&) { seen.before = Pixel(300, 300); });
    At(5, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::MouseMove, 300, 300));
    });
    At(8, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonDown, 300, 300));
    });
    At(11, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonUp, 300, 300));
    });
    At(14, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::MouseMove, 600, 500));
    });
    At(20, [&](std::vector<SyntheticEvent>&) {
        seen.heldItem = Pixel(600, 500);
        seen.keyPlace = Pixel(300, 300);
        seen.coin = Pixel(700, 300);
        // The level asks to be left, as its blend-out does at the end of a game.
        GameLevel->state = 6;
    });
    try {
        // As the menu starts a game: the process, then the location loaded into the game level.
        std::unique_ptr<GameProc> game = GameProc::Create();
        GameLevel->LoadScene("levels\\meadow.txt", true);
        EXPECT_TRUE(PlayerFileExists("0.sav")) << "the autosave of the loaded scene";
        EXPECT_EQ(player.GetLastLevelId(), "meadow");
        EXPECT_EQ(RunProcess(std::move(game), false), 6);
    } catch (const Exception& error) {
        FAIL() << error.Text();
    }

    EXPECT_EQ(seen.before, kRed) << "the key lies in the meadow before the click";
    EXPECT_EQ(seen.heldItem, kBlue) << "the key is drawn at the cursor";
    EXPECT_EQ(seen.keyPlace, kGrey) << "and no longer where it lay";
    EXPECT_EQ(seen.coin, kGreen) << "the other object stays";

    ASSERT_NE(GameLevel->levelSystem, nullptr);
    EXPECT_EQ(GameLevel->levelSystem->heldItemName, "key");
    EXPECT_TRUE(HeldItemShown);
    EXPECT_EQ(HeldItemAnim.GetFileName(), "gfx/objects/key.ani");
    EXPECT_EQ(player.GetFlag("meadow:key_killed"), 1);
    EXPECT_NE(PlayerBytes("0.pla").find("key_killed"), std::string::npos)
        << "the killed flag is saved in the profile";
    EXPECT_EQ(player.GetFlag("meadow:coin_killed"), 0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"pickup"});
}

} // namespace
