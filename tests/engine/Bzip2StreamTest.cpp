#include "engine/bzip2_stream.h"
#include "tests/support/TestData.h"

#include <bzlib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace {

using bzip2_stream::bzip2_istream;

std::string Compress(const std::string& data) {
    std::string out(data.size() + data.size() / 100 + 600, '\0');
    auto length = static_cast<unsigned>(out.size());
    const int result = BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(data.data()),
                                                static_cast<unsigned>(data.size()), 9, 0, 0);
    EXPECT_EQ(result, BZ_OK);
    out.resize(length);
    return out;
}

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct BufferSizes {
    std::size_t output;
    std::size_t input;
};

// Output buffers from the smallest (one character behind the put-back area) up.
constexpr BufferSizes kBufferSizes[] = {{5, 1}, {7, 3}, {1024, 1024}, {65536, 65536}};

TEST(Bzip2StreamTest, DecompressesWhateverTheBufferSizes) {
    const std::string inputs[] = {"", "a", Words(300 * 1000, 1)};
    for (const BufferSizes sizes : kBufferSizes) {
        for (const std::string& data : inputs) {
            std::istringstream source(Compress(data));
            bzip2_istream in(source, 0, false, sizes.output, sizes.input);
            EXPECT_EQ(ReadAll(in), data) << sizes.output << "/" << sizes.input;
            EXPECT_TRUE(in.rdbuf()->ended());
        }
    }
}

TEST(Bzip2StreamTest, SmallMemoryModeDecompressesToo) {
    const std::string data = Words(100 * 1000, 2);
    std::istringstream source(Compress(data));
    bzip2_istream in(source, 0, true);
    EXPECT_EQ(ReadAll(in), data);
}

TEST(Bzip2StreamTest, LeavesTheSourceRightBehindTheCompressedData) {
    const std::string data = Words(50 * 1000, 3);
    for (const BufferSizes sizes : kBufferSizes) {
        std::istringstream source(Compress(data) + "TAIL of the pack");
        bzip2_istream in(source, 0, false, sizes.output, sizes.input);
        ASSERT_EQ(ReadAll(in), data);
        EXPECT_EQ(ReadAll(source), "TAIL of the pack") << sizes.output << "/" << sizes.input;
    }
}

TEST(Bzip2StreamTest, FourCharactersCanBePutBackAcrossRefills) {
    const std::string data = Words(64, 4);
    // One character per refill: every unget reaches into the put-back area.
    for (std::size_t read = 4; read <= 20; ++read) {
        std::istringstream source(Compress(data));
        bzip2_istream in(source, 0, false, 5, 1);
        for (std::size_t i = 0; i < read; ++i) {
            ASSERT_EQ(in.get(), data[i]);
        }
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(in.unget()) << read;
        }
        std::string again(4, '\0');
        in.read(again.data(), 4);
        EXPECT_EQ(again, data.substr(read - 4, 4));
    }
}

TEST(Bzip2StreamTest, DamagedOrCutDataEndsTheStreamButNotWhole) {
    const std::string data = Words(400 * 1000, 5);
    const std::string compressed = Compress(data);
    std::string damaged = compressed;
    for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 16; ++i) {
        damaged[i] = static_cast<char>(~damaged[i]);
    }
    // The first block's checksum lies behind "BZh9" and the block magic.
    std::string badChecksum = compressed;
    badChecksum[4 + 6] = static_cast<char>(~badChecksum[4 + 6]);
    const struct {
        const char* what;
        std::string bytes;
        bool error;
    } cases[] = {
        {"damaged", damaged, true},
        {"bad block checksum", badChecksum, true},
        {"cut short", compressed.substr(0, compressed.size() / 2), false},
        {"not bzip2 at all", "plain text, not compressed", true},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        std::istringstream source(c.bytes);
        bzip2_istream in(source);
        const std::string got = ReadAll(in);
        EXPECT_LE(got.size(), data.size()) << c.what;
        EXPECT_FALSE(in.rdbuf()->ended()) << c.what;
        EXPECT_EQ(in.rdbuf()->last_result() < 0, c.error) << c.what;
    }
}

} // namespace
