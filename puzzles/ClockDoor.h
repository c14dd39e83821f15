#pragma once

#include "engine/ClassFactory.h"
#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string_view>

class GameAnim;

// The clock door: three keys go into their holes; a key in a goal hole lights the circle of its
// colour, and the three circles lit open the door.

// A key hole; it takes its activator. Its sprite shows the key while the key sits in it.
class ClockGameSlot : public GameButtonX, public OCreator<ClockGameSlot> {
public:
    static constexpr std::string_view kClassName = "ClockGameSlot";
    static constexpr float kHeldSlack = 15.0f;

    explicit ClockGameSlot(ObjectsManager* owner);

    // A left press on the hole (with a key held, also 15 px up and left of it): the held key
    // goes in, a wrong one warns, and with nothing held the key in the hole comes back.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, "goal" and "regionFromCenter"; then the key picture hidden.
    void SetProperty(const ParconCursor& cursor) override;
    // Only alive: the button's step would show the key picture with the enabled state.
    bool Update(float) override { return !dead; }
    void OnObjectGoing(Object* going) override;

    // The key sits in the hole (its sprite is shown).
    bool Holding();

    ManagerLink manager;
    bool goal = false;
};

class ClockDoorGameMngr : public MiniGameManager, public OCreator<ClockDoorGameMngr> {
public:
    static constexpr std::string_view kClassName = "ClockDoorGameMngr";
    static constexpr float kLeaveBelowY = 512.0f;
    static constexpr float kBackgroundMargin = 30.0f;

    explicit ClockDoorGameMngr(ObjectsManager* owner);

    // The holes and the three circles of the scene read so far; missing circles are skipped.
    void SetProperty(const ParconCursor& cursor) override;
    // Escape, or a left press outside the widened backdrop and not below y 512, leaves.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The win once all three colours are on; the leave request in the same update.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    // The colour of the key ("librarian_key_<colour>") on or off, with its circle.
    void SetColour(std::string_view key, bool on);

    bool redOn = false, blueOn = false, greenOn = false;
    GameAnim* blueCircle = nullptr;
    GameAnim* redCircle = nullptr;
    GameAnim* greenCircle = nullptr;
    bool armed = true;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override { return redOn && blueOn && greenOn; }
};
