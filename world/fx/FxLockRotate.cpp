#include "world/fx/FxLockRotate.h"

#include "engine/PositionSystem.h"
#include "world/fx/FxPiece.h"

#include <cmath>

FxLockRotate::FxLockRotate(ObjectsManager* owner) : SceneEffect(owner) {
    SetCreator(this, 0, 0);
    Watch(&handle1);
    Watch(&handle2);
    Watch(&manager);
}

void FxLockRotate::Start(Object* first, Object* second, Object* lockManager,
                         const std::string& turnDirection) {
    handle1 = first;
    handle2 = second;
    manager = lockManager;
    direction = turnDirection;
    if (const PositionChunk* position = Position(handle1)) {
        startAngle1 = position->rotation;
    }
    if (const PositionChunk* position = Position(handle2)) {
        startAngle2 = position->rotation;
    }
    if (direction == "left") {
        endAngle1 = std::fmod(startAngle1 - 90.0f, -360.0f);
        endAngle2 = std::fmod(startAngle2 + 45.0f, 360.0f);
    } else if (direction == "right") {
        endAngle1 = std::fmod(startAngle1 + 45.0f, 360.0f);
        endAngle2 = std::fmod(startAngle2 - 90.0f, -360.0f);
    }
}

void FxLockRotate::SetManagerBusy(bool busy) {
    if (auto* piece = dynamic_cast<FxPiece*>(Present(manager) ? manager : nullptr)) {
        piece->SetBusy(busy);
    }
}

bool FxLockRotate::Update(float dt) {
    if (!Present(handle1) || !Present(handle2)) {
        return true;
    }
    PositionChunk* first = Position(handle1);
    PositionChunk* second = Position(handle2);
    if (elapsed >= duration) {
        SetManagerBusy(false);
        elapsed = 0.0f;
        if (first != nullptr) {
            first->rotation = endAngle1;
        }
        if (second != nullptr) {
            second->rotation = endAngle2;
        }
        return false;
    }
    elapsed += dt;
    SetManagerBusy(true);
    const float f = elapsed / duration;
    float angle1 = startAngle1;
    float angle2 = startAngle2;
    if (direction == "right") {
        angle1 = std::fmod(startAngle1 + f * 45.0f, 360.0f);
        angle2 = std::fmod(startAngle2 - f * 90.0f, -360.0f);
    } else if (direction == "left") {
        angle1 = std::fmod(startAngle1 - f * 90.0f, -360.0f);
        angle2 = std::fmod(startAngle2 + f * 45.0f, 360.0f);
    }
    if (first != nullptr) {
        first->rotation = angle1;
    }
    if (second != nullptr) {
        second->rotation = angle2;
    }
    return true;
}
