#include "platform/os/Letterbox.h"

#include <gtest/gtest.h>

namespace {

TEST(LetterboxTest, PictureKeepsItsShapeCentredWithBars) {
    struct Case {
        int outerWidth, outerHeight;
        PixelRect expected;
    };
    const Case cases[] = {
        {1024, 768, {0, 0, 1024, 768}},     // a window of the picture's size
        {1920, 1080, {240, 0, 1440, 1080}}, // wide desktop: bars left and right
        {1280, 1024, {0, 32, 1280, 960}},   // tall desktop: bars above and below
        {800, 600, {0, 0, 800, 600}},       // smaller, same shape
        {1025, 768, {0, 0, 1024, 768}},     // one pixel too wide: centred, the bar rounds away
        {0, 768, {}},
        {1024, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outerWidth << "x" << c.outerHeight);
        EXPECT_EQ(LetterboxRect(c.outerWidth, c.outerHeight, 1024, 768), c.expected);
    }
    EXPECT_EQ(LetterboxRect(1024, 768, 0, 768), PixelRect{});
}

} // namespace
