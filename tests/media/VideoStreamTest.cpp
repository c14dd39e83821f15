#include "media/VideoStream.h"

#include "engine/FileSystem.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"
#include "tests/support/VideoFixtures.h"
#include "tools/packtool/PackWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = VideoStream::kPictureWidth;
constexpr int kHeight = VideoStream::kPictureHeight;
constexpr uint32_t kUntouched = 0x12345678;
constexpr uint32_t kBlack = 0xFF000000;

// The conversion as the player's pictures are defined: integers, arithmetic shifts.
uint32_t Expected(YCbCr colour) {
    const int c = colour[0] - 16;
    const int d = colour[1] - 128;
    const int e = colour[2] - 128;
    const int t = 298 * c + 128;
    const auto channel = [](int value) { return static_cast<uint32_t>(std::clamp(value, 0, 255)); };
    return 0xFF000000u | channel((t + 409 * e) >> 8) << 16 |
           channel((t - 100 * d - 208 * e) >> 8) << 8 | channel((t + 516 * d) >> 8);
}

bool Near(uint32_t actual, uint32_t expected) {
    for (const int shift : {0, 8, 16, 24}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > 2) {
            return false;
        }
    }
    return true;
}

constexpr YCbCr kFlat[] = {{81, 90, 240}, {145, 54, 34}, {41, 240, 110}, {235, 128, 128}};

TheoraClip FlatClip() {
    TheoraClip clip;
    clip.quality = 63;
    clip.pixel = [](int frame, int, int) { return kFlat[frame % 4]; };
    return clip;
}

// A picture of 640 x 360 inside a larger frame: the picture in one colour, the margin in another.
TheoraClip OffsetClip() {
    TheoraClip clip = FlatClip();
    clip.frameWidth = 688;
    clip.frameHeight = 400;
    clip.pictureX = 24;
    clip.pictureY = 18;
    clip.pixel = [](int, int x, int y) {
        const bool inside = x >= 24 && x < 24 + kWidth && y >= 18 && y < 18 + kHeight;
        return inside ? kFlat[0] : kFlat[1];
    };
    return clip;
}

TheoraClip SmallClip() {
    TheoraClip clip = FlatClip();
    clip.frameWidth = 320;
    clip.frameHeight = 240;
    clip.pictureWidth = 320;
    clip.pictureHeight = 240;
    return clip;
}

class VideoStreamTest : public testing::Test {
protected:
    void SetUp() override {
        folder.MakeFolder("data");
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo"); // none: forgets an earlier test's pack
    }
    void TearDown() override { Files.MountPack("pack.boo"); }

    // The shown part of the stream's last frame, in a target that starts as kUntouched.
    static std::vector<uint32_t> Picture(const VideoStream& stream, bool* copied = nullptr) {
        std::vector<uint32_t> pixels(static_cast<std::size_t>(kWidth * kHeight), kUntouched);
        const bool done = stream.CopyPicture(reinterpret_cast<uint8_t*>(pixels.data()),
                                             kWidth * 4, kWidth, kHeight);
        if (copied != nullptr) {
            *copied = done;
        }
        return pixels;
    }
    static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) {
        return pixels[static_cast<std::size_t>(y * kWidth + x)];
    }

    TempFolder folder{TempFolder::Enter::Yes};
};

TEST_F(VideoStreamTest, EveryKindOfFilePlaysToItsEndOrEndsAtOnce) {
    const TheoraFileBytes flat = TheoraFile(FlatClip());
    const std::string vorbis = VorbisFile(SineWave(440.0, 0.5, 4410, 1, 22050), 1, 22050);
    struct Case {
        const char* name;
        std::string bytes;
        bool packed;
        int frames; // decoded in all, the first by the constructor
        bool notTheora;
    };
    const Case cases[] = {
        {"flat colours", flat.bytes, false, 4, false},
        {"320 x 240", TheoraFile(SmallClip()).bytes, false, 4, false},
        {"picture offset", TheoraFile(OffsetClip()).bytes, false, 4, false},
        {"cut after the headers", flat.bytes.substr(0, flat.headerBytes), false, 0, false},
        {"Vorbis first", vorbis + flat.bytes, false, 4, false},
        {"Vorbis alone", vorbis, false, 0, true},
        {"garbage", RandomBytes(20000, 7), false, 0, true},
        {"empty", "", false, 0, true},
        {"in a pack", flat.bytes, true, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.packed) {
            PackWriter pack;
            pack.AddBytes("video/clip.ogv", c.bytes, PackWriter::Packing::Bzip2);
            pack.Write(folder / "pack.boo");
            Files.MountPack("pack.boo");
        } else {
            folder.Write("data/video/clip.ogv", c.bytes);
        }
        const LogCapture log;
        VideoStream stream("video\\clip.ogv");
        int frames = stream.AtEnd() ? 0 : 1;
        double lastTime = stream.GranuleTime();
        for (int step = 0; step < 100 && stream.Step(); ++step) {
            EXPECT_GT(stream.GranuleTime(), lastTime);
            lastTime = stream.GranuleTime();
            ++frames;
        }
        EXPECT_TRUE(stream.AtEnd());
        EXPECT_FALSE(stream.Step());
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(log.Text().find("not a Theora video: video\\clip.ogv") != std::string::npos,
                  c.notTheora)
            << log.Text();
        if (c.frames > 0) {
            EXPECT_NEAR(lastTime, c.frames / 15.0, 1e-9) << "frames end at their granule time";
        }
        std::remove((folder / "data/video/clip.ogv").c_str());
        std::remove((folder / "pack.boo").c_str());
        Files.MountPack("pack.boo");
    }
}

