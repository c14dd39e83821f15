#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"
#include "engine/ObjectLink.h"

#include <string_view>

// Brings the HUD's backpack button up into the HUD: it rises 128 pixels while it fades in, then
// takes its place. The button lives on the HUD, the effect in the level: a button whose HUD went
// ends the effect.
class FxBackpack : public Object, public OCreator<FxBackpack> {
public:
    static constexpr std::string_view kClassName = "FxBackpack";
    static constexpr float kRise = 128.0f;
    static constexpr float kPlaceX = 512.0f;
    static constexpr float kPlaceY = 704.0f;

    // Plays "backpack_open".
    explicit FxBackpack(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // The button unseen and moved down by the rise, to come up from there; the level's
    // "inv_unlocked" flag set the first time.
    void SetItem(Object* item);
    bool Update(float dt) override;

    float currentX = 0.0f;
    float currentY = 0.0f;
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    float elapsed = 0.0f;
    float duration = 1.0f;

private:
    ObjectLink target;
};
