#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr std::size_t kChannels = 2;

float VolumeFraction(int volume) {
    return static_cast<float>(std::clamp(volume, 0, AudioLayer::kFullVolume)) /
           static_cast<float>(AudioLayer::kFullVolume);
}

std::size_t GroupIndex(VolumeGroup group) {
    return group == VolumeGroup::Samples ? 0 : 1;
}

} // namespace

Mixer::Mixer() : accumulator(kBlockFrames * kChannels), source(kBlockFrames * kChannels) {}

AudioId Mixer::NextId() {
    ++lastId;
    if (lastId == 0) {
        ++lastId;
    }
    return lastId;
}

Mixer::Channel* Mixer::FindChannel(AudioId id) {
    const auto found = std::find_if(channels.begin(), channels.end(),
                                    [id](const Channel& channel) { return channel.id == id; });
    return id != 0 && found != channels.end() ? &*found : nullptr;
}

const Mixer::Channel* Mixer::FindChannel(AudioId id) const {
    const auto found = std::find_if(channels.begin(), channels.end(),
                                    [id](const Channel& channel) { return channel.id == id; });
    return id != 0 && found != channels.end() ? &*found : nullptr;
}

AudioId Mixer::AddSample(std::vector<int16_t> frames, int maxPlaybacks) {
    frames.resize(frames.size() - frames.size() % kChannels);
    if (frames.empty()) {
        return 0;
    }
    const AudioId id = NextId();
    samples[id] = Sample{std::move(frames), std::max(maxPlaybacks, 1)};
    return id;
}

void Mixer::RemoveSample(AudioId sample) {
    StopSample(sample);
    samples.erase(sample);
}

AudioId Mixer::PlaySample(AudioId sample, bool loop) {
    const auto found = samples.find(sample);
    if (sample == 0 || found == samples.end()) {
        return 0;
    }
    // At the limit, the playback that has played longest makes room.
    auto longest = channels.end();
    int playing = 0;
    for (auto channel = channels.begin(); channel != channels.end(); ++channel) {
        if (channel->sample == sample && !channel->ended) {
            ++playing;
            if (longest == channels.end() || channel->played > longest->played) {
                longest = channel;
            }
        }
    }
    if (playing >= found->second.maxPlaybacks) {
        channels.erase(longest);
    }
    Channel& channel = channels.emplace_back();
    channel.id = NextId();
    channel.sample = sample;
    channel.pcm = &found->second.frames;
    channel.playing = true;
    channel.loop = loop;
    return channel.id;
}

void Mixer::StopSample(AudioId sample) {
    if (sample == 0) {
        return;
    }
    std::erase_if(channels, [sample](const Channel& channel) { return channel.sample == sample; });
}

AudioId Mixer::AddStream(std::unique_ptr<StreamDecoder> decoder) {
    if (decoder == nullptr) {
        return 0;
    }
    Channel& channel = channels.emplace_back();
    channel.id = NextId();
    channel.decoder = std::move(decoder);
    return channel.id;
}

void Mixer::PlayStream(AudioId stream, bool loop) {
    Channel* const channel = FindChannel(stream);
    if (channel == nullptr || channel->decoder == nullptr || channel->ended) {
        return;
    }
    channel->playing = true;
    channel->loop = loop;
}

bool Mixer::IsActive(AudioId channel) const {
    const Channel* const found = FindChannel(channel);
    return found != nullptr && found->playing && !found->ended;
}

void Mixer::SetVolume(AudioId channel, int volume) {
    if (Channel* const found = FindChannel(channel)) {
        found->volume = VolumeFraction(volume);
        found->slideFrames = found->slideDone = 0;
    }
}

void Mixer::SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end) {
    Channel* const found = FindChannel(channel);
    if (found == nullptr) {
        return;
    }
    found->slideFrom = found->volume;
    found->slideTarget = VolumeFraction(volume);
    found->slideEnd = end;
    found->slideFrames = uint64_t{milliseconds} * AudioLayer::kOutputRate / 1000;
    found->slideDone = 0;
    if (found->slideFrames == 0) {
        found->volume = found->slideTarget;
        if (end == SlideEnd::Stop) {
            std::erase_if(channels, [channel](const Channel& c) { return c.id == channel; });
        }
    }
}

uint64_t Mixer::Position(AudioId channel) const {
    const Channel* const found = FindChannel(channel);
    if (found == nullptr || !found->playing || found->ended) {
        return 0;
    }
    return found->position * AudioLayer::kBytesPerFrame;
}

void Mixer::SetGroupVolume(VolumeGroup group, int volume) {
    groupVolume[GroupIndex(group)] = VolumeFraction(volume);
}

