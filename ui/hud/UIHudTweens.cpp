#include "ui/hud/UIHudTweens.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "ui/InGameFlow.h"
#include "ui/UIButton.h"
#include "ui/UserInterface.h"
#include "ui/hud/HudSupport.h"

#include <numbers>

namespace {

// The object code of a text: its first four characters, the first in the top byte.
uint32_t ObjectCode(const std::string& text) {
    return FourCC(std::string_view(text).substr(0, 4));
}

// The HUD's map buttons, which a moving object passes over.
constexpr uint32_t kMapButtons[] = {FourCC("LST1"), FourCC("LST2"), FourCC("MAPC")};

void SetMapButtonsAlpha(float alpha) {
    if (MainUI == nullptr) {
        return;
    }
    for (const uint32_t code : kMapButtons) {
        if (auto* button = dynamic_cast<UIBitmapButton*>(MainUI->FindByCode(code))) {
            if (SpriteRenderChunk* sprite = Hud::Sprite(*button)) {
                sprite->alpha = alpha;
            }
        }
    }
}

void FadeMapButtonsIn() {
    if (MainUI == nullptr) {
        return;
    }
    for (const uint32_t code : kMapButtons) {
        if (auto* button = dynamic_cast<UIBitmapButton*>(MainUI->FindByCode(code))) {
            RestartFadeIn(*button, 1.0f, 0.5f);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UIHudTween

UIHudTween::UIHudTween(ObjectsManager* owner) : UIObject(owner) {}

void UIHudTween::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "object") {
            Object* target =
                owner != nullptr ? owner->FindByCode(ObjectCode(values.NextString(true, "")))
                                 : nullptr;
            if (target != nullptr) {
                targets.emplace_back(target);
            }
        } else if (key == "time") {
            time = values.NextFloat(true, 0.0f);
        } else if (key == "delay") {
            delay = values.NextFloat(true, 0.0f);
        } else {
            return false;
        }
        return true;
    });
}

std::vector<Object*> UIHudTween::LiveTargets() const {
    std::vector<Object*> live;
    for (const ObjectLink& link : targets) {
        if (Object* target = link.In(owner)) {
            live.push_back(target);
        }
    }
    return live;
}

// ---------------------------------------------------------------------------------------------
// UIFxShift

UIFxShift::UIFxShift(ObjectsManager* owner) : UIHudTween(owner) {
    SetCreator(static_cast<OCreator<UIFxShift>*>(this), 0, 0);
}

void UIFxShift::SetProperty(const ParconCursor& cursor) {
    UIHudTween::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key != "destPos") {
            return false;
        }
        destX = values.NextFloat(true, 0.0f);
        destY = values.NextFloat(true, 0.0f);
        return true;
    });
}

bool UIFxShift::Step(float dt) {
    const float left = time - clock;
    const bool landed = left <= 0.0f;
    for (Object* target : LiveTargets()) {
        if (PositionChunk* position = Hud::Position(*target)) {
            position->x = landed ? destX : Hud::StepToward(position->x, destX, left, dt);
            position->y = landed ? destY : Hud::StepToward(position->y, destY, left, dt);
        }
    }
    if (!landed) {
        clock += dt;
    }
    return landed;
}

bool UIFxShift::Update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    return !Step(dt);
}

// ---------------------------------------------------------------------------------------------
// UIFxShiftObject

UIFxShiftObject::UIFxShiftObject(ObjectsManager* owner) : UIFxShift(owner) {
    SetCreator(static_cast<OCreator<UIFxShiftObject>*>(this), 0, 0);
}

void UIFxShiftObject::SetProperty(const ParconCursor& cursor) {
    UIFxShift::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key != "goBack") {
            return false;
        }
        goBack = values.NextInt(true, 0) != 0;
        return true;
    });
}

