#pragma once

#include "engine/System.h"

#include <cstdint>
#include <string>

class ObjectsManager;

// The system of a level that the level hands its messages to and clears with itself.
class LevelSystem : public System {
public:
    using System::System;

    virtual void OnMessage(const void* sender, uint32_t id, uint32_t param) = 0;
    virtual void Clear() = 0;
    virtual void Deactivate() = 0;
};

// 'LEVH': the running logic of a level that belongs to no one object. Each level has its own.
// So far it carries the item held on the cursor and the level's active and leave flags; the
// mini-game return, the backgrounds behind a mini-game, the lens and the developer keys join it
// with the effects and render systems they use.
class NormalLevelSystem : public LevelSystem {
public:
    explicit NormalLevelSystem(ObjectsManager* owner);

    // Every message is ignored until the hint path of 'PUFX' has its effect to start.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Nothing of the held item: a level cleared for a new scene keeps what the cursor carries.
    void Clear() override;
    void Deactivate() override;

    // Empties heldItemName and takes the item off the cursor.
    void DropHeldItem();
    // Makes the item the held one and puts its picture "gfx/objects/<item>.ani" on the cursor.
    void HoldItem(const std::string& item);

    std::string heldItemName; // the inventory item on the cursor; empty when none
    bool leaveArmed = false;  // the mini-game of this level is over
    bool active = true;       // the return from the mini-game has not started yet
};
