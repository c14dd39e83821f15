#pragma once

#include "platform/audio/AudioLayer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Sound delivered a piece at a time in the output's format: 44100 Hz stereo frames of
// interleaved floats (-1..1). The mixer pulls from it as it plays.
class StreamDecoder {
public:
    virtual ~StreamDecoder() = default;

    // Fills up to frames frames; fewer only at the end of the sound.
    virtual std::size_t Read(float* frames, std::size_t count) = 0;
    // Back to the first frame; false when the sound cannot be read again.
    virtual bool Rewind() = 0;
};

// The longest sample that is decoded whole into memory: 10 minutes of output (about 100 MB).
constexpr std::size_t kMaxSampleFrames = std::size_t{AudioLayer::kOutputRate} * 600;

// A whole PCM WAV or Ogg Vorbis file in the output's format (interleaved 16-bit stereo), or
// nothing when the bytes are neither, are damaged, hold no sound or decode to more than
// kMaxSampleFrames.
std::optional<std::vector<int16_t>> DecodeSample(std::span<const uint8_t> bytes);

// A decoder over a PCM WAV or Ogg Vorbis file, or null (the file then closed) when it is neither
// or is damaged. The decoder owns the file and closes it when it goes. A WAV file is decoded
// whole at once; Ogg Vorbis as it is read.
std::unique_ptr<StreamDecoder> OpenStreamDecoder(std::unique_ptr<StreamFile> file);
