#include "platform/os/Keys.h"

#include <gtest/gtest.h>

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

} // namespace
