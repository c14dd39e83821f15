#include "world/fx/FxReplace.h"

#include "engine/PositionSystem.h"
#include "media/SoundManager.h"
#include "world/fx/FxPiece.h"

namespace {

FxPiece* PieceOf(Object* object) {
    return dynamic_cast<FxPiece*>(object);
}

// The busy mark of the manager of the first piece.
void SetManagerBusy(Object* first, bool busy) {
    if (FxPiece* piece = PieceOf(first)) {
        if (FxPiece* manager = piece->BusyManager()) {
            manager->SetBusy(busy);
        }
    }
}

} // namespace

FxReplace::FxReplace(ObjectsManager* owner) : SceneEffect(owner) {
    SetCreator(this, 0, 0);
    Watch(&a);
    Watch(&b);
}

bool FxReplace::Update(float dt) {
    if (!Present(a) || !Present(b)) {
        // The manager is let go, so that it takes input again.
        if (Present(a)) {
            SetManagerBusy(a, false);
        }
        return false;
    }
    PositionChunk* positionA = Position(a);
    PositionChunk* positionB = Position(b);
    if (positionA == nullptr || positionB == nullptr) {
        return false;
    }
    if (elapsed <= 0.0f) {
        aStartX = positionA->x;
        aStartY = positionA->y;
        bStartX = positionB->x;
        bStartY = positionB->y;
        aEndX = bStartX;
        aEndY = bStartY;
        bEndX = aStartX;
        bEndY = aStartY;
        aDeltaX = aEndX - aStartX;
        aDeltaY = aEndY - aStartY;
        bDeltaX = bEndX - bStartX;
        bDeltaY = bEndY - bStartY;
    }
    elapsed += dt;
    if (duration > 0.0f && elapsed < duration) {
        SetManagerBusy(a, true);
        const float f = elapsed / duration;
        positionA->x = aStartX + f * aDeltaX;
        positionA->y = aStartY + f * aDeltaY;
        positionB->x = bStartX + f * bDeltaX;
        positionB->y = bStartY + f * bDeltaY;
        return true;
    }
    SetManagerBusy(a, false);
    positionA->x = aEndX;
    positionA->y = aEndY;
    positionB->x = bEndX;
    positionB->y = bEndY;
    if (FxPiece* pieceA = PieceOf(a)) {
        if (FxPiece* pieceB = PieceOf(b)) {
            const int32_t value = pieceA->SlotValue();
            pieceA->SetSlotValue(pieceB->SlotValue());
            pieceB->SetSlotValue(value);
        }
    }
    Sounds.PlayByName("pick1", false, 100, 0);
    return false;
}

FxReplaceAngle::FxReplaceAngle(ObjectsManager* owner) : SceneEffect(owner) {
    SetCreator(this, 0, 0);
    Watch(&a);
    Watch(&b);
}

void FxReplaceAngle::Start(Object* first, Object* second) {
    a = first;
    b = second;
    if (const PositionChunk* position = Position(a)) {
        aStartAngle = position->rotation;
    }
    if (const PositionChunk* position = Position(b)) {
        bStartAngle = position->rotation;
    }
    FxPiece* pieceA = PieceOf(a);
    FxPiece* pieceB = PieceOf(b);
    const int32_t placeA = pieceA != nullptr ? pieceA->RingIndex() : 0;
    const int32_t placeB = pieceB != nullptr ? pieceB->RingIndex() : 0;
    bool aForward = placeA < placeB;
    if (placeA == 0 && placeB == kLastPlace) {
        aForward = false;
    } else if (placeA == kLastPlace && placeB == 0) {
        aForward = true;
    }
    aDelta = aForward ? 45.0f : -45.0f;
    bDelta = -aDelta;
    if (pieceA != nullptr && pieceB != nullptr) {
        pieceA->SetRingIndex(placeB);
        pieceB->SetRingIndex(placeA);
    }
}

bool FxReplaceAngle::Update(float dt) {
    if (!Present(a) || !Present(b)) {
        if (Present(a)) {
            SetManagerBusy(a, false);
        }
        return false;
    }
    PositionChunk* positionA = Position(a);
    PositionChunk* positionB = Position(b);
    elapsed += dt;
    if (duration > 0.0f && elapsed < duration) {
        SetManagerBusy(a, true);
        const float f = elapsed / duration;
        if (positionA != nullptr) {
            positionA->rotation = aStartAngle + f * aDelta;
        }
        if (positionB != nullptr) {
            positionB->rotation = bStartAngle + f * bDelta;
        }
        return true;
    }
    SetManagerBusy(a, false);
    if (positionA != nullptr) {
        positionA->rotation = aStartAngle + aDelta;
    }
    if (positionB != nullptr) {
        positionB->rotation = bStartAngle + bDelta;
    }
    return false;
}
