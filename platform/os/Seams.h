#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class Window;

// The answer a message box gives.
enum class MessageBoxAnswer { Ok, Yes, No };

// The desktop's current mode, as the start-up test of the renderer reads it.
struct DesktopMode {
    int width = 0;
    int height = 0;
    bool rotated = false; // turned away from the display's default orientation
};

// One input event as the system would deliver it to a window, for scripted runs and tests.
struct SyntheticEvent {
    enum class Type {
        KeyDown,
        KeyUp,
        ButtonDown,
        ButtonUp,
        MouseMove,
        Wheel,
        FocusGained,
        FocusLost,
        MouseLeave,
        Close
    };

    Type type = Type::MouseMove;
    // The window it happens in; null only for keys and buttons, which then change the key
    // states without a message.
    Window* window = nullptr;
    // Keys: the virtual-key code, sent as the scancode of its key (the left one for the generic
    // Shift, Control and Alt). Buttons: kKeyLeftButton, kKeyRightButton or kKeyMiddleButton.
    int key = 0;
    // Moves and buttons: the position in the window's own units. Wheel: y notches, up positive.
    int x = 0;
    int y = 0;
};

// What tests and scripted runs put in place of the machine. A normal start sets none of it, and
// the platform layers then ask the machine.
struct PlatformSeams {
    // The desktop instead of the display's own mode.
    std::optional<DesktopMode> desktop;
    // Every message box gives this answer without showing (an OK box answers Ok).
    std::optional<MessageBoxAnswer> messageBoxAnswer;
    // Boxes answered through the seam, oldest first, each as its caption, ": " and its text.
    std::vector<std::string> messageBoxesShown;
    // Asked at every look into the message queue, before the system's own events are read: the
    // events it appends are taken as if the system had delivered them.
    std::function<void(std::vector<SyntheticEvent>& events)> eventSource;
    // Told of every Sleep, which then returns at once.
    std::function<void(uint32_t milliseconds)> sleep;
};

PlatformSeams& Seams();
// Back to a normal start: nothing set.
void ResetSeams();

// Sets the seams of a scripted run from the environment: ORVEX_DESKTOP ("1280x1024", or with
// "r" after it for a rotated display) and ORVEX_MESSAGE_BOX ("ok", "yes" or "no"). A variable
// that is present but malformed sets nothing and its name is returned in the error list.
std::vector<std::string> ReadSeamsFromEnvironment();
