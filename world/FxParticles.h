#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <string>
#include <string_view>

class ObjectsManager;
class ParconCursor;
class ParticleChunk;
class PositionChunk;

// A particle effect of its own: a position and a particle chunk, which its creator places, loads
// and gives its seconds of emission. Once its emission has ended and its last particle has died
// it ends, so that effects made at every step (the sparks of a gesture trail) do not pile up.
class FxParticles : public Object, public OCreator<FxParticles> {
public:
    static constexpr std::string_view kClassName = "FxParticles";

    // Takes its chunks from the owner's 'POSI' and 'PART' systems; throws "Unknown system: %s"
    // when the owner has no such system.
    explicit FxParticles(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // False once the particle chunk emits no more and no particle lives.
    bool Update(float dt) override;

    PositionChunk& Position();
    ParticleChunk& Particles();

    float life = 0.0f; // given by the creator; nothing reads it
};

// One-shot sparks in the scene: an FxParticles at (x, y) with the ".prt" file's emitter, emitting
// for emission seconds, resolved and added. Nothing without a scene.
void SpawnOneShotParticles(ObjectsManager* scene, const std::string& file, float x, float y,
                    float emission, float life);
