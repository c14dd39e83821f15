#include "platform/com/Bstr.h"

#include "platform/com/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(BstrTest, KeepsItsByteCountBeforeTheCharactersAndEndsInZero) {
    BSTR text = AllocBstr(u"lamp");
    ASSERT_NE(text, nullptr);
    uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<const char*>(text) - 4, 4);
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(BstrLength(text), 4u);
    EXPECT_EQ(text[4], u'\0');
    EXPECT_EQ(BstrView(text), u"lamp");
    FreeBstr(text);
}

TEST(BstrTest, NullReadsAsTheEmptyString) {
    EXPECT_EQ(BstrLength(nullptr), 0u);
    EXPECT_EQ(BstrView(nullptr), u"");
    FreeBstr(nullptr);
    const Bstr none;
    EXPECT_EQ(none.View(), u"");
}

TEST(BstrTest, CountsZeroCharactersInside) {
    const std::u16string withZero(u"a\0b", 3);
    const Bstr text(withZero);
    EXPECT_EQ(text.Length(), 3u);
    EXPECT_EQ(text.View(), withZero);
}

TEST(BstrTest, OwnerFreesWhatItHoldsWhenFilledAgainAndHandsItOut) {
    Bstr owner(u"first");
    *owner.Put() = AllocBstr(u"second"); // the first is freed (the leak check would see it)
    EXPECT_EQ(owner.View(), u"second");
    Bstr moved = std::move(owner);
    EXPECT_EQ(owner.Get(), nullptr);
    BSTR handedOut = moved.Release();
    EXPECT_EQ(moved.Get(), nullptr);
    EXPECT_EQ(BstrView(handedOut), u"second");
    FreeBstr(handedOut);
}

TEST(BstrTest, MadeFromNarrowTextInTheSystemCodePage) {
    const Bstr text = Bstr::FromNarrow("caf\xC3\xA9");
    EXPECT_EQ(text.View(), u"caf\u00E9");
}

struct Conversion {
    std::string narrow;
    std::u16string wide;
};

TEST(CodePageTest, ConvertsBothWaysWithoutLoss) {
    const Conversion cases[] = {
        {"", u""},
        {"plain ascii <&>", u"plain ascii <&>"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(WideFromNarrow(c.narrow), c.wide) << c.narrow;
        EXPECT_EQ(NarrowFromWide(c.wide), c.narrow) << c.narrow;
        EXPECT_TRUE(IsWellFormedWide(c.wide));
    }
}

TEST(CodePageTest, ReplacesWhatCannotBeConverted) {
    const Conversion narrowToWide[] = {
        {"\xC3", u"\uFFFD"},                     // cut sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // a surrogate's code
        {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a\x80z", u"a\uFFFDz"},
    };
    for (const Conversion& c : narrowToWide) {
        EXPECT_EQ(WideFromNarrow(c.narrow), c.wide);
    }
    const std::u16string loneHigh(1, char16_t(0xD800));
    const std::u16string loneLow = std::u16string(u"x") + char16_t(0xDC00);
    const std::u16string reversed = std::u16string() + char16_t(0xDE00) + char16_t(0xD83D);
    EXPECT_EQ(NarrowFromWide(loneHigh), "\xEF\xBF\xBD");
    EXPECT_EQ(NarrowFromWide(loneLow), "x\xEF\xBF\xBD");
    EXPECT_EQ(NarrowFromWide(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_FALSE(IsWellFormedWide(loneHigh));
    EXPECT_FALSE(IsWellFormedWide(loneLow));
    EXPECT_FALSE(IsWellFormedWide(reversed));
}

} // namespace
