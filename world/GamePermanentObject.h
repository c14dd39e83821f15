#pragma once

#include "world/BaseGameObject.h"
#include "world/GameHiddenObject.h"

#include <string_view>

// A permanent tool lying in a location, named after it: the chromatic lens or the scrying orb. A
// click hands it to the HUD's tool slots, which count it and fly it in.
class GamePermanentObject : public BaseGameObject, public OCreator<GamePermanentObject> {
public:
    static constexpr std::string_view kClassName = "GamePermanentObject";

    explicit GamePermanentObject(ObjectsManager* owner);

    // The object's keys; its click sound is always "special_item_pick".
    void SetProperty(const ParconCursor& cursor) override;
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The tool it is (2 the lens, 3 the orb) by its name; -1 for any other name.
    int Tool() const;
};

// The wand as a scene object: picked up like any hidden thing, and handed to the HUD by the
// "wand" container. It never fades on its flags.
class MagicWand : public GameHiddenObject, public OCreator<MagicWand> {
public:
    static constexpr std::string_view kClassName = "MagicWand";

    explicit MagicWand(ObjectsManager* owner);

    bool Update(float) override { return true; }
};
