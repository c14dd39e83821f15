#include "world/fx/FxContainerOpenClose.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/Math2D.h"
#include "media/RenderChunk.h"
#include "world/SmartUI.h"
#include "world/fx/FxMotion.h"

#include <memory>

namespace {

RenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<RenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

void SetLook(Object& object, float alphaAndScale) {
    if (RenderChunk* sprite = SpriteOf(object)) {
        sprite->alpha = alphaAndScale;
        sprite->scale = alphaAndScale;
    }
}

void SetArrived(Object& object, bool arrived) {
    if (auto* slot = dynamic_cast<SmartUISlot*>(&object)) {
        slot->ready = arrived;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// FxContainerOpenClose

FxContainerOpenClose::FxContainerOpenClose(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<FxContainerOpenClose>*>(this), 0, 0);
}

void FxContainerOpenClose::AddItem(Object* item, bool visible) {
    if (item == nullptr) {
        return;
    }
    if (RenderChunk* sprite = SpriteOf(*item)) {
        sprite->alpha = visible ? 1.0f : 0.0f;
    }
    items.emplace_back(item);
}

void FxContainerOpenClose::Setup(float x, float y, bool into, uint32_t kept) {
    centreX = x;
    centreY = y;
    intoContainer = into;
    word = kept;
    nextIndex = static_cast<int>(items.size()) - 1;
}

bool FxContainerOpenClose::Update(float dt) {
    elapsed += dt;
    if (nextIndex < 0) {
        return false;
    }
    if (elapsed < interval) {
        return true;
    }
    elapsed = 0.0f;
    Object* item = items[static_cast<std::size_t>(nextIndex)].In(owner);
    --nextIndex;
    if (item == nullptr || owner == nullptr) {
        return true;
    }
    std::unique_ptr<Object> created = owner->CreateObject(std::string(FxSlotOpenClose::kClassName), true);
    auto* slotFx = dynamic_cast<FxSlotOpenClose*>(created.get());
    if (slotFx == nullptr) {
        return true;
    }
    slotFx->SetTarget(item, intoContainer);
    slotFx->SetPath(centreX, centreY, intoContainer);
    owner->AddObject(std::move(created));
    return true;
}

// ---------------------------------------------------------------------------------------------
// FxSlotOpenClose

FxSlotOpenClose::FxSlotOpenClose(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<FxSlotOpenClose>*>(this), 0, 0);
}

void FxSlotOpenClose::SetTarget(Object* item, bool into) {
    if (item == nullptr) {
        target.Reset();
        return;
    }
    SetLook(*item, into ? 1.0f : 0.0f);
    target = ObjectLink(item);
}

void FxSlotOpenClose::SetPath(float x, float y, bool into) {
    intoContainer = into;
    centreX = x;
    centreY = y;
    Object* item = target.In(owner);
    const PositionChunk* position = item != nullptr ? PositionOf(*item) : nullptr;
    const float placeX = position != nullptr ? position->x : x;
    const float placeY = position != nullptr ? position->y : y;
    startX = into ? placeX : x;
    startY = into ? placeY : y;
    endX = into ? x : placeX;
    endY = into ? y : placeY;
    currentX = startX;
    currentY = startY;
}

bool FxSlotOpenClose::Update(float dt) {
    const float left = duration - elapsed;
    elapsed += dt;
    Object* item = target.In(owner);
    if (item == nullptr) {
        return false;
    }
    PositionChunk* position = PositionOf(*item);
    if (elapsed >= duration) {
        if (position != nullptr) {
            position->x = endX;
            position->y = endY;
        }
        if (intoContainer) {
            SetLook(*item, 0.0f);
            item->dead = true;
        } else {
            SetLook(*item, 1.0f);
            SetArrived(*item, true);
        }
        return false;
    }
    const float share = elapsed / duration;
    SetLook(*item, intoContainer ? 1.0f - share : share);
    SetArrived(*item, false);
    spin += 4.0f * dt;
    currentX = Motion::StepToward(currentX, endX, left, dt);
    currentY = Motion::StepToward(currentY, endY, left, dt);
    if (position != nullptr) {
        const Vector2 placed = Math2D::RotatePoint({currentX, currentY}, {centreX, centreY}, spin);
        position->x = placed.x;
        position->y = placed.y;
    }
    return true;
}
