#pragma once

#include "engine/ClassFactory.h"
#include "media/TextureManager.h"
#include "world/BaseGameObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class VideoStream;

// One subtitle line, shown while the video's clock lies in [start, end).
struct Subtitle {
    std::string text; // UTF-8 or a "str." key
    float start = 0.0f;
    float end = 0.0f;
};

// A cut-scene: an Ogg Theora video drawn across the screen with its subtitles and a skip hint,
// paced by its sound set (or, while that gives no position, by its own updates). It fades in,
// plays, and at its end (or when skipped by a click inside its 'COLI' rectangle or Escape) marks
// itself killed, closes the dialogue and video screens, brings the HUD back, silences every
// sound and fades out over 2 s before it goes.
class GameVideo : public BaseGameObject, public OCreator<GameVideo> {
public:
    static constexpr std::string_view kClassName = "GameVideo";
    static constexpr int kTextureSide = 1024;
    static constexpr float kEndFadeTime = 2.0f;

    // Fades the current music out.
    explicit GameVideo(ObjectsManager* owner);
    ~GameVideo() override;

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // "fadeInTime", "fadeOutTime", "aviFile", "soundFile" and "subtitles" (lists "sub" with text,
    // start and end), none of the base keys; then makes the picture texture and opens the video
    // (a file the file layer does not know is fatal).
    void SetProperty(const ParconCursor& cursor) override;
    // False once the video has ended and faded out.
    bool Update(float dt) override;
    // The picture, the subtitle and the skip hint; nothing during a fade.
    void PostDraw() override;

    const VideoStream* Stream() const { return stream.get(); }
    const std::string* CurrentSubtitle() const { return currentSubtitle; }
    const TextureHandle& Picture() const { return picture; }
    bool Skipped() const { return skipped; }
    bool Finished() const { return finished; }
    double FrameTime() const { return frameTime; }

    float fadeInElapsed = 0.0f;
    float fadeInTime = -1.0f;
    float fadeOutTime = -1.0f;
    float fadeOutElapsed = 0.0f;
    std::string aviFile;
    std::string soundFile;
    std::vector<Subtitle> subtitles;

private:
    // The end of the video, once: flag, screens, HUD, silence, and the 2 s fade-out.
    void End();
    void CopyFrame();
    void ChooseSubtitle(float clock);
    void SetSpriteAlpha(float alpha);

    std::unique_ptr<VideoStream> stream;
    bool skipped = false;
    bool soundStarted = false;
    bool finished = false;
    const std::string* currentSubtitle = nullptr;
    int64_t granulePos = 0;
    double frameTime = 0.0;
    float clockElapsed = 0.0f;
    TextureHandle picture;
};
