#include "platform/audio/AudioDecoder.h"
#include "platform/audio/MemoryStreamFile.h"
#include "platform/audio/Mixer.h"
#include "tests/support/AudioFixtures.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kDeviceBuffer = 1024; // frames the device asks for at a time

// Two music tracks (Ogg Vorbis, 44100 Hz stereo, 4 s) and sixteen one-second effects (WAV,
// 22050 Hz mono), made once.
struct Sounds {
    std::vector<std::string> music;
    std::vector<std::vector<int16_t>> effects;

    Sounds() {
        for (int track = 0; track < 2; ++track) {
            music.push_back(
                VorbisFile(SineWave(220.0 * (track + 1), 0.3, 4 * 44100, 2, 44100), 2, 44100));
        }
        for (int effect = 0; effect < 16; ++effect) {
            const std::string wav =
                WavFile(SineWave(300.0 + 50.0 * effect, 0.05, 22050, 1, 22050), 1, 22050, 16);
            effects.push_back(*DecodeSample(std::vector<uint8_t>(wav.begin(), wav.end())));
        }
    }
};

const Sounds& TestSounds() {
    static const Sounds sounds;
    return sounds;
}

// Mixes one second of output a device buffer at a time, as the audio thread does, with the
// given number of looping effects and music streams playing (the streams cross-fading).
void MixOneSecond(benchmark::State& state) {
    const Sounds& sounds = TestSounds();
    const auto effects = static_cast<std::size_t>(state.range(0));
    const auto streams = static_cast<std::size_t>(state.range(1));
    Mixer mixer;
    for (std::size_t i = 0; i < effects; ++i) {
        mixer.PlaySample(mixer.AddSample(sounds.effects[i], 3), true);
    }
    for (std::size_t i = 0; i < streams; ++i) {
        const AudioId stream = mixer.AddStream(OpenStreamDecoder(std::make_unique<MemoryStreamFile>(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(sounds.music[i].data()),
                                     sounds.music[i].size()))));
        mixer.PlayStream(stream, true);
        mixer.SlideVolume(stream, i == 0 ? 0 : 100, 1'000'000, SlideEnd::Keep);
    }
    std::vector<int16_t> buffer(kDeviceBuffer * 2);
    for (auto _ : state) {
        for (std::size_t done = 0; done < std::size_t{AudioLayer::kOutputRate};
             done += kDeviceBuffer) {
            mixer.Mix(buffer.data(), kDeviceBuffer);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    // Seconds of output mixed per second of work: how many times faster than real time. Its
    // inverse is the share of the audio thread's real-time budget that mixing takes.
    state.counters["x_realtime"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(MixOneSecond)
    ->Args({16, 2})
    ->Args({16, 0})
    ->Args({0, 2})
    ->ArgNames({"effects", "streams"})
    ->Unit(benchmark::kMillisecond);

} // namespace
