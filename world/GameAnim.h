#pragma once

#include "world/BaseGameObject.h"

#include <string_view>

// A scene object that only shows its sprite, with an optional timed fade-in and fade-out counted
// from the time it has been enabled. A start below 0 switches that fade off.
class GameAnim : public BaseGameObject, public OCreator<GameAnim> {
public:
    static constexpr std::string_view kClassName = "GameAnim";

    explicit GameAnim(ObjectsManager* owner);

    // The object's keys, then "fadeInStart", "fadeInTime", "fadeOutStart", "fadeOutTime".
    void SetProperty(const ParconCursor& cursor) override;
    // The object's step first, then, while enabled, the fades; once the fade-out is over the
    // sprite stays at alpha 0. Always true.
    bool Update(float dt) override;

    float fadeInStart = -1.0f;
    float fadeInTime = -1.0f;
    float fadeOutStart = -1.0f;
    float fadeOutTime = -1.0f;
    float elapsed = 0.0f; // seconds enabled
};

// A passive sprite that carries its place in a puzzle's sequence of steps; the sequence manager
// marks it while its step is the current one. It reads no other key and has no enabled state.
class SequenceAnimObject : public BaseGameObject, public OCreator<SequenceAnimObject> {
public:
    static constexpr std::string_view kClassName = "SequenceAnimObject";
    // Outside every manager's step range: an object that names none never matches.
    static constexpr int32_t kNoSequence = -1;

    explicit SequenceAnimObject(ObjectsManager* owner);

    // Only "sequenceId".
    void SetProperty(const ParconCursor& cursor) override;
    // Alive while not dead: no hover, no enable or disable state.
    bool Update(float dt) override;

    int32_t sequenceId = kNoSequence;
};
