#include "world/fx/FxFlyTo.h"

#include "engine/PositionSystem.h"
#include "media/Math2D.h"
#include "media/RenderChunk.h"

#include <algorithm>

FxFlyTo::FxFlyTo(ObjectsManager* owner) : SceneEffect(owner) {
    SetCreator(this, 0, 0);
    Watch(&target);
}

bool FxFlyTo::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    elapsed += dt;
    if (elapsed >= duration) {
        return false;
    }
    const float left = duration - elapsed;
    x = Approach(x, endX, left, dt);
    y = Approach(y, endY, left, dt);
    if (RenderChunk* sprite = Sprite(target)) {
        sprite->alpha = elapsed / duration;
        sprite->scale = std::max(left, kSmallestScale);
    }
    if (PositionChunk* position = Position(target)) {
        const Vector2 drawn = Math2D::RotatePoint({x, y}, {endX, endY}, spin * elapsed * 0.5f);
        position->x = drawn.x;
        position->y = drawn.y;
    }
    return true;
}
