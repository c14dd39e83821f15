#include "platform/audio/Mixer.h"

#include "tests/platform/audio/AudioTestFiles.h"
#include "tests/support/AudioFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kForever = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kSecond = AudioLayer::kOutputRate;

// What a float level comes out as.
int Level(double value) {
    return static_cast<int>(std::clamp(std::lrint(value * 32768.0), -32768L, 32767L));
}

// What a 16-bit sample value at a gain comes out as.
int SampleLevel(int value, double gain) {
    return Level(value / 32768.0 * gain);
}

std::vector<int16_t> Mix(Mixer& mixer, std::size_t frames) {
    std::vector<int16_t> output(frames * 2, 12345);
    mixer.Mix(output.data(), frames);
    return output;
}

int Left(const std::vector<int16_t>& output, std::size_t frame) {
    return output.at(frame * 2);
}

// A sample whose two channels hold one value.
std::vector<int16_t> Constant(int16_t value, std::size_t frames) {
    return std::vector<int16_t>(frames * 2, value);
}

// A stream that gives one value on both channels for a number of frames (or forever), and
// tells when it has been freed.
class ConstantDecoder final : public StreamDecoder {
public:
    ConstantDecoder(float value, std::size_t frames, bool* freed = nullptr)
        : value(value), frames(frames), freed(freed) {}
    ~ConstantDecoder() override {
        if (freed != nullptr) {
            *freed = true;
        }
    }

    std::size_t Read(float* out, std::size_t count) override {
        const std::size_t n = frames == kForever ? count : std::min(count, frames - position);
        std::fill(out, out + n * 2, value);
        position += n;
        return n;
    }
    bool Rewind() override {
        position = 0;
        return true;
    }

private:
    float value;
    std::size_t frames;
    std::size_t position = 0;
    bool* freed;
};

AudioId AddConstantStream(Mixer& mixer, float value, std::size_t frames, bool* freed = nullptr) {
    return mixer.AddStream(std::make_unique<ConstantDecoder>(value, frames, freed));
}

TEST(MixerSamples, APlaybackOnceEndsAfterItsLastFrame) {
    Mixer mixer;
    const AudioId sample = mixer.AddSample(Constant(8000, 1000), 3);
    const AudioId channel = mixer.PlaySample(sample, false);
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(mixer.IsActive(channel));

    const std::vector<int16_t> output = Mix(mixer, 2048);
    EXPECT_EQ(Left(output, 0), SampleLevel(8000, 1.0));
    EXPECT_EQ(Left(output, 999), SampleLevel(8000, 1.0));
    EXPECT_EQ(Left(output, 1000), 0);
    EXPECT_EQ(Left(output, 2047), 0);
    EXPECT_FALSE(mixer.IsActive(channel));
    EXPECT_EQ(mixer.Position(channel), 0u);
    EXPECT_EQ(mixer.ChannelCount(), 0u);
}

TEST(MixerSamples, ALoopingPlaybackStartsOverAtItsEnd) {
    Mixer mixer;
    std::vector<int16_t> ramp;
    for (int16_t frame = 0; frame < 300; ++frame) {
        ramp.push_back(static_cast<int16_t>(frame * 10));
        ramp.push_back(static_cast<int16_t>(-frame * 10));
    }
    const AudioId channel = mixer.PlaySample(mixer.AddSample(ramp, 3), true);

    const std::vector<int16_t> output = Mix(mixer, 1000);
    for (std::size_t frame = 0; frame < 1000; ++frame) {
        ASSERT_EQ(output[frame * 2], SampleLevel(static_cast<int>(frame % 300) * 10, 1.0)) << frame;
        ASSERT_EQ(output[frame * 2 + 1], SampleLevel(-static_cast<int>(frame % 300) * 10, 1.0))
            << frame;
    }
    EXPECT_TRUE(mixer.IsActive(channel));
    EXPECT_EQ(mixer.Position(channel), (1000u % 300u) * AudioLayer::kBytesPerFrame);
}

