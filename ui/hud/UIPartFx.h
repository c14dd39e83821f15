#pragma once

#include "engine/ClassFactory.h"
#include "ui/HudParts.h"
#include "ui/UIObject.h"

#include <memory>
#include <string>
#include <string_view>

class ParticleEmitter;

// A particle burst at a screen point: it emits for its emission time, then ends.
class UIPartFx : public UIObject, public OCreator<UIPartFx>, public ParticleFxPart {
public:
    static constexpr std::string_view kClassName = "UIPartFx";

    explicit UIPartFx(ObjectsManager* owner);
    ~UIPartFx() override;

    // The clock back to 0; the emitter loaded from the ".prt" file, at (x, y), emitting for the
    // seconds given.
    void Start(float x, float y, const std::string& particleFile, float emissionTime) override;
    bool Update(float dt) override;
    void TopDraw() override;

    const ParticleEmitter* Emitter() const { return emitter.get(); }

    float clock = 0.0f;
    float emissionTime = 1.0f;

private:
    std::unique_ptr<ParticleEmitter> emitter;
};
