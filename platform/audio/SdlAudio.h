#pragma once

#include "platform/audio/AudioLayer.h"
#include "platform/audio/Mixer.h"

#include <cstdint>
#include <vector>

// The real output: the SDL audio device, fed by our mixer from SDL's audio thread. Every call
// from the game thread holds the device's lock while it touches the mixer; decoding a sample or
// a stream's first pages happens before, outside it. SDL_AUDIODRIVER=dummy gives a device that
// plays into nothing at the real pace, for headless runs.
// Opened under a clock other than the system's (a scripted run's stepped clock), playback follows
// that clock instead of the device: before each call the game thread mixes as far as the clock
// has come, into nothing, and the device plays silence. What plays, where it stands and what has
// ended at a given pass is then the same in every run, however fast the machine draws.
class SdlAudio final : public AudioLayer {
public:
    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    int Version() const override { return kVersion; }
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return device != 0; }
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

private:
    class DeviceLock;

    static void FillOutput(void* self, uint8_t* output, int size);
    // Under the device's lock: the mixer moved on to the clock, when it follows one.
    void FollowClock() const;
    static uint64_t ClockFrames();

    uint32_t device = 0; // SDL's device id, 0 while closed
    // Mutable: reading where a sound stands first brings playback up to the clock.
    mutable Mixer mixer;
    bool followsClock = false;
    mutable uint64_t mixedToFrame = 0; // the clock's frame up to which the mixer has run
    mutable std::vector<int16_t> unheard;
};
