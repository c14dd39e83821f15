#pragma once

#include <string>

class Window;

// The game's window (1024x768, windowed, on a wide desktop; headless unless a video driver is
// chosen) with the renderer on the real OpenGL device. Empty when it worked; otherwise why not,
// for SkipWithError.
std::string OpenBenchWindow(Window*& window);
