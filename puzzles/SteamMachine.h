#pragma once

#include "engine/ClassFactory.h"
#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"
#include "world/GameHiddenObject.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SteamMachineWheel;

// The steam machine: a row of gear slots between two fixed gears; the player fills the slots
// with gears from the inventory. The train turns from the first slot up to the first empty one,
// neighbours the other way about; every slot filled with meshing gears wins.

// A gear: in a location a hidden object the player picks up; in the machine, the gear of a slot.
class SteamMachineWheel : public GameHiddenObject, public OCreator<SteamMachineWheel> {
public:
    static constexpr std::string_view kClassName = "SteamMachineWheel";

    explicit SteamMachineWheel(ObjectsManager* owner);

    // The hidden object's keys, then "radius".
    void SetProperty(const ParconCursor& cursor) override;

    float radius = 0.0f;
    float speed = 1.0f;
};

// The size of a gear by its item name.
struct GearKind {
    float radius;
    float speed;
};
GearKind GearKindOf(std::string_view itemName);

class SteamMachineSlot : public GameButtonX, public OCreator<SteamMachineSlot> {
public:
    static constexpr std::string_view kClassName = "SteamMachineSlot";

    explicit SteamMachineSlot(ObjectsManager* owner);

    // A left press inside an open slot: the held gear goes in, or with nothing held the gear
    // comes back onto the cursor.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "index".
    void SetProperty(const ParconCursor& cursor) override;
    // The hover mark from the mouse. Always true.
    bool Update(float dt) override;
    // The tool-tip while hovered; the picture is the sprite's.
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    int32_t index = 0;
    bool open = true;
    SteamMachineWheel* gear = nullptr;
    ManagerLink manager;
    bool hovered = false;

private:
    void PutGearIn(const std::string& item);
};

class SteamMachineMngr : public MiniGameManager, public OCreator<SteamMachineMngr> {
public:
    static constexpr std::string_view kClassName = "SteamMachineMngr";
    static constexpr std::size_t kLeastSlots = 10;
    static constexpr std::size_t kLastFixed = 9;
    static constexpr float kFixedRadius = 57.5f;
    static constexpr float kFixedSpeed = 1.5f;
    static constexpr float kLeaveBelowY = 650.0f;
    static constexpr float kBackgroundMargin = 30.0f;
    static constexpr float kReadyAlpha = 0.8f;

    explicit SteamMachineMngr(ObjectsManager* owner);

    // The slots of the scene read so far (once), then the two fixed gears. Fewer than ten slots,
    // or slots out of index order, throw naming the scene file.
    void SetProperty(const ParconCursor& cursor) override;
    // Leaving: a left press outside the widened backdrop, not below y 650, or Escape; both only
    // once the backdrop is shown (alpha above 0.8).
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The turning, the win, the delay and the leave request.
    bool Update(float dt) override;

    // Two neighbouring gears: whether they mesh, and whether they are jammed (too close).
    static bool Meshes(const SteamMachineWheel& a, const SteamMachineWheel& b);
    static bool Jammed(const SteamMachineWheel& a, const SteamMachineWheel& b);

    SteamMachineSlot* Slot(std::size_t position) const;

    int32_t reach = 0;
    float time = 0.0f;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override { return false; }

private:
    void PlaceFixedGears();
};
