#pragma once

#include "media/SoundSet.h"
#include "media/TextureManager.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One frame of an animation: a rectangle of an image, and the point of it (in image pixels from
// its top-left corner) that lands on the drawing position.
struct AnimationFrame {
    TextureHandle texture; // empty: the frame draws untextured
    float uLeft = 0.0f;
    float vTop = 0.0f;
    float uRight = 1.0f;
    float vBottom = 1.0f;
    float pivotX = 0.0f;
    float pivotY = 0.0f;
    float width = 0.0f; // image pixels
    float height = 0.0f;
};

// One named animation.
struct AnimationRecord {
    float fps = 30.0f;
    std::vector<AnimationFrame> frames;
};

// What one ".ani" file defines: animations in file order, and their names (a name given twice
// maps to the later animation; both stay).
struct AnimationDefinition {
    std::vector<AnimationRecord> records;
    std::map<std::string, int, std::less<>> nameIndex;

    // Parses a ".ani" file (required) through the file layer. Throws the parser's Exception for
    // a missing or malformed file, after giving back the textures it had taken.
    static std::unique_ptr<AnimationDefinition> Read(const std::string& fileName);

    // Gives back every frame's texture; the frames draw untextured from then on.
    void ReleaseTextures();
};

// What the sound companion of a ".ani" file defines: sound sets in file order, and the
// animation names that start them.
struct AnimationSoundDefinition {
    std::vector<std::unique_ptr<SoundSet>> sets;
    std::map<std::string, int, std::less<>> nameIndex;

    // Parses a sound companion (required) through the file layer. Throws the parser's Exception,
    // or the sound set's when a sound file cannot be read.
    static std::unique_ptr<AnimationSoundDefinition> Read(const std::string& fileName);

    // The set that the animation name starts; null when none.
    SoundSet* SetFor(std::string_view animation) const;
};

// The sound companion's name: the ".ani" name with its last three characters replaced by "snd".
// Empty for a name too short to have an extension, which has no companion.
std::string SoundCompanionName(const std::string& aniName);
