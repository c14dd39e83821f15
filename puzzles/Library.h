#pragma once

#include "engine/ClassFactory.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the library's shelf and card machine share: the items they take from the cursor
// ("activators"), the count placed so far, kept in a flag "<name><suffix>", and a dialogue for a
// click with nothing held.
class LibraryObject : public GameButtonX {
public:
    // The button's keys, then "activators" (appended in order) and the dialogue key; the count
    // placed comes from its flag.
    void SetProperty(const ParconCursor& cursor) override;

    std::vector<std::string> activators;
    int32_t activatorCount = 0;
    int32_t placed = 0;
    std::string emptyClickDialog;

protected:
    LibraryObject(ObjectsManager* owner, const char* dialogKey, const char* countSuffix);

    // A left press inside the object: with nothing held the dialogue opens and the result is
    // false; otherwise the item held, true.
    bool PressWithItem(uint32_t id, uint32_t param, std::string& held);
    // The count placed, stored in its flag.
    void StorePlaced();

private:
    const char* dialogKey;
    const char* countSuffix;
};

// The shelf takes the listed books: each is used up with "paper_place" and sparks, counted in
// "<name>_actBooks"; with all of them in place the shelf is killed.
class LibraryShelf : public LibraryObject, public OCreator<LibraryShelf> {
public:
    static constexpr std::string_view kClassName = "LibraryShelf";
    static constexpr const char* kSparks = "gfx/fx/book_fx.prt";

    explicit LibraryShelf(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
};

// The card machine: a listed card on the cursor opens the tune game "levels/rockband2.txt". A won
// tune counts the card in "<name>_actCards" and raises the book "book<count>" onto the shelf; the
// last card gives "game_won" and one energy and kills the machine. A lost tune reads back the save
// game written as it opened. The card stays on the cursor.
class LibraryMachine : public LibraryObject, public OCreator<LibraryMachine> {
public:
    static constexpr std::string_view kClassName = "LibraryMachine";
    static constexpr const char* kTuneGame = "levels/rockband2.txt";

    explicit LibraryMachine(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;

private:
    // The tune game run over the location; false when the run ended the location.
    bool PlayTune();
    void RaiseBook();
};