TEST(MixerSamples, AFurtherPlayReplacesThePlaybackThatHasPlayedLongest) {
    Mixer mixer;
    const AudioId sample = mixer.AddSample(Constant(1000, kSecond), 3);
    const AudioId other = mixer.AddSample(Constant(100, kSecond), 3);
    const AudioId otherChannel = mixer.PlaySample(other, true);
    std::vector<AudioId> channels;
    for (int play = 0; play < 3; ++play) {
        channels.push_back(mixer.PlaySample(sample, true));
        Mix(mixer, 100);
    }
    EXPECT_EQ(Left(Mix(mixer, 1), 0), SampleLevel(3 * 1000 + 100, 1.0));

    channels.push_back(mixer.PlaySample(sample, true));
    EXPECT_FALSE(mixer.IsActive(channels[0]));
    EXPECT_TRUE(mixer.IsActive(channels[1]));
    EXPECT_TRUE(mixer.IsActive(channels[2]));
    EXPECT_TRUE(mixer.IsActive(channels[3]));
    EXPECT_TRUE(mixer.IsActive(otherChannel)) << "another sample's playbacks do not count";
    EXPECT_EQ(Left(Mix(mixer, 1), 0), SampleLevel(3 * 1000 + 100, 1.0));

    // The newcomer has played least, so the next play takes the second one's place.
    channels.push_back(mixer.PlaySample(sample, false));
    EXPECT_FALSE(mixer.IsActive(channels[1]));
    EXPECT_TRUE(mixer.IsActive(channels[3]));
}

TEST(MixerSamples, ALimitBelowOneAllowsOnePlayback) {
    Mixer mixer;
    const AudioId sample = mixer.AddSample(Constant(1000, 100), 0);
    const AudioId first = mixer.PlaySample(sample, true);
    const AudioId second = mixer.PlaySample(sample, true);
    EXPECT_FALSE(mixer.IsActive(first));
    EXPECT_TRUE(mixer.IsActive(second));
}

TEST(MixerSamples, StopSampleEndsOnlyThatSamplesPlaybacks) {
    Mixer mixer;
    const AudioId a = mixer.AddSample(Constant(1000, 100), 3);
    const AudioId b = mixer.AddSample(Constant(500, 100), 3);
    const AudioId a1 = mixer.PlaySample(a, true);
    const AudioId a2 = mixer.PlaySample(a, true);
    const AudioId b1 = mixer.PlaySample(b, true);

    mixer.StopSample(a);
    EXPECT_FALSE(mixer.IsActive(a1));
    EXPECT_FALSE(mixer.IsActive(a2));
    EXPECT_TRUE(mixer.IsActive(b1));
    EXPECT_EQ(Left(Mix(mixer, 10), 9), SampleLevel(500, 1.0));
}

TEST(MixerSamples, IdsOfEndedOrUnknownChannelsNameNothing) {
    Mixer mixer;
    const AudioId sample = mixer.AddSample(Constant(1000, 10), 3);
    const AudioId first = mixer.PlaySample(sample, false);
    Mix(mixer, 20);
    const AudioId second = mixer.PlaySample(sample, false);
    EXPECT_NE(first, second);
    EXPECT_NE(second, sample);
    EXPECT_FALSE(mixer.IsActive(first));
    EXPECT_TRUE(mixer.IsActive(second));

    for (const AudioId id : {AudioId{0}, first, sample, AudioId{9999}}) {
        EXPECT_FALSE(mixer.IsActive(id));
        EXPECT_EQ(mixer.Position(id), 0u);
        mixer.SetVolume(id, 10);
        mixer.SlideVolume(id, 10, 100, SlideEnd::Stop);
        mixer.PlayStream(id, true);
    }
    EXPECT_EQ(mixer.PlaySample(AudioId{9999}, false), 0u);
    EXPECT_EQ(mixer.AddSample({}, 3), 0u) << "an empty sample";

    mixer.RemoveSample(sample);
    EXPECT_FALSE(mixer.IsActive(second));
    EXPECT_EQ(mixer.PlaySample(sample, false), 0u);
}

