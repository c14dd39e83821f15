#include "ui/UIDecoredLabel.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/StringTable.h"
#include "media/TextRenderSystem.h"
#include "ui/ModalProcesses.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kScreenWidth = 1024.0f;
constexpr float kCentreX = 512.0f;
constexpr float kSpeakerTextY = 675.0f;
constexpr float kWindowY = 640.0f;
constexpr float kHintBelow = 55.0f;
constexpr float kTutorialLeft = 100.0f;
constexpr float kTutorialRight = 48.0f;
constexpr float kFrameBorder = 24.0f;
constexpr float kFrameCell = 64.0f;
constexpr float kIconRoom = 70.0f;
constexpr float kHintRoom = 30.0f;
constexpr float kIconLeft = 35.0f;
constexpr float kIconSpacing = 40.0f;
constexpr uint32_t kHintColour = 0x00FF0000u;

constexpr std::array<UIDecoredLabel::Speaker, 11> kSpeakers = {{
    {"Exarch", "gfx\\interface\\dialog_window\\exarch.ani", 24.0f, 519.0f},
    {"Katya", "gfx\\interface\\dialog_window\\katya.ani", 846.0f, 468.0f},
    {"Viktor", "gfx\\interface\\dialog_window\\viktor.ani", 846.0f, 519.0f},
    {"Oakbeard", nullptr, 0.0f, 0.0f},
    {"WoodElemental", nullptr, 0.0f, 0.0f},
    {"Oracle", nullptr, 0.0f, 0.0f},
    {"Farseer", nullptr, 0.0f, 0.0f},
    {"Guardian", nullptr, 0.0f, 0.0f},
    {"Librarian", nullptr, 0.0f, 0.0f},
    {"tutorial", nullptr, 0.0f, 0.0f},
    {"empty", nullptr, 0.0f, 0.0f},
}};

} // namespace

UIDecoredLabel::UIDecoredLabel(ObjectsManager* owner) : UILabel(owner) {
    SetCreator(static_cast<OCreator<UIDecoredLabel>*>(this), 0, 0);
    TextureManager::Load(frameTexture, "gfx/interface/cutscene_frame.jpg");
    windowArt.Load("gfx/interface/dialog_window/dialog_window.ani");
    DialoguePageShown = false;
}

UIDecoredLabel::~UIDecoredLabel() {
    StopVoice();
    frameTexture.Release();
}

const UIDecoredLabel::Speaker* UIDecoredLabel::FindSpeaker(std::string_view word) {
    for (const Speaker& speaker : kSpeakers) {
        if (speaker.word == word) {
            return &speaker;
        }
    }
    return nullptr;
}

void UIDecoredLabel::SetProperty(const ParconCursor& cursor) {
    UILabel::SetProperty(cursor);
    auto readIcon = [this](std::size_t slot, ParconCursor& values) {
        portraits[slot].Load(values.NextString(true, ""));
        iconNames[slot] = values.NextString(true, "");
        hasIcons = true;
    };
    ForEachKey(cursor, [&](const std::string& key, ParconCursor& values) {
        if (key == "soundFile") {
            voice.AddSound(values.NextString(true, ""), 1, false);
        } else if (key == "icon") {
            readIcon(0, values);
            portraits[0].Play(iconNames[0], true, false, true, 0.0f);
        } else if (key == "icon2") {
            readIcon(1, values);
        } else if (key == "icon3") {
            readIcon(2, values);
        } else if (key == "dialogType") {
            const std::string word = values.NextString(true, "");
            if (const Speaker* speaker = FindSpeaker(word)) {
                dialogType = word;
                if (speaker->portrait != nullptr) {
                    portraits[0].Load(speaker->portrait);
                    portraits[0].Play("idle", true, false, true, 0.0f);
                    hasSpeakerPortrait = true;
                }
            }
        } else if (key == "finishEvent") {
            finishEvent = PackId(values.NextString(true, ""));
        } else if (key == "showClicktoAdvance") {
            showClicktoAdvance = values.NextInt(true, 0) != 0;
        } else {
            return false;
        }
        return true;
    });
}

TextRenderChunk* UIDecoredLabel::Text() {
    return dynamic_cast<TextRenderChunk*>(GetChunk(FourCC("TEXT"), 0));
}

void UIDecoredLabel::StopVoice() {
    voice.StopAll();
    voiceStopped = true;
}

float UIDecoredLabel::Opacity(float at) const {
    // A fade-in from 0 is no fade-in: such a page is there at once.
    FadeTimes page = fades;
    if (page.inStart <= 0.0f) {
        page.inStart = -1.0f;
    }
    return page.Factor(at, 1.0f);
}

float UIDecoredLabel::WindowOpacity(float at) const {
    const float inStart = fades.inStart;
    const float outEnd = fades.outStart + std::max(0.0f, fades.outTime);
    if (fades.FadeInOn() && at >= inStart - kWindowLead && at < inStart) {
        return (at - (inStart - kWindowLead)) / kWindowLead;
    }
    const bool inPage = fades.FadeInOn() && at >= inStart && (!fades.FadeOutOn() || at <= outEnd);
    if (inPage || (fades.FadeOutOn() && at >= fades.outStart && at <= outEnd)) {
        return 1.0f;
    }
    if (fades.FadeOutOn() && at > outEnd && at < outEnd + kWindowLead) {
        return 1.0f - (at - outEnd) / kWindowLead;
    }
    return Opacity(at);
}

uint32_t UIDecoredLabel::HintAlpha(float value) {
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 1.0f) {
        return 255;
    }
    return static_cast<uint32_t>(std::lround(value * 255.0f));
}

