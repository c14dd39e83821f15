#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ParticleEmitter;

// A field of particle emitters that its owner drives: a button's "overFx" sparkle. The owner
// adds the emitters, calls Update and Draw itself and stops the field on a click.
class FxField : public Object, public OCreator<FxField> {
public:
    static constexpr std::string_view kClassName = "FxField";

    explicit FxField(ObjectsManager* owner);
    // A field outside any scene, as a button owns it.
    FxField();
    ~FxField() override;

    void SetProperty(const ParconCursor&) override {}
    // Loads the particle file into a new emitter at (x, y), not emitting until the next Update.
    void AddEmitter(const std::string& particleFile, float x, float y);
    // Inactive: emission off and every particle gone.
    void Stop();
    // While active, every emitter emits; all of them run, so particles die out when inactive.
    // Always true.
    bool Update(float dt) override;
    void Draw() override;

    const std::vector<std::unique_ptr<ParticleEmitter>>& Emitters() const { return emitters; }

    bool active = true;

private:
    std::vector<std::unique_ptr<ParticleEmitter>> emitters;
};
