#include "ui/UIButton.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "media/BitmapFont.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "media/StringTable.h"
#include "media/TextRenderSystem.h"
#include "platform/os/Keys.h"
#include "ui/UserInterface.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;

SpriteRenderChunk* Sprite(Object& object, uint32_t index = 0) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), index));
}

TextRenderChunk* Text(Object& object) {
    return dynamic_cast<TextRenderChunk*>(object.GetChunk(FourCC("TEXT"), 0));
}

uint8_t Channel(float value) {
    if (value >= 1.0f) {
        return 255;
    }
    if (value <= 0.0f) {
        return 0;
    }
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

void PlayOnce(const std::string& soundSet) {
    if (!soundSet.empty()) {
        Sounds.PlayByName(soundSet, false, 100, 0);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UIButton

UIButton::UIButton(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIButton>*>(this), 0, 0);
}

void UIButton::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "clickEvent") {
            clickEvent = PackId(values.NextString(true, ""));
        } else if (key == "rightClickEvent") {
            rightClickEvent = PackId(values.NextString(true, ""));
        } else if (key == "overEvent") {
            overEvent = PackId(values.NextString(true, ""));
        } else if (key == "lostOverEvent") {
            lostOverEvent = PackId(values.NextString(true, ""));
        } else if (key == "toolTip" || key == "toolTip2" || key == "toolTip3" ||
                   key == "toolTip4") {
            const std::size_t line = key == "toolTip" ? 0 : static_cast<std::size_t>(key[7] - '1');
            toolTips[line] = values.NextString(true, "");
        } else if (key == "taskTip") {
            values.NextString(true, "");
            taskTip = true;
        } else if (key == "useSpecialTooltip") {
            specialToolTip = values.NextInt(true, 0) != 0;
        } else if (key == "enabled") {
            enabledId = PackId(values.NextString(true, ""));
        } else if (key == "hover_sound") {
            hoverSound = values.NextString(true, "");
        } else if (key == "click_sound") {
            clickSound = values.NextString(true, "");
        } else if (key == "defaultButton") {
            defaultButton = values.NextInt(true, 0) != 0;
        } else {
            return false;
        }
        return true;
    });
    // Only buttons with the special tool-tip draw its panel.
    if (specialToolTip) {
        toolTipPanel.Load("gfx/interface/maps/stat_window1.ani");
    }
}

void UIButton::RequireChunks() {
    RequireChunk<CollisionChunk>(FourCC("COLI"));
}

bool UIButton::MouseInside() const {
    const auto* collision = dynamic_cast<const CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

void UIButton::Fire() {
    PostEvent(receiver, clickEvent);
    PlayOnce(clickSound);
}

void UIButton::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (receiver == nullptr || !enabled || clickEvent == 0 || id != kLeftDown ||
        param != KeyboardSystem::kPressed) {
        return;
    }
    if (MouseInside()) {
        Fire();
    }
}

bool UIButton::Update(float dt) {
    previousEnabled = enabled;
    enabled = !hiddenForLocation;
    if (enabled && enabledId != 0) {
        enabled = DataIsTrue(AskData(receiver, enabledId));
    }
    if (!enabled) {
        return true;
    }
    const bool inside = ModalLevel == nullptr && MouseInside();
    hoveredForToolTip = inside;
    hoveredForTaskTip = inside;
    hoverLevel = inside ? std::min(hoverLevel + dt, 1.0f) : std::max(hoverLevel - dt, 0.0f);
    if (defaultButton && clickEvent != 0 && Keyboard.KeyPressed(kKeyEnter)) {
        const bool holdingItem = GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
                                 !GameLevel->levelSystem->heldItemName.empty();
        if (!holdingItem) {
            Fire();
        }
    }
    if (ModalLevel != nullptr) {
        return true;
    }
    if (inside) {
        if (!pointerOver) {
            pointerOver = true;
            PostEvent(receiver, overEvent);
        }
    } else if (pointerOver) {
        pointerOver = false;
        PostEvent(receiver, lostOverEvent);
    }
    return true;
}

void UIButton::HideAndDisable() {
    if (SpriteRenderChunk* sprite = Sprite(*this)) {
        sprite->visible = false;
    }
    enabled = false;
    hiddenForLocation = true;
}

