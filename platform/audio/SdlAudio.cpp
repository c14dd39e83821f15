#include "platform/audio/SdlAudio.h"

#include "platform/os/Clock.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <utility>

// Holds the device's lock, so the audio thread is not inside the mixer meanwhile, and brings
// playback up to the clock that it follows.
class SdlAudio::DeviceLock {
public:
    explicit DeviceLock(const SdlAudio& audio) : device(audio.device) {
        if (device != 0) {
            SDL_LockAudioDevice(device);
            audio.FollowClock();
        }
    }
    ~DeviceLock() {
        if (device != 0) {
            SDL_UnlockAudioDevice(device);
        }
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    uint32_t device;
};

SdlAudio::~SdlAudio() {
    Close();
}

bool SdlAudio::Open() {
    if (device != 0) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = FillOutput;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants behind our back.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    mixer.SetPaused(false);
    followsClock = !UsingSystemClock();
    mixedToFrame = ClockFrames();
    unheard.assign(Mixer::kBlockFrames * 2, 0);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

uint64_t SdlAudio::ClockFrames() {
    const ClockSource& clock = Clock();
    const int64_t frequency = clock.Frequency();
    if (frequency > 0) {
        return static_cast<uint64_t>(std::max<int64_t>(clock.Counter(), 0)) * kOutputRate /
               static_cast<uint64_t>(frequency);
    }
    return uint64_t{clock.Milliseconds()} * kOutputRate / 1000;
}

void SdlAudio::FollowClock() const {
    if (!followsClock) {
        return;
    }
    const uint64_t now = ClockFrames();
    while (mixedToFrame < now) {
        const std::size_t frames =
            static_cast<std::size_t>(std::min<uint64_t>(now - mixedToFrame, Mixer::kBlockFrames));
        mixer.Mix(unheard.data(), frames);
        mixedToFrame += frames;
    }
}

void SdlAudio::Close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    mixer.Clear();
}

void SdlAudio::FillOutput(void* self, uint8_t* output, int size) {
    SdlAudio* const audio = static_cast<SdlAudio*>(self);
    if (audio->followsClock) {
        std::memset(output, 0, static_cast<std::size_t>(size));
        return;
    }
    audio->mixer.Mix(reinterpret_cast<int16_t*>(output),
                     static_cast<std::size_t>(size) / kBytesPerFrame);
}

void SdlAudio::Start() {
    const DeviceLock lock(*this);
    mixer.SetPaused(false);
}

void SdlAudio::Stop() {
    const DeviceLock lock(*this);
    mixer.StopAll();
    mixer.SetPaused(true);
}

void SdlAudio::Pause() {
    const DeviceLock lock(*this);
    mixer.SetPaused(true);
}

void SdlAudio::SetGroupVolume(VolumeGroup group, int volume) {
    const DeviceLock lock(*this);
    mixer.SetGroupVolume(group, volume);
}

AudioId SdlAudio::LoadSample(std::span<const uint8_t> bytes, int maxPlaybacks) {
    if (device == 0) {
        return 0;
    }
    std::optional<std::vector<int16_t>> frames = DecodeSample(bytes);
    if (!frames) {
        return 0;
    }
    const DeviceLock lock(*this);
    return mixer.AddSample(std::move(*frames), maxPlaybacks);
}

void SdlAudio::FreeSample(AudioId sample) {
    const DeviceLock lock(*this);
    mixer.RemoveSample(sample);
}

AudioId SdlAudio::PlaySample(AudioId sample, bool loop) {
    const DeviceLock lock(*this);
    return mixer.PlaySample(sample, loop);
}

void SdlAudio::StopSample(AudioId sample) {
    const DeviceLock lock(*this);
    mixer.StopSample(sample);
}

AudioId SdlAudio::CreateStream(std::unique_ptr<StreamFile> file) {
    if (device == 0) {
        if (file != nullptr) {
            file->Close();
        }
        return 0;
    }
    std::unique_ptr<StreamDecoder> decoder = OpenStreamDecoder(std::move(file));
    const DeviceLock lock(*this);
    return mixer.AddStream(std::move(decoder));
}

void SdlAudio::PlayStream(AudioId stream, bool loop) {
    const DeviceLock lock(*this);
    mixer.PlayStream(stream, loop);
}

bool SdlAudio::IsActive(AudioId channel) const {
    const DeviceLock lock(*this);
    return mixer.IsActive(channel);
}

void SdlAudio::SetVolume(AudioId channel, int volume) {
    const DeviceLock lock(*this);
    mixer.SetVolume(channel, volume);
}

void SdlAudio::SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end) {
    const DeviceLock lock(*this);
    mixer.SlideVolume(channel, volume, milliseconds, end);
}

uint64_t SdlAudio::Position(AudioId channel) const {
    const DeviceLock lock(*this);
    return mixer.Position(channel);
}
