#pragma once

#include "engine/System.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

class PositionChunk;

// The part of an object's looks that sprite and particle chunks share: where it is drawn (its
// position chunk), in which passes, how opaque, how deep, how large.
class RenderChunk : public SystemChunk {
public:
    // Keeps the object's position chunk.
    void Link(SystemChunk* dependency) override;
    // Reads "alpha", "zOrder", "scale", "preRender", "postRender" and "afterAllRender";
    // "StoreList" is not read.
    void Init(const ParconCursor& cursor) override;

    virtual void Draw();
    // Counts the show delay down: the chunk is hidden while it runs.
    virtual void Update(float dt);

    PositionChunk* position = nullptr;
    bool preRender = false;
    bool postRender = false;
    bool afterAllRender = false;
    float alpha = 1.0f; // what is drawn; effects fade it and restore it from baseAlpha
    float baseAlpha = 1.0f;
    float zOrder = 0.0f; // the sort key and the drawing depth
    float baseZOrder = 0.0f;
    float scale = 1.0f;
    float baseScale = 1.0f;
    bool visible = true;
    float showDelay = -1.0f; // seconds; hidden while above 0 (set by scene objects' code)
};

// The sort of every drawing pass: ascending depth, equal depths in the order the chunks were
// made. A depth that is not a number sorts first, so the order stays a strict one.
template <typename Chunk>
void SortByDepth(std::vector<SystemChunk*>& chunks, float (*depth)(const Chunk&)) {
    const auto key = [depth](const SystemChunk* chunk) {
        const float value = depth(*static_cast<const Chunk*>(chunk));
        return std::isnan(value) ? -std::numeric_limits<float>::infinity() : value;
    };
    const auto less = [&key](const SystemChunk* a, const SystemChunk* b) {
        return key(a) < key(b);
    };
    // Lists are nearly always in order already; then the sort takes no memory.
    if (!std::is_sorted(chunks.begin(), chunks.end(), less)) {
        std::stable_sort(chunks.begin(), chunks.end(), less);
    }
}
