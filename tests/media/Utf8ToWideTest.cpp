#include "media/Utf8ToWide.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

struct DecodeCase {
    const char* name;
    std::string source;
    std::u16string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

class Utf8Decoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decoding, GivesTheUnits) {
    const DecodeCase& c = GetParam();
    // Guard units on both sides catch a write outside the units given.
    std::vector<char16_t> buffer(66, u'#');
    const std::size_t count = Utf8ToWide(c.source, std::span<char16_t>(buffer.data() + 1, 64), -1);
    EXPECT_EQ(std::u16string(buffer.data() + 1, count), c.expected);
    EXPECT_EQ(buffer[1 + count], u'\0');
    EXPECT_EQ(buffer.front(), u'#');
    EXPECT_EQ(buffer.back(), u'#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Decoding,
    testing::Values(
        DecodeCase{"empty", "", u""}, DecodeCase{"ascii", "Abc 1", u"Abc 1"},
        DecodeCase{"two bytes", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        DecodeCase{"three bytes", "\xE2\x82\xAC!", u"\u20AC!"},
        DecodeCase{"four bytes cut to sixteen bits", "\xF0\x9F\x98\x80", u"\xF600"},
        DecodeCase{"lead then ascii drops the lead",
                   "\xC3"
                   "A",
                   u"A"},
        DecodeCase{"three-byte lead broken after one", "\xE2\x82Z", u"Z"},
        DecodeCase{"lone continuation byte keeps its six bits", "\x81x", u"\x01x"},
        DecodeCase{"sequence cut short by the end", "ok\xE2\x82", u"ok"},
        DecodeCase{"lead at the very end", "ok\xC3", u"ok"},
        DecodeCase{"five leading ones read five bytes", "\xF8\x80\x80\x80\x81-", u"\x0001-"},
        DecodeCase{"every bit set looks at five bytes", "\xFF\xBF\xBF\xBF\xBF", u"\xFFFF"}));

TEST(Utf8ToWide, StopsAtTheLimitAndTerminates) {
    std::array<char16_t, 8> buffer;
    buffer.fill(u'#');
    EXPECT_EQ(Utf8ToWide("abcdef", buffer, 3), 3u);
    EXPECT_EQ(std::u16string(buffer.data(), 4), std::u16string(u"abc\0", 4));
    EXPECT_EQ(buffer[4], u'#');
}

TEST(Utf8ToWide, NeverWritesPastTheDestination) {
    // A limit larger than the room, or none at all, still leaves room for the terminator only.
    for (const int limit : {-1, 100}) {
        std::array<char16_t, 6> buffer;
        buffer.fill(u'#');
        const std::span<char16_t> room(buffer.data(), 4);
        EXPECT_EQ(Utf8ToWide("\xC3\xA9"
                             "abcdefgh",
                             room, limit),
                  3u);
        EXPECT_EQ(std::u16string(buffer.data(), 4), std::u16string(u"\u00E9ab\0", 4));
        EXPECT_EQ(buffer[4], u'#');
    }
    EXPECT_EQ(Utf8ToWide("abc", std::span<char16_t>(), -1), 0u);
}

TEST(Utf8ToWide, NeverReadsPastTheSource) {
    // The view ends inside a longer text: the bytes after it must not complete the sequence.
    const std::string text = "x\xE2\x82\xAC";
    std::array<char16_t, 8> buffer;
    EXPECT_EQ(Utf8ToWide(std::string_view(text).substr(0, 3), buffer, -1), 1u);
    EXPECT_EQ(buffer[0], u'x');
}

} // namespace
