#pragma once

#include "world/BaseGameObject.h"

#include <cstdint>
#include <string>
#include <string_view>

// The object the player picks up with a left click: it leaves the scene for good (its killed
// flag) and its item is then held on the cursor, "gfx/objects/<name>.ani", until the HUD's
// inventory takes it. Its name is the item's name.
class GameHiddenObject : public BaseGameObject, public OCreator<GameHiddenObject> {
public:
    static constexpr std::string_view kClassName = "GameHiddenObject";
    static constexpr const char* kInventoryFullDialog = "menus\\tutorials\\inventory_full.txt";

    explicit GameHiddenObject(ObjectsManager* owner);

    // The object's keys, then "clickSoundName".
    void SetProperty(const ParconCursor& cursor) override;
    // The pick-up, on a left press inside the collision rectangle; see the .cpp for the
    // refusals. Other messages are ignored.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
};
