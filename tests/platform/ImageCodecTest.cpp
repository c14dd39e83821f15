#include "platform/gfx/ImageCodec.h"

#include "platform/gfx/TextureLoader.h"

#include <gtest/gtest.h>

namespace {

Image Gradient(uint32_t width, uint32_t height) {
    Image image;
    image.width = width;
    image.height = height;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            image.pixels.push_back(((x * 16) & 0xFF) << 24 | ((x * 15) & 0xFF) << 16 |
                                   ((y * 30) & 0xFF) << 8 | 0x40);
        }
    }
    return image;
}

uint32_t Crc32(const uint8_t* data, std::size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A PNG whose header claims another size, with a correct checksum.
std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> png = EncodePng(Gradient(2, 2));
    // Signature (8), then the header chunk: length (4), "IHDR" (4), width (4), height (4)...
    const auto put = [&](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            png[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
        }
    };
    put(16, width);
    put(20, height);
    put(29, Crc32(png.data() + 12, 17));
    return png;
}

TEST(ImageCodecTest, PngKeepsEveryPixelAndItsAlpha) {
    const Image image = Gradient(7, 5);
    const std::vector<uint8_t> png = EncodePng(image);
    Image decoded;
    std::string error;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), 4096, decoded, error)) << error;
    EXPECT_EQ(decoded.width, 7u);
    EXPECT_EQ(decoded.height, 5u);
    EXPECT_EQ(decoded.pixels, image.pixels);
}

TEST(ImageCodecTest, JpegIsOpaqueAndClose) {
    // Grey, so that the colour subsampling of the format does not blur it.
    Image image = Gradient(16, 8);
    for (uint32_t& pixel : image.pixels) {
        const uint32_t grey = (pixel >> 16) & 0xFF;
        pixel = 0x40000000u | grey << 16 | grey << 8 | grey;
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(image, 100);
    Image decoded;
    std::string error;
    ASSERT_TRUE(DecodeImage(jpeg.data(), jpeg.size(), 4096, decoded, error)) << error;
    ASSERT_EQ(decoded.pixels.size(), image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        EXPECT_EQ(decoded.pixels[i] >> 24, 0xFFu);
        EXPECT_NEAR(static_cast<int>((decoded.pixels[i] >> 16) & 0xFF),
                    static_cast<int>((image.pixels[i] >> 16) & 0xFF), 3);
    }
}

TEST(ImageCodecTest, DamagedOrUnsuitableDataIsRefused) {
    const std::vector<uint8_t> png = EncodePng(Gradient(8, 8));
    const std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(64, 64), 90);
    std::vector<uint8_t> badCrc = png;
    badCrc[20] ^= 0x55;
    std::vector<uint8_t> zeroJpeg = jpeg;
    // The frame header (FFC0): length (2), precision (1), height (2), width (2).
    for (std::size_t i = 0; i + 8 < zeroJpeg.size(); ++i) {
        if (zeroJpeg[i] == 0xFF && zeroJpeg[i + 1] == 0xC0) {
            zeroJpeg[i + 7] = 0;
            zeroJpeg[i + 8] = 0;
            break;
        }
    }
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        uint32_t maxSide;
    };
    const Case cases[] = {
        {"empty", {}, 4096},
        {"text", {'h', 'e', 'l', 'l', 'o'}, 4096},
        {"PNG signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8), 4096},
        {"PNG cut short", std::vector<uint8_t>(png.begin(), png.end() - 16), 4096},
        {"PNG with a damaged header", badCrc, 4096},
        {"PNG of width 0", PngClaiming(0, 2), 4096},
        {"PNG claiming 60000 x 60000", PngClaiming(60000, 60000), 4096},
        {"PNG larger than allowed", png, 4},
        {"JPEG cut short", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2),
         4096},
        {"JPEG header only", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 3), 4096},
        {"JPEG of width 0", zeroJpeg, 4096},
        {"JPEG larger than allowed", jpeg, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Image decoded;
        std::string error;
        EXPECT_FALSE(DecodeImage(c.bytes.data(), c.bytes.size(), c.maxSide, decoded, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(decoded.pixels.empty());
    }
    Image decoded;
    std::string error;
    EXPECT_FALSE(DecodeImage(nullptr, 10, 4096, decoded, error));
}

TEST(ImageCodecTest, PowersOfTwo) {
    const std::pair<uint32_t, uint32_t> cases[] = {{0, 1},      {1, 1},       {2, 2},      {3, 4},
                                                   {768, 1024}, {1024, 1024}, {1025, 2048}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(NextPowerOfTwo(value), expected) << value;
    }
}

} // namespace
