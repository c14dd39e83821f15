#pragma once

#include <cstdint>

class Window;

// The game window's class and title.
constexpr const char* kWindowClassName = "Orvex";

// Registers the window class "Orvex" and creates the game window with a client area of the size,
// in full screen or centred on the desktop; shows it and gives it the keyboard focus. Null when
// the class cannot be registered (it already is) or the window cannot be made.
Window* CreateAppWindow(int width, int height, bool fullScreen);

// The window procedure of the game window: focus gained and lost, the window menu, the close
// request, the Alt and F10 system keys, and the mouse messages for the mouse state.
int64_t WindowProc(Window* window, uint32_t message, uint64_t wParam, int64_t lParam);
