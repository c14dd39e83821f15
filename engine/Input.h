#pragma once

#include <array>
#include <cstdint>

// The keyboard as the fixed update steps see it: the state of every virtual key in the current
// step. The main loop updates it at the start of each step, after the mouse.
class Input {
public:
    enum KeyState : uint8_t { kUp = 0, kPressed = 1, kHeld = 2, kReleased = 3 };

    // Takes every key's state from the key events since the last update: a key that went down
    // and up again in between reads as pressed now and as released in the next step.
    void Update();
    // The key went down in this step. Always false for the mouse buttons' codes 1 to 4.
    bool KeyPressed(int virtualKey) const;
    // The key is down in this step (pressed or held). Always false for the codes 1 to 4.
    bool KeyDown(int virtualKey) const;

    KeyState State(int virtualKey) const;
    // Every key up.
    void Reset() { states.fill(kUp); }
    // The number of updates so far: tells one step from the next (Reset keeps it).
    uint32_t StepNumber() const { return stepNumber; }

private:
    std::array<KeyState, 256> states{};
    uint32_t stepNumber = 0;
};

// The keyboard of the game.
extern Input Keyboard;