TEST_F(VideoStreamTest, FramesConvertByTheIntegerFormula) {
    folder.Write("data/clip.ogv", TheoraFile(FlatClip()).bytes);
    VideoStream stream("clip.ogv");
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        bool copied = false;
        const std::vector<uint32_t> pixels = Picture(stream, &copied);
        ASSERT_TRUE(copied);
        const uint32_t expected = Expected(kFlat[frame]);
        for (const auto& [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {317, 181}, {0, kHeight - 1},
                                   {kWidth - 1, kHeight - 1}}) {
            EXPECT_PRED2(Near, At(pixels, x, y), expected) << x << "," << y;
        }
        stream.Step();
    }
}

TEST_F(VideoStreamTest, ThePictureIsTakenFromItsOffsetInsideTheFrame) {
    folder.Write("data/clip.ogv", TheoraFile(OffsetClip()).bytes);
    const VideoStream stream("clip.ogv");
    const std::vector<uint32_t> pixels = Picture(stream);
    const uint32_t expected = Expected(kFlat[0]);
    for (const auto& [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1},
                               {kWidth - 1, kHeight - 1}}) {
        EXPECT_PRED2(Near, At(pixels, x, y), expected) << x << "," << y;
    }
}

TEST_F(VideoStreamTest, ASmallPictureFillsItsCornerAndLeavesTheRestBlack) {
    folder.Write("data/clip.ogv", TheoraFile(SmallClip()).bytes);
    const VideoStream stream("clip.ogv");
    const std::vector<uint32_t> pixels = Picture(stream);
    const uint32_t expected = Expected(kFlat[0]);
    EXPECT_PRED2(Near, At(pixels, 319, 239), expected);
    EXPECT_EQ(At(pixels, 320, 0), kBlack);
    EXPECT_EQ(At(pixels, 0, 240), kBlack);
    EXPECT_EQ(At(pixels, kWidth - 1, kHeight - 1), kBlack);
}

TEST_F(VideoStreamTest, NothingIsCopiedBeforeAFrameCameOut) {
    const TheoraFileBytes file = TheoraFile(FlatClip());
    folder.Write("data/cut.ogv", file.bytes.substr(0, file.headerBytes));
    folder.Write("data/junk.ogv", RandomBytes(3000, 3));
    for (const char* name : {"cut.ogv", "junk.ogv"}) {
        const VideoStream stream(name);
        bool copied = true;
        const std::vector<uint32_t> pixels = Picture(stream, &copied);
        EXPECT_FALSE(copied) << name;
        EXPECT_EQ(At(pixels, 0, 0), kUntouched) << name;
    }
}

TEST_F(VideoStreamTest, ANameTheFileLayerKnowsButCannotOpenEndsAtOnce) {
    // A folder of the pack is known by its name, and is no file to read.
    PackWriter pack;
    pack.AddBytes("video/clip.ogv/inner.bin", "x", PackWriter::Packing::Stored);
    pack.Write(folder / "pack.boo");
    Files.MountPack("pack.boo");
    ASSERT_TRUE(Files.Exists("video/clip.ogv"));
    const LogCapture log;
    const VideoStream stream("video/clip.ogv");
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_NE(log.Text().find("Can't open video: video/clip.ogv"), std::string::npos) << log.Text();
}

TEST_F(VideoStreamTest, AFileFoundNowhereIsFatal) {
    EXPECT_EQ(ErrorOf([] { VideoStream stream("video/none.ogv"); }),
              "Can't find file video/none.ogv");
}

TEST_F(VideoStreamTest, ThePagesOfAMuxedSoundStreamArePassedOver) {
    // A sound stream's pages and the video's, page by page, the sound's beginning first.
    const std::string video = TheoraFile(FlatClip()).bytes;
    const std::string sound = VorbisFile(SineWave(440.0, 0.5, 22050, 1, 22050), 1, 22050);
    const auto pages = [](const std::string& bytes) {
        std::vector<std::string> split;
        std::size_t at = 0;
        while (at < bytes.size()) {
            const auto segments = static_cast<unsigned char>(bytes[at + 26]);
            std::size_t length = 27 + segments;
            for (std::size_t i = 0; i < segments; ++i) {
                length += static_cast<unsigned char>(bytes[at + 27 + i]);
            }
            split.push_back(bytes.substr(at, length));
            at += length;
        }
        return split;
    };
    const std::vector<std::string> videoPages = pages(video);
    const std::vector<std::string> soundPages = pages(sound);
    ASSERT_GT(soundPages.size(), 2u);
    std::string muxed;
    for (std::size_t i = 0; i < std::max(videoPages.size(), soundPages.size()); ++i) {
        if (i < soundPages.size()) {
            muxed += soundPages[i];
        }
        if (i < videoPages.size()) {
            muxed += videoPages[i];
        }
    }
    folder.Write("data/muxed.ogv", muxed);
    VideoStream stream("muxed.ogv");
    int frames = stream.AtEnd() ? 0 : 1;
    while (frames < 100 && stream.Step()) {
        ++frames;
    }
    EXPECT_EQ(frames, 4);
}

} // namespace
