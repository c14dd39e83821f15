#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string>
#include <string_view>

// A horizontal slider bound to a value the layer keeps (the volumes): dragging inside its click
// rectangle writes the value through the layer's SetData, and each step shows the layer's answer.
class UISlider : public UIObject, public ReceiverBound, public OCreator<UISlider> {
public:
    static constexpr std::string_view kClassName = "UISlider";
    // The shown value stays this far from either end.
    static constexpr float kLowest = 0.07f;
    static constexpr float kHighest = 0.93f;

    explicit UISlider(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void RequireChunks() override;

    // A data answer as the shown value: a decimal number clamped to kLowest..kHighest; an answer
    // that is no number reads as 0.
    static float ShownValue(const std::string& answer);

    float value = 0.0f;
    uint32_t dataId = 0;
    bool playSound = false;
    FadeTimes fades;
    float clock = 0.0f;

private:
    // The rectangle's left and right edges on the screen.
    void Edges(float& left, float& right) const;
};
