#pragma once

#include "engine/ObjectLink.h"
#include "media/AnimPlayer.h"
#include "world/GameButtonX.h"
#include "world/GameHiddenObject.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SmartUI;

// One slot of a container's ring: it waits for one item, taken from the cursor by a click once
// the slot has arrived at its place. Its own picture is the item's, empty or filled.
class SmartUISlot : public GameButtonX, public OCreator<SmartUISlot> {
public:
    static constexpr std::string_view kClassName = "SmartUISlot";
    static constexpr float kDepth = 100.0f;
    static constexpr float kToolTipDepth = 700.0f;

    explicit SmartUISlot(ObjectsManager* owner);

    // The fill click; the button's click rule is not used.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys; a slot whose item's "_filled" flag is set is filled.
    void SetProperty(const ParconCursor& cursor) override;
    // The item's picture follows the filling; no state of the object's own.
    bool Update(float dt) override;
    // The item's picture at the slot, at the sprite's alpha and 0.8 of its scale.
    void Draw() override;
    // The item's tool-tip.
    void PostDraw() override;

    // Filled: from a click (only once arrived), the flag set, the cursor emptied; from the
    // profile, the flag set again.
    void Fill(bool fromProfile);
    // The item whose picture and name the slot shows.
    void SetItem(const std::string& name);
    SmartUI* Container() const;
    void SetContainer(SmartUI* container);

    std::string item;
    bool filled = false;
    AnimPlayer itemAnim;
    bool ready = false; // carried out to its place by the opening effect
    bool hovered = false;

private:
    ObjectLink container;
};

// A container in a location: a click opens it into a ring of up to eight slots around it; once
// every slot holds its item it closes, gives one energy point (once per profile), may put a final
// object on the cursor, and can then be taken. The "wand" container hands the wand to the HUD.
class SmartUI : public GameHiddenObject, public OCreator<SmartUI> {
public:
    static constexpr std::string_view kClassName = "SmartUI";
    static constexpr std::size_t kMostSlots = 8;
    // The slots' places around the ring's centre, slot i at entry i.
    static constexpr std::array<std::pair<float, float>, kMostSlots> kRingOffsets = {{
        {0.0f, 91.0f},
        {63.0f, 65.0f},
        {90.0f, 0.0f},
        {63.0f, -61.0f},
        {0.0f, -88.0f},
        {-64.0f, -61.0f},
        {-90.0f, 0.0f},
        {-64.0f, 65.0f},
    }};

    explicit SmartUI(ObjectsManager* owner);

    // The hidden object's keys, then "slots", "finalObject", "offsetX", "offsetY", "KillOnEnd"
    // and "clickMessage"; a container whose "_toTake" flag is set is completed. More than eight
    // slots is a definition error naming the container and its file.
    void SetProperty(const ParconCursor& cursor) override;
    // Opens, closes or takes the container.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;

    void Open();
    void Close();
    // Every other container of the scene closes.
    void CloseOthers();
    bool AllSlotsFilled() const;
    // What taking the container hands over: the backpack on the quicksand location, the wand,
    // and the sparks.
    void PlayTakeEffects();

    // The slots of the last opening still in the scene, in ring order.
    std::vector<SmartUISlot*> Slots() const;
    // The ring's centre: the position, half the click rectangle, the offsets.
    std::pair<float, float> Centre();

    bool opening = false;
    bool open = false;
    std::vector<std::string> slotNames;
    std::string finalObject;
    int offsetX = 0;
    int offsetY = 0;
    bool toTake = false;
    bool killOnEnd = false;

private:
    // A particle effect of the scene at (x, y), emitting for the seconds given.
    void Sparks(const std::string& file, float x, float y, float seconds, float life);

    std::vector<ObjectLink> slots;
};
