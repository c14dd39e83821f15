#include "mainloop/AppWindow.h"

#include "engine/Application.h"
#include "engine/MouseState.h"
#include "engine/Timer.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"

namespace {

// Saves the profile and posts the quit: the quit message unwinds every running process with
// the world still whole, and the program shuts down once, at the top.
void EndTheRun() {
    LoopClient().SaveProfile();
    PostQuitMessage(0);
}

int64_t OnCloseRequest(Window* window) {
    // In the background nobody could answer the box: the run ends at once.
    if (!App.active) {
        EndTheRun();
        return 0;
    }
    if (App.fullScreen) {
        return 0;
    }
    if (ShowMessageBox(window, "Exit to Windows?", "Quit", MessageBoxButtons::YesNo,
                       MessageBoxIcon::None) == MessageBoxAnswer::Yes) {
        EndTheRun();
    }
    return 0;
}

void OnActivate(Window* window, uint64_t wParam) {
    if ((wParam & 0xFFFF) != kActivateInactive) {
        App.active = true;
        FrameTimer.Start(); // the time spent in the background is not made up
        Sounds.Resume();
        return;
    }
    App.active = false;
    Mouse.ReleaseButtons();
    Sounds.Pause();
    // A full-screen game in the background gives the desktop back; the next active pass makes
    // window and device again.
    if (App.fullScreen && !App.toggleFullScreen) {
        App.deviceLost = true;
        if (window != nullptr) {
            window->Minimise();
        }
    }
}

} // namespace

Window* CreateAppWindow(int width, int height, bool fullScreen) {
    if (!RegisterWindowClass(kWindowClassName, WindowProc)) {
        return nullptr;
    }
    Window* window = CreateWindow(kWindowClassName, kWindowClassName, width, height, fullScreen);
    if (window == nullptr) {
        UnregisterWindowClass(kWindowClassName); // so that a later try can register it again
        return nullptr;
    }
    window->Show();
    window->Focus();
    return window;
}

int64_t WindowProc(Window* window, uint32_t message, uint64_t wParam, int64_t lParam) {
    Mouse.moved = false;
    switch (message) {
    case kMessageMouseMove:
        Mouse.moved = true;
        break;
    case kMessageEnterMenuLoop:
        App.active = false;
        Mouse.ReleaseButtons();
        Sounds.Pause();
        break;
    case kMessageExitMenuLoop:
        FrameTimer.Start();
        Sounds.Resume();
        App.active = true;
        break;
    case kMessageSysKeyDown:
        // No window menu from the keyboard.
        if (wParam == kKeyAlt || wParam == kKeyF10) {
            return 0;
        }
        break;
    case kMessageActivate:
        OnActivate(window, wParam);
        break;
    case kMessageEndSession:
        // As a close request in the background: the profile is saved and the run ends at once.
        EndTheRun();
        return 0;
    case kMessageClose:
        // Never to the default handling: the window goes only with a rebuild or the program.
        return OnCloseRequest(window);
    default:
        break;
    }
    Mouse.OnWindowMessage(message, wParam, lParam);
    return DefWindowProc(window, message, wParam, lParam);
}