TEST(MixerSamples, ALoudMixSaturatesInsteadOfWrappingAround) {
    Mixer mixer;
    for (int i = 0; i < 4; ++i) {
        mixer.PlaySample(mixer.AddSample(Constant(30000, 10), 3), false);
        mixer.PlaySample(mixer.AddSample(Constant(-30000, 10), 3), false);
    }
    mixer.PlaySample(mixer.AddSample(Constant(30000, 10), 3), false);
    EXPECT_EQ(Left(Mix(mixer, 1), 0), SampleLevel(30000, 1.0));
    for (int i = 0; i < 3; ++i) {
        mixer.PlaySample(mixer.AddSample(Constant(30000, 10), 3), false);
    }
    EXPECT_EQ(Left(Mix(mixer, 1), 0), 32767);
}

struct VolumeCase {
    const char* name;
    int channelVolume;
    int samplesVolume;
    int streamsVolume;
    double sampleGain;
    double streamGain;
};

void PrintTo(const VolumeCase& c, std::ostream* out) {
    *out << c.name;
}

class MixerVolumes : public testing::TestWithParam<VolumeCase> {};

TEST_P(MixerVolumes, ScaleWhatIsHeard) {
    const VolumeCase& c = GetParam();
    Mixer mixer;
    const AudioId sampleChannel = mixer.PlaySample(mixer.AddSample(Constant(8000, 100), 3), true);
    const AudioId stream = AddConstantStream(mixer, 0.25f, kForever);
    mixer.PlayStream(stream, true);
    mixer.SetVolume(sampleChannel, c.channelVolume);
    mixer.SetVolume(stream, c.channelVolume);
    mixer.SetGroupVolume(VolumeGroup::Samples, c.samplesVolume);
    mixer.SetGroupVolume(VolumeGroup::Streams, c.streamsVolume);

    const int expected = Level(8000 / 32768.0 * c.sampleGain + 0.25 * c.streamGain);
    EXPECT_NEAR(Left(Mix(mixer, 10), 9), expected, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerVolumes,
    testing::Values(VolumeCase{"full", 100, 100, 100, 1.0, 1.0},
                    VolumeCase{"channels at half", 50, 100, 100, 0.5, 0.5},
                    VolumeCase{"samples at half", 100, 50, 100, 0.5, 1.0},
                    VolumeCase{"streams silent", 100, 100, 0, 1.0, 0.0},
                    VolumeCase{"both groups scale channels", 50, 40, 20, 0.2, 0.1},
                    VolumeCase{"out of range is clamped", 150, -20, 100, 0.0, 1.0}));

TEST(MixerSlides, AVolumeSlideReachesItsValueInTheTimeSet) {
    Mixer mixer;
    const AudioId stream = AddConstantStream(mixer, 0.5f, kForever);
    mixer.SetVolume(stream, 0);
    mixer.PlayStream(stream, true);
    mixer.SlideVolume(stream, 100, 1000, SlideEnd::Keep);

    std::vector<int16_t> output = Mix(mixer, kSecond / 4);
    EXPECT_NEAR(Left(output, kSecond / 4 - 1), Level(0.5 * 0.25), 20);
    output = Mix(mixer, kSecond / 4);
    EXPECT_NEAR(Left(output, kSecond / 4 - 1), Level(0.5 * 0.5), 20);
    output = Mix(mixer, kSecond / 2);
    EXPECT_EQ(Left(output, kSecond / 2 - 1), Level(0.5)) << "there on time";
    output = Mix(mixer, 100);
    EXPECT_EQ(Left(output, 99), Level(0.5)) << "and stays";
    EXPECT_TRUE(mixer.IsActive(stream));
}

TEST(MixerSlides, ASlideThatEndsInAStopFreesTheStreamOnTime) {
    Mixer mixer;
    bool freed = false;
    const AudioId stream = AddConstantStream(mixer, 0.5f, kForever, &freed);
    mixer.PlayStream(stream, true);
    mixer.SlideVolume(stream, 0, 250, SlideEnd::Stop);

    Mix(mixer, kSecond / 4 - 1);
    EXPECT_TRUE(mixer.IsActive(stream));
    EXPECT_FALSE(freed);
    const std::vector<int16_t> output = Mix(mixer, 2);
    EXPECT_NEAR(Left(output, 0), 0, 2);
    EXPECT_FALSE(mixer.IsActive(stream));
    EXPECT_TRUE(freed);
}

TEST(MixerSlides, ASlideOfNoTimeTakesEffectAtOnce) {
    Mixer mixer;
    bool freed = false;
    const AudioId kept = AddConstantStream(mixer, 0.5f, kForever);
    const AudioId stopped = AddConstantStream(mixer, 0.5f, kForever, &freed);
    mixer.PlayStream(kept, true);
    mixer.PlayStream(stopped, true);
    mixer.SlideVolume(kept, 50, 0, SlideEnd::Keep);
    mixer.SlideVolume(stopped, 0, 0, SlideEnd::Stop);
    EXPECT_FALSE(mixer.IsActive(stopped));
    EXPECT_TRUE(freed);
    EXPECT_EQ(Left(Mix(mixer, 1), 0), Level(0.25));
}

TEST(MixerStreams, TwoStreamsMixDuringACrossFade) {
    Mixer mixer;
    bool oldFreed = false;
    const AudioId old = AddConstantStream(mixer, 0.4f, kForever, &oldFreed);
    mixer.PlayStream(old, true);
    Mix(mixer, 1000);

    const AudioId next = AddConstantStream(mixer, 0.2f, kForever);
    mixer.SlideVolume(old, 0, 500, SlideEnd::Stop);
    mixer.SetVolume(next, 0);
    mixer.PlayStream(next, true);
    mixer.SlideVolume(next, 100, 500, SlideEnd::Keep);

    std::vector<int16_t> output = Mix(mixer, kSecond / 4);
    EXPECT_NEAR(Left(output, kSecond / 4 - 1), Level(0.4 * 0.5 + 0.2 * 0.5), 20);
    EXPECT_TRUE(mixer.IsActive(old));
    EXPECT_TRUE(mixer.IsActive(next));

    output = Mix(mixer, kSecond / 4 + 10);
    EXPECT_EQ(Left(output, kSecond / 4 + 9), Level(0.2));
    EXPECT_FALSE(mixer.IsActive(old));
    EXPECT_TRUE(oldFreed);
    EXPECT_TRUE(mixer.IsActive(next));
}

TEST(MixerStreams, AStreamPlayedOnceEndsAndIsFreed) {
    Mixer mixer;
    bool freed = false;
    const AudioId stream = AddConstantStream(mixer, 0.5f, 1500, &freed);
    EXPECT_FALSE(mixer.IsActive(stream)) << "not started";
    EXPECT_EQ(Left(Mix(mixer, 10), 0), 0);
    mixer.PlayStream(stream, false);
    EXPECT_TRUE(mixer.IsActive(stream));

    const std::vector<int16_t> output = Mix(mixer, 2048);
    EXPECT_EQ(Left(output, 1499), Level(0.5));
    EXPECT_EQ(Left(output, 1500), 0);
    EXPECT_FALSE(mixer.IsActive(stream));
    EXPECT_TRUE(freed);
}

TEST(MixerStreams, ALoopingStreamStartsOverAndItsPositionWithIt) {
    Mixer mixer;
    const AudioId stream = AddConstantStream(mixer, 0.5f, 1500);
    mixer.PlayStream(stream, true);
    const std::vector<int16_t> output = Mix(mixer, 4000);
    for (std::size_t frame = 0; frame < 4000; ++frame) {
        ASSERT_EQ(Left(output, frame), Level(0.5)) << frame;
    }
    EXPECT_TRUE(mixer.IsActive(stream));
    EXPECT_EQ(mixer.Position(stream), (4000u - 3000u) * AudioLayer::kBytesPerFrame);
}

TEST(MixerStreams, ALoopingStreamWithoutFramesEnds) {
    Mixer mixer;
    bool freed = false;
    const AudioId stream = AddConstantStream(mixer, 0.5f, 0, &freed);
    mixer.PlayStream(stream, true);
    Mix(mixer, 100);
    EXPECT_FALSE(mixer.IsActive(stream));
    EXPECT_TRUE(freed);
}

TEST(MixerStreams, AVorbisStreamPlaysToItsEndAndClosesItsFile) {
    const std::vector<float> sine = SineWave(441.0, 0.5, 11025, 1, 22050);
    int closed = 0;
    Mixer mixer;
    const AudioId stream = mixer.AddStream(
        OpenStreamDecoder(std::make_unique<BytesFile>(VorbisFile(sine, 1, 22050), &closed)));
    ASSERT_NE(stream, 0u);
    mixer.PlayStream(stream, false);

    const std::vector<int16_t> output = Mix(mixer, kSecond * 3 / 4);
    int peak = 0;
    for (std::size_t frame = 0; frame < kSecond / 2 - 100; ++frame) {
        peak = std::max(peak, std::abs(Left(output, frame)));
        ASSERT_EQ(output[frame * 2], output[frame * 2 + 1]) << "mono on both sides";
    }
    EXPECT_NEAR(peak, Level(0.5), Level(0.05));
    EXPECT_EQ(Left(output, kSecond / 2 + 200), 0) << "ended after half a second";
    EXPECT_FALSE(mixer.IsActive(stream));
    EXPECT_EQ(closed, 1);
}

TEST(MixerOutput, PauseGivesSilenceAndHoldsEverythingWhereItIs) {
    Mixer mixer;
    std::vector<int16_t> ramp;
    for (int16_t frame = 0; frame < 1000; ++frame) {
        ramp.push_back(frame);
        ramp.push_back(frame);
    }
    const AudioId channel = mixer.PlaySample(mixer.AddSample(ramp, 3), false);
    const AudioId stream = AddConstantStream(mixer, 0.5f, kForever);
    mixer.SetVolume(stream, 0);
    mixer.PlayStream(stream, true);
    mixer.SlideVolume(stream, 100, 100, SlideEnd::Keep);
    Mix(mixer, 100);
    const uint64_t position = mixer.Position(channel);

    mixer.SetPaused(true);
    const std::vector<int16_t> silence = Mix(mixer, 5000);
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t v) { return v == 0; }));
    EXPECT_EQ(mixer.Position(channel), position);
    EXPECT_TRUE(mixer.IsActive(channel));

    mixer.SetPaused(false);
    const std::vector<int16_t> output = Mix(mixer, 1);
    EXPECT_NEAR(Left(output, 0), SampleLevel(100, 1.0) + Level(0.5 * 101 / 4410.0), 2)
        << "the sample and the slide go on where they were";
}

