#include "engine/Exception.h"
#include "engine/Log.h"
#include "engine/Parcon.h"
#include "engine/Random.h"
#include "platform/os/NativePath.h"
#include "world/GameSettings.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/ProgressSections.h"

#include <algorithm>
#include <set>
#include <sstream>

// The profile file "N.pla": six lines (the random id, the name, and the four settings that
// "settings.dat" holds for the game), one list per flag, then the inventories, the tools and the
// counters.

namespace {

std::string ProfileFileName(int n) {
    return std::to_string(n) + ".pla";
}

constexpr std::size_t kHeadLines = 6;

std::string_view TrimmedLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

bool Player::Save() {
    if (profileNumber < 0 || profileNumber >= kProfiles) {
        DebugLog("A profile without a slot is not saved\n");
        return false;
    }
    if (fileCondition == FileCondition::Untouchable) {
        DebugLog("Profile %d not saved: its damaged file could not be kept aside\n", profileNumber);
        return false;
    }
    saving = true;
    const bool written =
        WritePlayerFile(PlayerFilePath(ProfileFileName(profileNumber)), FormatProfile());
    saving = false;
    if (written) {
        fileCondition = FileCondition::Whole;
    }
    return written;
}

std::string Player::FormatProfile() const {
    std::string text;
    text.reserve(512 + flags.size() * 48);
    text += std::to_string(randomId) + "\n";
    text += name + "\n";
    text += GameSettings.fullScreen ? "1\n" : "0\n";
    text += GameSettings.reserved ? "1\n" : "0\n";
    text += FormatFloat(GameSettings.musicVolume) + "\n";
    text += FormatFloat(GameSettings.soundVolume) + "\n";
    for (const auto& [key, value] : flags) {
        AppendFlag(text, key, value);
    }
    text += "(inventory\n";
    AppendSlots(text, inventory);
    text += "\n )";
    text += "(inventoryBack\n";
    AppendSlots(text, inventoryBack);
    text += "\n )";
    text += "(permanentSlots\n";
    AppendPermanentSlots(text, permanentSlots);
    text += "\n )";
    text += "(mapPieces\n" + std::to_string(mapPieces) + "\n )";
    text += "(energy\n" + std::to_string(energy) + "\n )";
    text += "(actWorld\n" + std::to_string(actWorld) + "\n )";
    text += "(lastLevelId\n" + PlayerFileToken(lastLevelId) + "\n )";
    return text;
}

bool Player::IsValidProfileName(std::string_view profileName) {
    return std::none_of(profileName.begin(), profileName.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool Player::Load(int n, bool create) {
    profileNumber = n;
    Reset();
    fileCondition = FileCondition::Missing;
    std::string text;
    switch (ReadPlayerFile(PlayerFilePath(ProfileFileName(n)), text)) {
    case FileRead::Missing:
        if (create) {
            randomId = Random();
        }
        name.clear();
        return false;
    case FileRead::Failed:
        // Something is there that cannot be read, so it cannot be kept aside either.
        fileCondition = FileCondition::Untouchable;
        name.clear();
        return false;
    case FileRead::Read:
        break;
    }
    if (ParseProfile(text)) {
        fileCondition = FileCondition::Whole;
    } else {
        KeepDamagedFile(text);
    }
    LoadSettings();
    return true;
}

void Player::KeepDamagedFile(std::string_view bytes) {
    const std::string copyPath = PlayerFilePath(ProfileFileName(profileNumber) + ".damaged");
    std::string kept;
    if (ReadPlayerFile(copyPath, kept) == FileRead::Read && kept == bytes) {
        fileCondition = FileCondition::KeptAside;
        return;
    }
    std::string error;
    if (ReplaceFileAtomically(NativePath(copyPath), bytes, error)) {
        DebugLog("Profile %d kept as %s\n", profileNumber, copyPath.c_str());
        fileCondition = FileCondition::KeptAside;
    } else {
        DebugLog("Profile %d cannot be kept aside (%s): it will not be saved over\n", profileNumber,
                 error.c_str());
        fileCondition = FileCondition::Untouchable;
    }
}

bool Player::ParseProfile(std::string_view text) {
    const std::string fileName = ProfileFileName(profileNumber);
    SectionReader reader(fileName);

    // The head: its lines are taken one by one; the lists start after the sixth.
    std::array<std::string_view, kHeadLines> head;
    std::size_t lines = 0;
    std::size_t listsStart = 0;
    while (lines < kHeadLines) {
        const std::size_t end = text.find('\n', listsStart);
        if (end == std::string_view::npos) {
            break;
        }
        head[lines++] = text.substr(listsStart, end - listsStart);
        listsStart = end + 1;
    }
    if (lines == 0) {
        reader.Problem("it has no lines");
    } else if (const std::optional<int32_t> id = ParseInt32(TrimmedLine(head[0]))) {
        randomId = *id;
    } else {
        reader.Problem("its first line is not a number");
    }
    if (lines >= 2) {
        std::string_view line = head[1];
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        name = line;
        if (!IsValidProfileName(name)) {
            reader.Problem("its name holds control characters");
            std::erase_if(name,
                          [](char c) { return !IsValidProfileName(std::string_view(&c, 1)); });
        }
    }
    if (lines < kHeadLines) {
        reader.Problem("it is cut short before its lists");
        DebugLog("Damaged profile %s\n", reader.FirstProblem().c_str());
        return false;
    }

    Parcon parser;
    std::istringstream input{std::string(text.substr(listsStart))};
    parser.ParseStream(fileName, input);
    std::set<std::string> found;
    ParconCursor top = parser.RootCursor();
    while (top.Next()) {
        const std::optional<ParconList> section = top.GetList();
        if (!section) {
            reader.Problem("a word outside the lists");
            continue;
        }
        const std::string sectionName = ParconCursor(section, 0).GetListName();
        found.insert(sectionName);
        if (sectionName == "inventory") {
            reader.ReadSlots(*section, inventory);
        } else if (sectionName == "inventoryBack") {
            reader.ReadSlots(*section, inventoryBack);
        } else if (sectionName == "permanentSlots") {
            reader.ReadPermanentSlots(*section, permanentSlots);
        } else if (sectionName == "mapPieces") {
            mapPieces = reader.ReadNumber(*section).value_or(0);
        } else if (sectionName == "energy") {
            energy = reader.ReadNumber(*section).value_or(0);
        } else if (sectionName == "actWorld") {
            // More acts than there are energy maxima cannot be played.
            actWorld = std::clamp(reader.ReadNumber(*section).value_or(0), 0, kActs - 1);
        } else if (sectionName == "lastLevelId") {
            lastLevelId = reader.ReadName(*section).value_or("unknown");
        } else {
            reader.ReadFlag(*section, flags);
        }
    }
    for (const char* required : kProfileSections) {
        if (found.count(required) == 0) {
            reader.Problem(std::string("it has no (") + required + ") list");
        }
    }
    if (!EndsWithClosedList(text)) {
        reader.Problem("it is cut short");
    }
    if (!reader.Clean()) {
        DebugLog("Damaged profile %s\n", reader.FirstProblem().c_str());
        return false;
    }
    return true;
}
