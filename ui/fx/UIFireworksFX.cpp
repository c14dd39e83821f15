#include "ui/fx/UIFireworksFX.h"

#include "engine/Random.h"
#include "media/SoundManager.h"

#include <string>

UIFireworksFX::UIFireworksFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIFireworksFX>*>(this), 0, 0);
}

UIFireworksFX::~UIFireworksFX() = default;

void UIFireworksFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        for (int i = 0; i < kEffects; ++i) {
            if (key == "particles" + std::to_string(i + 1)) {
                auto parsed = std::make_unique<Parcon>();
                parsed->OpenFile(values.NextString(true, ""), true);
                effects[static_cast<std::size_t>(i)] = std::move(parsed);
                return true;
            }
        }
        if (key == "timeGap") {
            timeGap = values.NextFloat(true, timeGap);
            return true;
        }
        return false;
    });
}

float UIFireworksFX::RandomBetween(float lowest, float highest) {
    return lowest + (highest - lowest) * static_cast<float>(Random()) / kRandomMax;
}

void UIFireworksFX::Launch() {
    std::vector<const Parcon*> given;
    for (const std::unique_ptr<Parcon>& effect : effects) {
        if (effect != nullptr) {
            given.push_back(effect.get());
        }
    }
    if (given.empty()) {
        return;
    }
    const std::size_t pick = static_cast<std::size_t>(Random()) % given.size();
    const auto slot = static_cast<std::size_t>(nextEmitter);
    nextEmitter = (nextEmitter + 1) % kEmitters;
    ParticleEmitter& emitter = emitters[slot];
    emitter.Load(*given[pick]->Root(), 0);
    emitter.x = RandomBetween(kLeft, kRight);
    emitter.y = RandomBetween(kTop, kBottom);
    emitter.emitting = true;
    bursts[slot] = kBurst;
    ++launches;
    Sounds.PlayByName("fireworks", false, 100, 0);
}

bool UIFireworksFX::Update(float dt) {
    untilNext -= dt;
    if (untilNext <= 0.0f) {
        Launch();
        untilNext = timeGap * RandomBetween(0.75f, 1.25f);
    }
    for (std::size_t i = 0; i < emitters.size(); ++i) {
        if (!emitters[i].IsLoaded()) {
            continue;
        }
        if (bursts[i] > 0.0f) {
            bursts[i] -= dt;
            emitters[i].emitting = bursts[i] > 0.0f;
        }
        emitters[i].Update(dt);
    }
    return true;
}

void UIFireworksFX::Draw() {
    for (ParticleEmitter& emitter : emitters) {
        if (emitter.IsLoaded()) {
            emitter.Draw();
        }
    }
}