void Mixer::SetPaused(bool pause) {
    paused = pause;
}

void Mixer::StopAll() {
    channels.clear();
}

void Mixer::Clear() {
    channels.clear();
    samples.clear();
}

void Mixer::Mix(int16_t* output, std::size_t frames) {
    for (std::size_t done = 0; done < frames;) {
        const std::size_t block = std::min(frames - done, kBlockFrames);
        MixBlock(output + done * kChannels, block);
        done += block;
    }
}

void Mixer::MixBlock(int16_t* output, std::size_t frames) {
    if (paused) {
        std::fill(output, output + frames * kChannels, int16_t{0});
        return;
    }
    std::fill(accumulator.begin(), accumulator.begin() + frames * kChannels, 0.0f);
    for (Channel& channel : channels) {
        if (channel.playing && !channel.ended) {
            const std::size_t count = ReadSource(channel, frames);
            channel.played += frames;
            AddToMix(channel, count);
        }
    }
    // Ended streams go here, their decoders and files with them.
    std::erase_if(channels, [](const Channel& channel) { return channel.ended; });
    for (std::size_t i = 0; i < frames * kChannels; ++i) {
        // Loud mixes saturate rather than wrap around.
        const float value = std::clamp(accumulator[i] * 32768.0f, -32768.0f, 32767.0f);
        output[i] = static_cast<int16_t>(std::lrint(value));
    }
}

std::size_t Mixer::ReadSource(Channel& channel, std::size_t frames) {
    std::size_t done = 0;
    if (channel.pcm != nullptr) {
        ReadSampleFrames(channel, frames, done);
        return done;
    }
    bool justRewound = false;
    while (done < frames) {
        const std::size_t got =
            channel.decoder->Read(source.data() + done * kChannels, frames - done);
        done += got;
        channel.position += got;
        if (done == frames) {
            break;
        }
        // The sound ran out; nothing at all right after a rewind means it holds no frames.
        if (!channel.loop || (got == 0 && justRewound) || !channel.decoder->Rewind()) {
            channel.ended = true;
            break;
        }
        justRewound = true;
        channel.position = 0;
    }
    return done;
}

void Mixer::ReadSampleFrames(Channel& channel, std::size_t frames, std::size_t& done) {
    const std::vector<int16_t>& pcm = *channel.pcm;
    const uint64_t length = pcm.size() / kChannels;
    while (done < frames) {
        if (channel.position >= length) {
            if (!channel.loop) {
                channel.ended = true;
                return;
            }
            channel.position = 0;
        }
        const std::size_t count =
            static_cast<std::size_t>(std::min<uint64_t>(frames - done, length - channel.position));
        const int16_t* from = pcm.data() + channel.position * kChannels;
        float* to = source.data() + done * kChannels;
        for (std::size_t i = 0; i < count * kChannels; ++i) {
            to[i] = static_cast<float>(from[i]) * (1.0f / 32768.0f);
        }
        done += count;
        channel.position += count;
    }
    if (channel.position >= length && !channel.loop) {
        channel.ended = true;
    }
}

void Mixer::AddToMix(Channel& channel, std::size_t frames) {
    const float group = channel.decoder != nullptr ? groupVolume[GroupIndex(VolumeGroup::Streams)]
                                                   : groupVolume[GroupIndex(VolumeGroup::Samples)];
    std::size_t frame = 0;
    if (channel.slideDone < channel.slideFrames) {
        const std::size_t count = static_cast<std::size_t>(
            std::min<uint64_t>(frames, channel.slideFrames - channel.slideDone));
        // Each frame's volume comes from the slide's start, so no error piles up over a long
        // slide.
        const double step = (double{channel.slideTarget} - channel.slideFrom) /
                            static_cast<double>(channel.slideFrames);
        for (; frame < count; ++frame) {
            channel.volume = static_cast<float>(
                channel.slideFrom + step * static_cast<double>(channel.slideDone + frame + 1));
            const float gain = channel.volume * group;
            accumulator[frame * kChannels] += source[frame * kChannels] * gain;
            accumulator[frame * kChannels + 1] += source[frame * kChannels + 1] * gain;
        }
        channel.slideDone += count;
        if (channel.slideDone == channel.slideFrames) {
            channel.volume = channel.slideTarget;
            if (channel.slideEnd == SlideEnd::Stop) {
                channel.ended = true;
                return;
            }
        }
    }
    const float gain = channel.volume * group;
    for (std::size_t i = frame * kChannels; i < frames * kChannels; ++i) {
        accumulator[i] += source[i] * gain;
    }
}
