#pragma once

#include "engine/ClassFactory.h"
#include "media/TextureManager.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>

class TextRenderChunk;

// The size a text chunk takes on screen: its laid-out lines when it wraps, else its one line.
// Zero without a font.
struct TextExtent {
    float width = 0.0f;
    float height = 0.0f;
};
TextExtent MeasureText(TextRenderChunk& text);

// A text whose content, visibility and fades may follow the layer's data ids.
class UILabel : public UIObject, public ReceiverBound, public OCreator<UILabel> {
public:
    static constexpr std::string_view kClassName = "UILabel";

    explicit UILabel(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void RequireChunks() override;

    uint32_t textSource = 0;
    FadeTimes fades;
    uint32_t visibilityId = 0;
    float clock = 0.0f;
    bool visible = true;
};

// A fixed text in a nine-slice frame that grows out of its centre before the fade-in start and
// shrinks back after the fade-out. Its clock never runs, so the frame keeps the size its fade
// times give at clock 0.
class UIFrame : public UILabel, public OCreator<UIFrame> {
public:
    static constexpr std::string_view kClassName = "UIFrame";
    // How long the frame takes to grow and to shrink.
    static constexpr float kLeadTime = 0.3f;

    explicit UIFrame(ObjectsManager* owner);
    ~UIFrame() override;

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void Draw() override;

    // The grow-and-shrink factor at the frame's clock.
    float Factor() const;

    TextureHandle texture;
    int32_t zOrder = 0;
    int32_t align = 0;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};