TEST(MixerOutput, StopAllEndsEveryPlaybackAndFreesStreamsButKeepsSamples) {
    Mixer mixer;
    bool freed = false;
    const AudioId sample = mixer.AddSample(Constant(1000, 100), 3);
    const AudioId channel = mixer.PlaySample(sample, true);
    const AudioId stream = AddConstantStream(mixer, 0.5f, kForever, &freed);
    mixer.PlayStream(stream, true);

    mixer.StopAll();
    EXPECT_FALSE(mixer.IsActive(channel));
    EXPECT_FALSE(mixer.IsActive(stream));
    EXPECT_TRUE(freed);
    EXPECT_EQ(Left(Mix(mixer, 1), 0), 0);
    EXPECT_TRUE(mixer.IsActive(mixer.PlaySample(sample, false)));
}

TEST(MixerOutput, MixingInPiecesGivesTheSameOutputAsInOneCall) {
    const auto build = [](Mixer& mixer) {
        std::vector<int16_t> ramp;
        for (int16_t frame = 0; frame < 777; ++frame) {
            ramp.push_back(static_cast<int16_t>(frame * 7));
            ramp.push_back(static_cast<int16_t>(-frame * 3));
        }
        mixer.PlaySample(mixer.AddSample(ramp, 3), true);
        const AudioId stream = AddConstantStream(mixer, 0.1f, 3001);
        mixer.PlayStream(stream, true);
        mixer.SlideVolume(stream, 20, 50, SlideEnd::Keep);
    };
    Mixer whole;
    build(whole);
    const std::vector<int16_t> expected = Mix(whole, 10000);

    Mixer pieces;
    build(pieces);
    std::vector<int16_t> output;
    for (const std::size_t size : {1u, 1023u, 1025u, 3000u, 4951u}) {
        const std::vector<int16_t> piece = Mix(pieces, size);
        output.insert(output.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(output, expected);
}

} // namespace
