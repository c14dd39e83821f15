#include "platform/gfx/DebugFontGlyphs.h"
#include "platform/gfx/GlContext.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>
#include <utility>

namespace {

template <typename Function>
bool Fetch(Function& function, const char* name) {
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

// Binds stage 0's texture again after a resource borrowed the binding.
void RestoreBinding(const GlContext& context) {
    glBindTexture(GL_TEXTURE_2D,
                  context.boundTexture != nullptr ? context.boundTexture->Name() : 0);
}

} // namespace

bool GlFunctions::Load() {
    Fetch(blitFramebuffer, "glBlitFramebuffer");
    if (SDL_GL_ExtensionSupported("GL_ARB_copy_image") == SDL_TRUE) {
        Fetch(copyImageSubData, "glCopyImageSubData");
    }
    if (SDL_GL_ExtensionSupported("GL_ARB_sync") == SDL_TRUE &&
        !(Fetch(fenceSync, "glFenceSync") && Fetch(clientWaitSync, "glClientWaitSync") &&
          Fetch(deleteSync, "glDeleteSync"))) {
        fenceSync = nullptr;
        clientWaitSync = nullptr;
        deleteSync = nullptr;
    }
    return Fetch(genFramebuffers, "glGenFramebuffers") &&
           Fetch(deleteFramebuffers, "glDeleteFramebuffers") &&
           Fetch(bindFramebuffer, "glBindFramebuffer") &&
           Fetch(framebufferTexture2D, "glFramebufferTexture2D") &&
           Fetch(genRenderbuffers, "glGenRenderbuffers") &&
           Fetch(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           Fetch(bindRenderbuffer, "glBindRenderbuffer") &&
           Fetch(renderbufferStorage, "glRenderbufferStorage") &&
           Fetch(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Fetch(checkFramebufferStatus, "glCheckFramebufferStatus") &&
           Fetch(blendEquation, "glBlendEquation");
}

GlTexture::GlTexture(std::shared_ptr<GlContext> context, uint32_t width, uint32_t height,
                     PixelFormat format)
    : context(std::move(context)), width(width), height(height), format(format) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, applied.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, applied.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, applied.wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, applied.wrapT);
    // Without an alpha channel the texture samples as opaque whatever its top bytes hold. With
    // one, the unsized format lets the context store the pixels in their own byte order, so an
    // upload is a copy, not a conversion.
    const GLint internal = format == PixelFormat::X8R8G8B8 ? GL_RGB8 : GL_RGBA;
    // Storage only: a texture loaded from a file gets its pixels in one upload at its first
    // unlock, and one that is drawn or read before any write gets zeros then.
    glTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    RestoreBinding(*this->context);
}

GlTexture::~GlTexture() {
    if (!context->alive) {
        return;
    }
    context->FlushDraws();
    if (context->boundTexture == this) {
        context->boundTexture = nullptr;
    }
    glDeleteTextures(1, &name);
}

void GlTexture::EnsureDefined() {
    if (defined || !context->alive) {
        return;
    }
    const std::vector<uint32_t> blank(static_cast<std::size_t>(width) * height, 0u);
    UploadRegion(0, 0, static_cast<int>(width), static_cast<int>(height), blank.data());
}

GfxResult GlTexture::LockRect(uint32_t level, LockedRect& lockedRect, uint32_t flags) {
    if (level != 0 || locked) {
        return kGfxInvalidCall;
    }
    context->FlushDraws();
    locked = true;
    lockFlags = flags;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if ((flags & kLockDiscard) != 0) {
        // The caller writes every pixel: touching the memory first would only cost.
        pixels = std::make_unique_for_overwrite<uint32_t[]>(count);
    } else if (!defined || !context->alive) {
        pixels = std::make_unique<uint32_t[]>(count);
    } else {
        // What was written before is read back from the context, which holds the only copy.
        pixels = std::make_unique_for_overwrite<uint32_t[]>(count);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.get());
        RestoreBinding(*context);
    }
    lockedRect.bits = pixels.get();
    lockedRect.pitch = static_cast<int32_t>(width * sizeof(uint32_t));
    return kGfxOk;
}

GfxResult GlTexture::LockRows(uint32_t firstRow, uint32_t rows, LockedRect& lockedRect) {
    if (locked || rows == 0 || firstRow >= height || rows > height - firstRow) {
        return kGfxInvalidCall;
    }
    context->FlushDraws();
    locked = true;
    lockFlags = kLockDiscard;
    lockedFirstRow = firstRow;
    lockedRows = rows;
    pixels = std::make_unique_for_overwrite<uint32_t[]>(static_cast<std::size_t>(width) * rows);
    lockedRect.bits = pixels.get();
    lockedRect.pitch = static_cast<int32_t>(width * sizeof(uint32_t));
    return kGfxOk;
}

