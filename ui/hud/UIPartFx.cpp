#include "ui/hud/UIPartFx.h"

#include "media/ParticleEmitter.h"
#include "ui/hud/HudSupport.h"

UIPartFx::UIPartFx(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIPartFx>*>(this), 0, 0);
}

UIPartFx::~UIPartFx() = default;

void UIPartFx::Start(float x, float y, const std::string& particleFile, float seconds) {
    clock = 0.0f;
    emitter = Hud::LoadEmitter(particleFile, x, y);
    emissionTime = seconds;
}

bool UIPartFx::Update(float dt) {
    clock += dt;
    if (emitter == nullptr) {
        return false;
    }
    emitter->Update(dt);
    if (clock > emissionTime) {
        emitter->emitting = false;
        return false;
    }
    return true;
}

void UIPartFx::TopDraw() {
    if (emitter != nullptr && emitter->emitting) {
        emitter->Draw();
    }
}
