#include "world/fx/FxPulseScale.h"

#include "media/RenderChunk.h"

FxPulseScale::FxPulseScale(ObjectsManager* owner) : SceneEffect(owner) {
    SetCreator(this, 0, 0);
    Watch(&target);
}

bool FxPulseScale::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    remaining -= dt;
    RenderChunk* sprite = Sprite(target);
    // A duration of 0 or less has no bump: the end at once.
    if (remaining > 0.0f && duration > 0.0f) {
        const float p = (duration - remaining) / duration;
        if (sprite != nullptr) {
            sprite->scale = 1.0f + 2.0f * p * (1.0f - p);
        }
        return true;
    }
    if (sprite != nullptr) {
        sprite->scale = 1.0f;
    }
    return false;
}
