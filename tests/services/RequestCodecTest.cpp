#include "services/RequestCodec.h"

#include "tests/support/TestData.h"
#include "tools/soaptestserver/ServerCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

const std::string kKey = "ORVEX-TEST-KEY-7";

// The text up to its first zero byte, as a decryption gives it.
std::string UpToZero(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

TEST(RequestCodecTest, PadsToWholeBlocksWithoutAnExtraBlockForWholeOnes) {
    const RequestCodec codec;
    const struct {
        std::size_t length;
        std::size_t hexDigits;
    } cases[] = {{1, 32}, {15, 32}, {16, 32}, {17, 64}, {31, 64}, {32, 64}, {33, 96}, {1000, 2016}};
    for (const auto& c : cases) {
        const std::string text(c.length, 'x');
        std::string hex;
        ASSERT_EQ(codec.EncryptPayload(kKey, text, hex), S_OK);
        EXPECT_EQ(hex.size(), c.hexDigits) << c.length;
        EXPECT_EQ(hex, ServerEncryptToHex(kKey, text)) << c.length;
    }
}

TEST(RequestCodecTest, EncryptsAsAnIndependentCipherDoesAndDecryptsBack) {
    const RequestCodec codec;
    for (std::size_t length = 1; length <= 80; ++length) {
        const std::string text = Words(length, static_cast<uint32_t>(length));
        std::string hex;
        ASSERT_EQ(codec.EncryptPayload(kKey, text, hex), S_OK);
        EXPECT_EQ(hex, ServerEncryptToHex(kKey, text)) << text;
        EXPECT_TRUE(std::all_of(hex.begin(), hex.end(),
                                [](char c) { return std::isdigit(c) || (c >= 'A' && c <= 'F'); }));
        std::string plain;
        ASSERT_EQ(codec.DecryptPayload(kKey, hex, plain), S_OK);
        EXPECT_EQ(plain, text);
    }
    std::string plain;
    ASSERT_EQ(codec.DecryptPayload(kKey, ServerEncryptToHex(kKey, "caf\xC3\xA9 <&>"), plain), S_OK);
    EXPECT_EQ(plain, "caf\xC3\xA9 <&>");
}

TEST(RequestCodecTest, MatchesTheGoldenRequest) {
    // Made once with the openssl command line: aes-128-ecb, no padding, over the zero-padded
    // inner document.
    const std::string golden =
        "<parameters><id>7</id><data>"
        "B66FA619FF4CF450BDF84878A4D30D440AB14ED073970D2BC86AFF2F2C6838FE3751BEC8462A0F27E91A08C2"
        "F7B57D544F6E117B34EF4CE4B423F3918299B6961CAA13EE3C4BDC6CA815CB32D6438A09A8C367D6A3200942"
        "B90EC2A18BF1B230DE545ED2071D7ED4582C5CD1D1F8F55B2F89861BB4252A221B3A1AFFF5D35A12"
        "</data></parameters>";
    EXPECT_EQ(RequestCodec().BuildGetListRequest(kKey, 7, 10, "player@orvex.invalid", "secret"),
              golden);
}

TEST(RequestCodecTest, BuildsEveryRequestAroundItsEncryptedInnerDocument) {
    const RequestCodec codec;
    const auto outer = [](int game, const std::string& inner) {
        return "<parameters><id>" + std::to_string(game) + "</id><data>" +
               ServerEncryptToHex(kKey, inner) + "</data></parameters>";
    };
    EXPECT_EQ(codec.BuildReportRequest(kKey, 9, 2, "Ann<", 4294967296, "Mill & Tower", "a@b", "p"),
              outer(9, "<parameters><id>9</id><mode>2</mode><name>Ann<</name>"
                       "<value>4294967296</value><description>Mill & Tower</description>"
                       "<email>a@b</email><password>p</password></parameters>"));
    EXPECT_EQ(codec.BuildDownloadRequest(kKey, 9, 4, "a&b", ""),
              outer(9, "<parameters><id>9</id><number>4</number><email>a&b</email>"
                       "<password></password></parameters>"));
}

TEST(RequestCodecTest, AFailedEncryptionSendsAnEmptyPayload) {
    const RequestCodec codec;
    EXPECT_EQ(codec.BuildGetListRequest("FIFTEEN-CHARS-X", 7, 1, "a", "b"),
              "<parameters><id>7</id><data></data></parameters>");
    // Sixteen characters, but the accented one takes two bytes in the narrow text.
    EXPECT_EQ(codec.BuildGetListRequest("ORVEX-TEST-KEY-\xC3\xA9", 7, 1, "a", "b"),
              "<parameters><id>7</id><data></data></parameters>");
}

TEST(RequestCodecTest, RefusesBadKeysAndEmptyTextsAndLeavesTheResultAlone) {
    const RequestCodec codec;
    for (const std::string& key :
         {std::string(), std::string(15, 'k'), std::string(17, 'k'), std::string(32, 'k')}) {
        std::string out = "untouched";
        EXPECT_EQ(codec.EncryptPayload(key, "text", out), E_INVALIDARG) << key.size();
        EXPECT_EQ(codec.DecryptPayload(key, "00", out), E_INVALIDARG) << key.size();
        EXPECT_EQ(out, "untouched");
    }
    std::string out = "untouched";
    EXPECT_EQ(codec.EncryptPayload(kKey, "", out), E_INVALIDARG);
    EXPECT_EQ(codec.DecryptPayload(kKey, "", out), E_INVALIDARG);
    EXPECT_EQ(out, "untouched");
}

TEST(RequestCodecTest, ReadsHexLenientlyTwoCharactersAByte) {
    // Each row: hex as it may arrive, and the bytes it stands for (the rest of the block zero).
    const struct {
        const char* hex;
        std::string bytes;
    } cases[] = {
        {"3A7C", std::string("\x3A\x7C", 2)},
        {"3a7C", std::string("\x03\x7C", 2)}, // a lower-case letter ends its byte
        {"a37C", std::string("\x00\x7C", 2)},
        {"G17C", std::string("\x00\x7C", 2)},
        {"7G7C", std::string("\x07\x7C", 2)},
        {"-17C", std::string("\x00\x7C", 2)},
        {" 97C", std::string("\x00\x7C", 2)},
        {"ABC", std::string("\xAB\x0C", 2)}, // an odd last character is a byte of its own
        {"9", std::string("\x09", 1)},
        {"7C7C7C7C7C7C7C7C7C7C7C7C7C7C7C7C7", std::string(16, '\x7C') + "\x07"},
    };
    const RequestCodec codec;
    for (const auto& c : cases) {
        std::string blocks = c.bytes;
        blocks.resize((blocks.size() + 15) / 16 * 16, '\0');
        std::string plain;
        ASSERT_EQ(codec.DecryptPayload(kKey, c.hex, plain), S_OK) << c.hex;
        EXPECT_EQ(plain, UpToZero(ServerDecrypt(kKey, blocks))) << c.hex;
    }
}

TEST(RequestCodecTest, LowerCaseHexDoesNotDecodeToTheSameBytes) {
    const RequestCodec codec;
    const std::string text = "<scores><id>7</id></scores>";
    std::string upper;
    ASSERT_EQ(codec.EncryptPayload(kKey, text, upper), S_OK);
    std::string lower = upper;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    ASSERT_NE(lower, upper);
    std::string plain;
    ASSERT_EQ(codec.DecryptPayload(kKey, lower, plain), S_OK);
    EXPECT_NE(plain, text);
    ASSERT_EQ(codec.DecryptPayload(kKey, upper, plain), S_OK);
    EXPECT_EQ(plain, text);
}

TEST(RequestCodecTest, ThePlainTextEndsAtItsFirstZeroByte) {
    const RequestCodec codec;
    std::string hex;
    ASSERT_EQ(codec.EncryptPayload(kKey, std::string("abc\0def", 7), hex), S_OK);
    std::string plain;
    ASSERT_EQ(codec.DecryptPayload(kKey, hex, plain), S_OK);
    EXPECT_EQ(plain, "abc");
}

TEST(RequestCodecTest, AWrongKeyGivesSomethingElse) {
    const RequestCodec codec;
    std::string plain;
    ASSERT_EQ(
        codec.DecryptPayload("ANOTHER-KEY-1234", ServerEncryptToHex(kKey, "<scores/>"), plain),
        S_OK);
    EXPECT_NE(plain, "<scores/>");
}

} // namespace
