#include "engine/FourCC.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct PackCase {
    const char* text;
    uint32_t id;
};

class FourCCPacking : public testing::TestWithParam<PackCase> {};

TEST_P(FourCCPacking, PacksFirstCharacterIntoTheTopByte) {
    EXPECT_EQ(FourCC(GetParam().text), GetParam().id) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FourCCPacking,
    testing::Values(PackCase{"POSI", 0x504F5349u}, PackCase{"QUIT", 0x51554954u},
                    PackCase{"BPAK", 0x4250414Bu},
                    // Shorter texts are padded with zero bytes.
                    PackCase{"ABC", 0x41424300u}, PackCase{"1", 0x31000000u}, PackCase{"", 0u},
                    // Only the first four characters count.
                    PackCase{"BACKZ", 0x4241434Bu}, PackCase{"\xff\xfe\xfd\xfc", 0xFFFEFDFCu}));

TEST(FourCC, IsAConstantExpression) {
    static_assert(FourCC("MSGS") == 0x4D534753u);
    SUCCEED();
}

TEST(FourCCText, ShowsTheCharactersWithoutPadding) {
    EXPECT_EQ(FourCCText(FourCC("SPRT")), "SPRT");
    EXPECT_EQ(FourCCText(FourCC("AB")), "AB");
    EXPECT_EQ(FourCCText(0), "");
}

TEST(FourCCText, ShowsOtherBytesAsHex) {
    EXPECT_EQ(FourCCText(0x41000142u), "A\\x00\\x01B");
    EXPECT_EQ(FourCCText(0xFF202020u), "\\xFF   ");
}

} // namespace
