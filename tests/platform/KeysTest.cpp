#include "platform/os/Keys.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(KeysTest, ScancodesBecomeVirtualKeys) {
    // Scancodes are USB usage ids: 4 is A, 30 is 1, 39 is 0, 58 is F1, 98 is keypad 0.
    struct Case {
        int scancode;
        int key;
    };
    const Case cases[] = {{4, 'A'},
                          {29, 'Z'},
                          {30, '1'},
                          {38, '9'},
                          {39, '0'},
                          {58, kKeyF1},
                          {67, kKeyF10},
                          {69, 0x7B},
                          {40, kKeyEnter},
                          {41, kKeyEscape},
                          {44, kKeySpace},
                          {80, kKeyLeft},
                          {81, kKeyDown},
                          {98, 0x60},
                          {97, 0x69},
                          {225, kKeyLeftShift},
                          {226, kKeyLeftAlt},
                          {72, kKeyPause},
                          {53, 0xC0},
                          {0, 0},
                          {-1, 0},
                          {512, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scancode);
        EXPECT_EQ(VirtualKeyOfScancode(c.scancode), c.key);
    }
}

TEST(KeysTest, GenericModifierIsDownWhileEitherOfItsKeysIs) {
    ReleaseAllKeys();
    SetKeyDown(0xA1, true); // right Shift
    EXPECT_TRUE(KeyIsDown(kKeyShift));
    EXPECT_FALSE(KeyIsDown(kKeyLeftShift));
    EXPECT_FALSE(KeyIsDown(kKeyAlt));
    SetKeyDown(0xA1, false);
    EXPECT_FALSE(KeyIsDown(kKeyShift));
    EXPECT_FALSE(KeyIsDown(0));
    EXPECT_FALSE(KeyIsDown(256));
    SetKeyDown(-5, true); // ignored
    ReleaseAllKeys();
}

TEST(KeysTest, EveryKeyTheGameNamesHasAScancodeThatGivesItBack) {
    std::vector<int> keys = {kKeyEnter, kKeyEscape, kKeyBackspace, kKeyLeft, kKeyUp,
                             kKeyRight, kKeyDown,   0x24,          0x23,     0xA0,
                             0xA1,      0xA2,       0xA3,          0xA4,     0xA5};
    for (int key = 'A'; key <= 'Z'; ++key) {
        keys.push_back(key);
    }
    for (int key = '0'; key <= '9'; ++key) {
        keys.push_back(key);
    }
    for (int key = kKeyF1; key < kKeyF1 + 12; ++key) {
        keys.push_back(key);
    }
    for (const int key : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(VirtualKeyOfScancode(ScancodeOfVirtualKey(key)), key);
    }
    // The generic modifiers come from their left keys.
    EXPECT_EQ(VirtualKeyOfScancode(ScancodeOfVirtualKey(kKeyShift)), kKeyLeftShift);
    EXPECT_EQ(VirtualKeyOfScancode(ScancodeOfVirtualKey(kKeyAlt)), kKeyLeftAlt);
    EXPECT_EQ(VirtualKeyOfScancode(ScancodeOfVirtualKey(kKeyControl)), 0xA2);
    for (const int none : {0, kKeyLeftButton, 0xFF, 256, -1}) {
        EXPECT_EQ(ScancodeOfVirtualKey(none), 0) << none;
    }
}

TEST(KeysTest, PressIsKeptUntilTakenEvenWhenTheKeyIsUpAgain) {
    ReleaseAllKeys();
    SetKeyDown('Q', true);
    SetKeyDown('Q', false);
    EXPECT_FALSE(KeyIsDown('Q'));
    EXPECT_TRUE(TakeKeyPress('Q'));
    EXPECT_FALSE(TakeKeyPress('Q'));
    // Repeats of a held key are no new presses.
    SetKeyDown('Q', true);
    EXPECT_TRUE(TakeKeyPress('Q'));
    SetKeyDown('Q', true);
    EXPECT_FALSE(TakeKeyPress('Q'));
    // A generic modifier is pressed once, by whichever of its keys goes down first.
    SetKeyDown(kKeyLeftShift, true);
    SetKeyDown(0xA1, true);
    EXPECT_TRUE(TakeKeyPress(kKeyShift));
    EXPECT_FALSE(TakeKeyPress(kKeyShift));
    EXPECT_TRUE(TakeKeyPress(0xA1));
    SetKeyDown('W', true);
    ReleaseAllKeys();
    EXPECT_FALSE(TakeKeyPress('W'));
    EXPECT_FALSE(TakeKeyPress(0));
    EXPECT_FALSE(TakeKeyPress(256));
}

} // namespace
