// The main loop on the real window of the headless display, with OpenGL, fed by events put into
// the system's own event queue: what the game sees step by step.

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/Timer.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"
#include "tests/mainloop/LoopFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Type = SyntheticEvent::Type;

// What a step of the game saw.
struct Seen {
    int step;
    Input::KeyState keyA;
    bool leftPressed, leftHeld, leftReleased;
    float x, y;
};

class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ResetLoopGlobals();
        SetClockSource(&clock);
        FrameTimer.SetRate(60.0);
        clock.AdvanceSeconds(0.5 / 60.0);
        Seams().desktop = DesktopMode{1920, 1080, false};
        Seams().messageBoxAnswer = MessageBoxAnswer::Yes;
        SetAudioLayer(&audio);
        Sounds.Init();
        App.window = CreateAppWindow(1024, 768, false);
        if (App.window == nullptr) {
            GTEST_SKIP() << "no display";
        }
        try {
            Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, App.window, true);
        } catch (const Exception& error) {
            GTEST_SKIP() << "no OpenGL: " << error.Text();
        }
        Mouse.SetWindow(App.window);
        for (Message message; PeekMessage(message);) {
        }
        // The clock moves one step at every look into the queue; the events come the real way.
        Seams().eventSource = [this](std::vector<SyntheticEvent>&) {
            clock.AdvanceSeconds(1.0 / 60.0);
        };
    }

    void TearDown() override {
        ResetSeams();
        Renderer::Shutdown();
        Renderer::State() = RenderDevice();
        DestroyWindow(App.window);
        UnregisterWindowClass(kWindowClassName);
        Sounds.Shutdown();
        SetAudioLayer(nullptr);
        SetClockSource(nullptr);
        ResetLoopGlobals();
    }

    static void Push(Type type, int key = 0, int x = 0, int y = 0) {
        ASSERT_TRUE(PushSyntheticEvent({type, App.window, key, x, y}));
    }

    ManualClock clock;
    RecordingAudio audio;
};

TEST_F(RealWindow, StepsSeeKeysClicksFocusAndTheCloseRequest) {
    std::vector<Seen> seen;
    int saved = 0;
    int sleeps = 0;
    TestLoopClient.onSave = [&] { ++saved; };
    Seams().sleep = [&](uint32_t) {
        if (++sleeps == 2) {
            Push(Type::FocusGained);
        }
    };
    enum class Phase { Start, Clicked, Behind, Closing } phase = Phase::Start;
    std::size_t backAt = 0; // the first step after the focus came back
    auto process = std::make_unique<TestProcess>("game");
    process->onUpdate = [&](TestProcess&, int step) {
        EXPECT_TRUE(App.active) << "no step runs in the background";
        seen.push_back({step, Keyboard.State('A'), Mouse.leftPressed, Mouse.leftHeld,
                        Mouse.leftReleased, Mouse.x, Mouse.y});
        switch (phase) {
        case Phase::Start:
            // A key goes down and a click shorter than a step comes, all before the next step.
            Push(Type::MouseMove, 0, 100, 200);
            Push(Type::KeyDown, 'A');
            Push(Type::ButtonDown, kKeyLeftButton, 100, 200);
            Push(Type::ButtonUp, kKeyLeftButton, 100, 200);
            phase = Phase::Clicked;
            break;
        case Phase::Clicked:
            if (seen.back().leftReleased) {
                Push(Type::KeyUp, 'A');
                Push(Type::FocusLost);
                phase = Phase::Behind;
            }
            break;
        case Phase::Behind:
            // Steps already due still run before the focus goes.
            if (sleeps > 0) {
                backAt = seen.size() - 1;
                Push(Type::Close);
                phase = Phase::Closing;
            }
            break;
        case Phase::Closing:
            break;
        }
    };
    EXPECT_THROW(RunProcess(std::move(process), false), ExceptionQuit);

    // The step that first saw the key and the click, and the one after it.
    std::size_t first = 0;
    while (first < seen.size() && seen[first].keyA == Input::kUp) {
        ++first;
    }
    ASSERT_LT(first + 2, seen.size());
    EXPECT_EQ(seen[first].keyA, Input::kPressed);
    EXPECT_TRUE(seen[first].leftPressed);
    EXPECT_TRUE(seen[first].leftHeld);
    EXPECT_EQ(seen[first].x, 100.0f);
    EXPECT_EQ(seen[first].y, 200.0f);
    EXPECT_EQ(seen[first + 1].keyA, Input::kHeld);
    EXPECT_FALSE(seen[first + 1].leftHeld);
    EXPECT_TRUE(seen[first + 1].leftReleased);
    // Back in front: the key that went up behind reads released, then up.
    ASSERT_GT(backAt, first + 1);
    EXPECT_EQ(seen[backAt - 1].keyA, Input::kHeld);
    EXPECT_EQ(seen[backAt].keyA, Input::kReleased);
    EXPECT_EQ(sleeps, 2);
    EXPECT_EQ(audio.Calls().back(), "Start") << "the sound came back with the focus";
    EXPECT_EQ(Seams().messageBoxesShown, std::vector<std::string>{"Quit: Exit to Windows?"});
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(Only({"game.End", "game.deleted"}),
              (std::vector<std::string>{"game.End", "game.deleted"}));
    EXPECT_TRUE(IsWindow(App.window));
}

} // namespace
