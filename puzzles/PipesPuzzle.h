#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"
#include "world/fx/FxPiece.h"

#include <cstdint>
#include <string>
#include <string_view>

class PipesPuzzleMngr;

// One pipe of the five-by-five pipes board: an elbow ("A") or a straight pipe ("B") that the
// player turns a quarter turn at a time. Piece 0, the top left, is the hidden water source.
class PipesPuzzleChunk : public GameButtonX, public FxPiece, public OCreator<PipesPuzzleChunk> {
public:
    static constexpr std::string_view kClassName = "PipesPuzzleChunk";
    // The ends: bit 2 left, bit 4 right; bits 8 and 16 up and down, which is which depending on
    // the board's version.
    static constexpr uint32_t kLeft = 2;
    static constexpr uint32_t kRight = 4;
    static constexpr uint32_t kUpInVersions01 = 8;
    static constexpr uint32_t kDownInVersions01 = 16;

    explicit PipesPuzzleChunk(ObjectsManager* owner);

    // A turn with the left button (+1) or the right one (-1), under the frame's conditions; the
    // source never turns.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "type".
    void SetProperty(const ParconCursor& cursor) override;
    // Once collected: the source hidden, the picture of the type (watered or not) and the ends
    // at the present rotation. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    // Set by the turn effect while it turns the piece.
    void SetBusy(bool busy) override { turning = busy; }

    // The ends of a type at a rotation in a version; none for a rotation between the quarters or
    // an unknown type.
    static uint32_t OpeningsOf(std::string_view type, int rotation, int version);
    // The rotation as the game reads it: the angle cut to a whole number.
    int Rotation() const;
    float RotationDegrees() const;
    void SetRotation(float degrees);

    bool watered = false;
    uint32_t openings = 0;
    std::string type = "unknown";
    int32_t index = 0;
    ManagerLink manager;
    int32_t version = 0; // the board's, taken when collected
    bool turning = false;
};

// The pipes game: water from the source must reach every pipe through ends that meet; in version
// 0 the bottom-left pipe must also stand at 180. Its pieces are exactly 25, row by row.
class PipesPuzzleMngr : public MiniGameManager, public OCreator<PipesPuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "PipesPuzzleMngr";
    static constexpr int kColumns = 5;
    static constexpr int kPieces = 25;
    static constexpr int kExitPiece = 20; // must stand at 180 in version 0

    explicit PipesPuzzleMngr(ObjectsManager* owner);

    // "version", then the pieces (once): a random start rotation each, numbered in scene order,
    // the source hidden. A board of other than 25 pieces throws, naming the scene file.
    void SetProperty(const ParconCursor& cursor) override;

    // The water trace from the source over the pieces: the source turned to its fixed angle,
    // every piece that meets a traced piece watered; true when every piece is.
    bool TraceWater();

    int32_t version = 0;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object& piece, int index) override;
    bool WinTest() override;
    WinSteps WinStepsOfGame() const override;
    // The water trace, every step.
    void BeforeWinTest(float dt) override;
    // Also waits for the input flag (the scene's fade-in).
    bool AcceptsLeave() const override;
    // A fade-out of its own, the close flag and finished, and the held tool dropped.
    void Leave() override;

private:
    PipesPuzzleChunk* Piece(int index) const;
    void Trace(int index);

    bool lastTrace = false; // the water trace of this step
};
