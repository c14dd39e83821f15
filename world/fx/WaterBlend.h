#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/LabelTarget.h"

#include <string_view>

// Water that shimmers: the alpha of the last object of its label swings between 0 and 0.8, its
// offset (in half turns) shifting the swing. Ends when its target goes.
class WaterBlend : public LabelTarget, public OCreator<WaterBlend> {
public:
    static constexpr std::string_view kClassName = "WaterBlend";

    explicit WaterBlend(ObjectsManager* owner);

    // "name" (the label) and "alphaOffset"; then the target.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float phase = 0.0f;
    float alphaOffset = 0.0f;
};

// A sheet of falling water: the last object of its label slides down by its speed and jumps back
// after its distance, flickering between 0.2 and 0.7 alpha by the game's random generator. Ends
// when its target goes.
class WaterfallBlend : public LabelTarget, public OCreator<WaterfallBlend> {
public:
    static constexpr std::string_view kClassName = "WaterfallBlend";

    explicit WaterfallBlend(ObjectsManager* owner);

    // "name", "alphaOffset" (kept; the flicker does not use it), "downDistance" and "speed";
    // then the target.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float phase = 0.0f;
    float alphaOffset = 0.0f;
    float downDistance = 30.0f;
    float speed = 20.0f; // units per second
};
