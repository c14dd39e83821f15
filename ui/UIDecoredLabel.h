#pragma once

#include "media/AnimPlayer.h"
#include "media/SoundSet.h"
#include "media/TextureManager.h"
#include "ui/UILabel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TextRenderChunk;

// One page of a dialogue or a tutorial pop-up: its text under a speaker's window and portrait,
// or in a frame with up to three icons, with the speaker's voice, a click-to-advance hint and an
// event when the page leaves. The pages of a screen share DialogueClock: a page that has fully
// appeared stops it and waits for UserInterface::SkipDialoguePage.
class UIDecoredLabel : public UILabel, public OCreator<UIDecoredLabel> {
public:
    static constexpr std::string_view kClassName = "UIDecoredLabel";
    static constexpr float kLateDepth = 800.0f;
    static constexpr float kNormalDepth = 750.0f;
    // How long the speaker's window takes to open before the page and to close after it.
    static constexpr float kWindowLead = 0.3f;

    struct Speaker {
        std::string_view word;
        const char* portrait; // null: no portrait
        float x;
        float y;
    };

    explicit UIDecoredLabel(ObjectsManager* owner);
    ~UIDecoredLabel() override;

    // The label's keys, then "soundFile", "icon", "icon2", "icon3", "dialogType", "finishEvent"
    // and "showClicktoAdvance".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void PostDraw() override;
    void Draw() override;

    // The voice stops and is not started afterwards.
    void StopVoice();

    // The text's opacity at the dialogue clock: the fade-in, then the fade-out; a ramp of length
    // 0 or less is a step.
    float Opacity(float clock) const;
    // The window's opacity: it opens in the lead time before the fade-in, stays open through the
    // page and closes in the lead time after the fade-out; elsewhere the text's opacity.
    float WindowOpacity(float clock) const;
    // The hint's alpha byte for a text opacity.
    static uint32_t HintAlpha(float opacity);
    // The entry of a speaker word; null for words outside the table.
    static const Speaker* FindSpeaker(std::string_view word);

    TextureHandle frameTexture;
    std::array<AnimPlayer, 3> portraits;
    std::array<std::string, 3> iconNames;
    AnimPlayer windowArt;
    bool hasSpeakerPortrait = false;
    bool hasIcons = false;
    SoundSet voice;
    bool voiceStopped = false;
    uint32_t finishEvent = 0;
    bool voiceStarted = false;
    bool pageArrived = false;
    std::string dialogType;
    bool showClicktoAdvance = false;

private:
    TextRenderChunk* Text();
    // The box in the pass its text is drawn in.
    void DrawBox(float depth);
    // The speaker's text centred above the window; a tutorial's kept off the screen's edges.
    void PlaceText(TextRenderChunk& text) const;
    void DrawSpeakerBox(float depth);
    void DrawTutorialFrame(TextRenderChunk& text, float depth);
    void DrawHint(float y, float depth) const;
    float opacity = 1.0f;
};
