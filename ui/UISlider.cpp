#include "ui/UISlider.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

SpriteRenderChunk* SpriteAt(Object& object, std::string_view index) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), FourCC(index)));
}

} // namespace

UISlider::UISlider(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UISlider>*>(this), 0, 0);
}

void UISlider::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "regionFromSprite") {
            const std::string animation = values.NextString(true, "");
            SpriteRenderChunk* sprite = SpriteAt(*this, "");
            auto* collision = dynamic_cast<CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
            if (sprite == nullptr || collision == nullptr) {
                throw Exception("%s: regionFromSprite needs a SPRT and a COLI chunk", name.c_str());
            }
            const FrameRect rect = sprite->player.GetFrameRect(animation);
            collision->left = static_cast<float>(rect.left);
            collision->right = static_cast<float>(rect.right);
            collision->top = static_cast<float>(rect.top);
            collision->bottom = static_cast<float>(rect.bottom);
        } else if (key == "dataSource") {
            dataId = PackId(values.NextString(true, ""));
        } else if (key == "playSound") {
            playSound = values.NextInt(true, 0) != 0;
        } else {
            return fades.Read(key, values);
        }
        return true;
    });
}

void UISlider::RequireChunks() {
    RequireChunk<CollisionChunk>(FourCC("COLI"));
}

void UISlider::Edges(float& left, float& right) const {
    const auto* collision = dynamic_cast<const CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
    const auto* position = dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    const float x = position != nullptr ? position->x : 0.0f;
    left = collision != nullptr ? collision->left + x : x;
    right = collision != nullptr ? collision->right + x : x;
}

void UISlider::OnMessage(const void*, uint32_t id, uint32_t) {
    const auto* collision = dynamic_cast<const CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    if (id == FourCC("LMBD")) {
        float left = 0.0f;
        float right = 0.0f;
        Edges(left, right);
        // A rectangle without width gives 0, never a division by zero.
        value = right > left ? (Mouse.x - left) / (right - left) : 0.0f;
        if (receiver != nullptr) {
            receiver->SetData(dataId, std::bit_cast<uint32_t>(value));
        }
    } else if (id == FourCC("LMBU") && playSound) {
        Sounds.PlayByName("slider_event", false, 100, 0);
    }
}

float UISlider::ShownValue(const std::string& answer) {
    char* end = nullptr;
    float read = std::strtof(answer.c_str(), &end);
    if (end == answer.c_str() || !std::isfinite(read)) {
        read = 0.0f;
    }
    return std::clamp(read, kLowest, kHighest);
}

bool UISlider::Update(float dt) {
    clock += dt;
    SpriteRenderChunk* track = SpriteAt(*this, "2");
    const float full = track != nullptr ? track->baseAlpha : 1.0f;
    const float factor = fades.Factor(clock, full);
    if (dataId == 0) {
        return Object::Update(dt);
    }
    value = ShownValue(AskData(receiver, dataId));
    if (SpriteRenderChunk* fill = SpriteAt(*this, "1")) {
        fill->leftCut = value;
        fill->alpha = factor;
    }
    if (track != nullptr) {
        track->alpha = factor;
    }
    if (SpriteRenderChunk* third = SpriteAt(*this, "3")) {
        third->alpha = factor;
    }
    if (SpriteRenderChunk* knob = SpriteAt(*this, "button")) {
        float left = 0.0f;
        float right = 0.0f;
        Edges(left, right);
        knob->shiftX = (right - left) * value - 128.0f;
        knob->alpha = factor;
    }
    return Object::Update(dt);
}
