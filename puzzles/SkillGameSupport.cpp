#include "puzzles/SkillGameSupport.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "media/ParticleRenderSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <memory>

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

SpriteRenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

bool MouseOn(Object& object) {
    const auto* collision = dynamic_cast<const CollisionChunk*>(object.GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

void PlayFull(const std::string& soundSet) {
    Sounds.PlayByName(soundSet, false, 100, 0);
}

std::string HeldItemName() {
    return GameLevel != nullptr && GameLevel->levelSystem != nullptr
               ? GameLevel->levelSystem->heldItemName
               : std::string();
}

void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y,
                    float seconds, float life) {
    if (scene == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = scene->CreateObject("FxParticles", true);
    auto* fx = dynamic_cast<FxParticles*>(created.get());
    if (fx == nullptr) {
        DebugLog("%s", "FxParticles is not a particle effect: no particles\n");
        return;
    }
    fx->Position().x = x;
    fx->Position().y = y;
    Parcon parser;
    parser.OpenFile(file, true);
    fx->Particles().emitter.Load(*parser.Root(), 0);
    fx->Particles().lifeTime = seconds;
    fx->life = life;
    scene->AddObject(std::move(created));
    fx->ResolveDependencies();
}

void RequestLeave() {
    if (ModalLevel == nullptr || ModalLevel->levelSystem == nullptr) {
        DebugLog("%s", "No mini-game level: the leave request is not set\n");
        return;
    }
    ModalLevel->levelSystem->leaveArmed = true;
}

void SetCloseFlag() {
    if (ModalLevel == nullptr) {
        DebugLog("%s", "No mini-game level: the close flag is not set\n");
        return;
    }
    ModalLevel->returnFlag = true;
}

void SetLocationFlag(const std::string& name, int value) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("The flag %s is not set: no location or no profile\n", name.c_str());
        return;
    }
    CurrentPlayer->SetFlag(GameLevel->GetName(), name, value);
}

void SetCompletionFlag() {
    if (ModalLevel == nullptr) {
        DebugLog("%s", "No mini-game level: no completion flag\n");
        return;
    }
    SetLocationFlag(ModalLevel->GetName() + "_completed", 1);
}

void CloseTutorialPopUp() {
    World().SetTutorialResult(kResultClose);
}

Object* FindNamed(ObjectsManager* scene, const std::string& name) {
    if (scene == nullptr || name.empty()) {
        return nullptr;
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->visName == name) {
            return slot.get();
        }
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->name == name) {
            return slot.get();
        }
    }
    return nullptr;
}
