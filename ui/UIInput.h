#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string>
#include <string_view>

// A one-line text entry (profile names): letters and digits typed through the key states, within
// TextInputWidthLimit pixels, with a blinking "-" cursor.
class UIInput : public UIObject, public OCreator<UIInput> {
public:
    static constexpr std::string_view kClassName = "UIInput";

    explicit UIInput(ObjectsManager* owner);
    ~UIInput() override;

    // Reads no keys, not even "animate".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void RequireChunks() override;

    std::string entered;
    float clock = 0.0f;
};

// The input updated last (null once it is gone) and its text, copied every step.
extern UIInput* ActiveTextInput;
extern std::string EnteredText;
// The widest the shown text may be and still take letters, in pixels.
extern uint32_t TextInputWidthLimit;
