#include "platform/os/Messages.h"

#include "platform/os/Clock.h"
#include "platform/os/Keys.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <deque>
#include <set>
#include <vector>

namespace {

// Posted messages and translated events in order; a posted quit waits among them as a
// kMessageQuit without a window.
std::deque<Message> queue;
std::set<const Window*> leaveTracked;

uint64_t ButtonFlags() {
    uint64_t flags = 0;
    flags |= KeyIsDown(kKeyLeftButton) ? kButtonLeft : 0;
    flags |= KeyIsDown(kKeyRightButton) ? kButtonRight : 0;
    flags |= KeyIsDown(kKeyMiddleButton) ? kButtonMiddle : 0;
    return flags;
}

// Key messages carry the generic Shift, Control and Alt codes, as the game expects.
int MessageKey(int virtualKey) {
    switch (virtualKey) {
    case 0xA0:
    case 0xA1:
        return kKeyShift;
    case 0xA2:
    case 0xA3:
        return kKeyControl;
    case 0xA4:
    case 0xA5:
        return kKeyAlt;
    default:
        return virtualKey;
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event, Window* window) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        PostMessage(window, kMessageActivateApp, 1, 0);
        PostMessage(window, kMessageActivate, kActivateActive, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        PostMessage(window, kMessageActivate, kActivateInactive, 0);
        PostMessage(window, kMessageActivateApp, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        PostMessage(window, kMessageClose, 0, 0);
        break;
    case SDL_WINDOWEVENT_LEAVE:
        if (leaveTracked.erase(window) != 0) {
            PostMessage(window, kMessageMouseLeave, 0, 0);
        }
        break;
    default:
        break;
    }
}

void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (Window* window = FindWindow(event.window.windowID)) {
            TranslateWindowEvent(event.window, window);
        }
        break;
    case SDL_MOUSEMOTION:
        if (Window* window = FindWindow(event.motion.windowID)) {
            int x = 0;
            int y = 0;
            window->WindowToPicture(event.motion.x, event.motion.y, x, y);
            // A move right behind another of the window replaces it: a fast mouse cannot flood
            // the queue, and the game sees where the cursor is now.
            if (!queue.empty() && queue.back().window == window &&
                queue.back().id == kMessageMouseMove) {
                queue.back().wParam = ButtonFlags();
                queue.back().lParam = PackPoint(x, y);
            } else {
                PostMessage(window, kMessageMouseMove, ButtonFlags(), PackPoint(x, y));
            }
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        const int key = event.button.button == SDL_BUTTON_LEFT     ? kKeyLeftButton
                        : event.button.button == SDL_BUTTON_RIGHT  ? kKeyRightButton
                        : event.button.button == SDL_BUTTON_MIDDLE ? kKeyMiddleButton
                                                                   : 0;
        SetKeyDown(key, down);
        Window* window = FindWindow(event.button.windowID);
        if (window == nullptr || (key != kKeyLeftButton && key != kKeyRightButton)) {
            break;
        }
        int x = 0;
        int y = 0;
        window->WindowToPicture(event.button.x, event.button.y, x, y);
        const uint32_t id = key == kKeyLeftButton
                                ? (down ? kMessageLeftButtonDown : kMessageLeftButtonUp)
                                : (down ? kMessageRightButtonDown : kMessageRightButtonUp);
        PostMessage(window, id, ButtonFlags(), PackPoint(x, y));
        break;
    }
    case SDL_MOUSEWHEEL:
        if (Window* window = FindWindow(event.wheel.windowID); window && event.wheel.y != 0) {
            const int delta = std::clamp(event.wheel.y * kWheelNotch, -32768, 32767);
            const uint64_t high = static_cast<uint16_t>(static_cast<int16_t>(delta));
            PostMessage(window, kMessageMouseWheel, (high << 16) | ButtonFlags(), 0);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        const int key = VirtualKeyOfScancode(event.key.keysym.scancode);
        SetKeyDown(key, down);
        Window* window = FindWindow(event.key.windowID);
        if (window == nullptr || key == 0) {
            break;
        }
        const bool system = KeyIsDown(kKeyAlt) || key == kKeyF10 || MessageKey(key) == kKeyAlt;
        const uint32_t id = system ? (down ? kMessageSysKeyDown : kMessageSysKeyUp)
                                   : (down ? kMessageKeyDown : kMessageKeyUp);
        PostMessage(window, id, static_cast<uint64_t>(MessageKey(key)), 0);
        break;
    }
    case SDL_QUIT:
        // SDL turns SIGTERM and SIGINT into this; the last window closing does not (see the
        // window layer's hints).
        if (Window* window = LatestWindow()) {
            PostMessage(window, kMessageEndSession, 1, 0);
        } else {
            PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
}

uint32_t NativeId(const Window* window) {
    return window != nullptr ? SDL_GetWindowID(window->Native()) : 0;
}

// The SDL event that the system would deliver for a scripted one; false for an event of a window
// that is not ours (or gone), or one that names no window where it needs one.
bool ToSdlEvent(const SyntheticEvent& synthetic, SDL_Event& event) {
    using Type = SyntheticEvent::Type;
    if (synthetic.window != nullptr && !IsWindow(synthetic.window)) {
        return false;
    }
    const bool keyOrButton = synthetic.type == Type::KeyDown || synthetic.type == Type::KeyUp ||
                             synthetic.type == Type::ButtonDown || synthetic.type == Type::ButtonUp;
    if (synthetic.type == Type::Terminate) {
        event = SDL_Event{};
        event.type = SDL_QUIT;
        return true;
    }
    if (synthetic.window == nullptr && !keyOrButton) {
        return false;
    }
    const uint32_t windowId = NativeId(synthetic.window);
    event = SDL_Event{};
    const auto windowEvent = [&](SDL_WindowEventID id) {
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = windowId;
        event.window.event = static_cast<Uint8>(id);
    };
    switch (synthetic.type) {
    case Type::KeyDown:
    case Type::KeyUp: {
        const bool down = synthetic.type == Type::KeyDown;
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = windowId;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = static_cast<SDL_Scancode>(ScancodeOfVirtualKey(synthetic.key));
        return event.key.keysym.scancode != SDL_SCANCODE_UNKNOWN;
    }
    case Type::ButtonDown:
    case Type::ButtonUp: {
        const bool down = synthetic.type == Type::ButtonDown;
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = windowId;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = synthetic.x;
        event.button.y = synthetic.y;
        switch (synthetic.key) {
        case kKeyLeftButton:
            event.button.button = SDL_BUTTON_LEFT;
            return true;
        case kKeyRightButton:
            event.button.button = SDL_BUTTON_RIGHT;
            return true;
        case kKeyMiddleButton:
            event.button.button = SDL_BUTTON_MIDDLE;
            return true;
        default:
            return false;
        }
    }
    case Type::MouseMove:
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = windowId;
        event.motion.x = synthetic.x;
        event.motion.y = synthetic.y;
        return true;
    case Type::Wheel:
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = windowId;
        event.wheel.y = synthetic.y;
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        return true;
    case Type::FocusGained:
        windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        return true;
    case Type::FocusLost:
        windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        return true;
    case Type::MouseLeave:
        windowEvent(SDL_WINDOWEVENT_LEAVE);
        return true;
    case Type::Close:
        windowEvent(SDL_WINDOWEVENT_CLOSE);
        return true;
    case Type::Terminate:
        return true;
    }
    return false;
}

} // namespace

int64_t PackPoint(int x, int y) {
    const auto half = [](int value) {
        return static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value)));
    };
    return static_cast<int64_t>(half(x) | (half(y) << 16));
}

