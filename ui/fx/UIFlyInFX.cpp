#include "ui/fx/UIFlyInFX.h"

#include "engine/FourCC.h"
#include "engine/MessageReceiver.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "ui/fx/UIMapZoomFX.h"

#include <algorithm>
#include <cmath>

namespace {

struct Flyer {
    PositionChunk* position = nullptr;
    SpriteRenderChunk* sprite = nullptr;
};

Flyer FlyerOf(ObjectsManager* scene, uint32_t code) {
    Object* object = scene != nullptr ? scene->FindByCode(code) : nullptr;
    if (object == nullptr) {
        return {};
    }
    return {dynamic_cast<PositionChunk*>(object->GetChunk(FourCC("POSI"), 0)),
            dynamic_cast<SpriteRenderChunk*>(object->GetChunk(FourCC("SPRT"), 0))};
}

// The id's last character as a number from 1 when its first three characters are the prefix;
// 0 otherwise.
int NumberedId(uint32_t id, const char* prefix) {
    if ((id & 0xFFFFFF00u) != (FourCC(prefix) & 0xFFFFFF00u)) {
        return 0;
    }
    const int digit = static_cast<int>(id & 0xFF) - '0';
    return digit;
}

} // namespace

UIFlyInFX::UIFlyInFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIFlyInFX>*>(this), 0, 0);
}

void UIFlyInFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "object") {
            objects.push_back(PackId(values.NextString(true, "")));
        } else if (key == "flair") {
            flairs.push_back(PackId(values.NextString(true, "")));
        } else if (key == "zoomSpeed") {
            zoomSpeed = values.NextFloat(true, zoomSpeed);
        } else if (key == "startPos") {
            startX = values.NextFloat(true, startX);
            startY = values.NextFloat(true, startY);
        } else if (key == "event") {
            event = PackId(values.NextString(true, ""));
        } else {
            return false;
        }
        return true;
    });
}

void UIFlyInFX::OnMessage(const void*, uint32_t id, uint32_t) {
    const int flair = NumberedId(id, "ZOF1");
    if (flair >= 1 && flair <= 4) {
        if (static_cast<std::size_t>(flair) <= flairs.size()) {
            objects = {flairs[static_cast<std::size_t>(flair - 1)]};
            flairChosen = true;
        }
        Start();
        return;
    }
    const int plain = NumberedId(id, "ZOE1");
    if (plain >= 1 && plain <= 6) {
        Start();
    }
}

void UIFlyInFX::Start() {
    clock = 0.0f;
    for (const uint32_t code : objects) {
        const Flyer flyer = FlyerOf(owner, code);
        if (flyer.position == nullptr || flyer.sprite == nullptr) {
            continue;
        }
        flyer.sprite->scale = kStartScale;
        flyer.sprite->zOrder = kStartDepth;
        flyer.sprite->alpha = 0.0f;
        const FrameRect frame =
            flyer.sprite->player.GetFrameRect(flyer.sprite->player.CurrentAnimName());
        const float centreX = static_cast<float>(frame.left + frame.right) * 0.5f;
        const float centreY = static_cast<float>(frame.top + frame.bottom) * 0.5f;
        flyer.position->x = startX - centreX * kStartScale;
        flyer.position->y = startY - centreY * kStartScale;
    }
}

bool UIFlyInFX::Update(float dt) {
    if (!Flying()) {
        return true;
    }
    clock += dt;
    const float step = std::min(1.0f, zoomSpeed * kRatePerSpeed * dt);
    bool firstArrived = false;
    bool first = true;
    for (const uint32_t code : objects) {
        const Flyer flyer = FlyerOf(owner, code);
        if (flyer.position == nullptr || flyer.sprite == nullptr) {
            continue;
        }
        PositionChunk& position = *flyer.position;
        SpriteRenderChunk& sprite = *flyer.sprite;
        position.x += (position.initialX - position.x) * step;
        position.y += (position.initialY - position.y) * step;
        sprite.scale += (1.0f - sprite.scale) * step;
        sprite.zOrder += (sprite.baseZOrder - sprite.zOrder) * step;
        sprite.alpha += (1.0f - sprite.alpha) * step;
        if (first) {
            first = false;
            firstArrived = std::hypot(position.initialX - position.x,
                                      position.initialY - position.y) <= kNear;
        }
    }
    if (firstArrived || first || clock >= kLongest) {
        Finish();
    }
    return true;
}

void UIFlyInFX::Finish() {
    for (const uint32_t code : objects) {
        const Flyer flyer = FlyerOf(owner, code);
        if (flyer.position == nullptr || flyer.sprite == nullptr) {
            continue;
        }
        flyer.position->x = flyer.position->initialX;
        flyer.position->y = flyer.position->initialY;
        flyer.sprite->scale = 1.0f;
        flyer.sprite->zOrder = flyer.sprite->baseZOrder;
        flyer.sprite->alpha = 1.0f;
    }
    const uint32_t done =
        event != 0 ? event : (flairChosen ? FourCC("ENDF") : FourCC("ENDW"));
    PostEvent(dynamic_cast<MessageReceiver*>(owner), done);
    clock = -1.0f;
}

void PassEventToScreenEffects(ObjectsManager& scene, const void* sender, uint32_t id,
                              uint32_t param) {
    const ObjectsManager::WalkScope walk(scene);
    for (std::size_t i = 0; i < scene.Objects().size() && !scene.IsBeingDeleted(); ++i) {
        Object* object = scene.Objects()[i].get();
        if (dynamic_cast<UIFlyInFX*>(object) != nullptr ||
            dynamic_cast<UIMapZoomFX*>(object) != nullptr) {
            object->OnMessage(sender, id, param);
        }
    }
}
