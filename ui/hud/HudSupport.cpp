#include "ui/hud/HudSupport.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/AnimPlayer.h"
#include "media/ParticleEmitter.h"
#include "media/SpriteRenderSystem.h"
#include "ui/UserInterface.h"
#include "ui/hud/UIPartFx.h"
#include "world/GameModalDialog.h"
#include "world/Player.h"

namespace Hud {

PositionChunk* Position(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

SpriteRenderChunk* Sprite(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

std::string ItemArtFile(const std::string& item) {
    if (IsFreeItem(item) || item.find("..") != std::string::npos ||
        item.find_first_of("/\\") != std::string::npos) {
        return {};
    }
    return "gfx/objects/" + item + ".ani";
}

void BindArt(AnimPlayer& player, const std::string& file, const std::string& animation) {
    try {
        player.Load(file);
    } catch (const Exception& error) {
        DebugLog("%s\n", error.Text());
    }
    player.Play(animation, true, false, true, 0.0f);
}

std::string ItemToolTip(const std::string& item) {
    return "str." + std::string(ItemBaseName(item));
}

std::unique_ptr<ParticleEmitter> LoadEmitter(const std::string& file, float x, float y) {
    auto emitter = std::make_unique<ParticleEmitter>();
    Parcon parser;
    parser.OpenFile(file, true);
    emitter->Load(*parser.Root(), 0);
    emitter->x = x;
    emitter->y = y;
    emitter->emitting = true;
    return emitter;
}

void Burst(float x, float y, const std::string& file, float seconds) {
    if (MainUI == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = MainUI->CreateObject(std::string(UIPartFx::kClassName), true);
    auto* burst = dynamic_cast<UIPartFx*>(created.get());
    if (burst == nullptr) {
        DebugLog("%s\n", "UIPartFx is not a particle burst: none shown");
        return;
    }
    created->ResolveDependencies();
    burst->Start(x, y, file, seconds);
    MainUI->AddObject(std::move(created));
}

void OpenHint(ObjectsManager& scene, const std::string& file, const std::string& name,
              float delay) {
    std::unique_ptr<Object> created = scene.CreateObject("GameModalDialog", true);
    auto* dialog = dynamic_cast<GameModalDialog*>(created.get());
    if (dialog == nullptr) {
        DebugLog("Hint %s not shown: GameModalDialog is not a dialogue\n", file.c_str());
        return;
    }
    dialog->name = name;
    scene.AddObject(std::move(created));
    dialog->SetFileName(file, false);
    dialog->SetDelay(delay);
}

namespace {

constexpr float kStepSlack = 1e-4f;

} // namespace

float StepToward(float current, float end, float timeLeft, float dt) {
    // The steps' sum drifts from the time by rounding: a hair more than a step is the last one.
    if (timeLeft <= dt + kStepSlack) {
        return end;
    }
    return current + (end - current) / timeLeft * dt;
}

} // namespace Hud
