#pragma once

#include "platform/audio/AudioDecoder.h"
#include "platform/audio/AudioLayer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// Mixes sample playbacks and streams into 44100 Hz 16-bit stereo output. It owns the decoded
// samples and the stream decoders; it does no locking (the device around it does) and does not
// allocate while it mixes, so Mix may run on the audio thread. Mix can as well be called directly
// on a buffer, which is how the tests listen to it.
class Mixer {
public:
    // Frames mixed at a time, whatever the caller asks for.
    static constexpr std::size_t kBlockFrames = 1024;

    Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Takes a decoded sample (interleaved stereo in the output format); 0 for an empty one. A
    // limit below 1 counts as 1.
    AudioId AddSample(std::vector<int16_t> frames, int maxPlaybacks);
    void RemoveSample(AudioId sample);
    AudioId PlaySample(AudioId sample, bool loop);
    void StopSample(AudioId sample);

    // Takes a stream's decoder; 0 for none. The stream waits, stopped, for PlayStream.
    AudioId AddStream(std::unique_ptr<StreamDecoder> decoder);
    void PlayStream(AudioId stream, bool loop);

    bool IsActive(AudioId channel) const;
    void SetVolume(AudioId channel, int volume);
    void SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end);
    // In bytes of output.
    uint64_t Position(AudioId channel) const;

    void SetGroupVolume(VolumeGroup group, int volume);
    // While paused, Mix gives silence and nothing moves on.
    void SetPaused(bool paused);
    // Ends every playback and frees every stream; the samples stay.
    void StopAll();
    // Frees everything.
    void Clear();

    // Writes frames frames of interleaved stereo and moves every channel on by as much.
    void Mix(int16_t* output, std::size_t frames);

    std::size_t SampleCount() const { return samples.size(); }
    // Sample playbacks and streams that exist, playing or not.
    std::size_t ChannelCount() const { return channels.size(); }

private:
    struct Sample {
        std::vector<int16_t> frames;
        int maxPlaybacks = 1;
    };

    // One sample playback, or one stream.
    struct Channel {
        AudioId id = 0;
        AudioId sample = 0;                        // for a sample playback
        const std::vector<int16_t>* pcm = nullptr; // the sample's frames
        std::unique_ptr<StreamDecoder> decoder;    // for a stream
        bool playing = false;
        bool ended = false; // removed after the block being mixed
        bool loop = false;
        uint64_t position = 0; // frames from the beginning of its sound
        uint64_t played = 0;   // frames played since it started
        float volume = 1.0f;
        // A slide runs from slideFrom to slideTarget over slideFrames frames, of which slideDone
        // have played; none runs while slideDone == slideFrames.
        float slideFrom = 1.0f;
        float slideTarget = 1.0f;
        uint64_t slideFrames = 0;
        uint64_t slideDone = 0;
        SlideEnd slideEnd = SlideEnd::Keep;
    };

    AudioId NextId();
    Channel* FindChannel(AudioId id);
    const Channel* FindChannel(AudioId id) const;
    void MixBlock(int16_t* output, std::size_t frames);
    // Puts up to frames frames of the channel's sound into the source buffer; the count given.
    // Marks the channel ended when its sound runs out.
    std::size_t ReadSource(Channel& channel, std::size_t frames);
    void ReadSampleFrames(Channel& channel, std::size_t frames, std::size_t& done);
    // Adds the source buffer to the accumulator at the channel's volume, sliding it.
    void AddToMix(Channel& channel, std::size_t frames);

    std::map<AudioId, Sample> samples;
    std::vector<Channel> channels;
    float groupVolume[2] = {1.0f, 1.0f};
    bool paused = false;
    AudioId lastId = 0;
    std::vector<float> accumulator;
    std::vector<float> source;
};
