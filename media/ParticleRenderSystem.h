#pragma once

#include "media/ParticleEmitter.h"
#include "media/RenderChunk.h"

#include <cstdint>

// An object's particle effect ('PART'): an emitter that follows the object's position.
class ParticleChunk : public RenderChunk {
public:
    // Reads only "file" (a ".prt" file, required, which loads the emitter), "lifeTime" and
    // "static"; the pass flags stay off and the depth 0.
    void Init(const ParconCursor& cursor) override;
    void Draw() override;
    // Emits while the life time lasts (or for ever when static), at the object's position.
    void Update(float dt) override;

    float lifeTime = -1.0f; // seconds of emission left
    ParticleEmitter emitter;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    bool isStatic = false; // "static": emits for ever
};

// 'PART': makes particle chunks, keeps them in order of creation, runs them, and draws them
// sorted by depth in the main, post-render and after-all passes; depends on 'POSI'.
class ParticleRenderSystem : public System {
public:
    explicit ParticleRenderSystem(ObjectsManager* owner);

    void Update(float dt) override;
    void PostRender() override;
    void Render() override;
    void AfterRender() override;
    SystemChunk* CreateChunk(uint32_t index) override;

private:
    template <typename Selected>
    void SortAndDraw(Selected selected);
};