GfxResult GlTexture::UnlockRect(uint32_t level) {
    if (level != 0 || !locked) {
        return kGfxInvalidCall;
    }
    locked = false;
    if (lockedRows != 0) {
        // The caller writes every row (see LockRows): the ones not written yet need no blank.
        defined = true;
        UploadRegion(0, static_cast<int>(lockedFirstRow), static_cast<int>(width),
                     static_cast<int>(lockedRows), pixels.get());
        lockedRows = 0;
    } else if ((lockFlags & kLockReadOnly) == 0 && context->alive) {
        Upload();
    }
    pixels.reset();
    return kGfxOk;
}

void GlTexture::Upload() {
    UploadRegion(0, 0, static_cast<int>(width), static_cast<int>(height), pixels.get());
}

void GlTexture::UploadRegion(int x, int y, int regionWidth, int regionHeight,
                             const uint32_t* data) {
    if (!context->alive) {
        return;
    }
    if (!defined && (x != 0 || y != 0 || regionWidth != static_cast<int>(width) ||
                     regionHeight != static_cast<int>(height))) {
        EnsureDefined();
    }
    context->FlushDraws();
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, regionWidth, regionHeight, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, data);
    RestoreBinding(*context);
    defined = true;
    atlasCopies.clear();
}

void GlTexture::ApplySampler(const GlSampler& sampler) {
    if (sampler == applied) {
        return;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampler.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampler.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, sampler.wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, sampler.wrapT);
    applied = sampler;
}

GlVertexBuffer::GlVertexBuffer(std::shared_ptr<GlContext> context, uint32_t length)
    : context(std::move(context)), length(length), bytes(nullptr, Unmap{std::max(length, 1u)}) {
    void* const memory = ::mmap(nullptr, bytes.get_deleter().length, PROT_READ | PROT_WRITE,
                                MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    bytes.reset(static_cast<uint8_t*>(memory));
}

void GlVertexBuffer::Unmap::operator()(uint8_t* memory) const {
    ::munmap(memory, length);
}

GlVertexBuffer::~GlVertexBuffer() {
    if (context->alive && context->streamSource == this) {
        context->streamSource = nullptr;
    }
}

GfxResult GlVertexBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t) {
    const uint64_t end = static_cast<uint64_t>(offset) + (size == 0 ? Length() - offset : size);
    if (locked || data == nullptr || offset > Length() || end > Length()) {
        return kGfxInvalidCall;
    }
    // The vertices live in memory and the device copies a quad's when it holds the quad back,
    // so no lock waits for a draw.
    locked = true;
    *data = bytes.get() + offset;
    return kGfxOk;
}

GfxResult GlVertexBuffer::Unlock() {
    if (!locked) {
        return kGfxInvalidCall;
    }
    locked = false;
    return kGfxOk;
}

GlFont::GlFont(std::shared_ptr<GlContext> context) : context(std::move(context)) {
    const DebugFontAtlas atlas = BuildDebugFontAtlas();
    atlasWidth = atlas.width;
    atlasHeight = atlas.height;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, atlas.width, atlas.height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, atlas.pixels.data());
    RestoreBinding(*this->context);
}

GlFont::~GlFont() {
    if (context->alive) {
        glDeleteTextures(1, &name);
    }
}

int GlFont::DrawText(const char* text, int length, int x, int y, uint32_t colour) {
    context->FlushDraws();
    if (!context->alive || text == nullptr) {
        return 0;
    }
    const std::size_t count =
        length < 0 ? std::char_traits<char>::length(text) : static_cast<std::size_t>(length);
    // Drawn in back-buffer pixels over everything, whatever the game's states and transforms;
    // every state touched is put back.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, context->backBufferWidth, context->backBufferHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    context->gl.blendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4ub(static_cast<GLubyte>(colour >> 16), static_cast<GLubyte>(colour >> 8),
               static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 24));
    const float texelU = 1.0f / static_cast<float>(atlasWidth);
    const float texelV = 1.0f / static_cast<float>(atlasHeight);
    glBegin(GL_QUADS);
    int pen = x;
    for (std::size_t i = 0; i < count; ++i) {
        int cellX = 0;
        int cellY = 0;
        DebugFontCell(static_cast<unsigned char>(text[i]), cellX, cellY);
        const float u0 = static_cast<float>(cellX) * texelU;
        const float v0 = static_cast<float>(cellY) * texelV;
        const float u1 = static_cast<float>(cellX + kDebugFontCellWidth) * texelU;
        const float v1 = static_cast<float>(cellY + kDebugFontCellHeight) * texelV;
        const auto left = static_cast<float>(pen);
        const auto top = static_cast<float>(y);
        const float right = left + kDebugFontCellWidth;
        const float bottom = top + kDebugFontCellHeight;
        glTexCoord2f(u0, v0);
        glVertex2f(left, top);
        glTexCoord2f(u1, v0);
        glVertex2f(right, top);
        glTexCoord2f(u1, v1);
        glVertex2f(right, bottom);
        glTexCoord2f(u0, v1);
        glVertex2f(left, bottom);
        pen += kDebugFontCellWidth;
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    return kDebugFontCellHeight;
}
