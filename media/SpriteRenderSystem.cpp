#include "media/SpriteRenderSystem.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"
#include "engine/profile.h"
#include "media/Renderer.h"

#include <cmath>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Chunk

void SpriteRenderChunk::Init(const ParconCursor& cursor) {
    RenderChunk::Init(cursor);
    std::vector<std::string> candidates;
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "visualName") {
            visualCode = FourCC(key.NextString(true, ""));
        } else if (name == "file") {
            player.Load(key.NextString(true, ""));
            player.ResetToFirst();
        } else if (name == "rfile") {
            candidates.push_back(key.NextString(true, ""));
        } else if (name == "animName") {
            player.Play(key.NextString(true, ""), true, false, true, 0.0f);
        } else if (name == "shift") {
            shiftX = key.NextFloat(true, 0.0f);
            shiftY = key.NextFloat(true, 0.0f);
        } else if (name == "blending") {
            blending = key.NextInt(true, 0);
        } else if (name == "alphaTestingValue") {
            alphaTestingValue = key.NextInt(true, 0);
        } else if (name == "alphaBlend") {
            alphaBlend = key.NextInt(true, 0) != 0;
        }
    }
    if (!candidates.empty()) {
        const auto chosen = static_cast<std::size_t>(Random()) % candidates.size();
        player.Load(candidates[chosen]);
        player.ResetToFirst();
    }
}

void SpriteRenderChunk::Update(float dt) {
    RenderChunk::Update(dt);
    if (alpha > 0.0f) {
        player.Update(dt);
    }
}

std::optional<FrameRect> SpriteRenderChunk::FirstFrameRect(const std::string& animation) const {
    return player.GetFrameRect(animation);
}

void SpriteRenderChunk::SetStates() const {
    if (textureAddressing == kAddressingClamp) {
        Renderer::SetTextureStageState(TextureStageState::AddressU, kAddressClamp);
        Renderer::SetTextureStageState(TextureStageState::AddressV, kAddressClamp);
    } else if (textureAddressing == kAddressingMirror) {
        Renderer::SetTextureStageState(TextureStageState::AddressU, kAddressMirror);
        Renderer::SetTextureStageState(TextureStageState::AddressV, kAddressMirror);
    }
    switch (blending) {
    case kBlendAdditive:
        Renderer::SetBlendMode(Renderer::kBlendModeAdd);
        break;
    case kBlendSubtract:
        Renderer::SetRenderState(RenderState::BlendOp, kBlendOpRevSubtract);
        break;
    case kBlendAlphaTest:
        Renderer::SetAlphaBlendEnable(false);
        Renderer::SetAlphaTest(true, static_cast<uint32_t>(alphaTestingValue), alphaTestEqual);
        break;
    default:
        break;
    }
    if (!alphaBlend) {
        Renderer::SetAlphaBlendEnable(false);
    }
}

void SpriteRenderChunk::RestoreStates() const {
    switch (blending) {
    case kBlendAdditive:
        Renderer::SetBlendMode(Renderer::kBlendModeAlpha);
        break;
    case kBlendSubtract:
        Renderer::SetRenderState(RenderState::BlendOp, kBlendOpAdd);
        break;
    case kBlendAlphaTest:
        Renderer::SetAlphaBlendEnable(true);
        Renderer::SetAlphaTest(false, 0, false);
        break;
    default:
        break;
    }
    if (!alphaBlend) {
        Renderer::SetAlphaBlendEnable(true);
    }
    // Mirroring stays set: every sprite sets its own addressing.
    if (textureAddressing == kAddressingClamp) {
        Renderer::SetTextureStageState(TextureStageState::AddressU, kAddressWrap);
        Renderer::SetTextureStageState(TextureStageState::AddressV, kAddressWrap);
    }
}

void SpriteRenderChunk::Draw() {
    if (!(alpha > 0.0f) || !visible || player.GetFileName().empty() || position == nullptr) {
        return;
    }
    SetStates();
    float x = position->x + shiftX;
    float y = position->y + shiftY;
    // At scale 1 texels map one to one onto whole pixels.
    if (scale == 1.0f) {
        x = std::floor(x);
        y = std::floor(y);
    }
    player.Draw(x, y, zOrder, position->rotation, alpha, scale, fill, leftCut,
                static_cast<uint32_t>(tint));
    RestoreStates();
}

// ---------------------------------------------------------------------------------------------
// System

namespace {

float SpriteDepth(const SpriteRenderChunk& chunk) {
    return chunk.zOrder;
}

} // namespace

SpriteRenderSystem::SpriteRenderSystem(ObjectsManager* owner) : System(owner, FourCC("SPRT")) {
    dependencies.push_back(FourCC("POSI"));
}

void SpriteRenderSystem::Update(float dt) {
    const ProfileScope profile("SpriteRenderSystem::Update");
    // By index: a chunk's update may add objects to the scene, and so chunks to this list.
    for (std::size_t i = 0; i < Chunks().size(); ++i) {
        static_cast<SpriteRenderChunk*>(Chunks()[i])->Update(dt);
    }
}

template <typename Selected>
void SpriteRenderSystem::DrawSelected(Selected selected) {
    for (std::size_t i = 0; i < Chunks().size(); ++i) {
        auto* chunk = static_cast<SpriteRenderChunk*>(Chunks()[i]);
        if (chunk->visible && chunk->alpha > 0.0f && selected(*chunk)) {
            chunk->Draw();
        }
    }
}

void SpriteRenderSystem::PreRender() {
    const ProfileScope profile("SpriteRenderSystem::PreRender");
    SortByDepth<SpriteRenderChunk>(KeptChunks(), SpriteDepth);
    DrawSelected([](const SpriteRenderChunk& chunk) { return chunk.preRender; });
}

void SpriteRenderSystem::Render() {
    const ProfileScope profile("SpriteRenderSystem::Render");
    DrawSelected(
        [](const SpriteRenderChunk& chunk) { return !chunk.preRender && !chunk.postRender; });
}

void SpriteRenderSystem::PostRender() {
    const ProfileScope profile("SpriteRenderSystem::PostRender");
    DrawSelected([](const SpriteRenderChunk& chunk) { return chunk.postRender; });
}

void SpriteRenderSystem::AfterRender() {
    DrawSelected([](const SpriteRenderChunk& chunk) { return chunk.afterAllRender; });
}

SystemChunk* SpriteRenderSystem::CreateChunk(uint32_t index) {
    SystemChunk* chunk = KeepChunk(std::make_unique<SpriteRenderChunk>());
    chunk->index = index;
    return chunk;
}
