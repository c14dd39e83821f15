#include "puzzles/PuzzleSupport.h"

#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/SpriteRenderSystem.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <memory>

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

SpriteRenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y, float seconds,
                    float life) {
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
