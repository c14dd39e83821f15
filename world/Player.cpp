#include "world/Player.h"

#include "engine/Exception.h"
#include "engine/Log.h"
#include "media/SoundManager.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/PlayerFile.h"
#include "world/SaveGame.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kBaseNameCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-";
constexpr std::array<int32_t, Player::kActs> kEnergyMax = {27, 17, 20, 13, 13, 11};
constexpr int32_t kAllMapPieces = 10;

// Where the reward sparks of energy start, over the HUD's energy gauge.
struct Point {
    float x;
    float y;
};
constexpr Point kRewardSparks[] = {{42, 735},  {27, 699},  {24, 666},  {39, 637}, {65, 621},
                                   {102, 628}, {120, 653}, {117, 687}, {90, 693}, {83, 696}};
constexpr const char* kRewardParticles = "gfx\\fx\\hiddenObject_hili.prt";

// Counts never wrap around: a sum beyond the 32-bit range stops at its end.
int32_t SaturatedAdd(int32_t value, int64_t amount) {
    const int64_t sum = static_cast<int64_t>(value) + amount;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The first n characters of both texts are equal; the comparison ends early where both end, as
// the C library's strncmp does.
bool SamePrefix(std::string_view a, std::string_view b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const char ca = i < a.size() ? a[i] : '\0';
        const char cb = i < b.size() ? b[i] : '\0';
        if (ca != cb) {
            return false;
        }
        if (ca == '\0') {
            return true;
        }
    }
    return true;
}

NormalLevelSystem* GameLevelSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

} // namespace

std::string_view ItemBaseName(std::string_view item) {
    return item.substr(0, std::min(item.find_first_not_of(kBaseNameCharacters), item.size()));
}

bool IsFreeItem(std::string_view item) {
    return item.empty() || item == "0";
}

// ---------------------------------------------------------------------------------------------
// The record

Player::Player() {
    Reset();
}

void Player::Reset() {
    inventory.fill({});
    inventoryBack.fill({});
    permanentSlots.fill(0);
    mapPieces = 0;
    energy = 0;
    actWorld = 0;
    lastLevelId = "unknown";
    flags.clear();
    saving = false;
    energyMax = kEnergyMax;
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->DropHeldItem();
    }
}

void Player::SetFlag(std::string_view scope, std::string_view flagName, int32_t value) {
    std::string key;
    key.reserve(scope.size() + 1 + flagName.size());
    key.append(scope).append(":").append(flagName);
    if (!IsStorableName(key)) {
        DebugLog("Flag %s refused: it cannot be stored\n", MessagePart(key).c_str());
        return;
    }
    flags[key] = value;
    Save();
}

