#pragma once

#include "platform/audio/AudioLayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A layer that plays nothing and remembers what it was asked: the samples loaded, every playback
// started, every stream with its volume changes, and the global calls in order. Playbacks stay
// active until the test ends them, their sample's limit replaces them, or they are stopped, so a
// test decides when a sound has finished.
class RecordingAudio final : public AudioLayer {
public:
    struct Sample {
        AudioId id = 0;
        std::vector<uint8_t> bytes;
        int maxPlaybacks = 0;
        bool freed = false;
    };
    struct Playback {
        AudioId channel = 0;
        AudioId sample = 0;
        bool loop = false;
        bool active = true;
        uint64_t position = 0;
    };
    struct VolumeChange {
        int volume = 0;
        uint32_t milliseconds = 0; // 0 for a set volume
        SlideEnd end = SlideEnd::Keep;
    };
    struct Stream {
        AudioId id = 0;
        std::vector<uint8_t> bytes; // what the stream read from its file
        std::unique_ptr<StreamFile> file;
        bool playing = false;
        bool loop = false;
        bool ended = false; // stopped, faded out or played out: freed, its file closed
        int volume = kFullVolume;
        std::vector<VolumeChange> volumeChanges;
    };

    // What the layer answers.
    int version = kVersion;
    bool openSucceeds = true;
    // Files that begin with these bytes cannot be decoded (samples and streams alike).
    std::string undecodablePrefix = "undecodable";

    int Version() const override { return version; }
    bool Open() override;
    void Close() override;
    void Start() override;
    void Stop() override;
    void Pause() override;
    void SetGroupVolume(VolumeGroup group, int volume) override;
    AudioId LoadSample(std::span<const uint8_t> bytes, int maxPlaybacks) override;
    void FreeSample(AudioId sample) override;
    AudioId PlaySample(AudioId sample, bool loop) override;
    void StopSample(AudioId sample) override;
    AudioId CreateStream(std::unique_ptr<StreamFile> file) override;
    void PlayStream(AudioId stream, bool loop) override;
    bool IsActive(AudioId channel) const override;
    void SetVolume(AudioId channel, int volume) override;
    void SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end) override;
    uint64_t Position(AudioId channel) const override;

    // The playback or stream ends as if it had played out.
    void EndChannel(AudioId channel);
    // Every slide reaches its value now; those that end in a stop end their stream.
    void FinishSlides();
    void SetPosition(AudioId channel, uint64_t bytes);

    bool IsOpen() const override { return open; }
    int GroupVolume(VolumeGroup group) const;
    // "Open", "Close", "Start", "Stop" and "Pause", in the order they came.
    const std::vector<std::string>& Calls() const { return calls; }
    const std::vector<Sample>& Samples() const { return samples; }
    // Every playback ever started, in order.
    const std::vector<Playback>& Playbacks() const { return playbacks; }
    // Every stream ever created, in order.
    const std::vector<Stream>& Streams() const { return streams; }
    // The samples that playbacks played, in order (sample ids).
    std::vector<AudioId> PlayedSamples() const;
    // Active playbacks and streams.
    std::size_t ActiveCount() const;

private:
    AudioId NextId() { return ++lastId; }
    Sample* FindSample(AudioId id);
    Playback* FindPlayback(AudioId channel);
    const Playback* FindPlayback(AudioId channel) const;
    Stream* FindStream(AudioId id);
    const Stream* FindStream(AudioId id) const;
    static void EndStream(Stream& stream);
    void EndEverything();
    bool Decodable(const std::vector<uint8_t>& bytes) const;

    bool open = false;
    int groupVolumes[2] = {kFullVolume, kFullVolume};
    std::vector<std::string> calls;
    std::vector<Sample> samples;
    std::vector<Playback> playbacks;
    std::vector<Stream> streams;
    AudioId lastId = 0;
};
