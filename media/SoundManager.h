#pragma once

#include "media/SoundSet.h"
#include "platform/audio/AudioLayer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct ParconList;

// All sound of the game: the named sound sets of "sounds.txt", one music stream at a time with
// its fades, and the sample and stream volumes. Until Init has brought the audio layer up (and
// for the whole run when it could not), every operation but IsMusicPlaying does nothing and
// answers 0, false or 0.0: the game then runs silent.
class SoundManager {
public:
    // Music fades in and out over this long.
    static constexpr uint32_t kMusicFadeMilliseconds = 3000;

    SoundManager() = default;
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Checks the audio layer's version (a wrong one is fatal) and opens it; when no output can be
    // had the manager stays down. Then both volumes are full.
    void Init();
    // Replaces the named sets with those of the file (a required definition file).
    void LoadDefinitions(const std::string& fileName);

    // Plays the named set; volume and pan are taken and have no effect. A name without a set does
    // nothing.
    void PlayByName(const std::string& name, bool loop, int volume, int pan);
    bool IsPlaying(const std::string& name) const;
    // Seconds into the named set's first sample; 0.0 for a name without a set.
    float GetPlayPosition(const std::string& name) const;

    // Fades the current music out and the file in, both over kMusicFadeMilliseconds; the music
    // that is already current goes on untouched. The file is read whole through the file layer
    // here, so the stream never touches the file layer. A file that cannot be read or decoded is
    // logged, and no music is current afterwards.
    void PlayMusic(const std::string& fileName, bool loop);
    // Fades the current music out and stops it; no music is current afterwards.
    void StopMusic();
    bool IsMusicPlaying() const;

    // Stops the looping samples of the named sets; sounds played once go on.
    void StopAll();
    // All output, while the game is in the background.
    void Pause();
    void Resume();
    // Stops everything that plays and starts the output again.
    void Restart();

    void SetSampleVolume(int volume);
    void SetStreamVolume(int volume);
    int GetSampleVolume() const;
    int GetStreamVolume() const;

    void FreeSets();
    // Frees the sets, fades the music and closes the audio layer.
    void Shutdown();

    bool IsUp() const { return up; }
    // The file of the current music; empty when none (also while the last one fades out).
    const std::string& MusicName() const { return musicName; }
    // The named set, or null.
    const SoundSet* FindSet(const std::string& name) const;

private:
    // Reads one set definition (name, then its entries) and stores it under its name.
    void LoadSet(const ParconList& definition);

    std::map<std::string, std::unique_ptr<SoundSet>> sets;
    int sampleVolume = 0;
    int streamVolume = 0;
    AudioId music = 0;
    bool up = false;
    std::string musicName;
};

// The sound of the game.
extern SoundManager Sounds;
