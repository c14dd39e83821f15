#pragma once

#include "world/BaseGameObject.h"

#include <cstdint>
#include <string_view>

// Posts one event shortly after its scene has started, so that a scene can open with a dialogue,
// an animation or a tip without a click. It waits for the game level to be loaded and for itself
// to be enabled, posts once and leaves the scene.
class StartupEvent : public BaseGameObject, public OCreator<StartupEvent> {
public:
    static constexpr std::string_view kClassName = "StartupEvent";
    static constexpr float kDefaultDelay = 0.5f;

    explicit StartupEvent(ObjectsManager* owner);

    // The base keys ("enabled" among them), then "startEvent" (its first four characters) and
    // "delay" (seconds).
    void SetProperty(const ParconCursor& cursor) override;
    // The base step; then the delay runs out; then, with the game level's first scene load over
    // and the object enabled, the event goes to the object's receiver through its own scene's
    // message system and the object is done (false).
    bool Update(float dt) override;

    uint32_t startEvent = 0;
    bool posted = false;
    float delay = kDefaultDelay;
};
