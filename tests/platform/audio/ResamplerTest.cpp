#include "platform/audio/Resampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Everything the resampler gives for the input cut into pieces of the given size.
std::vector<float> Resample(const std::vector<float>& input, int channels, long rate,
                            std::size_t piece) {
    Resampler resampler(channels, rate);
    std::vector<float> output;
    const auto take = [&] {
        std::vector<float> values(resampler.Available() * 2);
        resampler.Get(values.data(), resampler.Available());
        output.insert(output.end(), values.begin(), values.end());
    };
    const std::size_t frames = input.size() / channels;
    for (std::size_t done = 0; done < frames; done += piece) {
        const std::size_t count = std::min(piece, frames - done);
        resampler.Put(input.data() + done * channels, count);
        take();
    }
    resampler.Flush();
    take();
    return output;
}

std::vector<float> Ramp(std::size_t frames, int channels) {
    std::vector<float> values;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            values.push_back(static_cast<float>(frame) / 65536.0f * (channel == 0 ? 1.0f : -1.0f));
        }
    }
    return values;
}

TEST(Resampler, GivesTheSameFramesHoweverTheInputIsCut) {
    for (const long rate : {8000L, 11025L, 22050L, 32000L, 44100L, 48000L, 96000L}) {
        for (const int channels : {1, 2}) {
            const std::vector<float> input = Ramp(5003, channels);
            const std::vector<float> whole = Resample(input, channels, rate, 100000);
            const auto expected = static_cast<std::size_t>(std::ceil(5003.0 * 44100 / rate));
            EXPECT_EQ(whole.size() / 2, expected) << rate << " Hz, " << channels << " channels";
            for (const std::size_t piece : {1u, 7u, 1024u}) {
                EXPECT_EQ(Resample(input, channels, rate, piece), whole)
                    << rate << " Hz, " << channels << " channels, pieces of " << piece;
            }
        }
    }
}

TEST(Resampler, InterpolatesBetweenNeighbouringFrames) {
    const std::vector<float> output = Resample(Ramp(100, 2), 2, 22050, 100);
    ASSERT_EQ(output.size(), 200u * 2);
    for (std::size_t frame = 0; frame < 198; ++frame) {
        EXPECT_FLOAT_EQ(output[frame * 2], static_cast<float>(frame) / 2 / 65536.0f) << frame;
        EXPECT_FLOAT_EQ(output[frame * 2 + 1], -static_cast<float>(frame) / 2 / 65536.0f) << frame;
    }
}

TEST(Resampler, PassesSoundAtTheOutputRateThroughUnchanged) {
    const std::vector<float> input = Ramp(3000, 2);
    EXPECT_EQ(Resample(input, 2, 44100, 333), input);
    const std::vector<float> mono = Resample(Ramp(3000, 1), 1, 44100, 333);
    for (std::size_t frame = 0; frame < 3000; ++frame) {
        ASSERT_EQ(mono[frame * 2], mono[frame * 2 + 1]);
        ASSERT_EQ(mono[frame * 2], static_cast<float>(frame) / 65536.0f);
    }
}

TEST(Resampler, StartsAfreshWhenCleared) {
    Resampler resampler(1, 22050);
    const std::vector<float> input = Ramp(500, 1);
    resampler.Put(input.data(), 500);
    resampler.Clear();
    EXPECT_EQ(resampler.Available(), 0u);
    resampler.Put(input.data(), 500);
    resampler.Flush();
    std::vector<float> output(resampler.Available() * 2);
    resampler.Get(output.data(), resampler.Available());
    EXPECT_EQ(output, Resample(input, 1, 22050, 500));
}

} // namespace
