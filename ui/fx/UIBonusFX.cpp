#include "ui/fx/UIBonusFX.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/RenderChunk.h"

namespace {

RenderChunk* SpriteOfCode(ObjectsManager* scene, uint32_t code) {
    Object* object = scene != nullptr ? scene->FindByCode(code) : nullptr;
    return object != nullptr ? dynamic_cast<RenderChunk*>(object->GetChunk(FourCC("SPRT"), 0))
                             : nullptr;
}

} // namespace

UIBonusFX::UIBonusFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIBonusFX>*>(this), 0, 0);
}

void UIBonusFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "object") {
            objects.push_back(PackId(values.NextString(true, "")));
        } else if (key == "time") {
            time = values.NextFloat(true, time);
        } else if (key == "minScale") {
            minScale = values.NextFloat(true, minScale);
        } else if (key == "maxScale") {
            maxScale = values.NextFloat(true, maxScale);
        } else {
            return false;
        }
        return true;
    });
}

float UIBonusFX::Pulse(float at, float length) {
    if (!(length > 0.0f)) {
        return 0.0f;
    }
    const float t = at / length;
    return 4.0f * t * (1.0f - t);
}

bool UIBonusFX::Update(float dt) {
    if (!started) {
        started = true;
        for (const uint32_t code : objects) {
            if (RenderChunk* sprite = SpriteOfCode(owner, code)) {
                sprite->scale = minScale;
                sprite->alpha = 0.0f;
            }
        }
    }
    const float a = Pulse(clock, time);
    for (const uint32_t code : objects) {
        if (RenderChunk* sprite = SpriteOfCode(owner, code)) {
            sprite->alpha = a;
            sprite->scale = minScale + a * (maxScale - minScale);
        }
    }
    clock += dt;
    return !(clock > time) && time > 0.0f;
}
