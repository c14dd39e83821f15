#pragma once

#include <cstdint>

// Keys and mouse buttons are numbered as the game's data and code number them: the virtual-key
// codes of its original platform (letters and digits by their upper-case character).
constexpr int kKeyLeftButton = 0x01;
constexpr int kKeyRightButton = 0x02;
constexpr int kKeyMiddleButton = 0x04;
constexpr int kKeyBackspace = 0x08;
constexpr int kKeyTab = 0x09;
constexpr int kKeyEnter = 0x0D;
constexpr int kKeyShift = 0x10;
constexpr int kKeyControl = 0x11;
constexpr int kKeyAlt = 0x12;
constexpr int kKeyPause = 0x13;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeySpace = 0x20;
constexpr int kKeyEnd = 0x23;
constexpr int kKeyHome = 0x24;
constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;
constexpr int kKeyF1 = 0x70;
constexpr int kKeyF4 = 0x73;
constexpr int kKeyF10 = 0x79;
constexpr int kKeyLeftShift = 0xA0;
constexpr int kKeyLeftAlt = 0xA4;

// The virtual-key code of a keyboard scancode (SDL's numbering, which is USB's); 0 for keys the
// game has no code for.
int VirtualKeyOfScancode(int scancode);
// A scancode that gives the virtual key (the left key's for the generic Shift, Control and Alt);
// 0 when no key gives it.
int ScancodeOfVirtualKey(int virtualKey);

// Whether a key or mouse button is down now, as the last pumped events left it. The generic
// Shift, Control and Alt codes are down while either of their two keys is.
bool KeyIsDown(int virtualKey);
// Whether the key or button went down since the last call for it, even when it is up again by
// now; the call forgets the press. A press shorter than the game's step is not lost this way.
// The generic Shift, Control and Alt codes have presses of their own, made by either key.
bool TakeKeyPress(int virtualKey);
// Records a key or button going down or up (the event pump calls it).
void SetKeyDown(int virtualKey, bool down);
// Every key and button up, no press waiting.
void ReleaseAllKeys();
