#include "world/fx/LabelTarget.h"

#include "engine/ObjectsManager.h"
#include "media/RenderChunk.h"
#include "world/FxBlend.h"

LabelTarget::LabelTarget(ObjectsManager* owner) : SceneEffect(owner) {
    Watch(&target);
}

void LabelTarget::ChooseTarget() {
    target = nullptr;
    if (owner == nullptr || name.empty()) {
        return;
    }
    ForEachLabelled(*owner, name, [this](Object& object) { target = &object; });
}

void LabelTarget::SetAlpha(float alpha) {
    if (RenderChunk* sprite = Sprite(target)) {
        sprite->alpha = alpha;
    }
}
