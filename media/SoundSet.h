#pragma once

#include "platform/audio/AudioLayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One loaded sound of a set, with the channel of its latest playback.
class SoundSample {
public:
    // Playbacks of one sample that may sound at once; a further one replaces the oldest.
    static constexpr int kMaxPlaybacks = 3;

    // Throws Exception "Can't load a sound file: %s!" when the file is not there. The file is
    // read through the file layer and handed to the audio layer when the sample first plays, so
    // that the many sets defined at start cost nothing until heard; a file that cannot be read
    // then, or that the audio layer cannot decode (or a layer that is down), plays nothing.
    SoundSample(const std::string& fileName, int weight, bool exclusive);
    ~SoundSample();
    SoundSample(const SoundSample&) = delete;
    SoundSample& operator=(const SoundSample&) = delete;

    // Plays the sample from its beginning, looping or once.
    void Play(bool loop);
    // Stops every playback of the sample.
    void Stop();
    // The latest playback still plays.
    bool IsPlaying() const;
    // Seconds into the latest playback's sound.
    float Position() const;
    void Free();

    int Weight() const { return weight; }
    bool Exclusive() const { return exclusive; }
    // Set once the sample has been played looping; never cleared.
    bool Looping() const { return looping; }

private:
    // Hands the file to the audio layer at the first call; later calls do nothing.
    void LoadOnce();

    std::string fileName; // emptied once the file has gone to the audio layer, or been freed
    AudioId sample = 0;
    AudioId channel = 0;
    int weight;
    bool exclusive;
    bool looping = false;
};

// Samples that play one at a time, chosen at random by weight. Every set in existence, whoever
// owns it, is linked into one list, through which exclusive samples (voices) keep from ever
// sounding over each other.
class SoundSet {
public:
    // Draws made for one play before giving up.
    static constexpr int kMaxDraws = 10;

    SoundSet();
    ~SoundSet();
    SoundSet(const SoundSet&) = delete;
    SoundSet& operator=(const SoundSet&) = delete;

    // Loads a sample (see SoundSample) and appends it. A negative weight is logged and counted as
    // 0: a set whose weights add up to nothing plays nothing.
    void AddSound(const std::string& fileName, int weight, bool exclusive);
    // PlayRandom with the exclusive rule.
    void Play(bool loop);
    // Plays one sample chosen by weight. An exclusive sample plays only when checkExclusive is
    // set and no set has an exclusive sample playing; a draw that falls on one otherwise fails,
    // and after kMaxDraws failed draws nothing plays.
    void PlayRandom(bool loop, bool checkExclusive);
    void StopAll();
    // Stops the samples that have been played looping.
    void StopLooping();
    bool IsPlaying() const;
    bool IsExclusivePlaying() const;
    // Seconds into the first sample's latest playback; 0 for an empty set.
    float FirstSamplePosition() const;

    // The "loop" value of an animation's sound companion.
    bool Loop() const { return loop; }
    void SetLoop(bool value) { loop = value; }
    const std::vector<std::unique_ptr<SoundSample>>& Samples() const { return samples; }
    int64_t TotalWeight() const { return totalWeight; }

    // Some set in existence has an exclusive sample playing.
    static bool AnyExclusivePlaying();
    // How many sets exist.
    static std::size_t Count();

private:
    std::vector<std::unique_ptr<SoundSample>> samples;
    // Wide, so that no run of large weights can overflow it.
    int64_t totalWeight = 0;
    bool loop = false;
    // The list of every set.
    SoundSet* previous = nullptr;
    SoundSet* next = nullptr;
};
