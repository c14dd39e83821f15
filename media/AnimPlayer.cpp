#include "media/AnimPlayer.h"

#include "media/AnimationCache.h"
#include "media/Renderer.h"

#include <climits>

AnimPlayer CursorAnim;
AnimPlayer HeldItemAnim;
AnimPlayer ToolCursorAnim;
bool HeldItemShown = false;
bool ToolCursorShown = false;

namespace {

constexpr float kByteToUnit = 0.003921568859368563f; // 1 / 255

// Truncated toward zero, held inside the 32-bit range.
int32_t WholePixels(float value) {
    if (!(value > static_cast<float>(INT32_MIN))) {
        return value < 0.0f ? INT32_MIN : 0;
    }
    if (!(value < static_cast<float>(INT32_MAX))) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

} // namespace

void AnimPlayer::Load(const std::string& name) {
    if (name.empty() || name == fileName) {
        return;
    }
    std::shared_ptr<AnimationDefinition> loaded = AnimationCache::Definition(name);
    // A file without a companion takes the previous file's sounds away, so that animation names
    // the two files share do not start the old sounds.
    std::shared_ptr<const AnimationSoundDefinition> sounds = AnimationCache::Sounds(name);
    definition = std::move(loaded);
    soundDefinition = std::move(sounds);
    fileName = name;
    ResetTo(0);
}

void AnimPlayer::ResetTo(int index) {
    curIndex = index;
    time = 0.0f;
    frame = 0;
    ended = false;
}

void AnimPlayer::ResetToFirst() {
    ResetTo(0);
}

const AnimationRecord* AnimPlayer::CurrentRecord() const {
    if (!definition || curIndex < 0 ||
        static_cast<std::size_t>(curIndex) >= definition->records.size()) {
        return nullptr;
    }
    return &definition->records[static_cast<std::size_t>(curIndex)];
}

bool AnimPlayer::Play(const std::string& name, bool loopIt, bool thenFirstIt, bool sounds,
                      float fadeIn) {
    if (!definition || definition->nameIndex.empty()) {
        curIndex = 0;
        return false;
    }
    soundsOn = sounds;
    if (!SetAnim(name)) {
        loop = loopIt;
        return false;
    }
    curName = name;
    fadeInTime = fadeIn;
    thenFirst = thenFirstIt;
    loop = loopIt;
    if (fadeInTime > 0.0f) {
        fadeElapsed = 0.0f;
        fadeProgress = 0.0f;
    }
    return true;
}

bool AnimPlayer::SetAnim(const std::string& name) {
    if (!definition) {
        return false;
    }
    const auto found = definition->nameIndex.find(name);
    if (found == definition->nameIndex.end()) {
        return false;
    }
    const int index = found->second;
    const bool changed = index != curIndex;
    if (!changed && !IsFinished() && !wrapped) {
        return true; // the running animation goes on untouched
    }
    SoundSet* const newSet = soundsOn && soundDefinition ? soundDefinition->SetFor(name) : nullptr;
    if (newSet != nullptr) {
        const SoundSet* const curSet = soundDefinition->SetFor(curName);
        // A change to another set sounds; the same set sounds again only when it loops and its
        // animation has come round or ended. An unchanged animation never doubles its sound.
        const bool play =
            (changed && curSet != newSet) || (newSet->Loop() && (wrapped || IsFinished()));
        if (play && (changed || !newSet->IsPlaying())) {
            newSet->Play(false);
        }
    }
    if (changed || IsFinished()) {
        ResetTo(index);
    }
    return true;
}

bool AnimPlayer::Update(float dt) {
    wrapped = false;
    const AnimationRecord* record = CurrentRecord();
    if (record == nullptr) {
        return false;
    }
    time += dt;
    if (fadeInTime > 0.0f) {
        fadeElapsed += dt;
        fadeProgress = fadeElapsed / fadeInTime;
    }
    const auto frameCount = static_cast<float>(record->frames.size());
    const float position = record->fps * time;
    if (position < frameCount) {
        // Truncated toward zero; a time before the first frame shows none.
        frame = position > -1.0f ? static_cast<int>(position) : -1;
        return true;
    }
    if (loop) {
        wrapped = true;
        ResetTo(curIndex);
        return true;
    }
    if (thenFirst) {
        ResetTo(pendingIndex);
        curName = pendingName;
        return true;
    }
    frame = static_cast<int>(record->frames.size());
    ended = true;
    return false;
}

void AnimPlayer::Draw(float x, float y, float z, float angle, float alpha, float scale, float fill,
                      float leftCut, uint32_t tint) const {
    const AnimationRecord* record = CurrentRecord();
    if (record == nullptr || IsFinished() || frame < 0 ||
        static_cast<std::size_t>(frame) >= record->frames.size()) {
        return;
    }
    AnimationFrame& f = definition->records[static_cast<std::size_t>(curIndex)]
                            .frames[static_cast<std::size_t>(frame)];
    const float drawnWidth = f.width * fill * (1.0f - leftCut);
    float uLeft = f.uLeft;
    float uRight = f.uRight;
    // Without an image there is nothing to cut the coordinates from: the frame draws untextured.
    const int32_t imageWidth = f.texture.valid ? f.texture.entry->width : 0;
    if (imageWidth > 0) {
        uLeft = f.uLeft + leftCut * f.width / static_cast<float>(imageWidth);
        uRight = uLeft + drawnWidth / static_cast<float>(imageWidth);
    }
    const QuadColour colour{static_cast<float>((tint >> 16) & 0xFFu) * kByteToUnit,
                            static_cast<float>((tint >> 8) & 0xFFu) * kByteToUnit,
                            static_cast<float>(tint & 0xFFu) * kByteToUnit};
    DrawQuad(x + leftCut * f.width, y, z, drawnWidth, f.height, uLeft, f.vTop, uRight, f.vBottom,
             &f.texture, angle, fadeInTime > 0.0f ? fadeProgress : alpha, scale, &colour, f.pivotX,
             f.pivotY);
}

FrameRect AnimPlayer::GetFrameRect(std::string_view name) const {
    if (!definition) {
        return {};
    }
    const auto found = definition->nameIndex.find(name);
    if (found == definition->nameIndex.end()) {
        return {};
    }
    const AnimationRecord& record = definition->records[static_cast<std::size_t>(found->second)];
    if (record.frames.empty()) {
        return {};
    }
    const AnimationFrame& first = record.frames.front();
    return FrameRect{WholePixels(-first.pivotX), WholePixels(-first.pivotY),
                     WholePixels(first.width - first.pivotX),
                     WholePixels(first.height - first.pivotY)};
}
