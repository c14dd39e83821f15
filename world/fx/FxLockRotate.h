#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string>
#include <string_view>

// The two handles of the turning lock turn together: to the "left" the first goes back a
// quarter turn and the second on by an eighth, to the "right" the other way about. The lock
// manager's busy mark (FxPiece) is set while they turn.
class FxLockRotate : public SceneEffect, public OCreator<FxLockRotate> {
public:
    static constexpr std::string_view kClassName = "FxLockRotate";

    explicit FxLockRotate(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // Takes the handles' rotations as start angles and works out the end angles with the
    // floating remainder (so the first handle's end keeps its sign); any other direction leaves
    // the end angles as they were.
    void Start(Object* handle1, Object* handle2, Object* lockManager,
               const std::string& turnDirection);
    // Waits while a handle is missing.
    bool Update(float dt) override;

    float elapsed = 0.0f;
    float duration = 0.5f;
    std::string direction;
    float startAngle1 = 0.0f;
    float startAngle2 = 0.0f;
    Object* handle1 = nullptr;
    Object* handle2 = nullptr;
    Object* manager = nullptr;
    float endAngle1 = 0.0f;
    float endAngle2 = 0.0f;

private:
    void SetManagerBusy(bool busy);
};
