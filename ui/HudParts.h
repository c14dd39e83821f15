#pragma once

#include <string>

// What the in-game events ask of the HUD's parts that hold items, tools and map pieces. The
// HUD's widgets of those kinds implement them; the events find them in MainUI by definition
// name and do nothing when there is none.

// "UIInventorySlot": one slot of the inventory bar.
class InventorySlotPart {
public:
    // The player's inventory slot that this widget shows.
    virtual int SlotIndex() const = 0;
    virtual void PutItem(const std::string& item, int index, bool refreshOnly, bool highlight,
                         bool silentAdd) = 0;

protected:
    ~InventorySlotPart() = default;
};

// "UIPermanentSlotMngr": the tool slots.
class ToolSlotsPart {
public:
    // 1 the multitool, 3 the scrying orb.
    virtual void LaunchTool(int tool) = 0;

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
