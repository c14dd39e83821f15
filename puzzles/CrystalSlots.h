#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string_view>
#include <vector>

class SequenceAnimObject;

// The crystal altar: each slot takes the held item whose name begins with the slot's own name. A
// right crystal fills the slot; a wrong one ends the game at once and gives the items back. On the
// location, a sequence hint shows a set of objects one after another in a loop.

class CrystalSlot : public GameButtonX, public OCreator<CrystalSlot> {
public:
    static constexpr std::string_view kClassName = "CrystalSlot";

    explicit CrystalSlot(ObjectsManager* owner);

    // The button's keys, then "sequenceId"; the slot's crystal is hidden until it is filled.
    void SetProperty(const ParconCursor& cursor) override;
    // Placing the held item: see CrystalSlots.cpp.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void OnObjectGoing(Object* going) override;
    // The button's step; the crystal stays hidden while it is not to be shown, whatever the
    // button's state shows. Always true.
    bool Update(float dt) override;
    // Again before the pictures are drawn: the scene's fade-out shows every piece it fades.
    void PreDraw() override;

    // The placed crystal's picture.
    void ShowCrystal(bool shown);
    bool CrystalShown();

    ManagerLink manager;
    bool filled = false;
    int32_t sequenceId = 0;

private:
    bool crystalShown = false;
};

class CrystalSlotsMngr : public MiniGameManager, public OCreator<CrystalSlotsMngr> {
public:
    static constexpr std::string_view kClassName = "CrystalSlotsMngr";
    static constexpr const char* kWinParticles = "gfx/fx/object_hili2.prt";

    explicit CrystalSlotsMngr(ObjectsManager* owner);

    // No keys of its own; the slots (once).
    void SetProperty(const ParconCursor& cursor) override;
    // The frame's step, and with a win the spark and the "light" sound. False while no mini-game
    // level is open: the manager belongs to one.
    bool Update(float dt) override;

    // A wrong crystal: every slot's crystal hidden, the items given back, the game over without a
    // win and the leave request set at once.
    void Refuse();

    // A left press leaves above the altar (y below 100) or beside it (x below 300 or above 700,
    // y below 700).
    static bool InCrystalLeaveZone(float x, float y);

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object& piece, int index) override;
    // Every slot filled; no slots count as filled.
    bool WinTest() override;
    bool InLeaveZone(float x, float y) const override { return InCrystalLeaveZone(x, y); }
    // Crystals hidden, the location's sequence hint restarted, then the frame's leave and the
    // leave request at once.
    void Leave() override;

private:
    void HideCrystals();
};

// The hint on the location: its SequenceAnimObjects shown one at a time for stepTime each, in
// the order of their "sequenceId", then nothing for pause; only while no mini-game is open.
class SequenceAnimMngr : public Object, public OCreator<SequenceAnimMngr> {
public:
    static constexpr std::string_view kClassName = "SequenceAnimMngr";

    explicit SequenceAnimMngr(ObjectsManager* owner);
    ~SequenceAnimMngr() override;

    // Takes the scene's SequenceAnimObjects read so far, each hidden.
    void SetProperty(const ParconCursor& cursor) override;
    // The step; always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    // From the pause again, every object hidden.
    void Restart();

    const std::vector<SequenceAnimObject*>& Objects() const { return objects; }

    float stepTime = 1.0f;
    float stepCountdown = 1.0f;
    float pause = 3.0f;
    float wait = 3.0f;
    int32_t currentStep = 0;

private:
    std::vector<SequenceAnimObject*> objects;
    bool collected = false;
};

// The first SequenceAnimMngr of the game level restarted; nothing without one.
void RestartLocationSequence();
