#include "mainloop/MainLoop.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "engine/profile.h"
#include "mainloop/AppWindow.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Clock.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

bool GamePaused = false;
TextureHandle PausePicture;

namespace {

std::string pausePictureToLoad;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr uint32_t kInactiveSleepMilliseconds = 50;
constexpr float kOverlayDepth = 900.0f;

class NoClient final : public MainLoopClient {
public:
    void SaveProfile() override {}
    void ReleaseFontBuffers() override {}
    void RestoreFontBuffers() override {}
    void DrawCursor(float, float) override {}
    void FramePresented() override {}
};

NoClient noClient;
MainLoopClient* client = &noClient;

// Takes one waiting message, if any, and handles it; true when there was one. The quit message
// unwinds every running process.
bool HandleOneMessage() {
    Message message;
    if (!PeekMessage(message)) {
        return false;
    }
    if (message.id == kMessageQuit) {
        throw ExceptionQuit();
    }
    DispatchMessage(message);
    return true;
}

void WaitForNextStep() {
    const double seconds = FrameTimer.SecondsToNextStep();
    if (seconds > 0.0) {
        // Rounded up, so that the pass after the wait finds the step due.
        WaitForMessage(static_cast<uint32_t>(std::ceil(std::min(seconds, 1.0) * 1000.0)));
    }
}

bool DeviceUsable() {
    GraphicsDevice* device = Renderer::State().device.get();
    return device != nullptr && device->TestCooperativeLevel() == kGfxOk;
}

void SetDepthState(uint32_t compare, bool write) {
    if (GraphicsDevice* device = Renderer::State().device.get()) {
        device->SetRenderState(RenderState::ZFunc, compare);
    }
    Renderer::SetZWriteEnable(write);
}

// The presenting stage: a process may ask to skip presenting one frame.
void Present(XProcess& process) {
    if (process.flag != 0) {
        process.flag = 0;
        return;
    }
    if (Renderer::Present() == kGfxDeviceLost) {
        App.deviceLost = true;
    }
}

// While the window is in the background: the frozen picture, with the pause picture and the
// cursor over it unless the game shows its own pause.
void RedrawInactive(XProcess& process) {
    if (!App.deviceLost) {
        Renderer::Clear();
        const GfxResult begun = Renderer::BeginScene();
        if (begun == kGfxOk && DeviceUsable()) {
            process.PreRender();
            process.Render();
            Renderer::EndScene();
            process.PostRender();
            if (!GamePaused) {
                SetDepthState(kCompareAlways, false);
                DrawQuad(384.0f, 320.0f, kOverlayDepth, 256.0f, 128.0f, 0.0f, 0.0f, 1.0f, 1.0f,
                         PausePictureToDraw(), 0.0f, 1.0f, 1.0f, nullptr, 0.0f, 0.0f);
                client->DrawCursor(Mouse.x, Mouse.y);
                SetDepthState(kCompareLessEqual, true);
            }
        }
    }
    Present(process);
}

void Render(XProcess& process, std::string& fpsText) {
    const ProfileScope render("main_render");
    {
        const ProfileScope stage("main_render_clear_buffer");
        Renderer::Clear();
    }
    {
        const ProfileScope stage("main_render_begin_drawing");
        Renderer::BeginScene();
        process.PreRender();
    }
    {
        const ProfileScope stage("main_render_proc_render");
        process.Render();
        if (App.showFps) {
            if (FrameTimer.TickFrameRate() || fpsText.empty()) {
                const float fps = FrameTimer.FramesPerSecond();
                char text[16];
                std::snprintf(text, sizeof text, "%d",
                              fps < 1e9f ? static_cast<int>(fps) : 999999999);
                fpsText = text;
            }
            Renderer::DrawDebugText(2.0f, 2.0f, fpsText.c_str(), 1.0f, 1.0f, 1.0f, 1.0f);
        }
    }
    {
        const ProfileScope stage("main_render_begin_drawing");
        Renderer::EndScene();
    }
    {
        const ProfileScope stage("main_render_post_render");
        process.PostRender();
    }
    {
        const ProfileScope stage("main_render_present");
        Present(process);
    }
    client->FramePresented();
}

// After a lost device or for a switch between window and full screen: everything that lives on
// the device is let go, window and device are made anew, and everything comes back.
void Rebuild(XProcess& process) {
    client->ReleaseFontBuffers();
    TextureManager::OnDeviceLost();
    process.DeviceLost();
    Renderer::Shutdown();
    Sounds.Pause();

    if (App.fullScreen) {
        ShowSystemCursor(true);
    }
    if (!DestroyWindow(App.window)) {
        ShowMessageBox(nullptr, "Could Not Release hWnd.", "SHUTDOWN ERROR", MessageBoxButtons::Ok,
                       MessageBoxIcon::Information);
    }
    App.window = nullptr;
    if (!UnregisterWindowClass(kWindowClassName)) {
        ShowMessageBox(nullptr, "Could Not Unregister Class.", "SHUTDOWN ERROR",
                       MessageBoxButtons::Ok, MessageBoxIcon::Information);
    }

    App.deviceLost = false;
    if (App.toggleFullScreen) {
        App.fullScreen = !App.fullScreen;
    }
    App.toggleFullScreen = false;
    App.window = CreateAppWindow(kScreenWidth, kScreenHeight, App.fullScreen);
    if (App.window == nullptr) {
        throw Exception("Cannot Create App Window");
    }
    if (!Renderer::Init(kScreenWidth, kScreenHeight,
                        App.bit16 ? PixelFormat::R5G6B5 : PixelFormat::X8R8G8B8, App.window,
                        !App.fullScreen)) {
        throw Exception("Cannot initialize DirectX");
    }

    TextureManager::OnDeviceReset();
    client->RestoreFontBuffers();
    process.DeviceRestored();
    FrameTimer.Start();
    Sounds.Resume();
    Mouse.TrackLeave();
}

// The passes of one process, until its state word is 0.
void RunPasses(XProcess& process, bool renderEveryPass) {
    std::string fpsText;
    while (process.state != 0) {
        if (HandleOneMessage()) {
            continue;
        }
        if (!App.active) {
            Sleep(kInactiveSleepMilliseconds);
            if (!App.fullScreen) {
                RedrawInactive(process);
            }
            continue;
        }
        if (App.toggleFullScreen || App.deviceLost) {
            Rebuild(process);
        }

        FrameTimer.Update();
        const int32_t due = FrameTimer.StepsDue();
        bool stepped = false;
        for (int32_t step = 0; step < due && process.state != 0; ++step) {
            const ProfileScope update("main_update");
            Mouse.Update();
            Keyboard.Update();
            process.Update(kStepTime);
            process.AfterUpdate();
            stepped = true;
        }
        if (process.state == 0) {
            break;
        }
        if (!stepped && !renderEveryPass) {
            // Nothing to do before the next step: rest until it or a message comes, instead of
            // polling the queue in a busy loop.
            WaitForNextStep();
            continue;
        }
        if (!DeviceUsable()) {
            continue;
        }
        Render(process, fpsText);
    }
}

// Ends (unless End is what threw) and frees a process that an error leaves, so that every
// nested call pops its own process and the one below is resumed. Freed here, not while the
// error unwinds the stack: the resumed process may throw, and its error then goes on instead.
void EndAndFree(std::unique_ptr<XProcess> process, bool end) {
    if (end) {
        try {
            process->End();
        } catch (...) {
            process.reset();
            throw;
        }
    }
}

} // namespace

void LoadPausePictureWhenDrawn(const std::string& name) {
    pausePictureToLoad = name;
}

TextureHandle* PausePictureToDraw() {
    if (!pausePictureToLoad.empty()) {
        TextureManager::Load(PausePicture, pausePictureToLoad);
        pausePictureToLoad.clear();
    }
    return &PausePicture;
}

void InstallMainLoopClient(MainLoopClient* installed) {
    client = installed != nullptr ? installed : &noClient;
}

MainLoopClient& LoopClient() {
    return *client;
}

int32_t RunProcess(std::unique_ptr<XProcess> process, bool renderEveryPass) {
    if (process == nullptr) {
        return 0;
    }
    bool ended = false;
    int32_t result = 0;
    try {
        TextureManager::PurgeUnused();
        RunningProcess = process.get();
        process->Begin();
        FrameTimer.Start();
        RunPasses(*process, renderEveryPass);

        HandleOneMessage();
        Mouse.Update();
        Keyboard.Update();
        result = process->result;
        ended = true;
        process->End();
    } catch (...) {
        RunningProcess = nullptr;
        EndAndFree(std::move(process), !ended);
        throw;
    }
    RunningProcess = nullptr;
    process.reset();
    Mouse.SuppressButtons();
    return result;
}
