#pragma once

#include "engine/ClassFactory.h"
#include "engine/Log.h"
#include "ui/UserInterface.h"

#include <memory>
#include <string>

// What the in-game events and the world ask of the HUD's parts that hold items, tools and map
// pieces. The HUD's widgets of those kinds implement them; they are found in MainUI by
// definition name, and a HUD without one simply does without.

// "UIInventorySlot": one slot of the inventory bar.
class InventorySlotPart {
public:
    // The player's inventory slot that this widget shows.
    virtual int SlotIndex() const = 0;
    // Places the item in the slot, or adds it to the player's record `index` (refreshOnly: only
    // shows the record; silentAdd: a grant, added without touching the cursor). False when the
    // item was refused: the cursor or the caller keeps it.
    virtual bool PutItem(const std::string& item, int index, bool refreshOnly, bool highlight,
                         bool silentAdd) = 0;
    // The player's slot was emptied: the widget no longer shows it filled.
    virtual void MarkEmpty() = 0;

protected:
    ~InventorySlotPart() = default;
};

// "UIPermanentSlotMngr": the tool slots.
class ToolSlotsPart {
public:
    // 0 the wand, 1 the multitool, 2 the chromatic lens, 3 the scrying orb.
    virtual void LaunchTool(int tool) = 0;
    // Every tool slot back to its idle picture; a tool put back so is no longer chosen (the
    // lens, whose slot keeps its look, keeps its choice).
    virtual void ResetToolSlots() = 0;
    // The name of the selected tool ("wand", ...); empty when none.
    virtual std::string HeldTool() const = 0;

protected:
    ~ToolSlotsPart() = default;
};

// "UIAddMapPiece": the map-piece counter's animation.
class MapPieceCounterPart {
public:
    virtual void Start(int pieces, float delay) = 0;

protected:
    ~MapPieceCounterPart() = default;
};

// "UIFxMapPieceFly": a collected map piece flying to the HUD.
class MapPieceFlightPart {
public:
    virtual void Start(float x0, float y0, float x1, float y1, const std::string& animationFile,
                       const std::string& animationName) = 0;

protected:
    ~MapPieceFlightPart() = default;
};

// "UIPartFx": a particle effect over the HUD.
class ParticleFxPart {
public:
    // Emits the ".prt" file's particles at (x, y) for the seconds given, then ends.
    virtual void Start(float x, float y, const std::string& particleFile, float emissionTime) = 0;

protected:
    ~ParticleFxPart() = default;
};

// Calls f on every object of MainUI made under the definition name that is a part of the kind,
// in list order, until f returns false.
template <typename Part, typename F>
void ForEachHudPart(const char* definition, F f) {
    if (MainUI == nullptr) {
        return;
    }
    const ObjectsManager::WalkScope walk(*MainUI);
    for (const std::unique_ptr<Object>& slot : MainUI->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object->name != definition) {
            continue;
        }
        if (auto* part = dynamic_cast<Part*>(object); part != nullptr && !f(*part)) {
            return;
        }
    }
}

// The first part of the kind made under the definition name that accept takes; null when none.
template <typename Part>
Part* FindHudPart(const char* definition, bool (*accept)(Part&) = nullptr) {
    Part* found = nullptr;
    ForEachHudPart<Part>(definition, [&](Part& part) {
        if (accept == nullptr || accept(part)) {
            found = &part;
        }
        return found == nullptr;
    });
    return found;
}

// A new part made on MainUI from its definition or class name, not yet added; null when the
// HUD has neither of that name or it makes no such part.
template <typename Part>
std::unique_ptr<Object> MakeHudPart(const char* name, Part*& part) {
    part = nullptr;
    if (MainUI == nullptr || (MainUI->GetObjectDef(name) == nullptr &&
                              ClassFactoryMap.find(name) == ClassFactoryMap.end())) {
        return nullptr;
    }
    std::unique_ptr<Object> created = MainUI->CreateObject(name, true);
    part = dynamic_cast<Part*>(created.get());
    if (part == nullptr) {
        DebugLog("%s is not the HUD part its callers expect: nothing made\n", name);
        return nullptr;
    }
    return created;
}
