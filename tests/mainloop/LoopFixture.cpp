#include "tests/mainloop/LoopFixture.h"

#include "engine/Application.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Timer.h"
#include "engine/profile.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"

#include <algorithm>
#include <cstdlib>

std::vector<std::string> Calls;

// ---------------------------------------------------------------------------------------------
// Process

TestProcess::TestProcess(std::string name) : name(std::move(name)) {}

TestProcess::~TestProcess() {
    Note("deleted");
}

void TestProcess::Note(const char* operation) {
    Calls.push_back(name + "." + operation);
}

void TestProcess::Begin() {
    Note("Begin");
}

void TestProcess::End() {
    Note("End");
    if (onEnd) {
        onEnd(*this);
    }
}

void TestProcess::DeviceRestored() {
    Note("DeviceRestored");
    if (onDeviceRestored) {
        onDeviceRestored(*this);
    }
}

void TestProcess::Update(float dt) {
    Note("Update");
    stepTimes.push_back(dt);
    ++steps;
    if (onUpdate) {
        onUpdate(*this, steps);
    }
}

void TestProcess::AfterUpdate() {
    Note("AfterUpdate");
}

void TestProcess::Render() {
    Note("Render");
}

void TestProcess::DeviceLost() {
    Note("DeviceLost");
    if (onDeviceLost) {
        onDeviceLost(*this);
    }
}

void TestProcess::PreRender() {
    Note("PreRender");
}

void TestProcess::PostRender() {
    Note("PostRender");
}

void TestProcess::Suspend() {
    Note("Suspend");
}

void TestProcess::Resume() {
    Note("Resume");
}

// ---------------------------------------------------------------------------------------------
// Fixture

LoopClientStub TestLoopClient;

void ResetLoopGlobals() {
    ResetSeams();
    ClearMessages();
    ReleaseAllKeys();
    Keyboard.Reset();
    Mouse = MouseState();
    MouseState::SetCursorFrameSource(nullptr);
    App = Application();
    CurrentProcess = nullptr;
    RunningProcess = nullptr;
    GamePaused = false;
    TestLoopClient = LoopClientStub();
    InstallMainLoopClient(&TestLoopClient);
    ObjectsManager::SetLoadListener(nullptr);
    ProfileReset();
}

namespace {

void CloseGameWindow() {
    Renderer::Shutdown();
    Renderer::State() = RenderDevice();
    DestroyWindow(App.window);
    App.window = nullptr;
    UnregisterWindowClass(kWindowClassName);
}

} // namespace

void LoopTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ResetLoopGlobals();
    Calls.clear();
    SetClockSource(&clock);
    FrameTimer.SetRate(60.0);
    // Half a step in, so that whole steps of clock time never land on a step's edge.
    clock.AdvanceSeconds(0.5 / 60.0);
    UseRecordingGraphics(script);
    Seams().desktop = DesktopMode{1920, 1080, false};
    Seams().messageBoxAnswer = MessageBoxAnswer::No;
    Seams().sleep = [this](uint32_t milliseconds) { sleeps.push_back(milliseconds); };
    Seams().idleWait = [](uint32_t milliseconds) {
        Calls.push_back("wait " + std::to_string(milliseconds));
    };
    SetAudioLayer(&audio);
    Sounds.Init();
    OpenGameWindow(false);
    if (App.window == nullptr) {
        GTEST_SKIP() << "no display";
    }
    Seams().eventSource = [this](std::vector<SyntheticEvent>& handed) {
        ++pumps;
        Calls.emplace_back("pump");
        const std::size_t index = static_cast<std::size_t>(pumps - 1);
        clock.AdvanceSeconds((index < stepsPerPump.size() ? stepsPerPump[index] : 1.0) / 60.0);
        const auto due = events.find(pumps);
        if (due != events.end()) {
            handed = due->second;
            events.erase(due);
        }
    };
}

void LoopTest::TearDown() {
    ResetSeams();
    PausePicture.Release();
    PausePicture = TextureHandle();
    TextureManager::ReleaseAll();
    CloseGameWindow();
    Sounds.Shutdown();
    SetAudioLayer(nullptr);
    SetGraphicsSystemFactory({});
    SetClockSource(nullptr);
    ResetLoopGlobals();
}

void LoopTest::OpenGameWindow(bool fullScreen) {
    CloseGameWindow();
    App.fullScreen = fullScreen;
    App.window = CreateAppWindow(1024, 768, fullScreen);
    if (App.window == nullptr) {
        return;
    }
    Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, App.window, !fullScreen);
    Mouse.SetWindow(App.window);
    // What the system says about the new window is not the test's business.
    const auto source = std::move(Seams().eventSource);
    Seams().eventSource = nullptr;
    for (Message message; PeekMessage(message);) {
    }
    Seams().eventSource = source;
    App.active = true;
    script.calls.clear();
}

void LoopTest::At(int pump, SyntheticEvent event) {
    events[pump].push_back(event);
}

void LoopTest::Next(SyntheticEvent event) {
    At(pumps + 1, event);
}

SyntheticEvent LoopTest::Event(SyntheticEvent::Type type, int key, int x, int y) {
    return SyntheticEvent{type, App.window, key, x, y};
}

std::vector<std::string> Only(std::initializer_list<const char*> wanted) {
    std::vector<std::string> kept;
    for (const std::string& call : Calls) {
        if (std::any_of(wanted.begin(), wanted.end(),
                        [&](const char* one) { return call == one; })) {
            kept.push_back(call);
        }
    }
    return kept;
}

int LoopTest::CountCalls(const std::string& prefix) const {
    return static_cast<int>(script.CallsStartingWith(prefix).size());
}
