#pragma once

#include "engine/ClassFactory.h"
#include "engine/ObjectLink.h"
#include "ui/UIObject.h"

#include <string_view>
#include <vector>

// The scripted tweens of the screen files: invisible objects that move, scale or turn the
// objects of their layer named by four-character object codes ("object", repeatable), then end.
class UIHudTween : public UIObject {
public:
    explicit UIHudTween(ObjectsManager* owner);

    // "object", "time" and "delay"; the classes read their destinations.
    void SetProperty(const ParconCursor& cursor) override;

    // The targets still in the layer, in the order named.
    std::vector<Object*> LiveTargets() const;
    bool HasTargets() const { return !targets.empty(); }

    float clock = 0.0f;
    float time = 0.0f;
    float delay = 0.0f;

protected:
    std::vector<ObjectLink> targets;
};

// Moves its targets' positions to "destPos", landing when its time is over.
class UIFxShift : public UIHudTween, public OCreator<UIFxShift> {
public:
    static constexpr std::string_view kClassName = "UIFxShift";

    explicit UIFxShift(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float destX = 0.0f;
    float destY = 0.0f;

protected:
    // One step of the move; true when the targets have landed (and the tween is over).
    bool Step(float dt);
};

// A shift that draws its targets over everything while they move and hides the HUD's map
// buttons meanwhile; with "goBack" they come back when the targets land.
class UIFxShiftObject : public UIFxShift, public OCreator<UIFxShiftObject> {
public:
    static constexpr std::string_view kClassName = "UIFxShiftObject";

    explicit UIFxShiftObject(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    bool goBack = false;
};

// Scales its targets' sprites to "destScale"; with no target it ends at once.
class UIFxScale : public UIHudTween, public OCreator<UIFxScale> {
public:
    static constexpr std::string_view kClassName = "UIFxScale";

    explicit UIFxScale(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float destScale = 1.0f;
};

// Scales as UIFxScale does, but runs out its time even without targets.
class UIFxScaleObject : public UIHudTween, public OCreator<UIFxScaleObject> {
public:
    static constexpr std::string_view kClassName = "UIFxScaleObject";

    explicit UIFxScaleObject(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float destScale = 1.0f;
};

// Turns its targets by "angle" over its time from their first angle; with "continueRotate" it
// then keeps turning them back for ever. With no target it ends at once. No delay.
class UIFxRotate : public UIHudTween, public OCreator<UIFxRotate> {
public:
    static constexpr std::string_view kClassName = "UIFxRotate";
    // The endless turn, in degrees per second taken off the rotation.
    static constexpr float kEndlessTurn = 10.0f;

    explicit UIFxRotate(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float angle = 0.0f;
    bool continueRotate = false;

private:
    std::vector<float> startAngles; // per target, read at the first step
    bool started = false;
};
