#include "ui/fx/UIAmbientFX.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SpriteRenderSystem.h"

#include <algorithm>
#include <array>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// UIAmbientFX

UIAmbientFX::UIAmbientFX(ObjectsManager* owner) : UIObject(owner) {}

void UIAmbientFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
}

bool UIAmbientFX::Update(float dt) {
    clock += dt;
    Animate(dt);
    return true;
}

RenderChunk* UIAmbientFX::SpriteOf(uint32_t code) const {
    Object* object = owner != nullptr ? owner->FindByCode(code) : nullptr;
    return object != nullptr ? dynamic_cast<RenderChunk*>(object->GetChunk(FourCC("SPRT"), 0))
                             : nullptr;
}

void UIAmbientFX::SetAlpha(uint32_t code, float alpha) const {
    if (RenderChunk* sprite = SpriteOf(code)) {
        sprite->alpha = alpha;
    }
}

// ---------------------------------------------------------------------------------------------
// UIShadowsFX

UIShadowsFX::UIShadowsFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UIShadowsFX>*>(this), 0, 0);
}

void UIShadowsFX::Animate(float) {
    constexpr float kFaint = 0.05f;
    const float first = std::max(0.0f, std::sin(clock)) * kFaint;
    const float second = std::max(0.0f, std::sin(clock + 3.14f)) * kFaint;
    SetAlpha(FourCC("SHD1"), first);
    SetAlpha(FourCC("SHD2"), first);
    SetAlpha(FourCC("SHD3"), second);
    SetAlpha(FourCC("SHD4"), second);
}

// ---------------------------------------------------------------------------------------------
// UITablesFX

UITablesFX::UITablesFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UITablesFX>*>(this), 0, 0);
}

void UITablesFX::Animate(float) {
    struct Lamp {
        uint32_t code;
        float rate;
    };
    static constexpr std::array<Lamp, 6> kLamps = {{{FourCC("TAB1"), 5.0f},
                                                    {FourCC("TAB2"), 10.0f},
                                                    {FourCC("TAB3"), 2.0f},
                                                    {FourCC("CEL1"), 3.0f},
                                                    {FourCC("CEL2"), 1.0f},
                                                    {FourCC("CEL3"), 2.0f}}};
    for (const Lamp& lamp : kLamps) {
        SetAlpha(lamp.code, std::sin(lamp.rate * clock) > 0.0f ? 1.0f : 0.0f);
    }
}

// ---------------------------------------------------------------------------------------------
// UICardsFX

UICardsFX::UICardsFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UICardsFX>*>(this), 0, 0);
}

void UICardsFX::Animate(float) {
    const float t = std::fmod(clock, 4.0f);
    auto shown = [](bool on) { return on ? 1.0f : 0.0f; };
    SetAlpha(FourCC("CAR1"), shown(t < 2.0f));
    SetAlpha(FourCC("CAR2"), shown(t >= 1.0f && t < 3.0f));
    SetAlpha(FourCC("CAR3"), shown(t >= 2.0f && t < 4.0f));
    SetAlpha(FourCC("CAR4"), shown(t <= 1.0f || t >= 3.0f));
}

// ---------------------------------------------------------------------------------------------
// UILightsFX

namespace {

struct Colour {
    float red, green, blue;
};

// Each light's colour at 0, 1 and 2 seconds of the cycle; the cycle closes on the first.
constexpr std::array<std::array<Colour, 3>, 5> kLightKeys = {{
    {{{1.0f, 0.5f, 0.0f}, {1.0f, 1.0f, 0.5f}, {0.5f, 0.0f, 0.0f}}},
    {{{0.5f, 0.5f, 1.0f}, {0.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 1.0f}}},
    {{{1.0f, 1.0f, 0.5f}, {1.0f, 0.5f, 0.0f}, {1.0f, 0.0f, 0.5f}}},
    {{{0.0f, 1.0f, 0.5f}, {0.5f, 1.0f, 1.0f}, {0.0f, 0.5f, 0.0f}}},
    {{{1.0f, 0.0f, 0.0f}, {1.0f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.0f}}},
}};

uint32_t Channel(float from, float to, float share) {
    const float value = std::clamp(from + (to - from) * share, 0.0f, 1.0f);
    return static_cast<uint32_t>(value * 255.0f);
}

} // namespace

