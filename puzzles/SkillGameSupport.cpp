#include "puzzles/SkillGameSupport.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/ProcessResult.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/MiniGame.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <memory>

void SetCloseFlag() {
    if (ModalLevel == nullptr) {
        DebugLog("%s", "No mini-game level: the close flag is not set\n");
        return;
    }
    ModalLevel->returnFlag = true;
}

void SetLocationFlag(const std::string& name, int value) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("The flag %s is not set: no location or no profile\n", name.c_str());
        return;
    }
    CurrentPlayer->SetFlag(GameLevel->GetName(), name, value);
}

void CloseTutorialPopUp() {
    World().SetTutorialResult(kResultClose);
}

Object* FindNamed(ObjectsManager* scene, const std::string& name) {
    if (scene == nullptr || name.empty()) {
        return nullptr;
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->visName == name) {
            return slot.get();
        }
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->name == name) {
            return slot.get();
        }
    }
    return nullptr;
}

namespace {

constexpr float kLeaveMargin = 100.0f;
constexpr float kShownAlpha = 0.8f;
constexpr float kHudTop = 700.0f;

} // namespace

bool LeaveByBackdrop(uint32_t id, uint32_t param) {
    const std::optional<float> alpha = BackgroundAlpha();
    const bool shown = alpha && *alpha > kShownAlpha;
    bool leave = false;
    if (id == FourCC("LMBD") && param == KeyboardSystem::kPressed && SceneBackground != nullptr) {
        const SpriteRenderChunk* sprite = SpriteOf(*SceneBackground);
        std::string animation = sprite != nullptr ? sprite->player.CurrentAnimName() : "";
        if (animation.empty()) {
            animation = "idle";
        }
        const std::optional<bool> inside = MouseOnBackground(animation, kLeaveMargin);
        leave = inside && !*inside && shown && Mouse.y < kHudTop;
    }
    if (!leave && Keyboard.KeyPressed(MiniGameManager::kEscape) && shown) {
        leave = true;
    }
    if (leave) {
        SetCloseFlag();
    }
    return leave;
}