int32_t Player::GetFlag(const std::string& key) {
    const auto found = flags.find(key);
    if (found != flags.end()) {
        return found->second;
    }
    // Entered, so that it is written at the next save. Only a key of the form scope ":" name can
    // be entered: any other could be taken for one of the profile's own lists when read back.
    if (key.find(':') != std::string::npos && IsStorableName(key)) {
        flags.emplace(key, 0);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Inventory

InventorySlot Player::GetInventorySlot(int i) const {
    return IsSlot(i) ? inventory[static_cast<std::size_t>(i)] : InventorySlot{};
}

InventorySlot Player::GetInventoryBackSlot(int i) const {
    return IsSlot(i) ? inventoryBack[static_cast<std::size_t>(i)] : InventorySlot{};
}

bool Player::IsInventorySlotEmpty(int i) const {
    return !IsSlot(i) || IsFreeItem(inventory[static_cast<std::size_t>(i)].item);
}

int32_t Player::CountItem(std::string_view item) const {
    const std::size_t itemBase = ItemBaseName(item).size();
    int32_t total = 0;
    for (const InventorySlot& slot : inventory) {
        if (IsFreeItem(slot.item)) {
            continue;
        }
        const std::size_t slotBase = ItemBaseName(slot.item).size();
        if (SamePrefix(slot.item, item, slotBase) || SamePrefix(slot.item, item, itemBase)) {
            total = SaturatedAdd(total, slot.count);
        }
    }
    return total;
}

bool Player::HasRoomForItem(std::string_view item) const {
    for (const InventorySlot& slot : inventory) {
        if (IsFreeItem(slot.item)) {
            return true;
        }
    }
    return CountItem(item) != 0;
}

void Player::AddItemToSlot(const std::string& item, int i) {
    if (i < 0) {
        return;
    }
    if (!IsSlot(i) || !IsSafeItemName(item)) {
        DebugLog("Item %s refused for inventory slot %d\n", MessagePart(item).c_str(), i);
        return;
    }
    InventorySlot& slot = inventory[static_cast<std::size_t>(i)];
    if (IsFreeItem(slot.item) || SamePrefix(slot.item, item, ItemBaseName(item).size()) ||
        slot.item == item) {
        slot.item = item;
    }
    slot.count = SaturatedAdd(slot.count, 1);
    Save();
}

std::string Player::TakeOneFromSlot(int i) {
    if (!IsSlot(i)) {
        return {};
    }
    InventorySlot& slot = inventory[static_cast<std::size_t>(i)];
    if (IsFreeItem(slot.item)) {
        return {};
    }
    std::string taken = slot.item;
    slot.count -= 1;
    if (slot.count < 1) {
        slot = {};
    }
    Save();
    return taken;
}

void Player::RemoveInventoryItem(const std::string& item) {
    if (item.empty()) {
        return;
    }
    bool emptied = false;
    for (int i = 0; i < kInventorySlots; ++i) {
        InventorySlot& slot = inventory[static_cast<std::size_t>(i)];
        if (IsFreeItem(slot.item)) {
            continue;
        }
        const std::size_t base = ItemBaseName(slot.item).size();
        const bool matches =
            base < slot.item.size() ? SamePrefix(slot.item, item, base) : item == slot.item;
        if (!matches) {
            continue;
        }
        NormalLevelSystem* system = GameLevelSystem();
        if (system != nullptr && system->heldItemName == item) {
            system->DropHeldItem();
        }
        slot = {};
        World().InventorySlotEmptied(i);
        emptied = true;
    }
    if (emptied) {
        Save();
    }
}

void Player::SetInventoryBackSlot(const std::string& item, int32_t count, int i) {
    if (i < 0) {
        return;
    }
    if (!IsSlot(i) || (!IsFreeItem(item) && !IsSafeItemName(item))) {
        DebugLog("Item %s refused for backup slot %d\n", MessagePart(item).c_str(), i);
        return;
    }
    // A free slot's count is written where its (empty) item name would stand and would read
    // back as an item of that name: a free slot holds nothing.
    inventoryBack[static_cast<std::size_t>(i)] = {item, IsFreeItem(item) ? 0 : count};
    Save();
}

void Player::CopyInventoryToBack() {
    inventoryBack = inventory;
    Save();
}

void Player::CopyBackToInventory() {
    inventory = inventoryBack;
    Save();
}

// ---------------------------------------------------------------------------------------------
// Tools and counters

int32_t Player::GetPermanentCount(int i) const {
    return i >= 0 && i < kPermanentSlots ? permanentSlots[static_cast<std::size_t>(i)] : 0;
}

void Player::SetPermanentCount(int32_t count, int i) {
    if (i < 0) {
        return;
    }
    if (i >= kPermanentSlots) {
        DebugLog("There is no tool slot %d\n", i);
        return;
    }
    permanentSlots[static_cast<std::size_t>(i)] = count;
    Save();
}

void Player::AddPermanentItem(int32_t count, int i) {
    SetPermanentCount(SaturatedAdd(GetPermanentCount(i), count), i);
}

void Player::RemovePermanentItem(int32_t count, int i) {
    SetPermanentCount(SaturatedAdd(GetPermanentCount(i), -static_cast<int64_t>(count)), i);
}

void Player::AddMapPieces(int32_t count, bool silent) {
    const int32_t before = mapPieces;
    mapPieces = SaturatedAdd(mapPieces, count);
    Save();
    if (before < kAllMapPieces && mapPieces >= kAllMapPieces && !silent) {
        Sounds.PlayByName("all_mappieces_collected", false, 100, 0);
    }
}

void Player::AddEnergy(int32_t amount, bool withEffect) {
    if (withEffect) {
        for (const Point& point : kRewardSparks) {
            World().RewardSpark(kRewardParticles, point.x, point.y);
        }
    }
    energy = SaturatedAdd(energy, amount);
    Save();
}

void Player::StartNextAct() {
    energy = 0;
    Save();
    actWorld = std::min(actWorld + 1, kActs - 1);
    Save();
}

void Player::SetLastLevelId(const std::string& id) {
    if (!IsStorableName(id)) {
        DebugLog("Last level %s refused: it cannot be stored\n", MessagePart(id).c_str());
        return;
    }
    lastLevelId = id;
    Save();
}

void Player::RestoreFrom(const SaveGame& save) {
    Reset();
    inventoryBack = save.inventoryBack;
    inventory = save.inventoryBack;
    permanentSlots = save.permanentSlots;
    flags = save.flags;
    mapPieces = save.mapPieces;
    energy = save.energy;
    actWorld = std::clamp(save.actWorld, 0, kActs - 1);
    lastLevelId = save.lastLevelId;
    Save();
}

void RefreshInventorySlots() {
    if (CurrentPlayer == nullptr) {
        return;
    }
    CurrentPlayer->CopyBackToInventory();
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->DropHeldItem();
    }
    World().RefillInventorySlots();
}
