#include "platform/com/Guid.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GuidTest, ReadsTheFieldsOfTheRegistryForm) {
    constexpr Guid guid = GuidLiteral("{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B}");
    EXPECT_EQ(guid.data1, 0x2344BBD1u);
    EXPECT_EQ(guid.data2, 0xCB3Du);
    EXPECT_EQ(guid.data3, 0x4D22u);
    const uint8_t tail[8] = {0xB0, 0x75, 0xEF, 0xA4, 0xC9, 0xD8, 0x96, 0x9B};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(guid.data4[i], tail[i]) << i;
    }
}

TEST(GuidTest, FormatsInUpperCaseWhateverCaseItWasReadIn) {
    const struct {
        const char* text;
        const char* formatted;
    } cases[] = {
        {"{2344bbd1-cb3d-4d22-b075-efa4c9d8969b}", "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B}"},
        {"{00000000-0000-0000-C000-000000000046}", "{00000000-0000-0000-C000-000000000046}"},
        {"{FFFFFFFF-ffff-FFFF-ffff-FFFFFFFFFFFF}", "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
    };
    for (const auto& c : cases) {
        const std::optional<Guid> guid = ParseGuid(c.text);
        ASSERT_TRUE(guid) << c.text;
        EXPECT_EQ(FormatGuid(*guid), c.formatted);
        EXPECT_EQ(ParseGuid(FormatGuid(*guid)), guid);
    }
}

TEST(GuidTest, RefusesTextsThatAreNotTheRegistryForm) {
    const char* cases[] = {
        "",
        "2344BBD1-CB3D-4D22-B075-EFA4C9D8969B",    // no braces
        "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B",   // no closing brace
        "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969}",   // a digit short
        "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969BB}", // a digit long
        "{2344BBD1CB3D-4D22-B075-EFA4C9D8969B0}",  // hyphen moved
        "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969G}",  // not a hex digit
        "{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B} ", // trailing blank
        "{ 344BBD1-CB3D-4D22-B075-EFA4C9D8969B}",  // blank for a digit
    };
    for (const char* text : cases) {
        EXPECT_FALSE(ParseGuid(text)) << text;
    }
}

TEST(GuidTest, LiteralsAndParsedTextsAgree) {
    EXPECT_EQ(GuidLiteral("{205FF73B-CA67-11D5-99DD-444553540011}"),
              ParseGuid("{205ff73b-ca67-11d5-99dd-444553540011}"));
    EXPECT_NE(GuidLiteral("{205FF73B-CA67-11D5-99DD-444553540011}"),
              GuidLiteral("{205FF73A-CA67-11D5-99DD-444553540011}"));
    EXPECT_EQ(kGuidNull, ParseGuid("{00000000-0000-0000-0000-000000000000}"));
}

} // namespace
