#include "bench/BenchWindow.h"

#include "engine/Exception.h"
#include "media/Renderer.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"

#include <cstdlib>

namespace {

int64_t IgnoreMessages(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    return DefWindowProc(window, id, wParam, lParam);
}

} // namespace

std::string OpenBenchWindow(Window*& window) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    Seams().desktop = DesktopMode{1920, 1080, false};
    RegisterWindowClass("Orvex", IgnoreMessages);
    window = CreateWindow("Orvex", "Orvex", 1024, 768, false);
    if (window == nullptr) {
        return "no display";
    }
    try {
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, window, true);
    } catch (const Exception& exception) {
        return exception.Text();
    }
    return {};
}
