#include "world/GameAnim.h"

#include "engine/Parcon.h"
#include "media/RenderChunk.h"

#include <optional>

GameAnim::GameAnim(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GameAnim>*>(this), 0, 0);
    updateDelay = 0.1f;
}

void GameAnim::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "fadeInStart") {
            fadeInStart = key.NextFloat(true, 0.0f);
        } else if (k == "fadeInTime") {
            fadeInTime = key.NextFloat(true, 0.0f);
        } else if (k == "fadeOutStart") {
            fadeOutStart = key.NextFloat(true, 0.0f);
        } else if (k == "fadeOutTime") {
            fadeOutTime = key.NextFloat(true, 0.0f);
        }
    }
}

bool GameAnim::Update(float dt) {
    BaseGameObject::Update(dt);
    if (!enabled) {
        return true;
    }
    elapsed += dt;
    RenderChunk* sprite = Sprite();
    // Without a sprite there is nothing to fade; the clock runs all the same.
    if (sprite == nullptr) {
        return true;
    }
    const float full = sprite->baseAlpha;
    float alpha = full;
    // A fade of no length (0 or less) jumps to its end value instead of dividing by it.
    if (fadeInStart >= 0.0f) {
        if (elapsed >= fadeInStart && elapsed <= fadeInStart + fadeInTime) {
            alpha = fadeInTime > 0.0f ? (elapsed - fadeInStart) / fadeInTime * full : full;
        }
        if (elapsed <= fadeInStart) {
            alpha = 0.0f;
        }
    }
    if (fadeOutStart >= 0.0f) {
        if (elapsed >= fadeOutStart && elapsed <= fadeOutStart + fadeOutTime) {
            alpha =
                fadeOutTime > 0.0f ? (1.0f - (elapsed - fadeOutStart) / fadeOutTime) * full : 0.0f;
        } else if (elapsed > fadeOutStart + fadeOutTime && elapsed >= fadeOutStart) {
            sprite->alpha = 0.0f;
            return true;
        }
    }
    if (alpha != 1.0f) {
        sprite->alpha = alpha;
    }
    return true;
}

SequenceAnimObject::SequenceAnimObject(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<SequenceAnimObject>*>(this), 0, 0);
}

void SequenceAnimObject::SetProperty(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        if (key.GetListName() == "sequenceId") {
            sequenceId = key.NextInt(true, 0);
        }
    }
}

bool SequenceAnimObject::Update(float dt) {
    return Object::Update(dt);
}