void WaitForMessage(uint32_t milliseconds) {
    if (!queue.empty() || milliseconds == 0) {
        return;
    }
    if (Seams().idleWait) {
        Seams().idleWait(milliseconds);
        return;
    }
    if (!UsingSystemClock()) {
        return;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        // Leaves the event in the system's queue for the next PeekMessage.
        SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
    } else {
        Sleep(milliseconds);
    }
}

bool PeekMessage(Message& message) {
    if (Seams().eventSource) {
        std::vector<SyntheticEvent> events;
        Seams().eventSource(events);
        for (const SyntheticEvent& synthetic : events) {
            SDL_Event event;
            if (ToSdlEvent(synthetic, event)) {
                TranslateEvent(event);
            }
        }
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            TranslateEvent(event);
        }
    }
    if (queue.empty()) {
        return false;
    }
    message = queue.front();
    queue.pop_front();
    return true;
}

void PostMessage(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    queue.push_back(Message{window, id, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    const auto waiting = std::find_if(queue.begin(), queue.end(), [](const Message& message) {
        return message.id == kMessageQuit && message.window == nullptr;
    });
    if (waiting != queue.end()) {
        waiting->wParam = static_cast<uint64_t>(exitCode);
        return;
    }
    PostMessage(nullptr, kMessageQuit, static_cast<uint64_t>(exitCode), 0);
}

int64_t DispatchMessage(const Message& message) {
    const WindowProcedure procedure = ProcedureOf(message.window);
    if (procedure == nullptr) {
        return 0;
    }
    return procedure(message.window, message.id, message.wParam, message.lParam);
}

int64_t DefWindowProc(Window*, uint32_t, uint64_t, int64_t) {
    return 0;
}

bool TrackMouseLeave(Window* window) {
    if (window == nullptr) {
        return false;
    }
    leaveTracked.insert(window);
    return true;
}

void ForgetMessagesOf(const Window* window) {
    if (window == nullptr) {
        return; // the posted quit belongs to no window and stays
    }
    std::erase_if(queue, [&](const Message& message) { return message.window == window; });
    leaveTracked.erase(window);
}

void ClearMessages() {
    queue.clear();
    leaveTracked.clear();
}

bool PushSyntheticEvent(const SyntheticEvent& synthetic) {
    SDL_Event event;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || !ToSdlEvent(synthetic, event)) {
        return false;
    }
    return SDL_PushEvent(&event) == 1;
}
