#pragma once

#include "world/BaseGameObject.h"

#include <string_view>

// A fragment of the world map lying in a location: a click sends it flying to the HUD's
// map-piece display, which adds it to the player; it can fade in and out on its own clock.
class MapPiece : public BaseGameObject, public OCreator<MapPiece> {
public:
    static constexpr std::string_view kClassName = "MapPiece";
    static constexpr const char* kPickSound = "special_item_pick";

    explicit MapPiece(ObjectsManager* owner);

    // The object's keys, then "clickSoundName", the four fade times and "magicActivator".
    void SetProperty(const ParconCursor& cursor) override;
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The fade, then the object's step.
    bool Update(float dt) override;
    // Only while enabled.
    void Draw() override;

    float fadeInStart = -1.0f;
    float fadeInTime = -1.0f;
    float fadeOutStart = -1.0f;
    float fadeOutTime = -1.0f;
    float elapsed = 0.0f;
};
