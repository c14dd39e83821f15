#pragma once

#include "platform/gfx/GfxTypes.h"

#include <cstddef>
#include <span>
#include <vector>

class GlTexture;

// The quads a device holds back, gathered into groups of one texture that are drawn one group at
// a time, in order. Quads that share no pixel may be drawn in either order with the same result,
// so a quad joins the latest group of its texture when no quad of a group after it comes near it;
// otherwise it starts a group at the end. A software rasteriser pays for every change of texture,
// and scenes alternate textures from object to object.
class GlQuadGroups {
public:
    // Where a quad lies in vertex coordinates.
    struct Extent {
        float left = 0.0f;
        float top = 0.0f;
        float right = 0.0f;
        float bottom = 0.0f;
    };

    struct Group {
        GlTexture* texture = nullptr;    // null: drawn untextured
        std::vector<GfxVertex> vertices; // four a quad, in fan order
        std::vector<Extent> quads;
        Extent bounds; // of all its quads
    };

    // Holds back a quad, its four vertices in fan order. mayMove: the device's transforms keep
    // quads that are apart in vertex coordinates apart on the screen, so a quad may join a group
    // before others; when false it joins only the last group.
    void Add(GlTexture* texture, const GfxVertex* quad, bool mayMove);

    bool Empty() const { return used == 0; }
    std::span<const Group> Groups() const { return {groups.data(), used}; }
    // Forgets every quad, keeping the memory for the next frame's.
    void Clear();

private:
    // How many groups back a quad looks for its texture; bounds the cost of a quad.
    static constexpr std::size_t kSearchDepth = 64;

    std::vector<Group> groups; // the first `used` hold quads
    std::size_t used = 0;
};
