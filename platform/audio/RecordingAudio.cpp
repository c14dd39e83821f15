#include "platform/audio/RecordingAudio.h"

#include <algorithm>

namespace {

// A stream file is read whole, up to this much.
constexpr std::size_t kMaxStreamBytes = std::size_t{64} << 20;

std::size_t GroupIndex(VolumeGroup group) {
    return group == VolumeGroup::Samples ? 0 : 1;
}

} // namespace

bool RecordingAudio::Open() {
    calls.push_back("Open");
    open = openSucceeds;
    return open;
}

void RecordingAudio::Close() {
    calls.push_back("Close");
    EndEverything();
    for (Sample& sample : samples) {
        sample.freed = true;
    }
    open = false;
}

void RecordingAudio::Start() {
    calls.push_back("Start");
}

void RecordingAudio::Stop() {
    calls.push_back("Stop");
    EndEverything();
}

void RecordingAudio::EndEverything() {
    for (Playback& playback : playbacks) {
        playback.active = false;
    }
    for (Stream& stream : streams) {
        EndStream(stream);
    }
}

void RecordingAudio::Pause() {
    calls.push_back("Pause");
}

void RecordingAudio::SetGroupVolume(VolumeGroup group, int volume) {
    groupVolumes[GroupIndex(group)] = std::clamp(volume, 0, kFullVolume);
}

int RecordingAudio::GroupVolume(VolumeGroup group) const {
    return groupVolumes[GroupIndex(group)];
}

bool RecordingAudio::Decodable(const std::vector<uint8_t>& bytes) const {
    return undecodablePrefix.empty() || bytes.size() < undecodablePrefix.size() ||
           !std::equal(undecodablePrefix.begin(), undecodablePrefix.end(), bytes.begin());
}

AudioId RecordingAudio::LoadSample(std::span<const uint8_t> bytes, int maxPlaybacks) {
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    if (!open || copy.empty() || !Decodable(copy)) {
        return 0;
    }
    const AudioId id = NextId();
    samples.push_back(Sample{id, std::move(copy), std::max(maxPlaybacks, 1), false});
    return id;
}

RecordingAudio::Sample* RecordingAudio::FindSample(AudioId id) {
    for (Sample& sample : samples) {
        if (sample.id == id && id != 0 && !sample.freed) {
            return &sample;
        }
    }
    return nullptr;
}

void RecordingAudio::FreeSample(AudioId sample) {
    if (Sample* const found = FindSample(sample)) {
        StopSample(sample);
        found->freed = true;
    }
}

AudioId RecordingAudio::PlaySample(AudioId sample, bool loop) {
    const Sample* const found = FindSample(sample);
    if (found == nullptr) {
        return 0;
    }
    // At the limit the oldest playback, the one that has played longest, makes room.
    int active = 0;
    Playback* oldest = nullptr;
    for (Playback& playback : playbacks) {
        if (playback.sample == sample && playback.active) {
            ++active;
            oldest = oldest != nullptr ? oldest : &playback;
        }
    }
    if (active >= found->maxPlaybacks && oldest != nullptr) {
        oldest->active = false;
    }
    const AudioId channel = NextId();
    playbacks.push_back(Playback{channel, sample, loop, true, 0});
    return channel;
}

void RecordingAudio::StopSample(AudioId sample) {
    for (Playback& playback : playbacks) {
        if (playback.sample == sample) {
            playback.active = false;
        }
    }
}

AudioId RecordingAudio::CreateStream(std::unique_ptr<StreamFile> file) {
    if (file == nullptr) {
        return 0;
    }
    std::vector<uint8_t> bytes;
    uint8_t piece[4096];
    while (bytes.size() < kMaxStreamBytes) {
        const std::size_t got = file->Read(piece, sizeof(piece));
        if (got == 0) {
            break;
        }
        bytes.insert(bytes.end(), piece, piece + std::min(got, sizeof(piece)));
    }
    if (!open || !Decodable(bytes)) {
        file->Close();
        return 0;
    }
    Stream& stream = streams.emplace_back();
    stream.id = NextId();
    stream.bytes = std::move(bytes);
    stream.file = std::move(file);
    return stream.id;
}

