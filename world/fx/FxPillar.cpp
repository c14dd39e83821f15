#include "world/fx/FxPillar.h"

#include "engine/Exception.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "world/BaseGameObject.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"

#include <memory>

namespace {

constexpr int kFullVolume = 100;

} // namespace

RiseIntoPlace::RiseIntoPlace(ObjectsManager* owner, float defaultDuration)
    : SceneEffect(owner), duration(defaultDuration) {
    Watch(&target);
}

void RiseIntoPlace::Place(float atX, float atY) {
    if (PositionChunk* position = Position(target)) {
        position->x = position->initialX = atX;
        position->y = position->initialY = atY;
    }
}

bool RiseIntoPlace::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    elapsed += dt;
    PositionChunk* position = Position(target);
    RenderChunk* sprite = Sprite(target);
    if (elapsed < duration) {
        if (sprite != nullptr) {
            sprite->alpha = elapsed / duration;
        }
        const float left = duration - elapsed;
        x = Approach(x, endX, left, dt);
        y = Approach(y, endY, left, dt);
        if (position != nullptr) {
            position->x = x;
            position->y = y;
        }
        return true;
    }
    // The last step (or a duration of 0 or less) takes the end values.
    if (sprite != nullptr) {
        sprite->alpha = 1.0f;
    }
    x = endX;
    y = endY;
    if (position != nullptr) {
        position->x = endX;
        position->y = endY;
    }
    Sounds.PlayByName(LandingSound(), false, kFullVolume, 0);
    SpawnDust();
    Landed();
    return false;
}

void RiseIntoPlace::SpawnDust() {
    if (owner == nullptr) {
        return;
    }
    FrameRect frame;
    if (const auto* picture = dynamic_cast<const SpriteRenderChunk*>(Sprite(target))) {
        frame = picture->player.GetFrameRect("idle");
    }
    std::unique_ptr<Object> created = owner->CreateObject("FxParticles", true);
    auto* dust = dynamic_cast<FxParticles*>(created.get());
    if (dust == nullptr) {
        throw Exception("%s", "FxParticles is not a particle effect");
    }
    dust->Position().x = endX + static_cast<float>((frame.right - frame.left) / 2);
    dust->Position().y = endY + static_cast<float>((frame.bottom - frame.top) / 2);
    Parcon parser;
    parser.OpenFile(kDust, true);
    dust->Particles().emitter.Load(*parser.Root(), 0);
    dust->Particles().lifeTime = kDustEmission;
    dust->life = kDustLife;
    dust->ResolveDependencies();
    owner->AddObject(std::move(created));
}

FxPillar::FxPillar(ObjectsManager* owner) : RiseIntoPlace(owner, 1.0f) {
    Object::SetCreator(static_cast<OCreator<FxPillar>*>(this), 0, 0);
    Sounds.PlayByName("column_move", false, kFullVolume, 0);
}

void FxPillar::Start(Object* object, float startDelay) {
    target = object;
    if (RenderChunk* sprite = Sprite(target)) {
        sprite->alpha = 0.0f;
    }
    if (const PositionChunk* position = Position(target)) {
        Place(position->x, position->y + kRise);
        startX = x = position->x;
        startY = y = position->y;
        endX = startX;
        endY = startY - kRise;
    }
    delay = startDelay;
}

FxBook::FxBook(ObjectsManager* owner) : RiseIntoPlace(owner, 0.5f) {
    Object::SetCreator(static_cast<OCreator<FxBook>*>(this), 0, 0);
}

void FxBook::Start(Object* object, float startDelay) {
    target = object;
    if (RenderChunk* sprite = Sprite(target)) {
        sprite->alpha = 1.0f;
    }
    if (target != nullptr) {
        BaseGameObject::SetLevelFlag(target->visName + "_enabled", 1);
    }
    if (const PositionChunk* position = Position(target)) {
        endX = position->x;
        endY = position->y;
    }
    Place(kSlotX, kSlotY);
    startX = x = kSlotX;
    startY = y = kSlotY;
    delay = startDelay;
}

void FxBook::Landed() {
    if (owner == nullptr || target == nullptr) {
        return;
    }
    if (BaseGameObject::GetLevelFlag(target->visName) != 0 ||
        BaseGameObject::GetGlobalFlag("z5-library-in:dialog3_killed") != 0 ||
        BaseGameObject::GetGlobalFlag("z5-library-in:machine_actCards") >= 4) {
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("GameModalDialog", true);
    auto* dialog = dynamic_cast<GameModalDialog*>(created.get());
    if (dialog == nullptr) {
        throw Exception("%s", "GameModalDialog is not a dialogue object");
    }
    dialog->visName = "dialog5";
    dialog->killOnDisable = true;
    dialog->AddDisableFlag("dialog5_killed");
    dialog->AddDisableFlag("dialog3_killed");
    owner->AddObject(std::move(created));
    dialog->SetFileName(kDialogue, false);
    dialog->SetDelay(0.0f);
}
