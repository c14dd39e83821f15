#include "world/GamePermanentObject.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "media/SoundManager.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <optional>

namespace {

constexpr int kLens = 2;
constexpr int kOrb = 3;

} // namespace

GamePermanentObject::GamePermanentObject(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GamePermanentObject>*>(this), 0, 0);
    clickSoundName = "special_item_pick";
}

void GamePermanentObject::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    clickSoundName = "special_item_pick";
}

int GamePermanentObject::Tool() const {
    if (visName.starts_with("chromatic_lens")) {
        return kLens;
    }
    if (visName.starts_with("scrying_orb")) {
        return kOrb;
    }
    return -1;
}

void GamePermanentObject::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!enabled || dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    if (!magicActivator.empty() && GameLevel != nullptr) {
        const std::optional<std::string> tool = World().PermanentToolInUse();
        if (tool && *tool != magicActivator) {
            return;
        }
    }
    NormalLevelSystem* holder = GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
    if (holder != nullptr && !holder->heldItemName.empty()) {
        return;
    }
    const int tool = Tool();
    if (tool < 0) {
        return;
    }
    // A HUD without its tool slots would lose the tool: it is counted here instead.
    if (!World().LaunchTool(tool) && CurrentPlayer != nullptr) {
        CurrentPlayer->AddPermanentItem(1, tool);
    }
    Sounds.PlayByName(clickSoundName, false, 100, 0);
    Kill();
}

MagicWand::MagicWand(ObjectsManager* owner) : GameHiddenObject(owner) {
    Object::SetCreator(static_cast<OCreator<MagicWand>*>(this), 0, 0);
}
