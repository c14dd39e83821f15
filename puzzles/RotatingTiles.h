#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"
#include "world/fx/FxPiece.h"

#include <cstdint>
#include <string_view>

// The rotating tiles game: a picture cut into square tiles, each turned a random quarter-turn
// multiple at the start; the player turns them a quarter turn at a time until all stand upright.

// One tile. Its orientation is the rotation of its position; 0 is upright.
class PuzzleChunk : public GameButtonX, public FxPiece, public OCreator<PuzzleChunk> {
public:
    static constexpr std::string_view kClassName = "PuzzleChunk";

    explicit PuzzleChunk(ObjectsManager* owner);

    // A turn with the left button (+1) or the right one (-1), unless the game has finished.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void OnObjectGoing(Object* going) override;
    // Set by the turn effect while it turns the piece.
    void SetBusy(bool busy) override { turning = busy; }

    float RotationDegrees() const;
    void SetRotation(float degrees);

    ManagerLink manager;
    bool turning = false;
};

class PuzzleMngr : public MiniGameManager, public OCreator<PuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "PuzzleMngr";

    explicit PuzzleMngr(ObjectsManager* owner);

    // No keys of its own; the tiles (once), each at a random start rotation.
    void SetProperty(const ParconCursor& cursor) override;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object& piece, int index) override;
    // Every tile at exactly 0; a tile in the middle of a turn is not.
    bool WinTest() override;
    WinSteps WinStepsOfGame() const override;
};
