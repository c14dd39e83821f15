#pragma once

#include "puzzles/MiniGame.h"
#include "world/BaseGameObject.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>

// Spot the difference: the player picks up a loose object, carries it and clicks the spot of the
// picture it belongs to; a match removes the object, marks the spot found and counts the
// differences down. Every spot found wins.

class SpotTheDifferenceGameMngr;

// A loose object; its object name is what a spot's "activator" names.
class SpotTheDifferenceGameChunk : public BaseGameObject,
                                   public OCreator<SpotTheDifferenceGameChunk> {
public:
    static constexpr std::string_view kClassName = "SpotTheDifferenceGameChunk";
    static constexpr float kCarriedDepth = 400.0f;

    explicit SpotTheDifferenceGameChunk(ObjectsManager* owner);

    // A left press on it, while nothing is carried, picks it up.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // While carried it follows the mouse. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    ManagerLink manager;

private:
    SpotTheDifferenceGameMngr* Manager() const;
};

// A spot where the two pictures differ.
class SpotTheDifferenceGameSlot : public GameButtonX, public OCreator<SpotTheDifferenceGameSlot> {
public:
    static constexpr std::string_view kClassName = "SpotTheDifferenceGameSlot";
    static constexpr const char* kFoundParticles = "gfx/fx/object_hili2.prt";

    explicit SpotTheDifferenceGameSlot(ObjectsManager* owner);

    // The button's keys; "regionFromCenter" makes the click rectangle the sprite's first frame.
    void SetProperty(const ParconCursor& cursor) override;
    // The carried object clicked onto the spot it belongs to: see SpotTheDifference.cpp.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void OnObjectGoing(Object* going) override;

    // The first frame of the sprite's animation (the one it plays, else "idle"), relative to the
    // spot's position; zeros without a sprite.
    FrameRect FirstFrame();

    ManagerLink manager;
    bool found = false;
};

class SpotTheDifferenceGameMngr : public MiniGameManager,
                                  public OCreator<SpotTheDifferenceGameMngr> {
public:
    static constexpr std::string_view kClassName = "SpotTheDifferenceGameMngr";
    static constexpr int32_t kStartCount = 9;
    static constexpr float kCounterX = 400.0f;
    static constexpr float kCounterY = 100.0f;
    static constexpr float kCounterDepth = 900.0f;

    explicit SpotTheDifferenceGameMngr(ObjectsManager* owner);

    // No keys of its own; the spots and the loose objects (once).
    void SetProperty(const ParconCursor& cursor) override;
    void OnObjectGoing(Object* going) override;
    // The counter text, while the scene takes input.
    void Draw() override;

    // "<differences left text>: <count>".
    std::string CounterText() const;
    // The counter's alpha byte from the sprite's alpha.
    static uint32_t CounterAlpha(float alpha);
    // A left press leaves above y 50.
    static bool InSpotLeaveZone(float, float y) { return y < 50.0f; }

    int32_t differencesLeft = kStartCount; // the spots do not set it
    SpotTheDifferenceGameChunk* heldObject = nullptr;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    // Every spot found (no spots count as found); the spots then go.
    bool WinTest() override;
    // Also waits for the scene's input flag (its fade-in).
    bool AcceptsLeave() const override;
    bool InLeaveZone(float x, float y) const override { return InSpotLeaveZone(x, y); }

private:
    bool chunksTaken = false;
};
