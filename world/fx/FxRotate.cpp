#include "world/fx/FxRotate.h"

#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/fx/FxPiece.h"

#include <cmath>

namespace {

void SetBusy(Object* object, bool busy) {
    if (auto* piece = dynamic_cast<FxPiece*>(object)) {
        piece->SetBusy(busy);
    }
}

} // namespace

float FxQuarterTurn::Snap(float angle) {
    // Into 0..360 first: a turn ending on 360 (or past it) would otherwise keep that angle, and
    // an upright piece would never read as 0 again.
    float normal = std::fmod(angle, 360.0f);
    if (normal < 0.0f) {
        normal += 360.0f;
    }
    if (normal < 45.0f) {
        return 0.0f;
    }
    if (normal < 135.0f) {
        return 90.0f;
    }
    if (normal < 225.0f) {
        return 180.0f;
    }
    if (normal < 315.0f) {
        return 270.0f;
    }
    return 0.0f;
}

FxQuarterTurn::FxQuarterTurn(ObjectsManager* owner, bool lifted)
    : SceneEffect(owner), lifted(lifted) {
    Watch(&target);
}

bool FxQuarterTurn::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    PositionChunk* position = Position(target);
    RenderChunk* sprite = Sprite(target);
    if (elapsed <= 0.0f && position != nullptr) {
        startAngle = position->rotation;
    }
    elapsed += dt;
    // A duration of 0 or less has no way through: the turn is over at once.
    if (duration > 0.0f && elapsed <= duration) {
        SetBusy(target, true);
        if (lifted && sprite != nullptr) {
            sprite->zOrder = FxRotate::kLiftedDepth;
            sprite->scale += elapsed < duration * 0.5f ? dt : -dt;
        }
        if (position != nullptr) {
            position->rotation =
                startAngle + elapsed / duration * kTurn * static_cast<float>(direction);
        }
        return true;
    }
    SetBusy(target, false);
    if (sprite != nullptr) {
        if (lifted) {
            sprite->zOrder = FxRotate::kRestingDepth;
        }
        sprite->scale = 1.0f;
    }
    elapsed = 0.0f;
    currentAngle = 0.0f;
    if (position != nullptr) {
        // The last step may stop short of the quarter turn; the snap finishes it.
        position->rotation = Snap(position->rotation);
    }
    if (lifted) {
        Sounds.PlayByName("pick1", false, 100, 0);
    }
    return false;
}

FxRotate::FxRotate(ObjectsManager* owner) : FxQuarterTurn(owner, true) {
    Object::SetCreator(static_cast<OCreator<FxRotate>*>(this), 0, 0);
}

FxPipeRotate::FxPipeRotate(ObjectsManager* owner) : FxQuarterTurn(owner, false) {
    Object::SetCreator(static_cast<OCreator<FxPipeRotate>*>(this), 0, 0);
}
