#include "media/SoundManager.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/Parcon.h"
#include "platform/audio/MemoryStreamFile.h"
#include "platform/os/Seams.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

SoundManager Sounds;

namespace {

// The audio layer version the game is written for.
constexpr int kRequiredAudioVersion = 2;

} // namespace

void SoundManager::Init() {
    AudioLayer& audio = Audio();
    if (audio.Version() != kRequiredAudioVersion) {
        throw Exception("BASS version 2.0 was not loaded - incorrect BASS.DLL!");
    }
    if (!audio.Open()) {
        up = false;
        return;
    }
    up = true;
    music = 0;
    SetSampleVolume(AudioLayer::kFullVolume);
    SetStreamVolume(AudioLayer::kFullVolume);
}

void SoundManager::LoadDefinitions(const std::string& fileName) {
    if (!up) {
        return;
    }
    FreeSets();
    Parcon parser;
    parser.OpenFile(fileName, true);
    ParconCursor root = parser.RootCursor();
    while (root.Next()) {
        const std::optional<ParconList> list = root.GetList();
        if (!list) {
            continue;
        }
        ParconCursor cursor(list, 0);
        if (cursor.GetListName() != "set" || cursor.NextString(false, "") != "global") {
            continue;
        }
        while (cursor.Next()) {
            if (const std::optional<ParconList> definition = cursor.GetList()) {
                LoadSet(*definition);
            }
        }
    }
}

void SoundManager::LoadSet(const ParconList& definition) {
    ParconCursor entry(&definition, 0);
    const std::string name = entry.GetListName();
    auto set = std::make_unique<SoundSet>();
    while (entry.Next()) {
        const std::optional<ParconList> fields = entry.GetList();
        if (!fields) {
            set->AddSound(entry.GetString(""), 1, false);
            continue;
        }
        // The first word of an entry list says nothing.
        ParconCursor field(fields, 0);
        const std::string file = field.NextString(true, "");
        const int weight = field.NextInt(true, 0);
        const bool exclusive = field.NextInt(false, 0) != 0;
        set->AddSound(file, weight, exclusive);
    }
    // A name defined again replaces the earlier set, which goes with all its samples.
    sets[name] = std::move(set);
}

const SoundSet* SoundManager::FindSet(const std::string& name) const {
    const auto found = sets.find(name);
    return found != sets.end() ? found->second.get() : nullptr;
}

void SoundManager::PlayByName(const std::string& name, bool loop, [[maybe_unused]] int volume,
                              [[maybe_unused]] int pan) {
    if (!up) {
        return;
    }
    const auto found = sets.find(name);
    if (found != sets.end()) {
        found->second->Play(loop);
        NoteSoundStarted("sound", name);
    }
}

bool SoundManager::IsPlaying(const std::string& name) const {
    if (!up) {
        return false;
    }
    const SoundSet* const set = FindSet(name);
    return set != nullptr && set->IsPlaying();
}

float SoundManager::GetPlayPosition(const std::string& name) const {
    if (!up) {
        return 0.0f;
    }
    const SoundSet* const set = FindSet(name);
    return set != nullptr ? set->FirstSamplePosition() : 0.0f;
}

void SoundManager::PlayMusic(const std::string& fileName, bool loop) {
    if (!up || fileName == musicName) {
        return;
    }
    StopMusic();
    std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(fileName);
    if (!bytes) {
        DebugLog("SoundManager::PlayMusic: cannot read the music file %s\n", fileName.c_str());
        return;
    }
    AudioLayer& audio = Audio();
    music = audio.CreateStream(std::make_unique<MemoryStreamFile>(std::move(*bytes)));
    if (music == 0) {
        DebugLog("SoundManager::PlayMusic: cannot decode the music file %s\n", fileName.c_str());
        return;
    }
    audio.SetVolume(music, 0);
    audio.PlayStream(music, loop);
    audio.SlideVolume(music, AudioLayer::kFullVolume, kMusicFadeMilliseconds, SlideEnd::Keep);
    musicName = fileName;
    NoteSoundStarted("music", fileName);
}

void SoundManager::StopMusic() {
    if (!up) {
        return;
    }
    musicName.clear();
    if (music != 0) {
        // The stream frees itself once faded out.
        Audio().SlideVolume(music, 0, kMusicFadeMilliseconds, SlideEnd::Stop);
        music = 0;
    }
}

bool SoundManager::IsMusicPlaying() const {
    return Audio().IsActive(music);
}

void SoundManager::StopAll() {
    if (!up) {
        return;
    }
    for (const auto& [name, set] : sets) {
        set->StopLooping();
    }
}

void SoundManager::Pause() {
    if (up) {
        Audio().Pause();
    }
}

void SoundManager::Resume() {
    if (up) {
        Audio().Start();
    }
}

void SoundManager::Restart() {
    if (up) {
        Audio().Stop();
        Audio().Start();
    }
}

void SoundManager::SetSampleVolume(int volume) {
    if (up) {
        sampleVolume = volume;
        Audio().SetGroupVolume(VolumeGroup::Samples, volume);
    }
}

void SoundManager::SetStreamVolume(int volume) {
    if (up) {
        streamVolume = volume;
        Audio().SetGroupVolume(VolumeGroup::Streams, volume);
    }
}

int SoundManager::GetSampleVolume() const {
    return up ? sampleVolume : 0;
}

int SoundManager::GetStreamVolume() const {
    return up ? streamVolume : 0;
}

void SoundManager::FreeSets() {
    sets.clear();
}

void SoundManager::Shutdown() {
    if (!up) {
        return;
    }
    FreeSets();
    StopMusic();
    Audio().Close();
    up = false;
}
