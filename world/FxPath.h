#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <memory>
#include <string>
#include <string_view>

class ParticleEmitter;

// A spark that travels a straight line: its particle emitter moves from the start to the end
// point over its time (after its delay), then stops emitting and stays until its last particles
// have had time to fade (three times its time), then ends.
class FxPath : public Object, public OCreator<FxPath> {
public:
    static constexpr std::string_view kClassName = "FxPath";

    explicit FxPath(ObjectsManager* owner);
    ~FxPath() override;

    // Reads no keys.
    void SetProperty(const ParconCursor& cursor) override;
    // Loads the particle file into a new emitter placed at the start point, emitting.
    void Start(const std::string& particleFile, float startX, float startY, float endX, float endY,
               float pathTime, float startDelay);
    bool Update(float dt) override;
    void Draw() override;

    const ParticleEmitter* Emitter() const { return emitter.get(); }

    float delay = 0.0f;
    float elapsed = 0.0f;
    float time = 1.6f;
    float x = 0.0f;
    float y = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;

private:
    std::unique_ptr<ParticleEmitter> emitter;
};