uint32_t UIButton::TaskTipColour() const {
    return static_cast<uint32_t>(Channel(hoverLevel)) << 24 |
           static_cast<uint32_t>(Channel(taskTipColour[0])) << 16 |
           static_cast<uint32_t>(Channel(taskTipColour[1])) << 8 | Channel(taskTipColour[2]);
}

void UIButton::PlaceToolTip(float mouseX, float mouseY, float w, float h, float& x, float& y) {
    x = mouseX + 20.0f;
    y = mouseY + 30.0f;
    if (x + w > kScreenWidth) {
        x = kScreenWidth - w;
    }
    if (y + h > kScreenHeight) {
        y = kScreenHeight - h;
    }
    if (x < 0.0f) {
        x = 0.0f;
    }
}

void UIButton::PostDraw() {
    const bool suppressed =
        GameLevel != nullptr && GameLevel->levelId == "z1-wood-glyphstone" &&
        (CurrentPlayer == nullptr ||
         CurrentPlayer->GetFlag("z1-wood-glyphstone:lightstoneTutorial_killed") == 0);
    if (!suppressed && taskTip && (enabledId != 0 || enabled) && !InGameMenuOpen &&
        ModalLevel == nullptr && TooltipFont != nullptr) {
        const uint32_t colour = TaskTipColour();
        auto line = [&](const std::string& text, float y) {
            const TextRectangle rect = TooltipFont->TextRect(text, 0.0f, 0.0f, 1.0f);
            TooltipFont->DrawText(text, 512.0f - (rect.right - rect.left) / 2.0f, y, 608.0f,
                                  colour);
        };
        line(AskData(receiver, FourCC("TASK")), 570.0f);
        if (CurrentPlayer != nullptr && CurrentPlayer->GetActWorld() < 5) {
            line(std::string(StringTable::Translate("str.mapfragments")) + " " +
                     std::to_string(CurrentPlayer->GetMapPieces()) + " " +
                     std::string(StringTable::Translate("str.of")) + " 10",
                 600.0f);
        }
        line(AskData(receiver, FourCC("TAS2")), 540.0f);
        line(AskData(receiver, FourCC("TAS3")), 510.0f);
    }
    hoveredForTaskTip = false;
}

void UIButton::TopDraw() {
    // A button with no tip to show does not read the tooltip font in.
    const bool tipToShow = specialToolTip || !toolTips[0].empty();
    if (hoveredForToolTip && tipToShow && (enabledId != 0 || enabled) && TooltipFont != nullptr) {
        const TextRectangle rect = TooltipFont->TextRect(toolTips[0], 0.0f, 0.0f, 1.0f);
        float x = 0.0f;
        float y = 0.0f;
        PlaceToolTip(Mouse.x, Mouse.y, rect.right - rect.left, rect.bottom - rect.top, x, y);
        if (specialToolTip) {
            toolTipPanel.Draw(x, y, 400.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
            float lineY = y + 45.0f;
            for (const std::string& text : toolTips) {
                if (!text.empty()) {
                    const TextRectangle line = TooltipFont->TextRect(text, 0.0f, 0.0f, 0.8f);
                    TooltipFont->DrawTextEx(text, x + 170.0f - (line.right - line.left) / 2.0f,
                                            lineY, 999.0f, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.8f);
                }
                lineY += 20.0f;
            }
        } else if (!toolTips[0].empty()) {
            TooltipFont->DrawText(toolTips[0], x, y, 800.0f, 0xFFFFFFFFu);
        }
    }
    hoveredForToolTip = false;
}

// ---------------------------------------------------------------------------------------------
// UIBitmapButton

UIBitmapButton::UIBitmapButton(ObjectsManager* owner) : UIButton(owner) {
    SetCreator(static_cast<OCreator<UIBitmapButton>*>(this), 0, 0);
}

bool UIBitmapButton::LevelFlag(const std::string& name) {
    if (CurrentPlayer == nullptr || GameLevel == nullptr) {
        return false;
    }
    return CurrentPlayer->GetFlag(GameLevel->name + ":" + name) != 0;
}

void UIBitmapButton::SetProperty(const ParconCursor& cursor) {
    UIButton::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "regionFromSprite") {
            const std::string animation = values.NextString(true, "");
            SpriteRenderChunk* sprite = Sprite(*this);
            auto* collision = dynamic_cast<CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
            if (sprite == nullptr || collision == nullptr) {
                throw Exception("%s: regionFromSprite needs a SPRT and a COLI chunk", name.c_str());
            }
            const FrameRect rect = sprite->player.GetFrameRect(animation);
            collision->left = static_cast<float>(rect.left);
            collision->right = static_cast<float>(rect.right);
            collision->top = static_cast<float>(rect.top);
            collision->bottom = static_cast<float>(rect.bottom);
        } else if (ownFades.Read(key, values)) {
        } else if (key == "idleSprite") {
            idleSprite = values.NextString(true, "");
        } else if (key == "highSprite") {
            highSprite = values.NextString(true, "");
        } else if (key == "disableFlag") {
            disableFlags.push_back(values.NextString(true, ""));
        } else if (key == "enableFlag") {
            enableFlags.push_back(values.NextString(true, ""));
        } else if (key == "textSource") {
            textSource = PackId(values.NextString(true, ""));
        } else {
            return false;
        }
        return true;
    });
    SpriteRenderChunk* sprite = Sprite(*this);
    if (std::any_of(disableFlags.begin(), disableFlags.end(), LevelFlag)) {
        if (sprite != nullptr) {
            sprite->alpha = 0.0f;
        }
        dead = true;
    }
    for (const std::string& flag : enableFlags) {
        if (LevelFlag(flag)) {
            if (sprite != nullptr) {
                sprite->visible = true;
            }
            enabled = true;
        }
    }
}

