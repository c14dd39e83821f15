#include "puzzles/RotatingTiles.h"

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "world/Level.h"

namespace {

constexpr uint32_t kTurnEvent = FourCC("PROT");

} // namespace

// ---------------------------------------------------------------------------------------------
// PuzzleChunk

PuzzleChunk::PuzzleChunk(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<PuzzleChunk>*>(this), 0, 0);
}

float PuzzleChunk::RotationDegrees() const {
    const auto* position = dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    return position != nullptr ? position->rotation : 0.0f;
}

void PuzzleChunk::SetRotation(float degrees) {
    if (auto* position = dynamic_cast<PositionChunk*>(GetChunk(FourCC("POSI"), 0))) {
        position->rotation = degrees;
    }
}

void PuzzleChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

void PuzzleChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    // A tile that no manager took turns too; one whose manager has gone does not.
    if (manager.Finished() || clickEvent != kTurnEvent || turning) {
        return;
    }
    const int direction = MiniGameManager::PressOnPiece(*this, id, param);
    if (direction == 0 || ModalLevel == nullptr) {
        return;
    }
    StartPieceTurn("FxRotate", *this, direction);
}

// ---------------------------------------------------------------------------------------------
// PuzzleMngr

PuzzleMngr::PuzzleMngr(ObjectsManager* owner) : MiniGameManager(owner, 0.5f) {
    Object::SetCreator(static_cast<OCreator<PuzzleMngr>*>(this), 0, 0);
}

void PuzzleMngr::SetProperty(const ParconCursor&) {
    CollectPieces(PuzzleChunk::kClassName);
}

ManagerLink* PuzzleMngr::LinkOf(Object& piece) {
    auto* tile = dynamic_cast<PuzzleChunk*>(&piece);
    return tile != nullptr ? &tile->manager : nullptr;
}

void PuzzleMngr::SetUpPiece(Object& piece, int) {
    static_cast<PuzzleChunk&>(piece).SetRotation(RandomQuarterTurn());
}

bool PuzzleMngr::WinTest() {
    for (const Object* piece : pieces) {
        if (static_cast<const PuzzleChunk*>(piece)->RotationDegrees() != 0.0f) {
            return false;
        }
    }
    return true;
}

WinSteps PuzzleMngr::WinStepsOfGame() const {
    WinSteps steps;
    steps.borderSparks = true;
    return steps;
}
