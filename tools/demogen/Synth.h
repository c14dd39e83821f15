#pragma once

#include <cstddef>
#include <vector>

// A mono sound being built, as floats of -1..1 at kRate frames a second.
class Track {
public:
    static constexpr int kRate = 22050;

    explicit Track(double seconds);

    std::size_t Frames() const { return samples.size(); }
    const std::vector<float>& Samples() const { return samples; }

    // A note: a tone of a few harmonics (each given amplitude falls by rolloff per harmonic),
    // a short attack and an exponential decay, added at start seconds.
    void Note(double start, double length, double frequency, double amplitude, double decay,
              int harmonics = 3, double rolloff = 0.4);
    // A tone gliding from one frequency to another over its length.
    void Glide(double start, double length, double fromFrequency, double toFrequency,
               double amplitude);
    // Filtered noise (one-pole low pass at the given smoothing 0..1) with a decaying envelope.
    void Noise(double start, double length, double amplitude, double smoothing, double decay,
               unsigned seed);
    // A slowly breathing chord pad that fades in and out at its ends.
    void Pad(double start, double length, const std::vector<double>& frequencies, double amplitude);

    // Scales the whole sound so that its loudest sample is at peak.
    void Normalise(double peak);
    // Fades the first and last seconds, so that a loop joins without a click.
    void FadeEnds(double seconds);

private:
    std::vector<float> samples;
};

// The frequency of a note counted in semitones from A4 (440 Hz).
double Semitone(int fromA4);
