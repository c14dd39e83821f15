#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>

// Posts its event after "time" seconds: once, ending itself, or again every "time" seconds.
class UITimeTrigger : public UIObject, public ReceiverBound, public OCreator<UITimeTrigger> {
public:
    static constexpr std::string_view kClassName = "UITimeTrigger";

    explicit UITimeTrigger(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float clock = 0.0f;
    float time = 0.0f;
    uint32_t event = 0;
    bool killOnEnd = true;
};

// Posts its finish event once the video object of its screen has finished (or was never there).
class GameVideoEvent : public UIObject, public ReceiverBound, public OCreator<GameVideoEvent> {
public:
    static constexpr std::string_view kClassName = "GameVideoEvent";

    explicit GameVideoEvent(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    uint32_t targetCode = 0;
    uint32_t finishEvent = 0;

private:
    // The target is looked up by its code each step rather than held, so that a target that has
    // left the scene is never reached through a stale pointer.
    bool targetFound = false;
    bool posted = false;
};
