#include "ui/GameTutorial.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/Renderer.h"
#include "media/TextRenderSystem.h"
#include "world/Level.h"
#include "world/Player.h"

#include <algorithm>

namespace {

constexpr float kScreenWidth = 1024.0f;
constexpr float kFrameCell = 64.0f;
constexpr float kFrameBorder = 24.0f;

void SetBlendFinished(bool value) {
    if (ModalLevel != nullptr) {
        ModalLevel->blendFinished = value;
    }
}

} // namespace

GameTutorial::GameTutorial(ObjectsManager* owner) : UILabel(owner) {
    SetCreator(static_cast<OCreator<GameTutorial>*>(this), 0, 0);
    TextureManager::Load(frame, "gfx/interface/cutscene_frame.jpg");
    drawFirst = false;
}

GameTutorial::~GameTutorial() {
    voice.StopAll();
    frame.Release();
}

void GameTutorial::SetProperty(const ParconCursor& cursor) {
    UILabel::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "soundFile") {
            voice.AddSound(values.NextString(true, ""), 1, false);
        } else if (key == "disableFlag") {
            while (values.HasNextValue()) {
                disableFlags.push_back(values.NextString(true, ""));
            }
        } else {
            return false;
        }
        return true;
    });
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        return;
    }
    for (const std::string& flag : disableFlags) {
        if (CurrentPlayer->GetFlag(GameLevel->name + ":" + flag) != 0) {
            dead = true;
            return;
        }
    }
}

void GameTutorial::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (id == FourCC("LMBD") && param == KeyboardSystem::kPressed && holding) {
        holding = false;
        clock = fades.outStart;
    }
}

bool GameTutorial::Update(float dt) {
    if (dead) {
        return false;
    }
    if (fades.inStart <= clock && !voicePlayed) {
        voicePlayed = true;
        voice.Play(false);
    }
    appear = std::min(1.0f, appear + kOpenRate * dt);
    if (!holding) {
        clock += dt;
    }
    auto* text = dynamic_cast<TextRenderChunk*>(GetChunk(FourCC("TEXT"), 0));
    if (text != nullptr && textSource != 0) {
        text->text = AskData(receiver, textSource);
    }
    FadeTimes shown = fades;
    if (shown.inStart <= 0.0f) {
        shown.inStart = -1.0f;
    }
    if (shown.outStart <= 0.0f) {
        shown.outStart = -1.0f;
    }
    const float alpha = shown.Factor(clock, 1.0f);

    bool holdReached = false;
    const float arrival = fades.inStart + std::max(0.0f, fades.inTime);
    if (fades.FadeInOn() && clock >= arrival && !holding && !holdDone) {
        clock = arrival;
        holding = true;
        holdDone = true;
        holdReached = true;
    }
    if (shown.FadeOutOn() && clock >= fades.outStart + std::max(0.0f, fades.outTime)) {
        holdDone = true;
    }
    if (text != nullptr) {
        if (shown.FadeInOn() || shown.FadeOutOn()) {
            text->alpha = alpha;
        }
        text->visible = text->alpha > 0.0f;
        if (text->position != nullptr) {
            const float maxX = kScreenWidth - (MeasureText(*text).width * appear + kRightMargin);
            text->position->x = std::max(kLeftMargin, std::min(text->position->x, maxX));
        }
    }
    if (holdReached) {
        SetBlendFinished(true);
    } else if (!holdDone) {
        SetBlendFinished(false);
    }
    if (fades.FadeOutOn() && clock > fades.outStart + std::max(0.0f, fades.outTime)) {
        SetBlendFinished(true);
        dead = true;
        return false;
    }
    return true;
}

void GameTutorial::Draw() {
    auto* text = dynamic_cast<TextRenderChunk*>(GetChunk(FourCC("TEXT"), 0));
    if (text == nullptr || text->position == nullptr || !text->visible) {
        return;
    }
    const TextExtent extent = MeasureText(*text);
    const float width = extent.width;
    Renderer::DrawNineSlice(text->position->x - 32.0f + (1.0f - appear) * width * 0.4f,
                            text->position->y - kFrameBorder, text->zOrder - 1.0f,
                            width * (0.8f * appear + 0.2f) + 12.0f, extent.height, &frame,
                            kFrameCell, kFrameCell, kFrameBorder, kFrameBorder, kFrameBorder,
                            kFrameBorder, text->alpha);
}
