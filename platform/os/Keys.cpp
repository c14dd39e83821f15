#include "platform/os/Keys.h"

#include <SDL2/SDL_scancode.h>

#include <array>
#include <utility>

namespace {

std::array<bool, 256> keysDown{};
std::array<bool, 256> keysPressed{}; // went down since last taken

constexpr int kKeyRightShift = 0xA1;
constexpr int kKeyLeftControl = 0xA2;
constexpr int kKeyRightControl = 0xA3;
constexpr int kKeyRightAlt = 0xA5;

std::array<uint8_t, SDL_NUM_SCANCODES> BuildTable() {
    std::array<uint8_t, SDL_NUM_SCANCODES> table{};
    for (int letter = 0; letter < 26; ++letter) {
        table[SDL_SCANCODE_A + letter] = static_cast<uint8_t>('A' + letter);
    }
    // USB numbers the digits 1..9 then 0.
    for (int digit = 1; digit <= 9; ++digit) {
        table[SDL_SCANCODE_1 + digit - 1] = static_cast<uint8_t>('0' + digit);
    }
    table[SDL_SCANCODE_0] = '0';
    for (int key = 0; key < 12; ++key) {
        table[SDL_SCANCODE_F1 + key] = static_cast<uint8_t>(kKeyF1 + key);
    }
    for (int digit = 1; digit <= 9; ++digit) {
        table[SDL_SCANCODE_KP_1 + digit - 1] = static_cast<uint8_t>(0x60 + digit);
    }
    const std::pair<SDL_Scancode, int> named[] = {
        {SDL_SCANCODE_KP_0, 0x60},
        {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
        {SDL_SCANCODE_KP_PLUS, 0x6B},
        {SDL_SCANCODE_KP_MINUS, 0x6D},
        {SDL_SCANCODE_KP_PERIOD, 0x6E},
        {SDL_SCANCODE_KP_DIVIDE, 0x6F},
        {SDL_SCANCODE_KP_ENTER, kKeyEnter},
        {SDL_SCANCODE_BACKSPACE, kKeyBackspace},
        {SDL_SCANCODE_TAB, kKeyTab},
        {SDL_SCANCODE_RETURN, kKeyEnter},
        {SDL_SCANCODE_PAUSE, kKeyPause},
        {SDL_SCANCODE_CAPSLOCK, 0x14},
        {SDL_SCANCODE_ESCAPE, kKeyEscape},
        {SDL_SCANCODE_SPACE, kKeySpace},
        {SDL_SCANCODE_PAGEUP, 0x21},
        {SDL_SCANCODE_PAGEDOWN, 0x22},
        {SDL_SCANCODE_END, 0x23},
        {SDL_SCANCODE_HOME, 0x24},
        {SDL_SCANCODE_LEFT, kKeyLeft},
        {SDL_SCANCODE_UP, kKeyUp},
        {SDL_SCANCODE_RIGHT, kKeyRight},
        {SDL_SCANCODE_DOWN, kKeyDown},
        {SDL_SCANCODE_PRINTSCREEN, 0x2C},
        {SDL_SCANCODE_INSERT, 0x2D},
        {SDL_SCANCODE_DELETE, 0x2E},
        {SDL_SCANCODE_LSHIFT, kKeyLeftShift},
        {SDL_SCANCODE_RSHIFT, kKeyRightShift},
        {SDL_SCANCODE_LCTRL, kKeyLeftControl},
        {SDL_SCANCODE_RCTRL, kKeyRightControl},
        {SDL_SCANCODE_LALT, kKeyLeftAlt},
        {SDL_SCANCODE_RALT, kKeyRightAlt},
        {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
        {SDL_SCANCODE_SCROLLLOCK, 0x91},
        {SDL_SCANCODE_SEMICOLON, 0xBA},
        {SDL_SCANCODE_EQUALS, 0xBB},
        {SDL_SCANCODE_COMMA, 0xBC},
        {SDL_SCANCODE_MINUS, 0xBD},
        {SDL_SCANCODE_PERIOD, 0xBE},
        {SDL_SCANCODE_SLASH, 0xBF},
        {SDL_SCANCODE_GRAVE, 0xC0},
        {SDL_SCANCODE_LEFTBRACKET, 0xDB},
        {SDL_SCANCODE_BACKSLASH, 0xDC},
        {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
        {SDL_SCANCODE_APOSTROPHE, 0xDE},
        {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    };
    for (const auto& [scancode, key] : named) {
        table[scancode] = static_cast<uint8_t>(key);
    }
    return table;
}

const std::array<uint8_t, SDL_NUM_SCANCODES> scancodeTable = BuildTable();

// The generic code of a left or right modifier key; 0 for every other key.
int GenericKeyOf(int virtualKey) {
    switch (virtualKey) {
    case kKeyLeftShift:
    case kKeyRightShift:
        return kKeyShift;
    case kKeyLeftControl:
    case kKeyRightControl:
        return kKeyControl;
    case kKeyLeftAlt:
    case kKeyRightAlt:
        return kKeyAlt;
    default:
        return 0;
    }
}

} // namespace

int VirtualKeyOfScancode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) {
        return 0;
    }
    return scancodeTable[static_cast<std::size_t>(scancode)];
}

int ScancodeOfVirtualKey(int virtualKey) {
    switch (virtualKey) {
    case kKeyShift:
        return SDL_SCANCODE_LSHIFT;
    case kKeyControl:
        return SDL_SCANCODE_LCTRL;
    case kKeyAlt:
        return SDL_SCANCODE_LALT;
    default:
        break;
    }
    if (virtualKey <= 0 || virtualKey > 255) {
        return 0;
    }
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (scancodeTable[static_cast<std::size_t>(scancode)] == virtualKey) {
            return scancode;
        }
    }
    return 0;
}

bool KeyIsDown(int virtualKey) {
    switch (virtualKey) {
    case kKeyShift:
        return keysDown[kKeyLeftShift] || keysDown[kKeyRightShift];
    case kKeyControl:
        return keysDown[kKeyLeftControl] || keysDown[kKeyRightControl];
    case kKeyAlt:
        return keysDown[kKeyLeftAlt] || keysDown[kKeyRightAlt];
    default:
        return virtualKey > 0 && virtualKey < 256 && keysDown[static_cast<std::size_t>(virtualKey)];
    }
}

bool TakeKeyPress(int virtualKey) {
    if (virtualKey <= 0 || virtualKey > 255) {
        return false;
    }
    const bool pressed = keysPressed[static_cast<std::size_t>(virtualKey)];
    keysPressed[static_cast<std::size_t>(virtualKey)] = false;
    return pressed;
}

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey <= 0 || virtualKey > 255) {
        return;
    }
    // Only a key that was up goes down: repeats of a held key are no presses.
    const int generic = GenericKeyOf(virtualKey);
    const bool genericWasDown = generic != 0 && KeyIsDown(generic);
    bool& keyDown = keysDown[static_cast<std::size_t>(virtualKey)];
    if (down && !keyDown) {
        keysPressed[static_cast<std::size_t>(virtualKey)] = true;
        if (generic != 0 && !genericWasDown) {
            keysPressed[static_cast<std::size_t>(generic)] = true;
        }
    }
    keyDown = down;
}

void ReleaseAllKeys() {
    keysDown.fill(false);
    keysPressed.fill(false);
}
