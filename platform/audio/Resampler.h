#pragma once

#include <cstddef>
#include <vector>

// Turns mono or stereo sound at any rate into stereo at the output rate, a piece at a time, by
// linear interpolation between neighbouring frames. A sound of n frames at rate r always comes
// out as ceil(n * 44100 / r) frames, however it is cut into pieces.
class Resampler {
public:
    // channels is 1 or 2; rate in frames a second, above 0.
    Resampler(int channels, long rate);

    // Takes frames frames of interleaved values.
    void Put(const float* values, std::size_t frames);
    // No more input follows: the last frames become available.
    void Flush();
    // Back to the state of a new resampler.
    void Clear();

    // Output frames ready to be taken.
    std::size_t Available() const { return ready.size() / 2 - readFrame; }
    // Takes up to frames output frames (interleaved stereo); the count taken.
    std::size_t Get(float* values, std::size_t frames);

private:
    // Makes every output frame the pending input allows; at the end the last input frame stands
    // in for the one after it.
    void Produce(bool atEnd);

    int channels;
    bool passThrough;           // the source is at the output rate
    double step;                // input frames per output frame
    double time = 0.0;          // where the next output frame lies, in frames of pending
    std::vector<float> pending; // stereo input frames still needed
    std::vector<float> ready;   // stereo output frames
    std::size_t readFrame = 0;  // the first frame of ready not yet taken
};
