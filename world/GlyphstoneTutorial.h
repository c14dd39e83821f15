#pragma once

#include "world/BaseGameObject.h"
#include "media/AnimPlayer.h"

#include <string_view>

// The glyph-stone hint: the current tasks and the map-fragment count over the HUD with a bobbing
// arrow, until a click (after the first two seconds) closes it and the dialogue it stands in.
class glyphstoneTutorial : public BaseGameObject, public OCreator<glyphstoneTutorial> {
public:
    static constexpr std::string_view kClassName = "glyphstoneTutorial";
    static constexpr float kDepth = 608.0f;
    // Clicks before this are taken for the ones that opened the hint.
    static constexpr float kClickableAfter = 2.0f;
    static constexpr uint32_t kTextColour = 0x00CCFF00u; // red 204, green 255, blue 0
    static constexpr float kArrowBaseX = 50.0f;
    static constexpr float kArrowBaseY = 500.0f;

    explicit glyphstoneTutorial(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;
    void Draw() override;

    AnimPlayer arrowPlayer;
    float timer = 0.0f;
    float appear = 0.0f;
    bool closing = false;
    float savedMouseX = -1.0f;
    float savedMouseY = -1.0f;
    float delay = 0.0f;
    float arrowX = kArrowBaseX;
    float arrowY = kArrowBaseY;
};
