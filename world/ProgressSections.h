#pragma once

#include "world/Player.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct ParconList;

// The sections that a profile and a save game share (the inventories, the permanent tools, the
// flags and the counters), written and read the same way in both.

// The lists that every profile has after its flags, in the order they are written.
constexpr const char* kProfileSections[] = {"inventory",  "inventoryBack", "permanentSlots",
                                            "mapPieces",  "energy",        "actWorld",
                                            "lastLevelId"};

// "(slot i item count)" for every slot, with nothing between them; a free slot's empty item is
// written as nothing and its count as 0, so that it reads back free.
void AppendSlots(std::string& text,
                 const std::array<InventorySlot, Player::kInventorySlots>& slots);
// "(slot i count)" for every tool, with nothing between them.
void AppendPermanentSlots(std::string& text,
                          const std::array<int32_t, Player::kPermanentSlots>& counts);
// "(key value)" and a line break.
void AppendFlag(std::string& text, const std::string& key, int32_t value);

// Reads sections of a parsed player file. Each reader takes what it can and notes the first
// thing it could not take (a number that is none, an index out of range, a name that cannot be
// stored or that would leave its folder, an element where none belongs). Missing values are no
// problem: they keep their defaults.
class SectionReader {
public:
    explicit SectionReader(std::string fileName) : fileName(std::move(fileName)) {}

    // The "slot" lists of an inventory section into the slots they name.
    void ReadSlots(const ParconList& section,
                   std::array<InventorySlot, Player::kInventorySlots>& slots);
    void ReadPermanentSlots(const ParconList& section,
                            std::array<int32_t, Player::kPermanentSlots>& counts);
    // One "(key value)" list into the flags. A key named like one of the profile's own lists is
    // refused: written into a profile it would be read back as that list.
    void ReadFlag(const ParconList& flag, GameStateFlags& flags);
    // The value of a section of one number; nothing when it has none.
    std::optional<int32_t> ReadNumber(const ParconList& section);
    // The value of a section of one name; nothing when it has none.
    std::optional<std::string> ReadName(const ParconList& section);

    // Notes a problem of the file (the first one is kept).
    void Problem(const std::string& what);
    bool Clean() const { return firstProblem.empty(); }
    // "<file>: <what>" of the first problem.
    const std::string& FirstProblem() const { return firstProblem; }

private:
    // The list's elements after its name must be values, at most `most` of them; the values.
    std::optional<std::array<std::string_view, 3>> Values(const ParconList& list, std::size_t most);
    std::optional<int32_t> Number(std::string_view text, const char* what);

    std::string fileName;
    std::string firstProblem;
};
