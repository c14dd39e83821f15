#include "media/ParticleRenderSystem.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/profile.h"

#include <memory>
#include <string>

// ---------------------------------------------------------------------------------------------
// Chunk

void ParticleChunk::Init(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "file") {
            // The definition is read whole here; the emitter keeps nothing of the parser.
            Parcon parser;
            parser.OpenFile(key.NextString(true, ""), true);
            emitter.Load(*parser.Root(), 0);
        } else if (name == "lifeTime") {
            lifeTime = key.NextFloat(true, 0.0f);
            emitter.emitting = true;
        } else if (name == "static") {
            isStatic = key.NextInt(true, 0) != 0;
            emitter.emitting = true;
        }
    }
}

void ParticleChunk::Update(float dt) {
    lifeTime -= dt;
    emitter.emitting = lifeTime >= 0.0f || isStatic;
    if (position != nullptr) {
        emitter.x = position->x + offsetX;
        emitter.y = position->y + offsetY;
    }
    emitter.Update(dt);
}

void ParticleChunk::Draw() {
    emitter.Draw();
}

// ---------------------------------------------------------------------------------------------
// System

namespace {

float ParticleDepth(const ParticleChunk& chunk) {
    return chunk.zOrder;
}

} // namespace

ParticleRenderSystem::ParticleRenderSystem(ObjectsManager* owner) : System(owner, FourCC("PART")) {
    dependencies.push_back(FourCC("POSI"));
}

void ParticleRenderSystem::Update(float dt) {
    const ProfileScope profile("ParticleRenderSystem::Update");
    for (std::size_t i = 0; i < Chunks().size(); ++i) {
        static_cast<ParticleChunk*>(Chunks()[i])->Update(dt);
    }
}

template <typename Selected>
void ParticleRenderSystem::SortAndDraw(Selected selected) {
    SortByDepth<ParticleChunk>(KeptChunks(), ParticleDepth);
    for (std::size_t i = 0; i < Chunks().size(); ++i) {
        auto* chunk = static_cast<ParticleChunk*>(Chunks()[i]);
        if (chunk->visible && selected(*chunk)) {
            chunk->Draw();
        }
    }
}

void ParticleRenderSystem::Render() {
    const ProfileScope profile("ParticleRenderSystem::Render");
    SortAndDraw([](const ParticleChunk& chunk) { return !chunk.postRender; });
}

void ParticleRenderSystem::PostRender() {
    const ProfileScope profile("ParticleRenderSystem::PostRender");
    SortAndDraw([](const ParticleChunk& chunk) { return chunk.postRender; });
}

void ParticleRenderSystem::AfterRender() {
    SortAndDraw([](const ParticleChunk& chunk) { return chunk.afterAllRender; });
}

SystemChunk* ParticleRenderSystem::CreateChunk(uint32_t index) {
    SystemChunk* chunk = KeepChunk(std::make_unique<ParticleChunk>());
    chunk->index = index;
    return chunk;
}
