#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/LabelTarget.h"

#include <string_view>

// A glow that pulses for ever on the last object of its label. It rests (phase back to 0, the
// target disabled) while a mini-game screen blends in or is being left, and ends only when its
// target goes. Only scene objects (BaseGameObject) have their enabled state written; other
// targets get the alpha alone.
class PulseAlphaEffect : public LabelTarget {
public:
    // "name" (the label) and "startTime" (kept; the phase still starts at 0); then the target.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float phase = 0.0f;
    float startTime = 0.0f;
    bool paused = false;

protected:
    explicit PulseAlphaEffect(ObjectsManager* owner) : LabelTarget(owner) {}
    virtual float AlphaAt(float phase) const = 0;

private:
    void SetTargetEnabled(bool enabled);
};

// Swings the alpha between -0.25 and 0.25.
class FxPulseAlpha : public PulseAlphaEffect, public OCreator<FxPulseAlpha> {
public:
    static constexpr std::string_view kClassName = "FxPulseAlpha";
    explicit FxPulseAlpha(ObjectsManager* owner);

protected:
    float AlphaAt(float at) const override;
};

// Swings the alpha between 0 and 1; it also runs under a dialogue.
class FxPulseAlpha2 : public PulseAlphaEffect, public OCreator<FxPulseAlpha2> {
public:
    static constexpr std::string_view kClassName = "FxPulseAlpha2";
    explicit FxPulseAlpha2(ObjectsManager* owner);

protected:
    float AlphaAt(float at) const override;
};
