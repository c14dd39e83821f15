#include "world/fx/SceneEffect.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"

SceneEffect::SceneEffect(ObjectsManager* owner) : Object(owner) {
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
    }
}

SceneEffect::~SceneEffect() {
    if (owner != nullptr) {
        owner->RemoveRemovalListener(this);
    }
}

void SceneEffect::OnObjectGoing(Object* going) {
    for (Object** slot : watched) {
        if (*slot == going) {
            *slot = nullptr;
        }
    }
}

RenderChunk* SceneEffect::Sprite(Object* object) {
    return object != nullptr ? dynamic_cast<RenderChunk*>(object->GetChunk(FourCC("SPRT"), 0))
                             : nullptr;
}

PositionChunk* SceneEffect::Position(Object* object) {
    return object != nullptr ? dynamic_cast<PositionChunk*>(object->GetChunk(FourCC("POSI"), 0))
                             : nullptr;
}
