#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

struct SaveGame;

// One slot of the inventory bar: an item and how many of it. An item "" or "0" is a free slot.
struct InventorySlot {
    std::string item;
    int32_t count = 0;

    bool operator==(const InventorySlot&) const = default;
};

// Game-state flags, keyed scope ":" name (the scope is a level's Name or "global"), in byte
// order of the keys, which is also the order in which they are written.
using GameStateFlags = std::map<std::string, int32_t>;

// An item's base name: its text up to the first character that is not a letter, a space, '_'
// or '-'. Items of one base name are one kind of item: they match and stack.
std::string_view ItemBaseName(std::string_view item);
// A free slot's item: "" or "0".
bool IsFreeItem(std::string_view item);

// One player profile: the game-state flags, the inventory with its backup copy, the permanent
// tools, map pieces, energy, the act, the last level and the name. Every change is saved at once
// to the profile's file "N.pla" in the player-file folder, so the file is always up to date.
class Player {
public:
    static constexpr int kProfiles = 5;
    static constexpr int kInventorySlots = 8;
    static constexpr int kPermanentSlots = 4;
    static constexpr int kActs = 6;

    // How the last Load found the profile's file.
    enum class FileCondition {
        Missing,     // no file (a free slot)
        Whole,       // read to its end
        KeptAside,   // damaged: copied to "N.pla.damaged"; what could be read was taken
        Untouchable, // damaged or unreadable, and no copy could be made: never saved over
    };

    // Empty slots, no flags, then Reset. Not yet any profile's (profile number -1).
    Player();

    // Empties the progress (inventories, tools, counters, flags, last level "unknown") and
    // drops the item held on the game level's cursor; the name, profile number and random id
    // stay.
    void Reset();
    // Reads profile n's file after a Reset. Missing values take their defaults; a file that does
    // not read to its end is copied aside first (FileCondition). When there is no file: with
    // create a new random id is drawn; the name is empty and the result false. True when the
    // file was read.
    bool Load(int n, bool create);
    // Writes the whole profile to its file; false (logged) when it could not be written, or when
    // the file on disk is damaged and could not be kept aside.
    bool Save();

    // flags[scope ":" name] = value, then Save. A key that cannot be stored is refused (logged).
    void SetFlag(std::string_view scope, std::string_view name, int32_t value);
    // The flag's value; an absent key of the form scope ":" name is entered with 0 (and so
    // written at the next save).
    int32_t GetFlag(const std::string& key);

    InventorySlot GetInventorySlot(int i) const;
    InventorySlot GetInventoryBackSlot(int i) const;
    bool IsInventorySlotEmpty(int i) const;
    // The count of every taken inventory slot whose item matches the item by either one's base
    // name.
    int32_t CountItem(std::string_view item) const;
    // A free slot, or a slot already holding the item's kind.
    bool HasRoomForItem(std::string_view item) const;
    // Slot i takes the item's name when it is free or holds the item's kind, and its count rises
    // by 1; then Save. Nothing for an index outside 0..7 or a name that is not an item.
    void AddItemToSlot(const std::string& item, int i);
    // Takes one item out of slot i, freeing the slot when none is left, and saves; the item
    // taken, or "" when the slot was free (nothing saved) or i is outside 0..7.
    std::string TakeOneFromSlot(int i);
    // Empties every slot that holds the item (by the slot's base name), drops it from the game
    // level's cursor when it is held there, tells the HUD, and saves.
    void RemoveInventoryItem(const std::string& item);
    // Backup slot i = (item, count), a free item with count 0; then Save.
    void SetInventoryBackSlot(const std::string& item, int32_t count, int i);
    void CopyInventoryToBack();
    void CopyBackToInventory();

    int32_t GetPermanentCount(int i) const;
    void SetPermanentCount(int32_t count, int i);
    void AddPermanentItem(int32_t count, int i);
    void RemovePermanentItem(int32_t count, int i);

