#pragma once

#include "engine/ClassFactory.h"
#include "media/AnimPlayer.h"
#include "ui/HudParts.h"
#include "ui/UIButton.h"

#include <string>
#include <string_view>

// One slot of the HUD's inventory bar: it mirrors one of the current player's eight inventory
// records, takes the item on the cursor (stacking or swapping it) and gives one back.
class UIInventorySlot : public UIButton, public OCreator<UIInventorySlot>, public InventorySlotPart {
public:
    static constexpr std::string_view kClassName = "UIInventorySlot";
    static constexpr float kDepth = 600.0f;
    static constexpr float kToolTipDepth = 602.0f;

    explicit UIInventorySlot(ObjectsManager* owner);

    // The click: see the .cpp for the refusals. It posts no click event.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;
    // The item and its count.
    void PostDraw() override;
    // The item's tool-tip.
    void TopDraw() override;

    int SlotIndex() const override { return slotIndex; }
    bool PutItem(const std::string& item, int index, bool refreshOnly, bool highlight,
                 bool silentAdd) override;
    void MarkEmpty() override { artShown = false; }
    // One item of the slot onto the cursor.
    void PickUp();
    // Numbered by the manager; a slot past the player's eight stays empty and disabled.
    void SetSlotIndex(int index);

    bool hovered = false;
    AnimPlayer itemArt;
    bool artShown = false;
    int slotIndex = 0;

private:
    // The art bound to the item's picture, playing "cursor" and shown.
    void ShowItem(const std::string& item);
    // Past the player's eight records.
    bool OutOfRange() const;
};

// Numbers the inventory slots of its screen in their order and fills them from the current
// player; it stands after them in the screen file.
class UIInventoryMngr : public Object, public OCreator<UIInventoryMngr> {
public:
    static constexpr std::string_view kClassName = "UIInventoryMngr";

    explicit UIInventoryMngr(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float) override { return true; }
};
