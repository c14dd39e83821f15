#pragma once

#include "world/Player.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A save game, "N.sav" or "N_quick.sav" in the player-file folder: where the player stands (the
// level's scene file and the item on the cursor) and the profile's progress. Written and read by
// Level::SaveGameState and Level::LoadGameState.
struct SaveGame {
    std::string levelPath;
    std::array<InventorySlot, Player::kInventorySlots> inventory;
    std::array<InventorySlot, Player::kInventorySlots> inventoryBack;
    std::array<int32_t, Player::kPermanentSlots> permanentSlots{};
    GameStateFlags flags;
    std::string heldItem; // empty when the cursor carries nothing
    int32_t mapPieces = 0;
    int32_t energy = 0;
    int32_t actWorld = 0;
    std::string lastLevelId = "unknown";
    // Only in files that carry the list: whether it held a value.
    std::optional<bool> renderBluredBackground;
};

// The save game's text ("\n" line breaks). Its names must be storable (IsStorableName).
std::string FormatSaveGame(const SaveGame& save);

// Reads and checks a save game whole: every section present and the file complete to its last
// list, numbers numeric, slot numbers in range, names storable, item names safe as file names,
// and the level's scene file a relative name without ".." that the file layer finds. Nothing,
// with the reason in failure, when any of that fails.
std::optional<SaveGame> ParseSaveGame(std::string_view text, const std::string& fileName,
                                      std::string& failure);
