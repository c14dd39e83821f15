#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>
#include <vector>

class RenderChunk;

// The ambient loops of the main-menu pictures: each runs a clock for as long as its screen lives
// and sets the looks of the scene's objects of fixed codes from it every step. An object that is
// not in the scene is passed over.
class UIAmbientFX : public UIObject {
public:
    explicit UIAmbientFX(ObjectsManager* owner);

    // Reads nothing beyond the widget's keys.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float clock = 0.0f;

protected:
    // Sets the looks for the clock, dt after the last step.
    virtual void Animate(float dt) = 0;
    // The sprite of the scene's object of that code; null when there is none.
    RenderChunk* SpriteOf(uint32_t code) const;
    void SetAlpha(uint32_t code, float alpha) const;
};

// Two pairs of faint shadows pulse in turn.
class UIShadowsFX : public UIAmbientFX, public OCreator<UIShadowsFX> {
public:
    static constexpr std::string_view kClassName = "UIShadowsFX";
    explicit UIShadowsFX(ObjectsManager* owner);

protected:
    void Animate(float dt) override;
};

// Six lamps blink, each at its own rate.
class UITablesFX : public UIAmbientFX, public OCreator<UITablesFX> {
public:
    static constexpr std::string_view kClassName = "UITablesFX";
    explicit UITablesFX(ObjectsManager* owner);

protected:
    void Animate(float dt) override;
};

// Four cards show for two seconds each, one second apart.
class UICardsFX : public UIAmbientFX, public OCreator<UICardsFX> {
public:
    static constexpr std::string_view kClassName = "UICardsFX";
    explicit UICardsFX(ObjectsManager* owner);

protected:
    void Animate(float dt) override;
};

// Five lights change colour through a three-second cycle.
class UILightsFX : public UIAmbientFX, public OCreator<UILightsFX> {
public:
    static constexpr std::string_view kClassName = "UILightsFX";
    static constexpr float kCycle = 3.0f;
    explicit UILightsFX(ObjectsManager* owner);

    // The light's tint at the clock: 0xFF under the channels, each truncated to 0..255.
    static uint32_t Tint(int light, float clock);

protected:
    void Animate(float dt) override;
};

// Two fog layers breathe and a puff of smoke rises every ten seconds.
class UIFogFX : public UIAmbientFX, public OCreator<UIFogFX> {
public:
    static constexpr std::string_view kClassName = "UIFogFX";
    explicit UIFogFX(ObjectsManager* owner);

protected:
    void Animate(float dt) override;
};

// Clouds drift sideways and come round again at the other edge.
class UICloudsFX : public UIAmbientFX, public OCreator<UICloudsFX> {
public:
    static constexpr std::string_view kClassName = "UICloudsFX";
    static constexpr float kScreenWidth = 1024.0f;
    explicit UICloudsFX(ObjectsManager* owner);

    // "object" (an object code, once per cloud) and "moveSpeed" (pixels a second; 0 when not
    // given: the clouds stand).
    void SetProperty(const ParconCursor& cursor) override;

    std::vector<uint32_t> objects;
    float moveSpeed = 0.0f;

protected:
    void Animate(float dt) override;
};