UILightsFX::UILightsFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UILightsFX>*>(this), 0, 0);
}

uint32_t UILightsFX::Tint(int light, float at) {
    const float t = std::fmod(std::max(0.0f, at), kCycle);
    const int segment = std::min(2, static_cast<int>(t));
    const float share = t - static_cast<float>(segment);
    const auto& keys = kLightKeys[static_cast<std::size_t>(light)];
    const Colour& from = keys[static_cast<std::size_t>(segment)];
    const Colour& to = keys[static_cast<std::size_t>((segment + 1) % 3)];
    return 0xFF000000u | Channel(from.red, to.red, share) << 16 |
           Channel(from.green, to.green, share) << 8 | Channel(from.blue, to.blue, share);
}

void UILightsFX::Animate(float) {
    static constexpr std::array<uint32_t, 5> kCodes = {FourCC("LIG1"), FourCC("LIG2"),
                                                       FourCC("LIG3"), FourCC("LIG4"),
                                                       FourCC("LIG5")};
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        if (auto* sprite = dynamic_cast<SpriteRenderChunk*>(SpriteOf(kCodes[i]))) {
            sprite->tint = static_cast<int32_t>(Tint(static_cast<int>(i), clock));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// UIFogFX

UIFogFX::UIFogFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UIFogFX>*>(this), 0, 0);
}

void UIFogFX::Animate(float) {
    SetAlpha(FourCC("FOG1"), 1.0f + 0.3f * std::sin(0.8f * clock));
    SetAlpha(FourCC("FOG2"), 0.3f * std::sin(0.9f * clock + 0.4f));
    if (RenderChunk* smoke = SpriteOf(FourCC("SMOK"))) {
        const float u = std::fmod(clock, 10.0f);
        const float q = u / 3.0f;
        smoke->alpha = u < 3.0f ? 4.0f * q * (1.0f - q) : 0.0f;
        smoke->scale = 1.0f + q / 2.0f;
    }
}

// ---------------------------------------------------------------------------------------------
// UICloudsFX

UICloudsFX::UICloudsFX(ObjectsManager* owner) : UIAmbientFX(owner) {
    SetCreator(static_cast<OCreator<UICloudsFX>*>(this), 0, 0);
}

void UICloudsFX::SetProperty(const ParconCursor& cursor) {
    UIAmbientFX::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "object") {
            objects.push_back(PackId(values.NextString(true, "")));
        } else if (key == "moveSpeed") {
            moveSpeed = values.NextFloat(true, 0.0f);
        } else {
            return false;
        }
        return true;
    });
}

void UICloudsFX::Animate(float dt) {
    for (const uint32_t code : objects) {
        Object* cloud = owner != nullptr ? owner->FindByCode(code) : nullptr;
        if (cloud == nullptr) {
            continue;
        }
        auto* position = dynamic_cast<PositionChunk*>(cloud->GetChunk(FourCC("POSI"), 0));
        auto* sprite = dynamic_cast<SpriteRenderChunk*>(cloud->GetChunk(FourCC("SPRT"), 0));
        if (position == nullptr || sprite == nullptr) {
            continue;
        }
        const FrameRect frame = sprite->player.GetFrameRect(sprite->player.CurrentAnimName());
        const auto width = static_cast<float>(frame.right - frame.left);
        position->x += moveSpeed * dt;
        if (position->x > kScreenWidth) {
            position->x = -width;
        } else if (position->x < -width) {
            position->x = kScreenWidth;
        }
    }
}
