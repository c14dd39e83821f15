#pragma once

#include "media/AnimPlayer.h"
#include "media/RenderChunk.h"

#include <cstdint>
#include <optional>
#include <string>

// An object's picture ('SPRT'): an animation player drawn at the object's position.
class SpriteRenderChunk : public RenderChunk {
public:
    // Texture addressing of stage 0 while the sprite draws.
    static constexpr int32_t kAddressingClamp = 1;
    static constexpr int32_t kAddressingMirror = 2;
    // Blending modes ("blending").
    static constexpr int32_t kBlendNormal = 0;
    static constexpr int32_t kBlendAdditive = 1;
    static constexpr int32_t kBlendSubtract = 2;
    static constexpr int32_t kBlendAlphaTest = 3;

    // The render keys, then "visualName", "file", "rfile", "animName", "shift", "blending",
    // "alphaTestingValue" and "alphaBlend"; after all keys one "rfile" candidate is chosen at
    // random and bound.
    void Init(const ParconCursor& cursor) override;
    // Draws the current frame when opaque enough, visible and bound, with the sprite's states.
    void Draw() override;
    // The show delay, then the animation while the sprite is not transparent.
    void Update(float dt) override;
    std::optional<FrameRect> FirstFrameRect(const std::string& animation) const override;

    uint32_t visualCode = 0; // "visualName": stored only
    AnimPlayer player;
    float shiftX = 0.0f;
    float shiftY = 0.0f;
    int32_t textureAddressing = kAddressingMirror;
    float fill = 1.0f;
    float leftCut = 0.0f;
    int32_t tint = -1; // 0xRRGGBB; -1 is white
    int32_t blending = kBlendNormal;
    bool alphaBlend = true;
    int32_t alphaTestingValue = 0;
    bool alphaTestEqual = false;

private:
    void SetStates() const;
    void RestoreStates() const;
};

// 'SPRT': makes sprite chunks, keeps them in order of creation, sorts them by depth and draws
// each in its pass; depends on 'POSI'.
class SpriteRenderSystem : public System {
public:
    explicit SpriteRenderSystem(ObjectsManager* owner);

    // Every chunk's update.
    void Update(float dt) override;
    // Sorts, then draws the chunks marked for the pre-render pass.
    void PreRender() override;
    void PostRender() override;
    void Render() override;
    void AfterRender() override;
    SystemChunk* CreateChunk(uint32_t index) override;

private:
    template <typename Selected>
    void DrawSelected(Selected selected);
};
