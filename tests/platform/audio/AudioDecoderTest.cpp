#include "platform/audio/AudioDecoder.h"

#include "tests/platform/audio/AudioTestFiles.h"
#include "tests/support/AudioFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kFrequency = 441.0;
constexpr double kAmplitude = 0.5;
constexpr double kSeconds = 0.25;

std::vector<float> Sine(int channels, int rate) {
    return SineWave(kFrequency, kAmplitude, static_cast<std::size_t>(kSeconds * rate), channels,
                    rate);
}

// What a decoded sine must look like in the output format: its length, its loudness, its pitch
// (counted in sign changes) and the same sound on both sides.
void ExpectOutputSine(const std::vector<int16_t>& frames) {
    const std::size_t count = frames.size() / 2;
    EXPECT_NEAR(static_cast<double>(count), kSeconds * AudioLayer::kOutputRate, 64.0);
    int peak = 0;
    int signChanges = 0;
    for (std::size_t frame = 0; frame < count; ++frame) {
        ASSERT_NEAR(frames[frame * 2], frames[frame * 2 + 1], 0.03 * 32767) << frame;
        peak = std::max(peak, std::abs(int{frames[frame * 2]}));
        if (frame > 0 && (frames[frame * 2] < 0) != (frames[frame * 2 - 2] < 0)) {
            ++signChanges;
        }
    }
    EXPECT_NEAR(peak, kAmplitude * 32767, 0.06 * 32767);
    EXPECT_NEAR(signChanges, 2 * kFrequency * kSeconds, 4);
}

struct SoundCase {
    const char* name;
    std::string file;
};

void PrintTo(const SoundCase& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const testing::TestParamInfo<SoundCase>& param) {
    return param.param.name;
}

class DecodedSounds : public testing::TestWithParam<SoundCase> {};

TEST_P(DecodedSounds, ComeOutAsTheSameSoundInTheOutputFormat) {
    const std::optional<std::vector<int16_t>> frames = DecodeSample(AsBytes(GetParam().file));
    ASSERT_TRUE(frames);
    ExpectOutputSine(*frames);
}

TEST_P(DecodedSounds, StreamAsTheSameSound) {
    int closed = 0;
    std::unique_ptr<StreamDecoder> decoder =
        OpenStreamDecoder(std::make_unique<BytesFile>(GetParam().file, &closed));
    ASSERT_NE(decoder, nullptr);
    // Read in odd pieces, twice over with a rewind between.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<float> values;
        std::vector<float> piece(2 * 777);
        while (const std::size_t got = decoder->Read(piece.data(), 777)) {
            values.insert(values.end(), piece.begin(), piece.begin() + got * 2);
        }
        ExpectOutputSine(ToPcm16(values));
        ASSERT_TRUE(decoder->Rewind());
    }
    EXPECT_EQ(closed, 0);
    decoder.reset();
    EXPECT_EQ(closed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodedSounds,
    testing::Values(SoundCase{"wav_8bit_mono_22050", WavFile(Sine(1, 22050), 1, 22050, 8)},
                    SoundCase{"wav_16bit_mono_11025", WavFile(Sine(1, 11025), 1, 11025, 16)},
                    SoundCase{"wav_16bit_stereo_48000", WavFile(Sine(2, 48000), 2, 48000, 16)},
                    SoundCase{"vorbis_mono_22050", VorbisFile(Sine(1, 22050), 1, 22050)},
                    SoundCase{"vorbis_stereo_44100", VorbisFile(Sine(2, 44100), 2, 44100)}),
    CaseName);

TEST(DecodeSample, AWavInTheOutputFormatKeepsEveryValue) {
    std::vector<int16_t> values;
    for (int i = 0; i < 2000; ++i) {
        values.push_back(static_cast<int16_t>(i * 31 - 30000));
    }
    const std::optional<std::vector<int16_t>> frames =
        DecodeSample(AsBytes(WavFile16(values, 2, 44100)));
    ASSERT_TRUE(frames);
    EXPECT_EQ(*frames, values);
}