RecordingAudio::Stream* RecordingAudio::FindStream(AudioId id) {
    for (Stream& stream : streams) {
        if (stream.id == id && id != 0 && !stream.ended) {
            return &stream;
        }
    }
    return nullptr;
}

const RecordingAudio::Stream* RecordingAudio::FindStream(AudioId id) const {
    for (const Stream& stream : streams) {
        if (stream.id == id && id != 0 && !stream.ended) {
            return &stream;
        }
    }
    return nullptr;
}

RecordingAudio::Playback* RecordingAudio::FindPlayback(AudioId channel) {
    for (Playback& playback : playbacks) {
        if (playback.channel == channel && channel != 0 && playback.active) {
            return &playback;
        }
    }
    return nullptr;
}

const RecordingAudio::Playback* RecordingAudio::FindPlayback(AudioId channel) const {
    for (const Playback& playback : playbacks) {
        if (playback.channel == channel && channel != 0 && playback.active) {
            return &playback;
        }
    }
    return nullptr;
}

void RecordingAudio::EndStream(Stream& stream) {
    if (!stream.ended) {
        stream.ended = true;
        stream.playing = false;
        stream.file->Close();
    }
}

void RecordingAudio::PlayStream(AudioId stream, bool loop) {
    if (Stream* const found = FindStream(stream)) {
        found->playing = true;
        found->loop = loop;
    }
}

bool RecordingAudio::IsActive(AudioId channel) const {
    const Stream* const stream = FindStream(channel);
    return FindPlayback(channel) != nullptr || (stream != nullptr && stream->playing);
}

void RecordingAudio::SetVolume(AudioId channel, int volume) {
    if (Stream* const stream = FindStream(channel)) {
        stream->volume = std::clamp(volume, 0, kFullVolume);
        stream->volumeChanges.push_back(VolumeChange{stream->volume, 0, SlideEnd::Keep});
    }
}

void RecordingAudio::SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end) {
    if (Stream* const stream = FindStream(channel)) {
        stream->volumeChanges.push_back(
            VolumeChange{std::clamp(volume, 0, kFullVolume), milliseconds, end});
    }
}

uint64_t RecordingAudio::Position(AudioId channel) const {
    const Playback* const playback = FindPlayback(channel);
    return playback != nullptr ? playback->position : 0;
}

void RecordingAudio::EndChannel(AudioId channel) {
    if (Playback* const playback = FindPlayback(channel)) {
        playback->active = false;
    }
    if (Stream* const stream = FindStream(channel)) {
        EndStream(*stream);
    }
}

void RecordingAudio::FinishSlides() {
    for (Stream& stream : streams) {
        if (stream.ended || stream.volumeChanges.empty() ||
            stream.volumeChanges.back().milliseconds == 0) {
            continue;
        }
        const VolumeChange& last = stream.volumeChanges.back();
        stream.volume = last.volume;
        if (last.end == SlideEnd::Stop) {
            EndStream(stream);
        }
    }
}

void RecordingAudio::SetPosition(AudioId channel, uint64_t bytes) {
    if (Playback* const playback = FindPlayback(channel)) {
        playback->position = bytes;
    }
}

std::vector<AudioId> RecordingAudio::PlayedSamples() const {
    std::vector<AudioId> played;
    for (const Playback& playback : playbacks) {
        played.push_back(playback.sample);
    }
    return played;
}

std::size_t RecordingAudio::ActiveCount() const {
    std::size_t count = 0;
    for (const Playback& playback : playbacks) {
        count += playback.active ? 1 : 0;
    }
    for (const Stream& stream : streams) {
        count += stream.playing && !stream.ended ? 1 : 0;
    }
    return count;
}
