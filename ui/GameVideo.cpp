#include "ui/GameVideo.h"

#include "engine/Application.h"
#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/ProcessResult.h"
#include "media/BitmapFont.h"
#include "media/RenderChunk.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/VideoStream.h"
#include "platform/os/Keys.h"
#include "ui/InGameFlow.h"
#include "ui/UserInterface.h"

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");

// Where the picture goes: the 640 x 360 frame in the texture's corner, stretched across the
// screen's width below a band of 100 pixels.
constexpr float kPictureY = 100.0f;
constexpr float kPictureDepth = 800.0f;
constexpr float kPictureSide = 1638.0f;
constexpr float kTextDepth = 900.0f;
constexpr float kSubtitleY = 700.0f;
constexpr float kSubtitleScale = 1.2f;
constexpr uint32_t kSubtitleColour = 0xFFFFFFFF;
constexpr float kSkipRight = 1000.0f;
constexpr float kSkipY = 20.0f;
constexpr float kSkipScale = 0.9f;
constexpr uint32_t kSkipColour = 0xFFCCFF00;
constexpr const char* kSkipHint = "str.skipmovie";

} // namespace

GameVideo::GameVideo(ObjectsManager* owner) : BaseGameObject(owner) {
    SetCreator(static_cast<OCreator<GameVideo>*>(this), 0, 0);
    Sounds.StopMusic();
}

GameVideo::~GameVideo() {
    stream.reset();
    picture.Release();
}

void GameVideo::SetProperty(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "fadeInTime") {
            fadeInTime = key.NextFloat(true, 0.0f);
        } else if (name == "fadeOutTime") {
            fadeOutTime = key.NextFloat(true, 0.0f);
        } else if (name == "aviFile") {
            aviFile = key.NextString(true, "");
        } else if (name == "soundFile") {
            soundFile = key.NextString(true, "");
        } else if (name == "subtitles") {
            while (key.Next()) {
                const std::optional<ParconList> line = key.GetList();
                if (!line) {
                    continue;
                }
                ParconCursor sub(line, 0);
                if (sub.GetListName() != "sub") {
                    continue;
                }
                Subtitle subtitle;
                subtitle.text = sub.NextString(true, "");
                subtitle.start = sub.NextFloat(true, 0.0f);
                subtitle.end = sub.NextFloat(true, 0.0f);
                subtitles.push_back(std::move(subtitle));
            }
        }
    }
    if (!picture.valid && !TextureManager::CreateTexture(picture, kTextureSide, kTextureSide, false)) {
        DebugLog("No picture texture for the video %s\n", aviFile.c_str());
    }
    stream = std::make_unique<VideoStream>(aviFile);
}

void GameVideo::SetSpriteAlpha(float alpha) {
    if (RenderChunk* sprite = Sprite()) {
        sprite->alpha = alpha;
    }
}

bool GameVideo::Update(float dt) {
    if (!stream || !App.active || App.toggleFullScreen) {
        return true;
    }
    // The video stands still while it fades in.
    if (fadeInTime > 0.0f && fadeInElapsed < fadeInTime) {
        fadeInElapsed += dt;
        SetSpriteAlpha(fadeInElapsed / fadeInTime);
        return true;
    }
    if (!soundStarted) {
        Sounds.PlayByName(soundFile, false, 100, 0);
        soundStarted = true;
    }
    clockElapsed += dt;
    if (!stream->AtEnd() && !skipped) {
        // The sound is the clock; a set that is missing or silent gives none, and the updates
        // pace the video instead.
        float clock = Sounds.GetPlayPosition(soundFile);
        if (!(clock > 0.0f)) {
            clock = clockElapsed;
        }
        // One frame an update at most: a video that lags catches up a frame at a time.
        if (clock > frameTime && stream->Step()) {
            CopyFrame();
            ChooseSubtitle(clock);
        }
        granulePos = stream->GranulePos();
        frameTime = stream->GranuleTime();
        return true;
    }
    if (!finished) {
        End();
    }
    if (fadeOutTime > 0.0f && fadeOutElapsed < fadeOutTime) {
        fadeOutElapsed += dt;
        SetSpriteAlpha(1.0f - fadeOutElapsed / fadeOutTime);
        return true;
    }
    return false;
}

void GameVideo::End() {
    fadeOutTime = kEndFadeTime;
    SetLevelFlag(visName + "_killed", 1);
    if (DialogueUI != nullptr) {
        DialogueUI->state = kResultClose;
    }
    RestoreHud();
    if (VideoUI != nullptr) {
        VideoUI->state = kResultClose;
    }
    finished = true;
    Sounds.Restart();
}

void GameVideo::CopyFrame() {
    GfxTexture* texture = picture.Texture();
    if (texture == nullptr) {
        return;
    }
    LockedRect locked;
    if (texture->LockRect(0, locked, 0) != kGfxOk) {
        return;
    }
    stream->CopyPicture(static_cast<uint8_t*>(locked.bits), locked.pitch,
                        static_cast<int>(texture->Width()), static_cast<int>(texture->Height()));
    texture->UnlockRect(0);
}

void GameVideo::ChooseSubtitle(float clock) {
    currentSubtitle = nullptr;
    for (const Subtitle& subtitle : subtitles) {
        if (subtitle.start <= clock && clock < subtitle.end) {
            currentSubtitle = &subtitle.text;
            return;
        }
    }
}

void GameVideo::PostDraw() {
    // During the fades only the sprite is seen. A positive "fadeOutTime" in the definition keeps
    // the picture hidden for the whole video: its fade-out counts as not yet run.
    if (!stream || (fadeInTime > 0.0f && fadeInElapsed < fadeInTime) ||
        (fadeOutTime > 0.0f && fadeOutElapsed < fadeOutTime)) {
        return;
    }
    if (picture.Texture() != nullptr) {
        DrawQuad(0.0f, kPictureY, kPictureDepth, kPictureSide, kPictureSide, 0.0f, 0.0f, 1.0f,
                 1.0f, &picture, 0.0f, 1.0f, 1.0f, nullptr, 0.0f, 0.0f);
    }
    if (MainFont == nullptr) {
        return;
    }
    if (currentSubtitle != nullptr) {
        const TextRectangle rect = MainFont->TextRect(*currentSubtitle, 0.0f, 0.0f, 1.0f);
        const float width = rect.right - rect.left;
        MainFont->DrawTextEx(*currentSubtitle, 512.0f - width * 0.5f, kSubtitleY, kTextDepth,
                             kSubtitleColour, kSubtitleColour, kSubtitleScale);
    }
    const TextRectangle rect = MainFont->TextRect(kSkipHint, 0.0f, 0.0f, 1.0f);
    MainFont->DrawTextEx(kSkipHint, kSkipRight - (rect.right - rect.left), kSkipY, kTextDepth,
                         kSkipColour, kSkipColour, kSkipScale);
}

void GameVideo::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished || skipped) {
        return;
    }
    bool skip = Keyboard.KeyPressed(kKeyEscape);
    if (id == kLeftDown && param == KeyboardSystem::kPressed) {
        CollisionChunk* collision = Collision();
        skip = skip || (collision != nullptr && collision->Contains(Mouse.x, Mouse.y));
    }
    if (skip) {
        SetLevelFlag(visName + "_killed", 1);
        skipped = true;
    }
}