bool UIBitmapButton::Update(float dt) {
    ownClock += dt;
    SpriteRenderChunk* sprite = Sprite(*this);
    if (textSource != 0 && enabled) {
        if (TextRenderChunk* text = Text(*this)) {
            text->text = AskData(receiver, textSource);
        }
    }
    if (visName == "ls_progress" && ModalLevel == nullptr && CurrentPlayer != nullptr &&
        sprite != nullptr) {
        const int32_t most = CurrentPlayer->GetEnergyMax();
        const float share =
            most > 0 ? static_cast<float>(CurrentPlayer->GetEnergy()) / static_cast<float>(most)
                     : 0.0f;
        sprite->alphaTestingValue = static_cast<int32_t>((1.0f - share) * 220.0f) + 35;
    }
    if (ModalLevel == nullptr && sprite != nullptr && sprite->visible) {
        if (MouseInside()) {
            if (spriteSwitching) {
                sprite->player.Play(highSprite, true, false, true, 0.0f);
            }
            if (!hoverSoundPlayed) {
                PlayOnce(hoverSound);
                hoverSoundPlayed = true;
            }
            CursorAnim.Play("idle", true, false, true, 0.0f);
        } else {
            hoverSoundPlayed = false;
            if (spriteSwitching) {
                sprite->player.Play(idleSprite, true, false, true, 0.0f);
            }
        }
    }
    auto show = [&](bool visible) {
        if (sprite != nullptr) {
            sprite->visible = visible;
        }
        enabled = visible;
    };
    for (const std::string& flag : enableFlags) {
        show(LevelFlag(flag));
    }
    if (!disableFlags.empty() && std::any_of(disableFlags.begin(), disableFlags.end(), LevelFlag)) {
        show(false);
    }
    if (enabledId != 0) {
        if (sprite != nullptr) {
            sprite->visible = enabled;
        }
        if (SpriteRenderChunk* second = Sprite(*this, FourCC("1"))) {
            second->visible = enabled;
        }
    }
    if (sprite != nullptr && (ownFades.FadeInOn() || ownFades.FadeOutOn())) {
        const bool pastFadeIn =
            !ownFades.FadeInOn() || ownClock > ownFades.inStart + ownFades.inTime;
        if (pastFadeIn && ownFades.FadeOutOn() && ownClock > ownFades.outStart) {
            sprite->alpha = 1.0f;
        }
        const float factor = ownFades.Factor(ownClock, 1.0f);
        if (factor != 1.0f) {
            sprite->alpha = factor;
        }
    }
    return UIButton::Update(dt);
}

