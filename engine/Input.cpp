#include "engine/Input.h"

#include "platform/os/Keys.h"

Input Keyboard;

namespace {

bool IsMouseButtonCode(int virtualKey) {
    return virtualKey >= kKeyLeftButton && virtualKey <= kKeyMiddleButton;
}

} // namespace

void Input::Update() {
    ++stepNumber;
    for (int key = 0; key < static_cast<int>(states.size()); ++key) {
        // The mouse state takes the buttons' presses; their codes never read as keys anyway.
        // Every other press is taken, also that of a key still down, so none is seen twice.
        const bool tapped = !IsMouseButtonCode(key) && TakeKeyPress(key);
        const bool down = KeyIsDown(key) || tapped;
        KeyState& state = states[static_cast<std::size_t>(key)];
        if (down) {
            // From released straight to held: a key down again right after its release step
            // does not read as a new press.
            state = state == kUp ? kPressed : kHeld;
        } else {
            state = state == kPressed || state == kHeld ? kReleased : kUp;
        }
    }
}

bool Input::KeyPressed(int virtualKey) const {
    return !IsMouseButtonCode(virtualKey) && State(virtualKey) == kPressed;
}

bool Input::KeyDown(int virtualKey) const {
    const KeyState state = State(virtualKey);
    return !IsMouseButtonCode(virtualKey) && (state == kPressed || state == kHeld);
}

Input::KeyState Input::State(int virtualKey) const {
    if (virtualKey < 0 || virtualKey >= static_cast<int>(states.size())) {
        return kUp;
    }
    return states[static_cast<std::size_t>(virtualKey)];
}
