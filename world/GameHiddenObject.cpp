#include "world/GameHiddenObject.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "media/SoundManager.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <optional>

namespace {

constexpr int kFullVolume = 100;

// The level system that holds the item on the cursor, or null without a loaded game level.
NormalLevelSystem* HoldingSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

} // namespace

GameHiddenObject::GameHiddenObject(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GameHiddenObject>*>(this), 0, 0);
    clickSoundName = "pickup";
}

void GameHiddenObject::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        if (key.GetListName() == "clickSoundName") {
            clickSoundName = key.NextString(true, "");
        }
    }
}

void GameHiddenObject::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!enabled || dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    for (const std::string& flag : enableClickFlags) {
        if (GetLevelFlag(flag) == 0) {
            Sounds.PlayByName("cannot", false, kFullVolume, 0);
            if (!cantClickMessage.empty()) {
                OpenDialog(cantClickMessage, false, 0.0f);
            }
            return;
        }
    }
    // Only the tool in use on the HUD picks such an object up; a HUD without the tool bar does
    // not stand in the way.
    if (!magicActivator.empty() && GameLevel != nullptr) {
        const std::optional<std::string> tool = World().PermanentToolInUse();
        if (tool && *tool != magicActivator) {
            return;
        }
    }
    NormalLevelSystem* holder = HoldingSystem();
    if (holder == nullptr) {
        DebugLog("%s not picked up: no game level holds it\n", visName.c_str());
        return;
    }
    if (!holder->heldItemName.empty()) {
        return;
    }
    // Objects that take an item from the cursor handle their clicks themselves.
    if (!activator.empty()) {
        return;
    }
    if (!visName.empty() && CurrentPlayer != nullptr && !CurrentPlayer->HasRoomForItem(visName)) {
        OpenDialog(kInventoryFullDialog, false, 0.0f);
        return;
    }
    holder->HoldItem(visName);
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
    Kill();
}
