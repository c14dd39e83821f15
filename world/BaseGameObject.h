#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CollisionChunk;
class ParticleEmitter;
class RenderChunk;

// One particle effect of "enableFx" or "disableFx": a ".prt" file shown at (x, y).
struct StateFxEntry {
    std::string file;
    float x = 0.0f;
    float y = 0.0f;
};

// The interactive scene object: shown and clickable only while the current player's flags
// enable it (its enableFlags and disableFlags are those of Object), fading in and out with its
// sounds and dialogues when that changes, with a hover highlight and tool-tips. Its own flags live
// under the game level's name: "<level>:<visName>_enabled" and "<level>:<visName>_killed".
//
// Without a game level (objects of menu screens) or a current player, every flag reads 0 and
// every write is skipped with a log line.
class BaseGameObject : public Object, public OCreator<BaseGameObject> {
public:
    static constexpr std::string_view kClassName = "BaseGameObject";
    static constexpr float kToolTipDepth = 590.0f;
    static constexpr uint32_t kToolTipColour = 0xFFFFFFFF;

    explicit BaseGameObject(ObjectsManager* owner);
    // An object outside any scene, with the same defaults.
    BaseGameObject();
    ~BaseGameObject() override;

    // Reads the keys; an object whose killed flag is set is marked dead and reads nothing.
    void SetProperty(const ParconCursor& cursor) override;
    // The state evaluation, the exit arrow, the mouse-over and the hover step. Always true: the
    // object goes only through Kill.
    bool Update(float dt) override;
    // Highlight particles and tool-tips, while enabled.
    void Draw() override;

    // Re-evaluates the enabled state every updateDelay seconds and acts on each change.
    void UpdateState(float dt);
    void UpdateHoverHighlight(float dt);
    // The killed flag set (saving the profile), the object disabled by it for good and dead.
    void Kill();
    // The particle effects of disableFx (disable) or enableFx, each as an FxParticles object
    // added to the game level.
    void SpawnStateFx(bool disable);

    void SetClickSound(const std::string& name) { clickSoundName = name; }
    void SetActivator(const std::string& name) { activator = name; }
    void SetMagicActivator(const std::string& name) { magicActivator = name; }
    void AddDisableFlag(const std::string& flag) { disableFlags.push_back(flag); }
    void AddEnableGlobalFlag(const std::string& flag) { enableGlobalFlags.push_back(flag); }
    void AddDisableGlobalFlag(const std::string& flag) { disableGlobalFlags.push_back(flag); }
    void AddEnableClickFlag(const std::string& flag) { enableClickFlags.push_back(flag); }
    std::string GetClickSoundName() const { return clickSoundName; }
    std::string GetActivator() const { return activator; }
    std::string GetMagicActivator() const { return magicActivator; }
    std::string GetEnableSound() const { return enableSound; }
    std::string GetDisableSound() const { return disableSound; }
    std::vector<std::string> GetEnableGlobalFlags() const { return enableGlobalFlags; }
    std::vector<std::string> GetDisableGlobalFlags() const { return disableGlobalFlags; }
    std::vector<std::string> GetEnableClickFlags() const { return enableClickFlags; }

    // The flag "<game level name>:<name>" of the current player; 0 without either.
    static int32_t GetLevelFlag(const std::string& name);
    // A whole flag name of the current player; 0 without one.
    static int32_t GetGlobalFlag(const std::string& key);
    // Sets "<game level name>:<name>" (saving the profile); skipped, logged, without either.
    static void SetLevelFlag(const std::string& name, int32_t value);

    bool enabled = true;
    std::string exitArrow;
    std::vector<std::string> enableGlobalFlags;
    std::vector<std::string> disableGlobalFlags;
    std::vector<StateFxEntry> enableFx;
    std::vector<StateFxEntry> disableFx;
    std::vector<std::string> enableClickFlags;
    std::string clickSoundName;
    std::string activator;
    std::string magicActivator;
    int32_t enableClickEnergy = 0;
    bool highlightHover = false;
    std::string hoverText;
    float enableDelay = 0.0f;
    float disableDelay = 0.0f;
    std::string toolTip, toolTip2, toolTip3, toolTip4;
    std::string enableEnergyToolTip, enableEnergyToolTip2;
    bool mouseOver = false;
    std::string enableSound, disableSound, loopSound;
    bool killOnDisable = false;
    float stateTimer = -1.0f;
    std::string cantClickMessage, magicActivatorMessage, emptyClickMessage;
    float enableTime = 2.0f;
    float disableTime = 1.5f;
    float updateDelay = 0.2f;
    std::unique_ptr<ParticleEmitter> highlightEmitter;
    MessageReceiver* eventReceiver = nullptr;
    uint32_t clickEvent = 0;
    uint32_t clickBlockEvent = 0;
    std::string clickMessage;
    std::string enableDialog, disableDialog;
    bool fadeOnEnable = false;
    bool fadeOnDisable = false;
    bool tutorialButton = false;

protected:
    // The 'COLI' chunk, or null.
    CollisionChunk* Collision();
    // The 'SPRT' chunk, or null.
    RenderChunk* Sprite();
    // Creates a "GameModalDialog" in the owner scene, adds it and arms it with the file; a named
    // one leaves its "_killed" flag under that name once shown.
    void OpenDialog(const std::string& file, bool repeat, float delay,
                    const std::string& dialogName = "");

private:
    void ReadStateFx(const ParconCursor& key, std::vector<StateFxEntry>& entries);
    void LoadHighlight(const std::string& file);
    // Draws a block of tool-tip lines placed from the mouse position.
    void DrawToolTipBlock(const std::vector<const std::string*>& lines) const;
};
