#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>

// Calls f on every live object of the scene whose four-character code is the label's first four
// characters ("BACKZ" selects "BACK").
void ForEachLabelled(ObjectsManager& scene, const std::string& label,
                     const std::function<void(Object&)>& f);

// What the two blends share: a list of target objects of their own scene, which they drop as
// soon as the scene lets one go (they listen for removals), and dead ones on PurgeDeadTargets.
class FxBlend : public Object {
public:
    explicit FxBlend(ObjectsManager* owner);
    ~FxBlend() override;

    void OnObjectGoing(Object* going) override;
    // Drops every target marked dead.
    void PurgeDeadTargets();
    // Appends the target unless it is one already.
    void AddTarget(Object* target);

    std::list<Object*> targets;

protected:
    // Calls f on every target that is not marked dead.
    void ForEachLiveTarget(const std::function<void(Object&)>& f);
};

// Fades objects in: after its delay, their sprites' alpha goes from 0 to 1 over its time
// (optionally sliding them down 800 pixels into place); at the end each target's "_enabled" flag
// is set. On the mini-game screen it also fades the blurred background in.
class FxBlendIn : public FxBlend, public OCreator<FxBlendIn> {
public:
    static constexpr std::string_view kClassName = "FxBlendIn";
    static constexpr float kMoveDistance = 800.0f;

    explicit FxBlendIn(ObjectsManager* owner);

    // "name" (a label), "time", "move", "blurAlpha", "forceAlpha"; then every object of the label
    // is taken, at alpha forceAlpha and, with move, 800 pixels above its place.
    void SetProperty(const ParconCursor& cursor) override;
    // Stores time; for a label, its objects are enabled at alpha 0 and taken, then delay stored.
    void Start(const std::string& label, float startDelay, float blendTime);
    bool Update(float dt) override;

    float elapsed = 0.0f;
    bool move = false;
    float time = 2.0f;
    float moveDistance = kMoveDistance;
    float delay = 0.0f;
    bool blurAlpha = true;
    bool started = false;
    float forceAlpha = 0.0f;
};

// Fades objects out: after its delay, their alpha goes from 1 to 0 over its time; at the end
// they are disabled and those with killOnDisable killed. On the mini-game screen it holds 1.5 s
// at alpha 0 and then, when the level system has armed the leave, completes the level's
// blend-out (state word 5 or 6).
class FxBlendOut : public FxBlend, public OCreator<FxBlendOut> {
public:
    static constexpr std::string_view kClassName = "FxBlendOut";

    explicit FxBlendOut(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    // Takes the label's objects (not the disabled "GameAnim", "GestureGameElement" and
    // "GameButtonX" ones) at full alpha; several starts add up. Then delay is stored.
    void Start(const std::string& startLabel, int32_t startKeepFlag, float startDelay);
    bool Update(float dt) override;

    float elapsed = 0.0f;
    float time = 1.5f;
    uint8_t keepFlag = 0;
    bool blurAlpha = true;
    float delay = 0.0f;
    std::string label;
    float hold = 1.5f;
};
