#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <string_view>

class ParconCursor;
class ParticleChunk;
class PositionChunk;

// A particle effect of its own: a position and a particle chunk, which its creator places, loads
// and gives its seconds of emission. It never ends by itself: once its particles have died out it
// stays in its scene, drawing nothing, until the scene is cleared.
class FxParticles : public Object, public OCreator<FxParticles> {
public:
    static constexpr std::string_view kClassName = "FxParticles";

    // Takes its chunks from the owner's 'POSI' and 'PART' systems; throws "Unknown system: %s"
    // when the owner has no such system.
    explicit FxParticles(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // Always true, whatever dead holds: nothing ends the effect.
    bool Update(float dt) override;

    PositionChunk& Position();
    ParticleChunk& Particles();

    float life = 0.0f; // given by the creator; nothing reads it
};
