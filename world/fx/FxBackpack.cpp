#include "world/fx/FxBackpack.h"

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/BaseGameObject.h"
#include "world/WorldServices.h"
#include "world/fx/FxMotion.h"

FxBackpack::FxBackpack(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<FxBackpack>*>(this), 0, 0);
    Sounds.PlayByName("backpack_open", false, 100, 0);
}

void FxBackpack::SetItem(Object* item) {
    if (item == nullptr) {
        return;
    }
    if (auto* sprite = dynamic_cast<RenderChunk*>(item->GetChunk(FourCC("SPRT"), 0))) {
        sprite->alpha = 0.0f;
    }
    target = ObjectLink(item);
    if (auto* position = dynamic_cast<PositionChunk*>(item->GetChunk(FourCC("POSI"), 0))) {
        position->y += kRise;
        position->initialX = position->x;
        position->initialY = position->y;
        startX = position->x;
        startY = position->y;
        endX = position->x;
        endY = position->y - kRise;
        currentX = startX;
        currentY = startY;
    }
    if (BaseGameObject::GetLevelFlag("inv_unlocked") == 0) {
        BaseGameObject::SetLevelFlag("inv_unlocked", 1);
    }
}

bool FxBackpack::Update(float dt) {
    const float left = duration - elapsed;
    elapsed += dt;
    Object* item = target.In(World().HudScene());
    if (item == nullptr) {
        return false;
    }
    auto* sprite = dynamic_cast<RenderChunk*>(item->GetChunk(FourCC("SPRT"), 0));
    auto* position = dynamic_cast<PositionChunk*>(item->GetChunk(FourCC("POSI"), 0));
    if (elapsed >= duration) {
        if (position != nullptr) {
            position->x = kPlaceX;
            position->y = kPlaceY;
        }
        return false;
    }
    if (sprite != nullptr) {
        sprite->alpha = elapsed / duration;
    }
    currentX = Motion::StepToward(currentX, endX, left, dt);
    currentY = Motion::StepToward(currentY, endY, left, dt);
    if (position != nullptr) {
        position->x = currentX;
        position->y = currentY;
    }
    return true;
}
