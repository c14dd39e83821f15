#include "world/FxBlend.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/BaseGameObject.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <algorithm>

namespace {

RenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<RenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

void SetAlpha(Object& object, float alpha) {
    if (RenderChunk* sprite = SpriteOf(object)) {
        sprite->alpha = alpha;
    }
}

PositionChunk& RequirePosition(Object& object) {
    auto* position = dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
    if (position == nullptr) {
        throw Exception("FxBlendIn: %s has no position to move", object.visName.c_str());
    }
    return *position;
}

// A fade whose time is 0 or less is over at once: no step divides by it.
bool StillBlending(float elapsed, float time) {
    return time > 0.0f && elapsed < time;
}

} // namespace

void ForEachLabelled(ObjectsManager& scene, const std::string& label,
                     const std::function<void(Object&)>& f) {
    const uint32_t code = FourCC(label);
    const auto& objects = scene.Objects();
    // By index: f may add objects to the scene.
    for (std::size_t i = 0; i < objects.size(); ++i) {
        Object* object = objects[i].get();
        if (object != nullptr && !object->dead && object->code == code) {
            f(*object);
        }
    }
}

FxBlend::FxBlend(ObjectsManager* owner) : Object(owner) {
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
    }
}

FxBlend::~FxBlend() {
    if (owner != nullptr) {
        owner->RemoveRemovalListener(this);
    }
}

void FxBlend::OnObjectGoing(Object* going) {
    targets.remove(going);
}

void FxBlend::PurgeDeadTargets() {
    targets.remove_if([](const Object* target) { return target->dead; });
}

void FxBlend::AddTarget(Object* target) {
    if (target != nullptr && std::find(targets.begin(), targets.end(), target) == targets.end()) {
        targets.push_back(target);
    }
}

void FxBlend::ForEachLiveTarget(const std::function<void(Object&)>& f) {
    // A copy: killing a target may let it go, which edits the list.
    const std::list<Object*> live = targets;
    for (Object* target : live) {
        if (!target->dead && std::find(targets.begin(), targets.end(), target) != targets.end()) {
            f(*target);
        }
    }
}

FxBlendIn::FxBlendIn(ObjectsManager* owner) : FxBlend(owner) {
    SetCreator(this, 0, 0);
}

void FxBlendIn::SetProperty(const ParconCursor& cursor) {
    std::string label;
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "name") {
            label = key.NextString(true, "");
        } else if (k == "time") {
            time = key.NextFloat(true, 0.0f);
        } else if (k == "move") {
            move = key.NextInt(true, 0) != 0;
        } else if (k == "blurAlpha") {
            blurAlpha = key.NextInt(true, 0) != 0;
        } else if (k == "forceAlpha") {
            forceAlpha = key.NextFloat(true, 0.0f);
        }
    }
    if (owner == nullptr || label.empty()) {
        return;
    }
    ForEachLabelled(*owner, label, [this](Object& target) {
        SetAlpha(target, forceAlpha);
        if (move) {
            RequirePosition(target).initialY -= moveDistance;
        }
        AddTarget(&target);
    });
}

void FxBlendIn::Start(const std::string& label, float startDelay, float blendTime) {
    time = blendTime;
    if (label.empty()) {
        return;
    }
    if (ModalLevel != nullptr) {
        ModalLevel->blendFinished = false;
    }
    if (owner != nullptr) {
        ForEachLabelled(*owner, label, [this](Object& target) {
            SetAlpha(target, 0.0f);
            if (auto* object = dynamic_cast<BaseGameObject*>(&target)) {
                object->enabled = true;
            }
            AddTarget(&target);
        });
    }
    if (ModalLevel != nullptr) {
        ModalLevel->blurredBackgroundAlpha = 0.0f;
    }
    delay = startDelay;
}