bool UIDecoredLabel::Update(float dt) {
    if (!DialoguePageShown) {
        DialogueClock += dt;
    }
    const float now = DialogueClock;
    clock = now;
    TextRenderChunk* text = Text();
    if (text != nullptr && textSource != 0) {
        text->text = AskData(receiver, textSource);
    }
    opacity = Opacity(now);

    // Only a page that fades in waits: one there from the start never stops the clock.
    if (fades.inStart > 0.0f) {
        const float arrival = fades.inStart + std::max(0.0f, fades.inTime);
        if (now >= arrival && !DialoguePageShown && !pageArrived) {
            DialoguePageShown = true;
            DialogueClock = arrival;
            pageArrived = true;
        }
    }
    if (fades.FadeOutOn() && now >= fades.outStart) {
        pageArrived = true;
    }
    if (text != nullptr) {
        if (fades.FadeInOn() || fades.FadeOutOn()) {
            text->alpha = opacity;
        }
        text->visible = text->alpha > 0.0f;
        text->zOrder = text->postRender ? kLateDepth : kNormalDepth;
        PlaceText(*text);
    }
    if (!voiceStarted && now >= fades.inStart) {
        voiceStarted = true;
        if (!voiceStopped) {
            voice.Play(false);
        }
    }
    if (finishEvent != 0 && fades.FadeOutOn() && now >= fades.outStart) {
        PostEvent(MainUI, finishEvent);
        finishEvent = 0;
    }
    // The page on screen names the speaker; pages waiting their turn or gone do not.
    if (DialogueUI != nullptr && opacity > 0.0f) {
        DialogueUI->speakerText = dialogType;
    }
    return true;
}

void UIDecoredLabel::PostDraw() {
    if (const TextRenderChunk* text = Text(); text != nullptr && text->postRender) {
        DrawBox(kLateDepth);
    }
}

void UIDecoredLabel::Draw() {
    if (const TextRenderChunk* text = Text(); text != nullptr && !text->postRender) {
        DrawBox(kNormalDepth);
    }
}

void UIDecoredLabel::DrawBox(float depth) {
    TextRenderChunk* text = Text();
    if (text == nullptr || dialogType.empty() || dialogType == "empty") {
        return;
    }
    if (dialogType == "tutorial") {
        DrawTutorialFrame(*text, depth);
    } else {
        DrawSpeakerBox(depth);
    }
}

void UIDecoredLabel::PlaceText(TextRenderChunk& text) const {
    if (text.position == nullptr || dialogType.empty() || dialogType == "empty") {
        return;
    }
    const float width = MeasureText(text).width;
    if (dialogType == "tutorial") {
        text.position->x =
            std::max(kTutorialLeft, std::min(text.position->x, kScreenWidth - kTutorialRight - width));
    } else {
        text.position->x = kCentreX - width * 0.5f;
        text.position->y = kSpeakerTextY;
    }
}

void UIDecoredLabel::DrawSpeakerBox(float depth) {
    const float window = WindowOpacity(DialogueClock);
    if (DialogueUI == nullptr || !DialogueUI->windowArt) {
        windowArt.Draw(0.0f, kWindowY, depth, 0.0f, window, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
    }
    if (hasSpeakerPortrait) {
        if (const Speaker* speaker = FindSpeaker(dialogType)) {
            portraits[0].Draw(speaker->x, speaker->y, depth, 0.0f, window, 1.0f, 1.0f, 0.0f,
                              0xFFFFFFFFu);
        }
    }
    DrawHint(kSpeakerTextY + kHintBelow, depth);
}

void UIDecoredLabel::DrawTutorialFrame(TextRenderChunk& text, float depth) {
    const TextExtent extent = MeasureText(text);
    const float width = extent.width;
    const float x = text.position != nullptr ? text.position->x : 0.0f;
    const float y = text.position != nullptr ? text.position->y : 0.0f;
    const float iconRoom = hasIcons ? kIconRoom : 0.0f;
    const float hintRoom = showClicktoAdvance ? kHintRoom : 0.0f;
    const float window = WindowOpacity(DialogueClock);
    Renderer::DrawNineSlice(x - kFrameBorder - iconRoom, y - kFrameBorder, depth,
                            width + iconRoom, extent.height + hintRoom, &frameTexture,
                            kFrameCell, kFrameCell, kFrameBorder, kFrameBorder, kFrameBorder,
                            kFrameBorder, window);
    if (hasIcons) {
        // Icons overlap the frame's centre: without depth writes neither hides the other.
        Renderer::SetZWriteEnable(false);
        for (std::size_t i = 0; i < portraits.size(); ++i) {
            if (iconNames[i].empty()) {
                continue;
            }
            portraits[i].SetAnim(iconNames[i]);
            const FrameRect rect = portraits[i].GetFrameRect(iconNames[i]);
            const float centre = static_cast<float>(rect.left + rect.right) * 0.5f;
            portraits[i].Draw(x - kIconLeft - centre, y + static_cast<float>(i) * kIconSpacing,
                              depth, 0.0f, window, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
        }
        Renderer::SetZWriteEnable(true);
    }
    DrawHint(y + extent.height + kHintBelow - kFrameBorder, depth);
}

void UIDecoredLabel::DrawHint(float y, float depth) const {
    if (!showClicktoAdvance || TooltipFont == nullptr) {
        return;
    }
    const std::string_view hint = StringTable::Translate("str.clicktoadvancedialog");
    const TextRectangle rect = TooltipFont->TextRect(hint, 0.0f, 0.0f, 1.0f);
    TooltipFont->DrawText(hint, kCentreX - (rect.right - rect.left) * 0.5f, y, depth,
                          (HintAlpha(opacity) << 24) | kHintColour);
}
