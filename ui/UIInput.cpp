#include "ui/UIInput.h"

#include "engine/Input.h"
#include "media/BitmapFont.h"
#include "media/SoundManager.h"
#include "media/TextRenderSystem.h"

#include <cmath>

UIInput* ActiveTextInput = nullptr;
std::string EnteredText;
uint32_t TextInputWidthLimit = 220;

namespace {

constexpr int kBackspace = 8;
constexpr int kShift = 16;

float Width(const TextRenderChunk& text, const std::string& shown) {
    if (text.font == nullptr) {
        return 0.0f;
    }
    const TextRectangle rect = text.font->TextRect(shown, 0.0f, 0.0f, text.scale);
    return rect.right - rect.left;
}

} // namespace

UIInput::UIInput(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIInput>*>(this), 0, 0);
}

UIInput::~UIInput() {
    if (ActiveTextInput == this) {
        ActiveTextInput = nullptr;
    }
}

void UIInput::SetProperty(const ParconCursor&) {}

void UIInput::RequireChunks() {
    RequireChunk<TextRenderChunk>(FourCC("TEXT"));
}

bool UIInput::Update(float dt) {
    clock += dt;
    auto* text = dynamic_cast<TextRenderChunk*>(GetChunk(FourCC("TEXT"), 0));
    if (text == nullptr) {
        return Object::Update(dt);
    }
    bool changed = false;
    if (Width(*text, text->text) < static_cast<float>(TextInputWidthLimit)) {
        const bool shift = Keyboard.KeyDown(kShift);
        for (int key = 'A'; key <= 'Z'; ++key) {
            if (Keyboard.KeyPressed(key)) {
                entered += static_cast<char>(shift ? key : key - 'A' + 'a');
                changed = true;
            }
        }
        for (int key = '0'; key <= '9' && !shift; ++key) {
            if (Keyboard.KeyPressed(key)) {
                entered += static_cast<char>(key);
                changed = true;
            }
        }
    }
    if (Keyboard.KeyPressed(kBackspace) && !entered.empty()) {
        entered.pop_back();
        changed = true;
    }
    if (changed) {
        Sounds.PlayByName("type_sound", false, 100, 0);
    }
    float whole = 0.0f;
    if (std::modf(clock, &whole) < 0.5f) {
        text->text = entered + "-";
        text->shiftX = Width(*text, entered) - Width(*text, text->text);
    } else {
        text->text = entered;
        text->shiftX = 0.0f;
    }
    ActiveTextInput = this;
    EnteredText = entered;
    return Object::Update(dt);
}
