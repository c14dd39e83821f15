#pragma once

// The remaining-time rule of the motion effects.
namespace Motion {

// One step from current toward end when timeLeft seconds are left: within a step of the end (a
// hair more, for the rounding of summed steps), or with no time left, the end itself, so no step
// overshoots or divides by a vanishing time.
inline float StepToward(float current, float end, float timeLeft, float dt) {
    constexpr float kStepSlack = 1e-4f;
    if (timeLeft <= dt + kStepSlack) {
        return end;
    }
    return current + (end - current) / timeLeft * dt;
}

} // namespace Motion
