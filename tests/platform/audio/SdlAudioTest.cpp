#include "platform/audio/SdlAudio.h"

#include "platform/os/Clock.h"

#include "tests/platform/audio/AudioTestFiles.h"
#include "tests/support/AudioFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace {

// Waits (a generous while) for the audio thread to bring something about.
bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The real device, on SDL's dummy driver: it consumes output at the real pace and plays it
// nowhere.
class SdlDevice : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(audio.Open());
    }

    SdlAudio audio;
};

TEST_F(SdlDevice, PlaysAStreamToItsEndAndClosesItsFile) {
    int closed = 0;
    const std::vector<float> sine = SineWave(441.0, 0.5, 6615, 2, 22050);
    const AudioId stream =
        audio.CreateStream(std::make_unique<BytesFile>(VorbisFile(sine, 2, 22050), &closed));
    ASSERT_NE(stream, 0u);
    EXPECT_FALSE(audio.IsActive(stream));
    audio.PlayStream(stream, false);
    EXPECT_TRUE(audio.IsActive(stream));

    EXPECT_TRUE(WaitFor([&] { return audio.Position(stream) > 0 || !audio.IsActive(stream); }));
    EXPECT_TRUE(WaitFor([&] { return !audio.IsActive(stream); }));
    EXPECT_EQ(closed, 1);
}

TEST_F(SdlDevice, PlaysASampleOnceToItsEnd) {
    const std::vector<float> sine = SineWave(441.0, 0.5, 2205, 1, 22050);
    const AudioId sample = audio.LoadSample(AsBytes(WavFile(sine, 1, 22050, 16)), 3);
    ASSERT_NE(sample, 0u);
    const AudioId channel = audio.PlaySample(sample, false);
    EXPECT_TRUE(audio.IsActive(channel));
    EXPECT_TRUE(WaitFor([&] { return !audio.IsActive(channel); }));
    EXPECT_EQ(audio.LoadSample(AsBytes("not a sound"), 3), 0u);
}

TEST_F(SdlDevice, ClosingFreesWhatPlaysAndAClosedLayerTakesNothing) {
    int closed = 0;
    const std::vector<float> sine = SineWave(441.0, 0.5, 22050, 1, 22050);
    const std::string vorbis = VorbisFile(sine, 1, 22050);
    const AudioId stream = audio.CreateStream(std::make_unique<BytesFile>(vorbis, &closed));
    audio.PlayStream(stream, true);
    const AudioId sample = audio.LoadSample(AsBytes(WavFile(sine, 1, 22050, 16)), 3);
    const AudioId channel = audio.PlaySample(sample, true);

    audio.Close();
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(audio.IsActive(stream));
    EXPECT_FALSE(audio.IsActive(channel));

    EXPECT_EQ(audio.LoadSample(AsBytes(WavFile(sine, 1, 22050, 16)), 3), 0u);
    EXPECT_EQ(audio.CreateStream(std::make_unique<BytesFile>(vorbis, &closed)), 0u);
    EXPECT_EQ(closed, 2) << "the refused stream's file is closed at once";
    EXPECT_EQ(audio.PlaySample(sample, false), 0u);

    ASSERT_TRUE(audio.Open()) << "and it opens again";
    EXPECT_NE(audio.LoadSample(AsBytes(WavFile(sine, 1, 22050, 16)), 3), 0u);
}

// Opened under a scripted run's stepped clock, playback goes as far as the clock has moved and no
// farther, however long the device itself runs meanwhile: a run's sounds (and the cut-scene they
// pace) stand at the same place at the same pass on a fast machine and under the sanitizers.
TEST(SdlAudioUnderASteppedClock, PlaysAsFarAsTheClockHasMoved) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ManualClock clock;
    SetClockSource(&clock);
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.Open());
        // A tenth of a second at the output's rate.
        const std::vector<float> sine = SineWave(441.0, 0.5, 4410, 1, 44100);
        const AudioId sample = audio.LoadSample(AsBytes(WavFile(sine, 1, 44100, 16)), 1);
        ASSERT_NE(sample, 0u);
        const AudioId channel = audio.PlaySample(sample, false);

        // The device has had time for the whole sound several times over.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_TRUE(audio.IsActive(channel));
        EXPECT_EQ(audio.Position(channel), 0u);

        clock.AdvanceSeconds(0.05);
        EXPECT_EQ(audio.Position(channel), 2205u * AudioLayer::kBytesPerFrame);
        EXPECT_TRUE(audio.IsActive(channel));
        clock.AdvanceSeconds(0.06);
        EXPECT_FALSE(audio.IsActive(channel)) << "ended within the clock's tenth of a second";
    }
    SetClockSource(nullptr);
}

TEST(SdlAudioLayer, ReportsVersionTwo) {
    SdlAudio audio;
    EXPECT_EQ(audio.Version(), 2);
}

} // namespace
