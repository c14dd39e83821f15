#pragma once

#include "platform/os/Letterbox.h"
#include "platform/os/Seams.h"

#include <cstdint>
#include <optional>
#include <string>

struct SDL_Window;
class Window;

// Receives the messages dispatched to a window of its class; the result goes back to the sender.
using WindowProcedure = int64_t (*)(Window* window, uint32_t message, uint64_t wParam,
                                    int64_t lParam);

// Window classes by name. Registering a name twice fails; unregistering fails for an unknown
// name and while a window of the class exists.
bool RegisterWindowClass(const std::string& name, WindowProcedure procedure);
bool UnregisterWindowClass(const std::string& name);

// One top-level window whose client area shows a picture of a fixed size. In a window the client
// area is exactly that size, centred on the desktop, not resizable. In full screen the window
// covers the desktop and the picture is scaled into it with bars (letterboxed). The system
// cursor is hidden over the window: the game draws its own.
class Window {
public:
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& ClassName() const { return className; }
    // The picture's size: what the game draws and where mouse positions are reported.
    int ClientWidth() const { return clientWidth; }
    int ClientHeight() const { return clientHeight; }

    bool IsFullScreen() const;
    // Desktop full screen on, or back to a centred window of the client size. False on failure.
    bool SetFullScreen(bool on);

    void Show();
    void Hide();
    void Minimise();
    void Focus();
    bool IsVisible() const;
    bool IsMinimised() const;

    // Where the picture lies in the window's drawable, in drawable pixels.
    PixelRect DrawablePicture() const;
    // A point of the window (in the units of its events) as a point of the picture.
    void WindowToPicture(int windowX, int windowY, int& pictureX, int& pictureY) const;

    SDL_Window* Native() const { return window; }

private:
    friend Window* CreateWindow(const std::string&, const std::string&, int, int, bool);
    Window(SDL_Window* window, std::string className, int clientWidth, int clientHeight);

    SDL_Window* window;
    std::string className;
    int clientWidth;
    int clientHeight;
};

// A hidden window of a registered class with a client area of the given size, in full screen or
// centred; null when the class is unknown or no window can be had (no display). The platform
// layer owns it until DestroyWindow.
Window* CreateWindow(const std::string& className, const std::string& title, int clientWidth,
                     int clientHeight, bool fullScreen);
// False when the window is not one of ours (already destroyed, or null).
bool DestroyWindow(Window* window);
// Whether the window is one of ours that still exists.
bool IsWindow(const Window* window);
// The window with this native identity, or null.
Window* FindWindow(uint32_t nativeId);
// The window made last of those that still exist, or null: where scripted input goes.
Window* LatestWindow();
// The window procedure of a window's class, or null.
WindowProcedure ProcedureOf(const Window* window);

// The desktop's current mode: the seam's when set, else the primary display's; nothing when
// the display cannot be asked.
std::optional<DesktopMode> DesktopDisplayMode();

// Shows or hides the system cursor over the game's windows.
void ShowSystemCursor(bool show);

// Starts the video system once (windows, events); false when there is no display.
bool InitVideo();
