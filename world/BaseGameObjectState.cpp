#include "engine/Exception.h"
#include "engine/ObjectsManager.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"

#include <memory>

namespace {

template <typename Read>
bool AllSet(const std::vector<std::string>& flags, Read read) {
    for (const std::string& flag : flags) {
        if (read(flag) == 0) {
            return false;
        }
    }
    return true;
}

template <typename Read>
bool AnySet(const std::vector<std::string>& flags, Read read) {
    for (const std::string& flag : flags) {
        if (read(flag) != 0) {
            return true;
        }
    }
    return false;
}

template <typename Effect>
Effect& CreateEffect(ObjectsManager& scene, const char* className,
                     std::unique_ptr<Object>& created) {
    created = scene.CreateObject(className, true);
    auto* effect = dynamic_cast<Effect*>(created.get());
    if (effect == nullptr) {
        throw Exception("%s is not a blend effect", className);
    }
    return *effect;
}

} // namespace

void BaseGameObject::UpdateState(float dt) {
    stateTimer -= dt;
    if (stateTimer > 0.0f) {
        return;
    }
    stateTimer = updateDelay;
    const bool wasEnabled = enabled;

    if (!enableFlags.empty()) {
        enabled = AllSet(enableFlags, GetLevelFlag);
    }
    if (!enableGlobalFlags.empty()) {
        enabled = AllSet(enableGlobalFlags, GetGlobalFlag);
    }
    const bool fadesOut = fadeOnDisable;
    bool killNow = false;
    if (!disableFlags.empty() && AnySet(disableFlags, GetLevelFlag)) {
        enabled = false;
        killNow = killOnDisable && !fadesOut;
    }
    if (!disableGlobalFlags.empty() && AnySet(disableGlobalFlags, GetGlobalFlag)) {
        enabled = false;
        killNow = killNow || (killOnDisable && !fadesOut);
    }
    if (killNow && !dead) {
        Kill();
    }

    const bool turnedOn = enabled && !wasEnabled;
    const bool turnedOff = !enabled && wasEnabled;
    const std::string enabledFlag = visName + "_enabled";
    const std::string killedFlag = visName + "_killed";

    if (turnedOn && !enableSound.empty() && !fadeOnEnable && GetLevelFlag(enabledFlag) == 0) {
        Sounds.PlayByName(enableSound, false, 100, 0);
    }
    if (turnedOff && !disableSound.empty() && GetLevelFlag(killedFlag) == 0) {
        Sounds.PlayByName(disableSound, false, 100, 0);
    }
    if (RenderChunk* sprite = Sprite()) {
        sprite->visible = enabled;
    }
    if (turnedOn) {
        if (!fadeOnEnable) {
            SetLevelFlag(enabledFlag, 1);
        } else if (owner != nullptr && GetLevelFlag(enabledFlag) == 0) {
            std::unique_ptr<Object> created;
            auto& blend = CreateEffect<FxBlendIn>(*owner, "FxBlendIn", created);
            blend.Start(visName, enableDelay, 2.0f);
            blend.time = enableTime;
            blend.AddTarget(this);
            owner->AddObject(std::move(created));
        }
    }
    if (turnedOff && fadeOnDisable && owner != nullptr && GetLevelFlag(killedFlag) == 0) {
        std::unique_ptr<Object> created;
        auto& blend = CreateEffect<FxBlendOut>(*owner, "FxBlendOut", created);
        blend.AddTarget(this);
        blend.Start(visName, 0, disableDelay);
        blend.time = disableTime;
        owner->AddObject(std::move(created));
        SpawnStateFx(true);
    }
    if (enabled && !loopSound.empty() && !Sounds.IsPlaying(loopSound)) {
        Sounds.PlayByName(loopSound, true, 100, 0);
    }
    if (turnedOn && !enableDialog.empty()) {
        OpenDialog(enableDialog, false, enableDelay, visName);
    }
    if (turnedOff && !disableDialog.empty()) {
        OpenDialog(disableDialog, false, 2.7f, visName);
    }
}
