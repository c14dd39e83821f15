#include "platform/gfx/GlQuadGroups.h"

#include <algorithm>

namespace {

using Extent = GlQuadGroups::Extent;

Extent QuadExtent(const GfxVertex* quad) {
    Extent extent{quad[0].x, quad[0].y, quad[0].x, quad[0].y};
    for (int i = 1; i < 4; ++i) {
        extent.left = std::min(extent.left, quad[i].x);
        extent.top = std::min(extent.top, quad[i].y);
        extent.right = std::max(extent.right, quad[i].x);
        extent.bottom = std::max(extent.bottom, quad[i].y);
    }
    return extent;
}

// Touching counts as near, and so does anything not a number: only quads clearly apart move.
bool Near(const Extent& a, const Extent& b) {
    const bool apart =
        a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top;
    return !apart;
}

bool NearAnyOf(const Extent& extent, const GlQuadGroups::Group& group) {
    if (!Near(extent, group.bounds)) {
        return false;
    }
    return std::any_of(group.quads.begin(), group.quads.end(),
                       [&extent](const Extent& quad) { return Near(extent, quad); });
}

Extent Union(const Extent& a, const Extent& b) {
    return Extent{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
}

} // namespace

void GlQuadGroups::Add(GlTexture* texture, const GfxVertex* quad, bool mayMove) {
    const Extent extent = QuadExtent(quad);
    Group* target = nullptr;
    if (used > 0 && groups[used - 1].texture == texture) {
        target = &groups[used - 1];
    } else if (mayMove) {
        const std::size_t stop = used > kSearchDepth ? used - kSearchDepth : 0;
        for (std::size_t index = used; index-- > stop;) {
            Group& group = groups[index];
            if (group.texture == texture) {
                target = &group;
                break;
            }
            if (NearAnyOf(extent, group)) {
                break;
            }
        }
    }
    if (target == nullptr) {
        if (used == groups.size()) {
            groups.emplace_back();
        }
        target = &groups[used++];
        target->texture = texture;
        target->bounds = extent;
    } else {
        target->bounds = Union(target->bounds, extent);
    }
    target->vertices.insert(target->vertices.end(), quad, quad + 4);
    target->quads.push_back(extent);
}

void GlQuadGroups::Clear() {
    for (std::size_t index = 0; index < used; ++index) {
        groups[index].vertices.clear();
        groups[index].quads.clear();
        groups[index].texture = nullptr;
    }
    used = 0;
}
