#include "world/FxParticles.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"

#include <array>
#include <cstdint>
#include <memory>

FxParticles::FxParticles(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
    if (owner == nullptr) {
        return;
    }
    // Both systems are looked up before either chunk is made, so a refusal leaves no chunk.
    const std::array<uint32_t, 2> ids = {FourCC("POSI"), FourCC("PART")};
    std::array<System*, 2> systems{};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        systems[i] = owner->FindSystem(ids[i]);
        if (systems[i] == nullptr) {
            throw Exception("Unknown system: %s", FourCCText(ids[i]).c_str());
        }
    }
    for (System* system : systems) {
        AddToSystem(system, 0);
    }
}

bool FxParticles::Update(float) {
    const ParticleEmitter& emitter = Particles().emitter;
    return emitter.emitting || emitter.IsAlive();
}

PositionChunk& FxParticles::Position() {
    return RequireChunk<PositionChunk>(FourCC("POSI"));
}

ParticleChunk& FxParticles::Particles() {
    return RequireChunk<ParticleChunk>(FourCC("PART"));
}

void SpawnOneShotParticles(ObjectsManager* scene, const std::string& file, float x, float y,
                    float emission, float life) {
    if (scene == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = scene->CreateObject(std::string(FxParticles::kClassName), true);
    auto* sparks = dynamic_cast<FxParticles*>(created.get());
    if (sparks == nullptr) {
        throw Exception("%s", "FxParticles is not a particle effect");
    }
    sparks->Position().x = x;
    sparks->Position().y = y;
    Parcon parser;
    parser.OpenFile(file, true);
    sparks->Particles().emitter.Load(*parser.Root(), 0);
    sparks->Particles().lifeTime = emission;
    sparks->life = life;
    sparks->ResolveDependencies();
    scene->AddObject(std::move(created));
}