// ---------------------------------------------------------------------------------------------
// UITextButton

UITextButton::UITextButton(ObjectsManager* owner) : UIButton(owner) {
    SetCreator(static_cast<OCreator<UITextButton>*>(this), 0, 0);
}

void UITextButton::SetProperty(const ParconCursor& cursor) {
    UIButton::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "regionFromText") {
            RegionFromText();
        } else if (key == "textSource") {
            textSource = PackId(values.NextString(true, ""));
        } else if (key == "hilightColor") {
            const auto r = static_cast<uint32_t>(values.NextInt(true, 0)) & 0xFFu;
            const auto g = static_cast<uint32_t>(values.NextInt(true, 0)) & 0xFFu;
            const auto b = static_cast<uint32_t>(values.NextInt(true, 0)) & 0xFFu;
            highlightColour = 0xFF000000u + r * 65536u + g * 256u + b;
            highlightGiven = true;
        } else if (key == "updateRegion") {
            updateRegion = values.NextInt(true, 0) != 0;
        } else if (!fades.Read(key, values)) {
            return false;
        }
        return true;
    });
}

void UITextButton::RegionFromText() {
    TextRenderChunk* text = Text(*this);
    auto* collision = dynamic_cast<CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
    if (text == nullptr || collision == nullptr || text->font == nullptr) {
        throw Exception("%s: a text button's region needs a TEXT and a COLI chunk", name.c_str());
    }
    const TextRectangle rect = text->font->TextRect(text->text, 0.0f, 0.0f, text->scale);
    const float w = rect.right - rect.left;
    const float h = rect.bottom - rect.top;
    float left = 0.0f;
    if (text->align == 1) {
        left = -std::floor(w / 2.0f);
    } else if (text->align == 2) {
        left = -w;
    }
    collision->left = left;
    collision->right = left + w;
    collision->top = 0.0f;
    collision->bottom = h;
}

bool UITextButton::Update(float dt) {
    clock += dt;
    TextRenderChunk* text = Text(*this);
    if (text == nullptr) {
        return UIButton::Update(dt);
    }
    if (firstUpdate) {
        firstUpdate = false;
        if (!highlightGiven) {
            // The normal colour too: left at its default, leaving would turn the text white.
            highlightColour = text->colour;
            normalColour = text->colour;
        }
    }
    if (enabled && MouseInside()) {
        if (text->colour != highlightColour) {
            normalColour = text->colour;
        }
        text->colour = highlightColour;
        if (!hoverSoundPlayed) {
            PlayOnce(hoverSound);
            hoverSoundPlayed = true;
            if (text->fontName == "menu" && MenuHiFont != nullptr) {
                text->font = MenuHiFont.get();
                text->fontName = "menu_hi";
            }
        }
        CursorAnim.Play("idle", true, false, true, 0.0f);
    } else {
        hoverSoundPlayed = false;
        if (text->colour == highlightColour) {
            text->colour = normalColour;
        }
        if (text->fontName == "menu_hi" && MenuFont != nullptr) {
            text->font = MenuFont.get();
            text->fontName = "menu";
        }
    }
    if (textSource != 0) {
        std::string answer = AskData(receiver, textSource);
        if (answer != text->text) {
            text->text = std::move(answer);
            if (updateRegion) {
                RegionFromText();
            }
        }
    }
    const bool result = UIButton::Update(dt);
    if (enabledId != 0) {
        text->visible = enabled;
    }
    if (fades.FadeInOn() && clock < fades.inStart) {
        text->alpha = 0.0f;
    } else if (fades.FadeInOn() && clock < fades.inStart + fades.inTime) {
        text->alpha = fades.Factor(clock, 1.0f);
    } else if (fades.FadeOutOn() && clock >= fades.outStart) {
        text->alpha = fades.Factor(clock, 1.0f);
    }
    if (enabled) {
        text->visible = text->alpha > 0.0f;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// UISkipButton

UISkipButton::UISkipButton(ObjectsManager* owner) : UIButton(owner) {
    SetCreator(static_cast<OCreator<UISkipButton>*>(this), 0, 0);
    clickSound.clear();
}
