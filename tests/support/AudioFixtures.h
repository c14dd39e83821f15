#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Sound files made by the tests themselves.

// size frames of a sine wave, the same on every channel, as interleaved floats.
std::vector<float> SineWave(double frequency, double amplitude, std::size_t frames, int channels,
                            int rate);

// Interleaved floats (-1..1) as 16-bit values.
std::vector<int16_t> ToPcm16(std::span<const float> values);

// A PCM WAV file with interleaved samples of bitsPerSample (8 or 16; floats are -1..1).
std::string WavFile(std::span<const float> values, int channels, int rate, int bitsPerSample);
// A 16-bit PCM WAV file holding exactly these interleaved values.
std::string WavFile16(std::span<const int16_t> values, int channels, int rate);

// An Ogg Vorbis file (encoded with libvorbisenc at a middling quality).
std::string VorbisFile(std::span<const float> values, int channels, int rate);

std::vector<uint8_t> AsBytes(const std::string& file);
