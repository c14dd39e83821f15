#pragma once

#include "engine/ClassFactory.h"
#include "engine/Parcon.h"
#include "media/ParticleEmitter.h"
#include "ui/UIObject.h"

#include <array>
#include <memory>
#include <string_view>
#include <vector>

// Fireworks over a screen: a burst from one of up to five particle effects at a random place
// every "timeGap" seconds or so, on twelve emitters taken in turn, each with its bang.
class UIFireworksFX : public UIObject, public OCreator<UIFireworksFX> {
public:
    static constexpr std::string_view kClassName = "UIFireworksFX";
    static constexpr int kEmitters = 12;
    static constexpr int kEffects = 5;
    // How long a launched emitter emits: one burst.
    static constexpr float kBurst = 0.25f;
    // Where bursts go: the upper part of the screen, clear of its edges.
    static constexpr float kLeft = 150.0f;
    static constexpr float kRight = 874.0f;
    static constexpr float kTop = 100.0f;
    static constexpr float kBottom = 400.0f;

    explicit UIFireworksFX(ObjectsManager* owner);
    ~UIFireworksFX() override;

    // "particles1".."particles5" (particle files, read at once) and "timeGap".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void Draw() override;

    // A random value from lowest to highest, from the game's 15-bit generator.
    static float RandomBetween(float lowest, float highest);

    float timeGap = 2.0f;
    float untilNext = 0.0f;
    int nextEmitter = 0;
    int launches = 0;
    std::array<ParticleEmitter, kEmitters> emitters;
    std::array<float, kEmitters> bursts{};

private:
    void Launch();
    // The parsed particle files, by their key's number; empty slots for keys not given.
    std::array<std::unique_ptr<Parcon>, kEffects> effects;
};