std::string WithLe32(std::string file, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return file;
}

std::vector<SoundCase> BadFiles() {
    const std::string wav = WavFile(Sine(1, 22050), 1, 22050, 16);
    const std::string vorbis = VorbisFile(Sine(1, 22050), 1, 22050);
    std::string scrambledVorbis = vorbis;
    for (std::size_t i = 4; i < scrambledVorbis.size(); i += 3) {
        scrambledVorbis[i] = static_cast<char>(scrambledVorbis[i] ^ 0x5a);
    }
    return {
        {"empty", ""},
        {"text", "hello, this is not a sound"},
        {"riff_header_only", wav.substr(0, 12)},
        {"wav_data_chunk_past_the_end", WithLe32(wav, 40, 0x7fffff00)},
        {"wav_cut_short", wav.substr(0, wav.size() / 2)},
        {"wav_at_1_hz", WithLe32(WithLe32(wav, 24, 1), 28, 2)},
        {"wav_without_frames", wav.substr(0, 44).replace(40, 4, std::string(4, '\0'))},
        {"wav_of_six_channels", WavFile(SineWave(441.0, 0.5, 1000, 6, 22050), 6, 22050, 16)},
        {"ogg_headers_cut", vorbis.substr(0, 200)},
        {"ogg_scrambled", scrambledVorbis},
    };
}

class BadSoundFiles : public testing::TestWithParam<SoundCase> {};

TEST_P(BadSoundFiles, DecodeToNothing) {
    EXPECT_FALSE(DecodeSample(AsBytes(GetParam().file)));
}

TEST_P(BadSoundFiles, OpenNoStreamAndCloseTheFile) {
    int closed = 0;
    EXPECT_EQ(OpenStreamDecoder(std::make_unique<BytesFile>(GetParam().file, &closed)), nullptr);
    EXPECT_EQ(closed, 1);
}

INSTANTIATE_TEST_SUITE_P(Files, BadSoundFiles, testing::ValuesIn(BadFiles()), CaseName);

TEST(OpenStreamDecoder, AFileThatCannotSeekGivesNoStream) {
    int closed = 0;
    auto file = std::make_unique<BytesFile>(VorbisFile(Sine(1, 22050), 1, 22050), &closed);
    file->canSeek = false;
    EXPECT_EQ(OpenStreamDecoder(std::move(file)), nullptr);
    EXPECT_EQ(closed, 1);
}

TEST(OpenStreamDecoder, AVorbisFileDamagedInTheMiddleEndsWithoutHarm) {
    // Two seconds, so that the sound's pages outweigh the headers.
    std::string vorbis = VorbisFile(SineWave(kFrequency, kAmplitude, 44100, 1, 22050), 1, 22050);
    for (std::size_t i = vorbis.size() * 3 / 4; i < vorbis.size() * 3 / 4 + 200; ++i) {
        vorbis[i] = static_cast<char>(vorbis[i] ^ 0x33);
    }
    int closed = 0;
    std::unique_ptr<StreamDecoder> decoder =
        OpenStreamDecoder(std::make_unique<BytesFile>(vorbis, &closed));
    ASSERT_NE(decoder, nullptr);
    std::vector<float> piece(2 * 1024);
    std::size_t total = 0;
    for (int reads = 0; reads < 1000; ++reads) {
        const std::size_t got = decoder->Read(piece.data(), 1024);
        if (got == 0) {
            break;
        }
        total += got;
    }
    // How much of it libvorbis still finds is its own affair; the stream must simply end.
    EXPECT_LT(total, std::size_t{AudioLayer::kOutputRate} * 2 + 1024);
    EXPECT_TRUE(std::all_of(piece.begin(), piece.end(), [](float v) { return std::isfinite(v); }));
}

TEST(OpenStreamDecoder, NoFileGivesNoStream) {
    EXPECT_EQ(OpenStreamDecoder(nullptr), nullptr);
}

} // namespace
