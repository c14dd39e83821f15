#pragma once

#include "engine/System.h"
#include "media/AnimationDefinition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Plays the named animations of one ".ani" file: advances by the main loop's step, draws the
// current frame, and starts the sound that the file's companion ties to an animation. The
// definitions belong to the animation cache; a player holds references to them and copies with
// them.
class AnimPlayer {
public:
    // Unbound: plays and draws nothing.
    AnimPlayer() = default;

    // Binds the player to a ".ani" file (and its sound companion, when the file layer has one)
    // and restarts it at the first animation. Nothing for an empty name or the file already
    // bound. Throws the parser's Exception; the player is then unchanged.
    void Load(const std::string& fileName);
    // Starts the named animation, or keeps it running when it already runs. False when unbound
    // or the name is unknown (the loop flag is taken all the same).
    bool Play(const std::string& name, bool loop, bool thenFirst, bool sounds, float fadeInTime);
    // The selection step of Play, keeping the player's other settings.
    bool SetAnim(const std::string& name);
    // Advances by dt seconds; false when nothing plays or the animation has ended.
    bool Update(float dt);
    // Draws the current frame at (x, y): fill is the share of the frame's width drawn, leftCut the
    // share cut away on its left; tint is 0xRRGGBB (0xFFFFFFFF for none).
    void Draw(float x, float y, float z, float angle, float alpha, float scale, float fill,
              float leftCut, uint32_t tint) const;
    // Back to the first animation: time 0, frame 0, not ended.
    void ResetToFirst();

    bool IsFinished() const { return !loop && ended; }
    bool HasWrapped() const { return wrapped; }
    // The first frame of the named animation, relative to the drawing position; zeros when the
    // name is unknown or the animation has no frames.
    FrameRect GetFrameRect(std::string_view name) const;
    std::string CurrentAnimName() const { return curName; }
    // Empty while unbound.
    const std::string& GetFileName() const { return fileName; }
    int CurrentIndex() const { return curIndex; }
    int CurrentFrame() const { return frame; }
    float FadeProgress() const { return fadeProgress; }

private:
    void ResetTo(int index);
    // The definition's records, or null while unbound.
    const AnimationRecord* CurrentRecord() const;

    int curIndex = 0;
    // Where an animation played with thenFirst goes when it ends: always the first animation.
    int pendingIndex = 0;
    std::string pendingName;
    std::string curName;
    float time = 0.0f; // seconds since the animation (re)started
    int frame = 0;
    bool loop = true;
    bool thenFirst = false;
    bool wrapped = false; // only during the step in which a looping animation restarted
    bool ended = false;
    bool soundsOn = true;
    std::string fileName;
    float fadeInTime = 0.0f;
    float fadeElapsed = 0.0f;
    float fadeProgress = 0.0f;
    std::shared_ptr<AnimationDefinition> definition;
    std::shared_ptr<const AnimationSoundDefinition> soundDefinition;
};

// The mouse cursor, the item carried on the cursor and the selected tool's picture; drawn over
// everything.
extern AnimPlayer CursorAnim;
extern AnimPlayer HeldItemAnim;
extern AnimPlayer ToolCursorAnim;
// Whether the held item's and the tool's pictures are on the cursor.
extern bool HeldItemShown;
extern bool ToolCursorShown;
