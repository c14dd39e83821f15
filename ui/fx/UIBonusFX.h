#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>
#include <vector>

// One pulse of some pictures: they grow from their small size and fade in to the middle of the
// pulse, then shrink and fade out again.
class UIBonusFX : public UIObject, public OCreator<UIBonusFX> {
public:
    static constexpr std::string_view kClassName = "UIBonusFX";

    explicit UIBonusFX(ObjectsManager* owner);

    // "object" (an object code, once per picture), "time", "minScale", "maxScale".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    // The pulse's height at the clock: 0 at the start and the end, 1 in the middle. A pulse of
    // length 0 or less has none.
    static float Pulse(float clock, float length);

    std::vector<uint32_t> objects;
    float time = 2.0f;
    float minScale = 0.9f;
    float maxScale = 1.1f;
    float clock = 0.0f;
    bool started = false;
};
