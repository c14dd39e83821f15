#include "world/fx/FxPulseAlpha.h"

#include "engine/Parcon.h"
#include "world/BaseGameObject.h"
#include "world/Level.h"

#include <cmath>
#include <optional>

void PulseAlphaEffect::SetProperty(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "name") {
            name = key.NextString(true, "");
        } else if (k == "startTime") {
            startTime = key.NextFloat(true, 0.0f);
        }
    }
    ChooseTarget();
}

void PulseAlphaEffect::SetTargetEnabled(bool enabled) {
    if (auto* object = dynamic_cast<BaseGameObject*>(target)) {
        object->enabled = enabled;
    }
}

bool PulseAlphaEffect::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    paused = ModalLevel != nullptr && (ModalLevel->returnFlag || !ModalLevel->blendFinished);
    if (paused) {
        phase = 0.0f;
        SetTargetEnabled(false);
        return true;
    }
    SetTargetEnabled(true);
    phase += dt;
    SetAlpha(AlphaAt(phase));
    return true;
}

FxPulseAlpha::FxPulseAlpha(ObjectsManager* owner) : PulseAlphaEffect(owner) {
    Object::SetCreator(static_cast<OCreator<FxPulseAlpha>*>(this), 0, 0);
}

float FxPulseAlpha::AlphaAt(float at) const {
    return 0.25f * std::sin(2.0f * at);
}

FxPulseAlpha2::FxPulseAlpha2(ObjectsManager* owner) : PulseAlphaEffect(owner) {
    Object::SetCreator(static_cast<OCreator<FxPulseAlpha2>*>(this), 0, 0);
}

float FxPulseAlpha2::AlphaAt(float at) const {
    return (std::sin(2.0f * at) + 1.0f) * 0.5f;
}
