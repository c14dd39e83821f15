#include "platform/os/Window.h"

#include "platform/os/Messages.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::map<std::string, WindowProcedure> windowClasses;
std::vector<std::unique_ptr<Window>> windows;
bool videoStarted = false;

} // namespace

bool InitVideo() {
    if (videoStarted) {
        return true;
    }
    // The game handles a close request and focus loss itself: SDL must neither quit on the last
    // window's close nor minimise a full-screen window behind the game's back.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    // The OpenGL library stays loaded for the whole run: the window is destroyed and made again
    // on every switch to and from full screen, and must not reload the driver each time.
    SDL_GL_LoadLibrary(nullptr);
    videoStarted = true;
    return true;
}

bool RegisterWindowClass(const std::string& name, WindowProcedure procedure) {
    if (name.empty() || procedure == nullptr) {
        return false;
    }
    return windowClasses.emplace(name, procedure).second;
}

bool UnregisterWindowClass(const std::string& name) {
    const auto found = windowClasses.find(name);
    if (found == windowClasses.end()) {
        return false;
    }
    const bool inUse = std::any_of(windows.begin(), windows.end(),
                                   [&](const auto& window) { return window->ClassName() == name; });
    if (inUse) {
        return false;
    }
    windowClasses.erase(found);
    return true;
}

Window::Window(SDL_Window* window, std::string className, int clientWidth, int clientHeight)
    : window(window), className(std::move(className)), clientWidth(clientWidth),
      clientHeight(clientHeight) {}

Window::~Window() {
    SDL_DestroyWindow(window);
}

bool Window::IsFullScreen() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

bool Window::SetFullScreen(bool on) {
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return false;
    }
    if (!on) {
        SDL_SetWindowSize(window, clientWidth, clientHeight);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return true;
}

void Window::Show() {
    SDL_ShowWindow(window);
}

void Window::Hide() {
    SDL_HideWindow(window);
}

void Window::Minimise() {
    SDL_MinimizeWindow(window);
}

void Window::Focus() {
    SDL_RaiseWindow(window);
}

bool Window::IsVisible() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
}

bool Window::IsMinimised() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

PixelRect Window::DrawablePicture() const {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    return LetterboxRect(width, height, clientWidth, clientHeight);
}

void Window::WindowToPicture(int windowX, int windowY, int& pictureX, int& pictureY) const {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    const PixelRect picture = LetterboxRect(width, height, clientWidth, clientHeight);
    if (picture.width <= 0 || picture.height <= 0) {
        pictureX = windowX;
        pictureY = windowY;
        return;
    }
    // Floor division keeps points on the bars left of and above the picture negative.
    const auto scaled = [](int offset, int size, int window) {
        const int64_t product = static_cast<int64_t>(offset) * size;
        const int64_t quotient = product / window;
        return static_cast<int>(product % window < 0 ? quotient - 1 : quotient);
    };
    pictureX = scaled(windowX - picture.x, clientWidth, picture.width);
    pictureY = scaled(windowY - picture.y, clientHeight, picture.height);
}

Window* CreateWindow(const std::string& className, const std::string& title, int clientWidth,
                     int clientHeight, bool fullScreen) {
    if (windowClasses.count(className) == 0 || clientWidth <= 0 || clientHeight <= 0 ||
        !InitVideo()) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    SDL_Window* native = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, clientWidth, clientHeight, flags);
    if (native == nullptr) {
        return nullptr;
    }
    SDL_ShowCursor(SDL_DISABLE);
    windows.push_back(
        std::unique_ptr<Window>(new Window(native, className, clientWidth, clientHeight)));
    return windows.back().get();
}

bool DestroyWindow(Window* window) {
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [&](const auto& owned) { return owned.get() == window; });
    if (window == nullptr || found == windows.end()) {
        return false;
    }
    ForgetMessagesOf(window);
    windows.erase(found);
    return true;
}

bool IsWindow(const Window* window) {
    return window != nullptr && std::any_of(windows.begin(), windows.end(), [&](const auto& owned) {
               return owned.get() == window;
           });
}

Window* FindWindow(uint32_t nativeId) {
    for (const std::unique_ptr<Window>& window : windows) {
        if (SDL_GetWindowID(window->Native()) == nativeId) {
            return window.get();
        }
    }
    return nullptr;
}

Window* LatestWindow() {
    return windows.empty() ? nullptr : windows.back().get();
}

WindowProcedure ProcedureOf(const Window* window) {
    if (!IsWindow(window)) {
        return nullptr;
    }
    const auto found = windowClasses.find(window->ClassName());
    return found == windowClasses.end() ? nullptr : found->second;
}

std::optional<DesktopMode> DesktopDisplayMode() {
    if (Seams().desktop) {
        return Seams().desktop;
    }
    SDL_DisplayMode mode;
    if (!InitVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return std::nullopt;
    }
    return DesktopMode{mode.w, mode.h, false};
}

void ShowSystemCursor(bool show) {
    if (InitVideo()) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}
