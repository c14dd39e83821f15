#include "world/GameSettings.h"

#include "engine/Application.h"
#include "engine/Log.h"
#include "media/SoundManager.h"
#include "world/PlayerFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

UserSettings GameSettings;

namespace {

constexpr const char* kSettingsFile = "settings.dat";

// The first `count` white-space separated words of the text (fewer when it has fewer).
template <std::size_t count>
std::array<std::optional<std::string_view>, count> Words(std::string_view text) {
    std::array<std::optional<std::string_view>, count> words;
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = text.find_first_not_of(" \t\r\n", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \t\r\n", start), text.size());
        words[i] = text.substr(start, end - start);
        at = end;
    }
    return words;
}

std::optional<bool> ParseBool(std::optional<std::string_view> word) {
    if (word == "0") {
        return false;
    }
    if (word == "1") {
        return true;
    }
    return std::nullopt;
}

std::optional<float> ParseVolume(std::optional<std::string_view> word) {
    if (!word) {
        return std::nullopt;
    }
    float value = 0.0f;
    const auto [end, error] = std::from_chars(word->data(), word->data() + word->size(), value);
    if (error != std::errc() || end != word->data() + word->size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return std::clamp(value, 0.0f, 1.0f);
}

// "settings.dat" when it is there, else nothing.
std::optional<std::string> ReadSettings() {
    std::string text;
    if (ReadPlayerFile(PlayerFilePath(kSettingsFile), text) != FileRead::Read) {
        return std::nullopt;
    }
    return text;
}

} // namespace

bool SaveSettings() {
    std::string text;
    text += GameSettings.fullScreen ? "1\n" : "0\n";
    text += FormatFloat(GameSettings.musicVolume) + "\n";
    text += FormatFloat(GameSettings.soundVolume) + "\n";
    return WritePlayerFile(PlayerFilePath(kSettingsFile), text);
}

void LoadSettings() {
    bool fullScreen = App.fullScreen;
    float music = static_cast<float>(Sounds.GetStreamVolume()) / 100.0f;
    float sound = static_cast<float>(Sounds.GetSampleVolume()) / 100.0f;
    if (const std::optional<std::string> text = ReadSettings()) {
        const auto words = Words<3>(*text);
        const std::optional<bool> readFullScreen = ParseBool(words[0]);
        const std::optional<float> readMusic = ParseVolume(words[1]);
        const std::optional<float> readSound = ParseVolume(words[2]);
        if (!readFullScreen || !readMusic || !readSound) {
            DebugLog("settings.dat: a value that is not one is taken from the live settings\n");
        }
        fullScreen = readFullScreen.value_or(fullScreen);
        music = readMusic.value_or(music);
        sound = readSound.value_or(sound);
    }
    GameSettings.fullScreen = fullScreen;
    GameSettings.musicVolume = music;
    GameSettings.soundVolume = sound;
    Sounds.SetStreamVolume(static_cast<int>(music * 100.0f));
    Sounds.SetSampleVolume(static_cast<int>(sound * 100.0f));
}

bool FullScreenAtStart(bool configured) {
    std::string lastPlayer;
    if (ReadPlayerFile(PlayerFilePath("last.pla"), lastPlayer) == FileRead::Missing) {
        return true;
    }
    if (const std::optional<std::string> text = ReadSettings()) {
        return ParseBool(Words<1>(*text)[0]).value_or(configured);
    }
    return configured;
}
