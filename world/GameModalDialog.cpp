#include "world/GameModalDialog.h"

#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "world/Level.h"
#include "world/WorldServices.h"

#include <algorithm>

GameModalDialog::GameModalDialog(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GameModalDialog>*>(this), 0, 0);
}

void GameModalDialog::SetProperty(const ParconCursor& cursor) {
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
        const std::string k = key.GetListName();
        if (k == "delay") {
            delay = key.NextFloat(true, 0.0f);
        } else if (k == "fileName") {
            SetFileName(key.NextString(true, ""), false);
        } else if (k == "repeat") {
            repeat = key.NextInt(true, 0) != 0;
        }
    }
    UpdateState(100.0f);
    if (!dead && !done && enabled) {
        SetDelay(delay);
    }
}

bool GameModalDialog::StillInScene() const {
    if (owner == nullptr || owner->IsBeingDeleted()) {
        return false;
    }
    const auto& objects = owner->Objects();
    return std::any_of(objects.begin(), objects.end(),
                       [this](const auto& object) { return object.get() == this; });
}

bool GameModalDialog::Update(float dt) {
    BaseGameObject::Update(dt);
    if (dead) {
        // Killed (its flag was found when its scene entry was read): armed by its definition
        // before its name was known, it goes with the next sweep and opens nothing.
        return false;
    }
    // Without a game level (a menu screen) there is no load to wait for.
    const bool loaded = GameLevel == nullptr || GameLevel->sceneLoaded;
    if (!pending || !loaded) {
        return !done;
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    pending = false;
    if (enabled) {
        World().OpenDialogue(fileName, 1, "");
        if (!StillInScene()) {
            // Freed when the scene's walk returns; nothing of it or its scene is touched.
            return false;
        }
        if (!visName.empty() && !repeat) {
            SetLevelFlag(visName + "_killed", 1);
            disableFlags.push_back(visName + "_killed");
        }
    }
    done = true;
    return false;
}
