#include "platform/audio/Resampler.h"

#include "platform/audio/AudioLayer.h"

#include <algorithm>

Resampler::Resampler(int channels, long rate)
    : channels(channels), passThrough(rate == AudioLayer::kOutputRate),
      step(static_cast<double>(rate) / AudioLayer::kOutputRate) {}

void Resampler::Put(const float* values, std::size_t frames) {
    if (readFrame == ready.size() / 2) {
        ready.clear();
        readFrame = 0;
    }
    std::vector<float>& into = passThrough ? ready : pending;
    into.reserve(into.size() + frames * 2);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float left = values[frame * channels];
        into.push_back(left);
        into.push_back(channels == 2 ? values[frame * channels + 1] : left);
    }
    if (!passThrough) {
        Produce(false);
    }
}

void Resampler::Flush() {
    if (!passThrough) {
        Produce(true);
    }
}

void Resampler::Clear() {
    time = 0.0;
    pending.clear();
    ready.clear();
    readFrame = 0;
}

std::size_t Resampler::Get(float* values, std::size_t frames) {
    const std::size_t count = std::min(frames, Available());
    std::copy_n(ready.begin() + static_cast<std::ptrdiff_t>(readFrame * 2), count * 2, values);
    readFrame += count;
    return count;
}

void Resampler::Produce(bool atEnd) {
    const std::size_t frames = pending.size() / 2;
    for (;;) {
        const auto index = static_cast<std::size_t>(time);
        if (atEnd ? index >= frames : index + 1 >= frames) {
            break;
        }
        const std::size_t next = std::min(index + 1, frames - 1);
        const auto fraction = static_cast<float>(time - static_cast<double>(index));
        for (std::size_t side = 0; side < 2; ++side) {
            const float a = pending[index * 2 + side];
            const float b = pending[next * 2 + side];
            ready.push_back(a + (b - a) * fraction);
        }
        time += step;
    }
    // Frames wholly behind the next output are done with.
    const std::size_t done = std::min(static_cast<std::size_t>(time), frames);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(done * 2));
    time -= static_cast<double>(done);
}
