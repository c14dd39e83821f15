#pragma once

// Shared by the OpenGL device and its resources; only the OpenGL sources include it.

#include "platform/gfx/GraphicsDevice.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Entry points past OpenGL 1.1, fetched from the context.
struct GlFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLENDEQUATIONPROC blendEquation = nullptr;
    // Optional: without it the picture reaches the window through a textured quad.
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    // Optional: without it quads keep their own textures (see GlTextureAtlas).
    PFNGLCOPYIMAGESUBDATAPROC copyImageSubData = nullptr;
    // Optional, all three or none: without them a frame drawn on the window waits for the one
    // before it with glFinish.
    PFNGLFENCESYNCPROC fenceSync = nullptr;
    PFNGLCLIENTWAITSYNCPROC clientWaitSync = nullptr;
    PFNGLDELETESYNCPROC deleteSync = nullptr;

    bool Load();
};

class GlTexture;
class GlVertexBuffer;

// A device's context as its textures, buffers and fonts see it. Resources may outlive the
// device; once it is gone they only free their memory.
struct GlContext {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool alive = true;
    GlFunctions gl;
    bool bgraColours = false; // vertex colours can be read in their stored byte order
    int backBufferWidth = 0;
    int backBufferHeight = 0;
    GlTexture* boundTexture = nullptr;
    GlVertexBuffer* streamSource = nullptr;
    // Draws the quads the device holds back for one batch; resources call it before they change
    // what those quads read (a texture's pixels, the vertices) and before drawing on their own.
    std::function<void()> flushDraws;

    void FlushDraws() const {
        if (flushDraws) {
            flushDraws();
        }
    }
};

// Texture parameters as the stage states ask for them.
struct GlSampler {
    GLint magFilter = GL_NEAREST;
    GLint minFilter = GL_NEAREST;
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;

    bool operator==(const GlSampler&) const = default;
};

class GlTexture : public GfxTexture {
public:
    GlTexture(std::shared_ptr<GlContext> context, uint32_t width, uint32_t height,
              PixelFormat format);
    ~GlTexture() override;

    uint32_t Width() const override { return width; }
    uint32_t Height() const override { return height; }
    PixelFormat Format() const override { return format; }
    uint32_t LevelCount() const override { return 1; }
    GfxResult LockRect(uint32_t level, LockedRect& locked, uint32_t flags) override;
    GfxResult LockRows(uint32_t firstRow, uint32_t rows, LockedRect& locked) override;
    GfxResult UnlockRect(uint32_t level) override;

    GLuint Name() const { return name; }
    const GlContext* Owner() const { return context.get(); }
    bool IsLocked() const { return locked; }
    // Gives a texture that was never written its blank (zero) pixels, once, before anything
    // reads or draws it.
    void EnsureDefined();
    // Writes rows of pixels (width x height, tightly packed) at (x, y), inside the texture.
    void UploadRegion(int x, int y, int regionWidth, int regionHeight, const uint32_t* data);
    // Gives the texture (bound) the sampler's parameters when they differ from its own.
    void ApplySampler(const GlSampler& sampler);

    // Copies of parts of the texture in the device's atlas (see GlTextureAtlas): which texels
    // (left, top, right, bottom, ends excluded), where the first of them lies in the atlas, for
    // which wrap modes and which filling of the atlas. Every write to the pixels forgets them.
    struct AtlasCopy {
        uint32_t generation = 0;
        int x = 0;
        int y = 0;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        GLint wrapS = 0;
        GLint wrapT = 0;
    };
    std::vector<AtlasCopy>& CopiesInAtlas() { return atlasCopies; }

private:
    std::shared_ptr<GlContext> context;
    uint32_t width;
    uint32_t height;
    PixelFormat format;
    // Sends the locked pixels to the context (the texture is left bound).
    void Upload();

    GLuint name = 0;
    // A copy of the pixels lives only while the level is locked: the context holds them.
    std::unique_ptr<uint32_t[]> pixels;
    bool defined = false; // written at least once; until then it reads as blank
    bool locked = false;
    uint32_t lockFlags = 0;
    // The rows locked by LockRows; 0 rows when the whole level is locked.
    uint32_t lockedFirstRow = 0;
    uint32_t lockedRows = 0;
    GlSampler applied;
    std::vector<AtlasCopy> atlasCopies;
};

class GlVertexBuffer : public GfxVertexBuffer {
public:
    GlVertexBuffer(std::shared_ptr<GlContext> context, uint32_t length);
    ~GlVertexBuffer() override;

    uint32_t Length() const override { return length; }
    GfxResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override;
    GfxResult Unlock() override;

    const GlContext* Owner() const { return context.get(); }
    bool IsLocked() const { return locked; }
    const uint8_t* Data() const { return bytes.get(); }

private:
    struct Unmap {
        std::size_t length;
        void operator()(uint8_t* memory) const;
    };

    std::shared_ptr<GlContext> context;
    uint32_t length;
    // Zero pages mapped from the system, none touched until written: a font's buffer is large
    // and mostly never used.
    std::unique_ptr<uint8_t[], Unmap> bytes;
    bool locked = false;
};

class GlFont : public GfxFont {
public:
    explicit GlFont(std::shared_ptr<GlContext> context);
    ~GlFont() override;

    int DrawText(const char* text, int length, int x, int y, uint32_t colour) override;

private:
    std::shared_ptr<GlContext> context;
    GLuint name = 0;
    int atlasWidth = 0;
    int atlasHeight = 0;
};