    int32_t GetMapPieces() const { return mapPieces; }
    // Adds (or with a negative count takes away) map pieces and saves; the sound
    // "all_mappieces_collected" plays when the total first reaches 10, unless silent.
    void AddMapPieces(int32_t count, bool silent);
    int32_t GetEnergy() const { return energy; }
    // With the effect, reward sparks fly over the HUD first; then energy += amount; Save.
    void AddEnergy(int32_t amount, bool withEffect);
    int32_t GetActWorld() const { return actWorld; }
    // The energy maximum of the current act.
    int32_t GetEnergyMax() const { return energyMax[static_cast<std::size_t>(actWorld)]; }
    // The next act, as the teleports start it: energy 0 and Save, then the act rises by one
    // (never past the last) and Save again.
    void StartNextAct();

    const std::string& GetLastLevelId() const { return lastLevelId; }
    void SetLastLevelId(const std::string& id);
    const std::string& GetName() const { return name; }
    int GetProfileNumber() const { return profileNumber; }
    int32_t GetRandomId() const { return randomId; }
    bool IsSaving() const { return saving; }
    const GameStateFlags& Flags() const { return flags; }
    FileCondition GetFileCondition() const { return fileCondition; }

    // The five profiles.
    // Load (i, false) for every profile, then "last.pla".
    static void LoadNames();
    // Makes profile i current when it loads and has a name; false otherwise (and for an index
    // outside 0..4).
    static bool SelectProfile(int i);
    // Makes profile i current under the name (reading what its file holds) and saves it. False,
    // with nothing changed, for an index outside 0..4, a name with a control character, or a
    // slot whose damaged file could not be kept aside.
    static bool CreateProfile(int i, const std::string& name);
    // Deletes profile i's save games and then its file; afterwards no profile is current.
    static void DeleteProfile(int i);
    static std::string GetProfileName(int i);
    static int GetLastPlayerIndex();

    // A profile name: no control characters (it is one line of the profile file).
    static bool IsValidProfileName(std::string_view name);

    // Resets the profile and takes the progress of a checked save game (its backup inventory
    // also as the inventory), then saves once.
    void RestoreFrom(const SaveGame& save);

private:
    // The text of the profile file.
    std::string FormatProfile() const;
    // Reads the profile text into the record; false when it did not read to its end.
    bool ParseProfile(std::string_view text);
    // Keeps a damaged file's bytes as "N.pla.damaged"; sets the file condition.
    void KeepDamagedFile(std::string_view bytes);
    bool IsSlot(int i) const { return i >= 0 && i < kInventorySlots; }
    void DropHeldItemIf(const std::string& item) const;

    std::array<InventorySlot, kInventorySlots> inventory;
    std::array<InventorySlot, kInventorySlots> inventoryBack;
    std::array<int32_t, kPermanentSlots> permanentSlots{};
    int32_t mapPieces = 0;
    int32_t energy = 0;
    int32_t actWorld = 0; // always 0..kActs - 1
    std::string lastLevelId;
    std::array<int32_t, kActs> energyMax{};
    int profileNumber = -1;
    int32_t randomId = 0;
    bool saving = false;
    std::string name;
    GameStateFlags flags;
    FileCondition fileCondition = FileCondition::Missing;
};

// The five profile records, for the whole run.
extern std::array<Player, Player::kProfiles> PlayerProfiles;
// The selected profile; null until one is selected and after a profile is deleted.
extern Player* CurrentPlayer;
// The slot number of the current profile; -1 when none.
extern int CurrentPlayerIndex;
// The number read from "last.pla"; -1 when there is none.
extern int LastPlayerIndex;

// "last.pla": the current profile's slot number, written with no line break.
void SaveLastPlayer();
// LastPlayerIndex from "last.pla"; -1 when it is missing, unreadable or not a slot number.
void LoadLastPlayer();

// Undoes what a puzzle took from the inventory: the backup is copied over the inventory (and
// saved), the game level's cursor drops its item, and the HUD shows the inventory again.
void RefreshInventorySlots();
