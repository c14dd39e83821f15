#include "platform/gfx/GlTextureAtlas.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A run of texels along one side of a copy: where it goes, counted from the copy's first texel,
// where it comes from in the texture, and how long it is.
struct Run {
    int to;
    int from;
    int length;
};

// The border before the texels first to end, the texels, the border after them; past the
// texture's edge the border holds what the wrap mode samples there.
std::array<Run, 3> Runs(int first, int end, int side, GLint wrap) {
    const bool repeats = wrap == GL_REPEAT;
    const int before = first > 0 ? first - 1 : (repeats ? side - 1 : 0);
    const int after = end < side ? end : (repeats ? 0 : side - 1);
    return {Run{-1, before, 1}, Run{0, first, end - first}, Run{end - first, after, 1}};
}

bool InsideTexture(float coordinate) {
    return coordinate >= 0.0f && coordinate <= 1.0f; // false for anything not a number
}

// The texels from the one the lowest coordinate falls in to the one the highest falls in.
void TexelSpan(float low, float high, int side, int& first, int& end) {
    const auto scale = static_cast<float>(side);
    first = std::clamp(static_cast<int>(std::floor(low * scale)), 0, side - 1);
    end = std::clamp(static_cast<int>(std::ceil(high * scale)), first + 1, side);
}

} // namespace

std::unique_ptr<GlTextureAtlas> GlTextureAtlas::Create(std::shared_ptr<GlContext> context) {
    if (context->gl.copyImageSubData == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<GlTextureAtlas>(new GlTextureAtlas(std::move(context)));
}

GlTextureAtlas::GlTextureAtlas(std::shared_ptr<GlContext> context)
    : context(context),
      atlas(std::make_unique<GlTexture>(std::move(context), kSide, kSide, PixelFormat::A8R8G8B8)) {}

GlTextureAtlas::Placed GlTextureAtlas::Place(GlTexture& texture, const GlSampler& sampler,
                                             GfxVertex* quad) {
    const auto width = static_cast<int>(texture.Width());
    const auto height = static_cast<int>(texture.Height());
    // Without an alpha channel the texture is stored in another format, which is not copied.
    if (texture.Format() == PixelFormat::X8R8G8B8 || width > kMostSide || height > kMostSide ||
        &texture == atlas.get()) {
        return Placed::No;
    }
    float lowU = quad[0].u;
    float highU = quad[0].u;
    float lowV = quad[0].v;
    float highV = quad[0].v;
    for (int i = 0; i < 4; ++i) {
        if (!InsideTexture(quad[i].u) || !InsideTexture(quad[i].v)) {
            return Placed::No;
        }
        lowU = std::min(lowU, quad[i].u);
        highU = std::max(highU, quad[i].u);
        lowV = std::min(lowV, quad[i].v);
        highV = std::max(highV, quad[i].v);
    }
    GlTexture::AtlasCopy wanted;
    TexelSpan(lowU, highU, width, wanted.left, wanted.right);
    TexelSpan(lowV, highV, height, wanted.top, wanted.bottom);
    wanted.wrapS = sampler.wrapS;
    wanted.wrapT = sampler.wrapT;

    std::vector<GlTexture::AtlasCopy>& copies = texture.CopiesInAtlas();
    std::erase_if(
        copies, [this](const GlTexture::AtlasCopy& copy) { return copy.generation != generation; });
    const auto found =
        std::find_if(copies.begin(), copies.end(), [&wanted](const GlTexture::AtlasCopy& copy) {
            return copy.wrapS == wanted.wrapS && copy.wrapT == wanted.wrapT &&
                   copy.left <= wanted.left && copy.top <= wanted.top &&
                   copy.right >= wanted.right && copy.bottom >= wanted.bottom;
        });
    const GlTexture::AtlasCopy* copy = found != copies.end() ? &*found : nullptr;
    if (copy == nullptr) {
        if (!Room(wanted.right - wanted.left, wanted.bottom - wanted.top, wanted.x, wanted.y)) {
            return framesSinceEmpty >= kFramesBetweenEmpties ? Placed::Full : Placed::No;
        }
        wanted.generation = generation;
        CopyIn(texture, wanted);
        copy = &copies.emplace_back(wanted);
    }
    // The texel a coordinate falls in is the same in the copy: the offsets are whole numbers of
    // texels and the atlas's side a power of two.
    constexpr float kTexel = 1.0f / static_cast<float>(kSide);
    const auto offsetX = static_cast<float>(copy->x - copy->left);
    const auto offsetY = static_cast<float>(copy->y - copy->top);
    for (int i = 0; i < 4; ++i) {
        quad[i].u = (offsetX + quad[i].u * static_cast<float>(width)) * kTexel;
        quad[i].v = (offsetY + quad[i].v * static_cast<float>(height)) * kTexel;
    }
    return Placed::Yes;
}

bool GlTextureAtlas::Room(int width, int height, int& x, int& y) {
    const int spanX = width + 2;
    const int spanY = height + 2;
    if (shelfRight + spanX > kSide) {
        shelfTop += shelfHeight;
        shelfRight = 0;
        shelfHeight = 0;
    }
    if (shelfTop + spanY > kSide) {
        return false;
    }
    x = shelfRight + 1;
    y = shelfTop + 1;
    shelfRight += spanX;
    shelfHeight = std::max(shelfHeight, spanY);
    return true;
}

void GlTextureAtlas::Empty() {
    framesSinceEmpty = 0;
    shelfTop = 0;
    shelfHeight = 0;
    shelfRight = 0;
    if (++generation == 0) {
        generation = 1;
    }
}

void GlTextureAtlas::EndFrame() {
    framesSinceEmpty = std::min(framesSinceEmpty + 1, kFramesBetweenEmpties);
}

void GlTextureAtlas::CopyIn(const GlTexture& texture, const GlTexture::AtlasCopy& copy) {
    const auto columns = Runs(copy.left, copy.right, static_cast<int>(texture.Width()), copy.wrapS);
    const auto rows = Runs(copy.top, copy.bottom, static_cast<int>(texture.Height()), copy.wrapT);
    for (const Run& row : rows) {
        for (const Run& column : columns) {
            context->gl.copyImageSubData(texture.Name(), GL_TEXTURE_2D, 0, column.from, row.from, 0,
                                         atlas->Name(), GL_TEXTURE_2D, 0, copy.x + column.to,
                                         copy.y + row.to, 0, column.length, row.length, 1);
        }
    }
}
