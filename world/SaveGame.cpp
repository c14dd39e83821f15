#include "world/SaveGame.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/Parcon.h"
#include "platform/os/NativePath.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/PlayerFile.h"
#include "world/ProgressSections.h"

#include <sstream>

namespace {

// The sections that every save game has.
enum Section : unsigned {
    kLevelPath = 1u << 0,
    kInventory = 1u << 1,
    kInventoryBack = 1u << 2,
    kPermanentSlots = 1u << 3,
    kGameStates = 1u << 4,
    kItemSprite = 1u << 5,
    kMapPieces = 1u << 6,
    kEnergy = 1u << 7,
    kActWorld = 1u << 8,
    kLastLevelId = 1u << 9,
    kAllSections = (1u << 10) - 1,
};

constexpr const char* kSectionNames[] = {
    "levelPath", "inventory", "inventoryBack", "permanentSlots", "gamestates",
    "itemspr",   "mapPieces", "energy",        "actWorld",       "lastLevelId"};

// A scene file named in a save game must stay among the game's data: relative, with no ".."
// that could climb out of the data folder.
bool IsDataName(std::string_view name) {
    if (name.empty() || IsAbsoluteName(name) || name.front() == '\\') {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find_first_of("/\\", start);
        if (name.substr(start, end - start) == "..") {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

void AppendNumberSection(std::string& text, const char* name, int32_t value) {
    text += '(';
    text += name;
    text += '\n';
    text += std::to_string(value);
    text += "\n )";
}

} // namespace

std::string FormatSaveGame(const SaveGame& save) {
    std::string text;
    text.reserve(512 + save.flags.size() * 48);
    text += "(levelPath\n" + PlayerFileToken(save.levelPath) + "\n )\n";
    text += "(inventory\n";
    AppendSlots(text, save.inventory);
    text += "\n ) \n";
    text += "(inventoryBack\n";
    AppendSlots(text, save.inventoryBack);
    text += "\n )\n";
    text += "(permanentSlots\n";
    AppendPermanentSlots(text, save.permanentSlots);
    text += "\n )\n";
    text += "(gamestates\n";
    for (const auto& [key, value] : save.flags) {
        AppendFlag(text, key, value);
    }
    text += "\n )\n";
    text += "(itemspr\n";
    if (!save.heldItem.empty()) {
        text += PlayerFileToken(save.heldItem);
    }
    text += "\n )\n";
    AppendNumberSection(text, "mapPieces", save.mapPieces);
    AppendNumberSection(text, "energy", save.energy);
    AppendNumberSection(text, "actWorld", save.actWorld);
    text += "(lastLevelId\n" + PlayerFileToken(save.lastLevelId) + "\n )";
    return text;
}

std::optional<SaveGame> ParseSaveGame(std::string_view text, const std::string& fileName,
                                      std::string& failure) {
    SectionReader reader(fileName);
    Parcon parser;
    std::istringstream input{std::string(text)};
    parser.ParseStream(fileName, input);

    SaveGame save;
    unsigned found = 0;
    const auto number = [&](const ParconList& section, int32_t& field, const char* what) {
        if (const std::optional<int32_t> value = reader.ReadNumber(section)) {
            field = *value;
        } else {
            reader.Problem(std::string("(") + what + ") holds no number");
        }
    };
    ParconCursor top = parser.RootCursor();
    while (top.Next()) {
        const std::optional<ParconList> section = top.GetList();
        if (!section) {
            reader.Problem("a word outside the lists");
            continue;
        }
        const std::string name = ParconCursor(section, 0).GetListName();
        if (name == "levelPath") {
            found |= kLevelPath;
            save.levelPath = reader.ReadName(*section).value_or("");
        } else if (name == "inventory") {
            found |= kInventory;
            reader.ReadSlots(*section, save.inventory);
        } else if (name == "inventoryBack") {
            found |= kInventoryBack;
            reader.ReadSlots(*section, save.inventoryBack);
        } else if (name == "permanentSlots") {
            found |= kPermanentSlots;
            reader.ReadPermanentSlots(*section, save.permanentSlots);
        } else if (name == "gamestates") {
            found |= kGameStates;
            ParconCursor flag(section, 0);
            while (flag.Next()) {
                if (const std::optional<ParconList> list = flag.GetList()) {
                    reader.ReadFlag(*list, save.flags);
                } else {
                    reader.Problem("a word among the flags");
                }
            }
        } else if (name == "itemspr") {
            found |= kItemSprite;
            save.heldItem = reader.ReadName(*section).value_or("");
        } else if (name == "mapPieces") {
            found |= kMapPieces;
            number(*section, save.mapPieces, "mapPieces");
        } else if (name == "energy") {
            found |= kEnergy;
            number(*section, save.energy, "energy");
        } else if (name == "actWorld") {
            found |= kActWorld;
            number(*section, save.actWorld, "actWorld");
        } else if (name == "lastLevelId") {
            found |= kLastLevelId;
            save.lastLevelId = reader.ReadName(*section).value_or("unknown");
        } else if (name == "renderBluredBackground") {
            save.renderBluredBackground = section->elements.size() > 1;
        }
    }
    for (std::size_t i = 0; i < std::size(kSectionNames); ++i) {
        if ((found & (1u << i)) == 0) {
            reader.Problem(std::string("it has no (") + kSectionNames[i] + ") list");
        }
    }
    if (!EndsWithClosedList(text)) {
        reader.Problem("it is cut short");
    }
    if ((found & kLevelPath) != 0 && reader.Clean()) {
        if (!IsDataName(save.levelPath)) {
            reader.Problem("the level \"" + MessagePart(save.levelPath) +
                           "\" is not a file of the game's data");
        } else if (!Files.Exists(save.levelPath)) {
            reader.Problem("the level \"" + MessagePart(save.levelPath) + "\" does not exist");
        }
    }
    static_assert(kAllSections == (1u << std::size(kSectionNames)) - 1);
    if (!reader.Clean()) {
        failure = reader.FirstProblem();
        return std::nullopt;
    }
    return save;
}

bool Level::SaveGameState(const std::string& path) {
    if (levelPath.empty()) {
        return false;
    }
    if (CurrentPlayer == nullptr) {
        DebugLog("Save game %s not written: no profile is selected\n", path.c_str());
        return false;
    }
    if (!IsStorableName(levelPath)) {
        DebugLog("Save game %s not written: the level path cannot be stored\n", path.c_str());
        return false;
    }
    CurrentPlayer->CopyInventoryToBack();

    SaveGame save;
    save.levelPath = levelPath;
    for (int i = 0; i < Player::kInventorySlots; ++i) {
        save.inventory[static_cast<std::size_t>(i)] = CurrentPlayer->GetInventorySlot(i);
        save.inventoryBack[static_cast<std::size_t>(i)] = CurrentPlayer->GetInventoryBackSlot(i);
    }
    for (int i = 0; i < Player::kPermanentSlots; ++i) {
        save.permanentSlots[static_cast<std::size_t>(i)] = CurrentPlayer->GetPermanentCount(i);
    }
    save.flags = CurrentPlayer->Flags();
    // The cursor belongs to the game level, also when a mini-game level saves.
    if (GameLevel != nullptr && GameLevel->levelSystem != nullptr) {
        save.heldItem = GameLevel->levelSystem->heldItemName;
        if (!save.heldItem.empty() && !IsSafeItemName(save.heldItem)) {
            DebugLog("Save game %s: the held item cannot be stored and is left out\n",
                     path.c_str());
            save.heldItem.clear();
        }
    }
    save.mapPieces = CurrentPlayer->GetMapPieces();
    save.energy = CurrentPlayer->GetEnergy();
    save.actWorld = CurrentPlayer->GetActWorld();
    save.lastLevelId = CurrentPlayer->GetLastLevelId();
    return WritePlayerFile(path, FormatSaveGame(save));
}

bool Level::LoadGameState(const std::string& path, std::string* failure) {
    const auto refuse = [&](const std::string& reason) {
        DebugLog("Save game not loaded: %s\n", reason.c_str());
        if (failure != nullptr) {
            *failure = reason;
        }
        return false;
    };
    if (CurrentPlayer == nullptr) {
        return refuse("no profile is selected");
    }
    std::string text;
    switch (ReadPlayerFile(path, text)) {
    case FileRead::Missing:
        return refuse("there is no save game " + path);
    case FileRead::Failed:
        return refuse("the save game " + path + " cannot be read");
    case FileRead::Read:
        break;
    }
    std::string problem;
    std::optional<SaveGame> save = ParseSaveGame(text, path, problem);
    if (!save) {
        return refuse(problem);
    }
    if (!save->heldItem.empty()) {
        const std::string art = "gfx/objects/" + save->heldItem + ".ani";
        if (!IsSafeItemName(save->heldItem) || !Files.Exists(art)) {
            DebugLog("Save game %s: the held item %s has no picture and is dropped\n", path.c_str(),
                     MessagePart(save->heldItem).c_str());
            save->heldItem.clear();
        }
    }

    // Everything is checked: from here on the save game is applied. The reset also takes the
    // item off the game level's cursor.
    CurrentPlayer->RestoreFrom(*save);
    if (save->renderBluredBackground) {
        renderBluredBackground = *save->renderBluredBackground;
        blurredBackgroundAlpha = 0.0f;
    }
    if (!save->heldItem.empty() && levelSystem != nullptr) {
        levelSystem->HoldItem(save->heldItem);
    }
    LoadScene(save->levelPath, true);
    return true;
}
