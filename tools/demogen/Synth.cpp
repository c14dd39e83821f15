#include "tools/demogen/Synth.h"

#include "tools/demogen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::size_t FrameAt(double seconds) {
    return static_cast<std::size_t>(std::max(0.0, seconds) * Track::kRate);
}

} // namespace

Track::Track(double seconds) : samples(FrameAt(seconds), 0.0f) {}

void Track::Note(double start, double length, double frequency, double amplitude, double decay,
                 int harmonics, double rolloff) {
    const std::size_t first = FrameAt(start);
    const std::size_t count = FrameAt(length);
    const double attack = 0.01;
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double envelope = std::exp(-t * decay) * std::min(1.0, t / attack);
        // A short release at the end of the note.
        envelope *= std::min(1.0, (length - t) / 0.02);
        double value = 0.0;
        double partAmplitude = 1.0;
        for (int h = 1; h <= harmonics; ++h) {
            value += partAmplitude * std::sin(kTwoPi * frequency * h * t);
            partAmplitude *= rolloff;
        }
        samples[first + i] += static_cast<float>(amplitude * envelope * value);
    }
}

void Track::Glide(double start, double length, double fromFrequency, double toFrequency,
                  double amplitude) {
    const std::size_t first = FrameAt(start);
    const std::size_t count = FrameAt(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double progress = t / length;
        const double frequency = fromFrequency * std::pow(toFrequency / fromFrequency, progress);
        phase += kTwoPi * frequency / kRate;
        const double envelope = std::sin(std::numbers::pi * progress);
        samples[first + i] += static_cast<float>(amplitude * envelope * std::sin(phase));
    }
}

void Track::Noise(double start, double length, double amplitude, double smoothing, double decay,
                  unsigned seed) {
    Dice dice(seed);
    const std::size_t first = FrameAt(start);
    const std::size_t count = FrameAt(length);
    double filtered = 0.0;
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        filtered += (1.0 - smoothing) * ((dice.Next() * 2.0 - 1.0) - filtered);
        const double envelope = std::exp(-t * decay) * std::min(1.0, t / 0.005);
        samples[first + i] += static_cast<float>(amplitude * envelope * filtered);
    }
}

void Track::Pad(double start, double length, const std::vector<double>& frequencies,
                double amplitude) {
    const std::size_t first = FrameAt(start);
    const std::size_t count = FrameAt(length);
    const double fade = std::min(1.0, length / 3.0);
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = std::min({1.0, t / fade, (length - t) / fade});
        double value = 0.0;
        for (std::size_t k = 0; k < frequencies.size(); ++k) {
            const double f = frequencies[k];
            // Two voices a little apart in pitch beat slowly against each other.
            const double wobble = 1.0 + 0.15 * std::sin(kTwoPi * (0.2 + 0.07 * k) * t);
            value += wobble * (std::sin(kTwoPi * f * t) + 0.5 * std::sin(kTwoPi * f * 1.003 * t) +
                               0.15 * std::sin(kTwoPi * f * 2.0 * t));
        }
        samples[first + i] += static_cast<float>(amplitude * envelope * value /
                                                 static_cast<double>(frequencies.size()));
    }
}

void Track::Normalise(double peak) {
    float loudest = 0.0f;
    for (const float value : samples) {
        loudest = std::max(loudest, std::fabs(value));
    }
    if (loudest <= 0.0f) {
        return;
    }
    const auto factor = static_cast<float>(peak / loudest);
    for (float& value : samples) {
        value *= factor;
    }
}

void Track::FadeEnds(double seconds) {
    const std::size_t count = std::min(FrameAt(seconds), samples.size() / 2);
    for (std::size_t i = 0; i < count; ++i) {
        const auto gain = static_cast<float>(i) / static_cast<float>(count);
        samples[i] *= gain;
        samples[samples.size() - 1 - i] *= gain;
    }
}

double Semitone(int fromA4) {
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}