bool UIFxShiftObject::Update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    if (!Step(dt)) {
        for (Object* target : LiveTargets()) {
            if (SpriteRenderChunk* sprite = Hud::Sprite(*target)) {
                sprite->postRender = true;
            }
        }
        SetMapButtonsAlpha(0.0f);
        return true;
    }
    for (Object* target : LiveTargets()) {
        SpriteRenderChunk* sprite = Hud::Sprite(*target);
        if (sprite == nullptr) {
            continue;
        }
        if (goBack) {
            sprite->alpha = 1.0f;
        } else {
            sprite->postRender = false;
        }
    }
    if (goBack) {
        FadeMapButtonsIn();
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// UIFxScale, UIFxScaleObject

namespace {

// One scaling step of every live target; true when they have landed.
bool ScaleStep(const std::vector<Object*>& live, float destScale, float left, float dt) {
    const bool landed = left <= dt || left <= 0.0f;
    for (Object* target : live) {
        if (SpriteRenderChunk* sprite = Hud::Sprite(*target)) {
            sprite->scale = landed ? destScale : Hud::StepToward(sprite->scale, destScale, left, dt);
        }
    }
    return landed;
}

float ReadDestScale(const ParconCursor& cursor, float current) {
    float scale = current;
    UIObject::ForEachKey(cursor, [&scale](const std::string& key, ParconCursor& values) {
        if (key != "destScale") {
            return false;
        }
        scale = values.NextFloat(true, 0.0f);
        return true;
    });
    return scale;
}

} // namespace

UIFxScale::UIFxScale(ObjectsManager* owner) : UIHudTween(owner) {
    SetCreator(static_cast<OCreator<UIFxScale>*>(this), 0, 0);
}

void UIFxScale::SetProperty(const ParconCursor& cursor) {
    UIHudTween::SetProperty(cursor);
    destScale = ReadDestScale(cursor, destScale);
}

bool UIFxScale::Update(float dt) {
    const std::vector<Object*> live = LiveTargets();
    if (live.empty()) {
        return false;
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    const float left = time - clock;
    clock += dt;
    return !ScaleStep(live, destScale, left, dt);
}

UIFxScaleObject::UIFxScaleObject(ObjectsManager* owner) : UIHudTween(owner) {
    SetCreator(static_cast<OCreator<UIFxScaleObject>*>(this), 0, 0);
}

void UIFxScaleObject::SetProperty(const ParconCursor& cursor) {
    UIHudTween::SetProperty(cursor);
    destScale = ReadDestScale(cursor, destScale);
}

bool UIFxScaleObject::Update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    const float left = time - clock;
    const bool landed = ScaleStep(LiveTargets(), destScale, left, dt);
    clock += dt;
    return !landed;
}

// ---------------------------------------------------------------------------------------------
// UIFxRotate

UIFxRotate::UIFxRotate(ObjectsManager* owner) : UIHudTween(owner) {
    SetCreator(static_cast<OCreator<UIFxRotate>*>(this), 0, 0);
}

void UIFxRotate::SetProperty(const ParconCursor& cursor) {
    UIHudTween::SetProperty(cursor);
    delay = 0.0f; // a turn starts with its scene
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "angle") {
            angle = values.NextFloat(true, 0.0f);
        } else if (key == "continueRotate") {
            continueRotate = values.NextInt(true, 0) != 0;
        } else {
            return false;
        }
        return true;
    });
}

bool UIFxRotate::Update(float dt) {
    if (targets.empty()) {
        return false;
    }
    if (!started) {
        started = true;
        for (const ObjectLink& link : targets) {
            Object* target = link.In(owner);
            PositionChunk* position = target != nullptr ? Hud::Position(*target) : nullptr;
            startAngles.push_back(position != nullptr ? position->rotation : 0.0f);
        }
    }
    const bool wasOver = clock >= time;
    clock += dt;
    const bool over = clock >= time || time <= 0.0f;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        Object* target = targets[i].In(owner);
        PositionChunk* position = target != nullptr ? Hud::Position(*target) : nullptr;
        if (position == nullptr) {
            continue;
        }
        if (!over) {
            position->rotation = startAngles[i] + angle * clock / time;
        } else if (continueRotate && wasOver) {
            position->rotation -= kEndlessTurn * std::numbers::pi_v<float> / 180.0f * dt;
        } else {
            position->rotation = startAngles[i] + angle;
        }
    }
    return !over || continueRotate;
}
