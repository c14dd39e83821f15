#include "ui/UILabel.h"

#include "engine/Parcon.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/TextRenderSystem.h"

TextExtent MeasureText(TextRenderChunk& text) {
    if (text.font == nullptr) {
        return {};
    }
    if (text.wrapWidth > 0.0f) {
        text.Layout();
        return {text.laidOutWidth, text.laidOutHeight};
    }
    const TextRectangle rect = text.font->TextRect(text.text, 0.0f, 0.0f, text.scale);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// ---------------------------------------------------------------------------------------------
// UILabel

UILabel::UILabel(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UILabel>*>(this), 0, 0);
}

void UILabel::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "textSource") {
            textSource = PackId(values.NextString(true, ""));
        } else if (key == "enabled") {
            visibilityId = PackId(values.NextString(true, ""));
        } else {
            return fades.Read(key, values);
        }
        return true;
    });
    clock = 0.0f;
}

void UILabel::RequireChunks() {
    RequireChunk<TextRenderChunk>(FourCC("TEXT"));
}

bool UILabel::Update(float dt) {
    auto* text = dynamic_cast<TextRenderChunk*>(GetChunk(FourCC("TEXT"), 0));
    if (text == nullptr) {
        return Object::Update(dt);
    }
    visible = visibilityId == 0 || DataIsTrue(AskData(receiver, visibilityId));
    if (!visible) {
        text->text.clear();
        text->visible = false;
        return Object::Update(dt);
    }
    clock += dt;
    if (textSource != 0) {
        text->text = AskData(receiver, textSource);
    }
    if (fades.FadeInOn() || fades.FadeOutOn()) {
        text->alpha = fades.Factor(clock, 1.0f);
    }
    text->visible = text->alpha > 0.0f;
    return Object::Update(dt);
}

// ---------------------------------------------------------------------------------------------
// UIFrame

UIFrame::UIFrame(ObjectsManager* owner) : UILabel(owner) {
    SetCreator(static_cast<OCreator<UIFrame>*>(this), 0, 0);
    TextureManager::Load(texture, "gfx/interface/cutscene_frame.jpg");
}

UIFrame::~UIFrame() {
    texture.Release();
}

void UIFrame::SetProperty(const ParconCursor& cursor) {
    UILabel::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "zOrder") {
            zOrder = values.NextInt(true, 0);
        } else if (key == "width") {
            width = values.NextFloat(true, 0.0f);
        } else if (key == "height") {
            height = values.NextFloat(true, 0.0f);
        } else if (key == "align") {
            align = values.NextInt(true, 0);
        } else if (key == "position") {
            x = static_cast<float>(values.NextInt(true, 0));
            y = static_cast<float>(values.NextInt(true, 0));
        } else {
            return false;
        }
        return true;
    });
}

bool UIFrame::Update(float) {
    return true;
}

float UIFrame::Factor() const {
    if (fades.FadeInOn() && clock > fades.inStart - kLeadTime && clock < fades.inStart) {
        return (clock - (fades.inStart - kLeadTime)) / kLeadTime;
    }
    const bool inFadeIn =
        fades.FadeInOn() && clock >= fades.inStart && clock <= fades.inStart + fades.inTime;
    const bool inFadeOut =
        fades.FadeOutOn() && clock >= fades.outStart && clock <= fades.outStart + fades.outTime;
    if (inFadeIn || inFadeOut) {
        return 1.0f;
    }
    const float end = fades.outStart + fades.outTime;
    if (fades.FadeOutOn() && clock > end && clock < end + kLeadTime) {
        return 1.0f - (clock - end) / kLeadTime;
    }
    return 1.0f;
}

void UIFrame::Draw() {
    const float f = Factor();
    Renderer::DrawNineSlice(x - 24.0f + (1.0f - f) * width * 0.4f, y - 24.0f,
                            static_cast<float>(zOrder), width * 0.8f * f + width * 0.2f + 40.0f,
                            height, &texture, 64.0f, 64.0f, 24.0f, 24.0f, 24.0f, 24.0f, f);
}
