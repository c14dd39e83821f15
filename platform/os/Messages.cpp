#include "platform/os/Messages.h"

#include "platform/os/Keys.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <set>

namespace {

std::deque<Message> queue;
std::optional<int> quitCode;
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
            PostMessage(window, kMessageMouseMove, ButtonFlags(), PackPoint(x, y));
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
    default:
        break;
    }
}

} // namespace

int64_t PackPoint(int x, int y) {
    const auto half = [](int value) {
        return static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value)));
    };
    return static_cast<int64_t>(half(x) | (half(y) << 16));
}

bool PeekMessage(Message& message) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            TranslateEvent(event);
        }
    }
    if (!queue.empty()) {
        message = queue.front();
        queue.pop_front();
        return true;
    }
    if (quitCode) {
        message = Message{nullptr, kMessageQuit, static_cast<uint64_t>(*quitCode), 0};
        quitCode.reset();
        return true;
    }
    return false;
}

void PostMessage(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    queue.push_back(Message{window, id, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    quitCode = exitCode;
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
    std::erase_if(queue, [&](const Message& message) { return message.window == window; });
    leaveTracked.erase(window);
}

void ClearMessages() {
    queue.clear();
    quitCode.reset();
    leaveTracked.clear();
}
