#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <string_view>

class GameButtonX;

// Marks on the world map where the player last was: an arrow over the map button whose
// "mapIndicator" is the player's last level. It does its work once, when the scene file is read,
// so it must stand after the map's buttons there.
class MapPositionMngr : public Object, public OCreator<MapPositionMngr> {
public:
    static constexpr std::string_view kClassName = "MapPositionMngr";
    static constexpr const char* kArrowFile = "gfx\\interface\\maps\\arrow_katya.ani";
    static constexpr float kArrowScale = 0.8f;
    static constexpr float kArrowLift = 5.0f;
    static constexpr float kTopmostArrow = 54.0f;

    explicit MapPositionMngr(ObjectsManager* owner);

    // Places the arrow (a "GameAnim", coded 'PUZZ') over the button, when there is one with a
    // sprite and a player to have a last level.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    Object* arrow = nullptr; // a scene object; only kept to say it was placed
    float elapsed = 0.0f;

private:
    GameButtonX* FindMarkedButton() const;
};
