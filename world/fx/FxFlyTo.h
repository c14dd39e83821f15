#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string>
#include <string_view>

// Flies the target from the current point to the end point over the duration: it fades in,
// shrinks from its remaining time down to 0.4 and, with a spin, circles the end point on the way.
// At the end the target stays where the last step put it.
class FxFlyTo : public SceneEffect, public OCreator<FxFlyTo> {
public:
    static constexpr std::string_view kClassName = "FxFlyTo";
    static constexpr float kSmallestScale = 0.4f;

    explicit FxFlyTo(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // A missing target ends it.
    bool Update(float dt) override;

    float elapsed = 0.0f;
    float duration = 1.6f;
    float x = 0.0f; // the current point
    float y = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    std::string name;  // no key and no caller sets it
    float spin = 0.0f; // radians per second of elapsed time
    Object* target = nullptr;
};