bool FxBlendIn::Update(float dt) {
    if (delay > 0.0f) {
        if (forceAlpha == 0.0f) {
            ForEachLiveTarget([](Object& target) { SetAlpha(target, 0.0f); });
        }
        delay -= dt;
        return true;
    }
    elapsed += dt;
    if (StillBlending(elapsed, time)) {
        const float t = elapsed / time;
        ForEachLiveTarget([this, t](Object& target) {
            if (!started && (target.name == "GameAnim" || target.name == "GameButtonX")) {
                if (auto* object = dynamic_cast<BaseGameObject*>(&target)) {
                    object->SpawnStateFx(false);
                    Sounds.PlayByName(object->GetEnableSound(), false, 100, 0);
                }
            }
            if (forceAlpha == 0.0f) {
                SetAlpha(target, t);
            }
            if (move) {
                PositionChunk& position = RequirePosition(target);
                position.y = position.initialY + t * moveDistance;
            }
        });
        started = true;
        if (ModalLevel != nullptr) {
            if (blurAlpha) {
                ModalLevel->blurredBackgroundAlpha = t;
            }
            ModalLevel->blendFinished = false;
        }
        return true;
    }
    ForEachLiveTarget([this](Object& target) {
        if (move) {
            PositionChunk& position = RequirePosition(target);
            position.y = position.initialY + moveDistance;
        }
        SetAlpha(target, 1.0f);
        if (GameLevel != nullptr) {
            BaseGameObject::SetLevelFlag(target.visName + "_enabled", 1);
        }
    });
    if (ModalLevel != nullptr) {
        if (blurAlpha) {
            ModalLevel->blurredBackgroundAlpha = 1.0f;
        }
        ModalLevel->blendFinished = true;
    }
    return false;
}

FxBlendOut::FxBlendOut(ObjectsManager* owner) : FxBlend(owner) {
    SetCreator(this, 0, 0);
}

void FxBlendOut::SetProperty(const ParconCursor&) {}

void FxBlendOut::Start(const std::string& startLabel, int32_t startKeepFlag, float startDelay) {
    if (startLabel.empty()) {
        return;
    }
    keepFlag = static_cast<uint8_t>(startKeepFlag & 0xFF);
    label = startLabel;
    if (ModalLevel != nullptr) {
        ModalLevel->blendFinished = false;
    }
    if (owner != nullptr) {
        ForEachLabelled(*owner, label, [this](Object& target) {
            const auto* object = dynamic_cast<const BaseGameObject*>(&target);
            const bool skippedWhenDisabled = target.name == "GameAnim" ||
                                             target.name == "GestureGameElement" ||
                                             target.name == "GameButtonX";
            if (skippedWhenDisabled && object != nullptr && !object->enabled) {
                return;
            }
            AddTarget(&target);
            if (RenderChunk* sprite = SpriteOf(target); sprite != nullptr && sprite->alpha > 0.0f) {
                sprite->alpha = 1.0f;
            }
        });
    }
    if (ModalLevel != nullptr) {
        ModalLevel->blurredBackgroundAlpha = 1.0f;
    }
    delay = startDelay;
}

bool FxBlendOut::Update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    elapsed += dt;
    if (StillBlending(elapsed, time)) {
        const float u = 1.0f - elapsed / time;
        ForEachLiveTarget([u](Object& target) {
            if (RenderChunk* sprite = SpriteOf(target)) {
                sprite->visible = true;
                sprite->alpha = u;
            }
        });
        if (ModalLevel != nullptr) {
            if (blurAlpha) {
                ModalLevel->blurredBackgroundAlpha = u;
            }
            ModalLevel->blendFinished = false;
        }
        return true;
    }
    ForEachLiveTarget([](Object& target) { SetAlpha(target, 0.0f); });
    if (ModalLevel != nullptr && blurAlpha) {
        if (hold > 0.0f) {
            hold -= dt;
            return true;
        }
        NormalLevelSystem* system = ModalLevel->levelSystem;
        if (system != nullptr && system->leaveArmed) {
            system->leaveArmed = false;
            if (ModalLevel->returnFlag) {
                ModalLevel->CompleteBlendOut();
            } else {
                ModalLevel->CompleteBlendOutAndLeave();
            }
        }
    }
    if (ModalLevel != nullptr) {
        ModalLevel->blendFinished = true;
    }
    ForEachLiveTarget([](Object& target) {
        if (auto* object = dynamic_cast<BaseGameObject*>(&target)) {
            object->enabled = false;
            if (object->killOnDisable) {
                object->Kill();
            }
        }
    });
    return false;
}
