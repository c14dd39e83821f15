#include "media/SoundSet.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/Random.h"

#include <optional>
#include <vector>

namespace {

// The list of every set; a plain pointer, so no set ever outlives it at exit.
SoundSet* firstSet = nullptr;

} // namespace

SoundSample::SoundSample(const std::string& fileName, int weight, bool exclusive)
    : fileName(fileName), weight(weight), exclusive(exclusive) {
    if (!Files.Exists(fileName)) {
        throw Exception("Can't load a sound file: %s!", fileName.c_str());
    }
}

void SoundSample::LoadOnce() {
    if (fileName.empty()) {
        return;
    }
    const std::string name = std::move(fileName);
    fileName.clear();
    const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(name);
    if (!bytes) {
        DebugLog("Can't read the sound file %s: it plays nothing\n", name.c_str());
        return;
    }
    // The layer keeps its own copy of the sound.
    sample = Audio().LoadSample(*bytes, kMaxPlaybacks);
    // A damaged sound is no reason to stop the game, wherever it lies: it plays nothing, and the
    // log names it.
    if (sample == 0 && Audio().IsOpen()) {
        DebugLog("Can't decode the sound file %s: it plays nothing\n", name.c_str());
    }
}

SoundSample::~SoundSample() {
    Free();
}

void SoundSample::Play(bool loop) {
    LoadOnce();
    if (sample == 0) {
        return;
    }
    channel = Audio().PlaySample(sample, loop);
    if (loop) {
        looping = true;
    }
}

void SoundSample::Stop() {
    channel = 0;
    if (sample != 0) {
        Audio().StopSample(sample);
    }
}

bool SoundSample::IsPlaying() const {
    return channel != 0 && Audio().IsActive(channel);
}

float SoundSample::Position() const {
    return static_cast<float>(AudioLayer::BytesToSeconds(Audio().Position(channel)));
}

void SoundSample::Free() {
    fileName.clear();
    if (sample != 0) {
        Audio().FreeSample(sample);
    }
    sample = 0;
}

SoundSet::SoundSet() : next(firstSet) {
    if (firstSet != nullptr) {
        firstSet->previous = this;
    }
    firstSet = this;
}

SoundSet::~SoundSet() {
    StopAll();
    for (std::unique_ptr<SoundSample>& sample : samples) {
        sample->Free();
    }
    samples.clear();
    if (previous != nullptr) {
        previous->next = next;
    } else {
        firstSet = next;
    }
    if (next != nullptr) {
        next->previous = previous;
    }
}

void SoundSet::AddSound(const std::string& fileName, int weight, bool exclusive) {
    if (weight < 0) {
        DebugLog("SoundSet::AddSound: %s has the negative weight %d, counted as 0\n",
                 fileName.c_str(), weight);
        weight = 0;
    }
    samples.push_back(std::make_unique<SoundSample>(fileName, weight, exclusive));
    totalWeight += weight;
}

void SoundSet::Play(bool loop) {
    PlayRandom(loop, true);
}

void SoundSet::PlayRandom(bool loop, bool checkExclusive) {
    if (samples.empty() || totalWeight <= 0) {
        return;
    }
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int64_t pick = Random() % totalWeight;
        SoundSample* candidate = nullptr;
        int64_t sum = 0;
        for (const std::unique_ptr<SoundSample>& sample : samples) {
            sum += sample->Weight();
            if (sum > pick) {
                candidate = sample.get();
                break;
            }
        }
        if (candidate == nullptr ||
            (candidate->Exclusive() && (!checkExclusive || AnyExclusivePlaying()))) {
            continue;
        }
        candidate->Play(loop);
        return;
    }
}

void SoundSet::StopAll() {
    for (const std::unique_ptr<SoundSample>& sample : samples) {
        sample->Stop();
    }
}

void SoundSet::StopLooping() {
    for (const std::unique_ptr<SoundSample>& sample : samples) {
        if (sample->Looping()) {
            sample->Stop();
        }
    }
}

bool SoundSet::IsPlaying() const {
    for (const std::unique_ptr<SoundSample>& sample : samples) {
        if (sample->IsPlaying()) {
            return true;
        }
    }
    return false;
}

bool SoundSet::IsExclusivePlaying() const {
    for (const std::unique_ptr<SoundSample>& sample : samples) {
        if (sample->Exclusive() && sample->IsPlaying()) {
            return true;
        }
    }
    return false;
}

float SoundSet::FirstSamplePosition() const {
    return samples.empty() ? 0.0f : samples.front()->Position();
}

bool SoundSet::AnyExclusivePlaying() {
    for (const SoundSet* set = firstSet; set != nullptr; set = set->next) {
        if (set->IsExclusivePlaying()) {
            return true;
        }
    }
    return false;
}

std::size_t SoundSet::Count() {
    std::size_t count = 0;
    for (const SoundSet* set = firstSet; set != nullptr; set = set->next) {
        ++count;
    }
    return count;
}
