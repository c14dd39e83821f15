#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string_view>

// A bump in size: the target's sprite swells to 1.5 at half time and is back at 1 at the end.
class FxPulseScale : public SceneEffect, public OCreator<FxPulseScale> {
public:
    static constexpr std::string_view kClassName = "FxPulseScale";

    explicit FxPulseScale(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // A missing target ends it; a target without a sprite runs its time without effect.
    bool Update(float dt) override;

    float remaining = 0.6f;
    float duration = 0.6f;
    Object* target = nullptr;
};
