#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
        Close,
        Terminate // the system ends the program, as a terminate or interrupt signal does
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
    // Told of every WaitForMessage that finds the queue empty, which then returns at once.
    std::function<void(uint32_t milliseconds)> idleWait;

    // The single-instance name instead of the game's own, so that runs side by side (tests) do
    // not refuse each other.
    std::optional<std::string> instanceName;
    // Told of every document the game opens, instead of starting the user's program for it.
    std::function<bool(const std::string& path)> openDocument;
    // The random seed instead of the time of the start.
    std::optional<uint32_t> randomSeed;
    // Told of the input script's seeds at their passes; the game seeds its generator with them.
    std::function<void(uint32_t seed)> reseed;

    // Scripted runs of the real program: the passes of the main loop are counted (one look into
    // the message queue is one pass), and the input script's events, the screenshots and the end
    // are placed by pass number.
    struct ScreenshotRequest {
        int pass = 0;     // the first frame drawn at or after this pass is taken
        std::string path; // a PNG of the game's 1024x768 picture
        bool taken = false;
    };
    std::vector<ScreenshotRequest> screenshots;
    // The quit message is posted at this pass.
    std::optional<int> endPass;
    // The quit message is posted once the first frame has been drawn.
    bool endAfterFirstFrame = false;
    // Passes so far in a scripted run.
    int pass = 0;
    // Told of every sound set and music the game starts: its kind ("sound" or "music") and name.
    std::function<void(std::string_view kind, std::string_view name)> soundStarted;
};

PlatformSeams& Seams();
// Back to a normal start: nothing set.
void ResetSeams();

// Sets the seams of a scripted run from the environment; a normal start has none of these set:
//   ORVEX_DESKTOP      "1280x1024", or with "r" after it for a rotated display
//   ORVEX_MESSAGE_BOX  "ok", "yes" or "no"
//   ORVEX_INSTANCE     the single-instance name
//   ORVEX_SEED         the random seed, a decimal number
//   ORVEX_STEP_CLOCK   "1": the clock moves exactly one step (1/60 s) at every pass
//   ORVEX_SCRIPT       an input script file (see ScriptedInput.h), its events placed by pass
//   ORVEX_SCREENSHOT   "PASS:FILE.png", several separated by ';'
//   ORVEX_END          a pass number at which the run quits, or "first-frame"
//   ORVEX_SOUNDS       a file that receives a line "PASS sound|music NAME" for every sound set
//                      and music started, written as it happens
// A variable that is present but malformed sets nothing and its name is returned in the error
// list (with the reason for a script).
std::vector<std::string> ReadSeamsFromEnvironment();

// Tells the seam, if one is set, that the game started a sound set or music.
void NoteSoundStarted(std::string_view kind, std::string_view name);
