#pragma once

#include "platform/gfx/GlContext.h"

#include <memory>

// One large texture holding copies of the parts of small textures that quads are drawn with, so
// that a scene of many small pictures draws as one group. A software rasteriser stores its whole
// sampler state (tens of kilobytes) again at every change of texture; with the copies, the
// scene's quads share one texture and the state is stored once.
//
// A copy is the texels a quad's coordinates cover with a one-texel border of what the texture
// itself would sample next to them (its neighbouring texels, or past its edge what its wrap mode
// reads there), so that filtered samples read the same texels as in the texture. A copy is made
// on the first draw after the texture's pixels change; when the atlas is full it is emptied and
// filled anew.
class GlTextureAtlas {
public:
    // Null when the context cannot copy between textures.
    static std::unique_ptr<GlTextureAtlas> Create(std::shared_ptr<GlContext> context);

    enum class Placed {
        Yes,  // the quad now samples the atlas
        No,   // the quad keeps its own texture
        Full, // empty the atlas (once the quads drawn from it are drawn) and try again
    };

    // Points a quad's texture coordinates (four vertices) at a copy of the texels they cover,
    // copying them in first when no copy holds them for this sampler's wrap modes. Only a
    // texture with an alpha channel and sides up to kMostSide is copied, and only for a quad
    // whose coordinates stay inside the texture (no wrapping).
    Placed Place(GlTexture& texture, const GlSampler& sampler, GfxVertex* quad);
    // Forgets every copy.
    void Empty();
    // Counts frames: an atlas emptied lately is not emptied again (Place says No instead), so a
    // scene whose textures do not fit does not copy them all every frame.
    void EndFrame();

    GlTexture& Texture() { return *atlas; }

private:
    static constexpr int kSide = 2048;
    static constexpr int kMostSide = 512;
    static constexpr uint32_t kFramesBetweenEmpties = 60;

    explicit GlTextureAtlas(std::shared_ptr<GlContext> context);
    // Finds room for a copy of width x height texels with its border; false when full.
    bool Room(int width, int height, int& x, int& y);
    void CopyIn(const GlTexture& texture, const GlTexture::AtlasCopy& copy);

    std::shared_ptr<GlContext> context;
    std::unique_ptr<GlTexture> atlas;
    // Copies go in rows (shelves) from the top, left to right.
    int shelfTop = 0;
    int shelfHeight = 0;
    int shelfRight = 0;
    // Told apart from the copies of an atlas emptied before; never 0.
    uint32_t generation = 1;
    uint32_t framesSinceEmpty = kFramesBetweenEmpties;
};
