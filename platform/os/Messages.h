#pragma once

#include "platform/os/Seams.h"
#include "platform/os/Window.h"

#include <cstdint>

// Window messages, numbered as the game's code knows them. Mouse positions are in the picture's
// pixels: x in the low and y in the high signed 16-bit half of lParam.
constexpr uint32_t kMessageActivate = 0x0006;    // wParam: kActivate...
constexpr uint32_t kMessageClose = 0x0010;       // the user asks to close the window
constexpr uint32_t kMessageQuit = 0x0012;        // wParam: the exit code; never dispatched
// The system ends the program (a terminate or interrupt signal, the session ending): no
// question can be answered now. Sent to the latest window.
constexpr uint32_t kMessageEndSession = 0x0016;
constexpr uint32_t kMessageActivateApp = 0x001C; // wParam: 1 activated, 0 deactivated
constexpr uint32_t kMessageKeyDown = 0x0100;     // wParam: virtual-key code
constexpr uint32_t kMessageKeyUp = 0x0101;
constexpr uint32_t kMessageSysKeyDown = 0x0104; // a key with Alt held, Alt itself, or F10
constexpr uint32_t kMessageSysKeyUp = 0x0105;
constexpr uint32_t kMessageMouseMove = 0x0200; // wParam: kButton... flags
constexpr uint32_t kMessageLeftButtonDown = 0x0201;
constexpr uint32_t kMessageLeftButtonUp = 0x0202;
constexpr uint32_t kMessageRightButtonDown = 0x0204;
constexpr uint32_t kMessageRightButtonUp = 0x0205;
constexpr uint32_t kMessageMouseWheel = 0x020A; // signed high 16-bit half of wParam: 120 a notch
// The window menu opens and closes. The desktops under SDL have no window menu of the game's, so
// the layer never sends these; the game still answers them.
constexpr uint32_t kMessageEnterMenuLoop = 0x0211;
constexpr uint32_t kMessageExitMenuLoop = 0x0212;
constexpr uint32_t kMessageMouseLeave = 0x02A3; // once per TrackMouseLeave

constexpr uint64_t kActivateInactive = 0;
constexpr uint64_t kActivateActive = 1;

constexpr uint64_t kButtonLeft = 0x0001;
constexpr uint64_t kButtonRight = 0x0002;
constexpr uint64_t kButtonMiddle = 0x0010;

constexpr int kWheelNotch = 120;

struct Message {
    Window* window = nullptr;
    uint32_t id = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// Takes the oldest waiting message, after turning the scripted events of the seams and then the
// system's pending events into messages; false when none waits. Consecutive mouse moves in a
// window are merged into the latest, as the system's own queue does.
bool PeekMessage(Message& message);
// Returns once a message waits or the time has passed, without taking the message: the main loop
// rests here between its steps. With a clock of the tests' or scripted runs' own, real time means
// nothing to the run, and it returns at once.
void WaitForMessage(uint32_t milliseconds);
// Appends a message to the queue.
void PostMessage(Window* window, uint32_t id, uint64_t wParam, int64_t lParam);
// Queues kMessageQuit behind the messages already waiting, ahead of everything that comes later,
// so that no stream of input can hold it back. A second call before it is taken changes only its
// exit code.
void PostQuitMessage(int exitCode);
// Hands the message to its window's procedure; 0 when the window or its class is gone.
int64_t DispatchMessage(const Message& message);
// What a window procedure does with a message it does not handle itself.
int64_t DefWindowProc(Window* window, uint32_t id, uint64_t wParam, int64_t lParam);
// Asks for one kMessageMouseLeave when the cursor next leaves the window.
bool TrackMouseLeave(Window* window);
// Drops the queued messages of a window that is going away.
void ForgetMessagesOf(const Window* window);
// Empties the queue and the posted quit (tests).
void ClearMessages();
// Puts the event into the system's own event queue, where the next PeekMessage finds it as a
// real one (tests of the real path); false without a video system or when the event's window is
// not one of ours.
bool PushSyntheticEvent(const SyntheticEvent& event);

// lParam of a mouse message at a picture position.
int64_t PackPoint(int x, int y);
