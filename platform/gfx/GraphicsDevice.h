#pragma once

#include "platform/gfx/GfxTypes.h"
#include "platform/gfx/Matrix.h"
#include "platform/os/Letterbox.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Window;

// A texture of one level (level 0), kept in memory and on the device, so its pixels can be
// locked for reading and writing at any time.
class GfxTexture {
public:
    virtual ~GfxTexture() = default;

    // Different for every texture ever made, so that a texture made where a destroyed one lay in
    // memory is never taken for it.
    uint64_t Serial() const { return serial; }

    virtual uint32_t Width() const = 0;
    virtual uint32_t Height() const = 0;
    virtual PixelFormat Format() const = 0;
    virtual uint32_t LevelCount() const = 0;
    // 32-bit pixels, ARGB with alpha in the top byte, rows top to bottom. kLockDiscard: the caller
    // writes every pixel before it unlocks, so the locked pixels may start as anything.
    virtual GfxResult LockRect(uint32_t level, LockedRect& locked, uint32_t flags) = 0;
    virtual GfxResult UnlockRect(uint32_t level) = 0;
    // Locks only the rows [firstRow, firstRow + rows) of level 0, to write every pixel of them
    // (as kLockDiscard); UnlockRect(0) gives the device just those rows. The memory held is the
    // rows', not the level's. The rows of a new texture not yet written hold anything until they
    // are: the caller writes them all before the texture is drawn or read. A texture that cannot
    // lock rows says kGfxInvalidCall.
    virtual GfxResult LockRows(uint32_t firstRow, uint32_t rows, LockedRect& locked) {
        (void)firstRow;
        (void)rows;
        (void)locked;
        return kGfxInvalidCall;
    }

protected:
    GfxTexture() : serial(++lastSerial) {}

private:
    static inline uint64_t lastSerial = 0;
    uint64_t serial;
};

// Vertices written by the processor and drawn by the device.
class GfxVertexBuffer {
public:
    virtual ~GfxVertexBuffer() = default;

    virtual uint32_t Length() const = 0;
    // Locks size bytes from offset (size 0: to the end). kLockDiscard gives a buffer whose old
    // contents may be gone; kLockNoOverwrite promises not to touch vertices already drawn.
    virtual GfxResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
    virtual GfxResult Unlock() = 0;
};

// A small text face for diagnostics, drawn over everything in back-buffer pixels.
class GfxFont {
public:
    virtual ~GfxFont() = default;

    // Draws length bytes of text (-1: up to the terminator) with its top-left corner at (x, y)
    // in the ARGB colour, unclipped; returns the height drawn.
    virtual int DrawText(const char* text, int length, int x, int y, uint32_t colour) = 0;
};

// The drawing device. Fixed-function: positions go through world, view and projection; each
// vertex colour is modulated with the texture; depth test, alpha test and blending follow the
// render states. Everything is drawn into a back buffer of the size asked for, which Present
// shows in the window (letterboxed in full screen).
class GraphicsDevice {
public:
    virtual ~GraphicsDevice() = default;

    virtual GfxResult Reset(PresentParameters& parameters) = 0;
    virtual GfxResult TestCooperativeLevel() = 0;
    virtual GfxResult GetDeviceCaps(DeviceCaps& caps) = 0;

    // A new texture reads and draws blank (every pixel 0) until it is first written.
    virtual GfxResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                    PixelFormat format, std::unique_ptr<GfxTexture>& texture) = 0;
    virtual GfxResult CreateVertexBuffer(uint32_t length, uint32_t vertexFormat,
                                         std::unique_ptr<GfxVertexBuffer>& buffer) = 0;
    virtual GfxResult CreateFont(int height, int weight, const char* faceName,
                                 std::unique_ptr<GfxFont>& font) = 0;

    virtual GfxResult SetVertexShader(uint32_t vertexFormat) = 0;
    // The buffer stays owned by the caller, which unbinds it before destroying it.
    virtual GfxResult SetStreamSource(uint32_t stream, GfxVertexBuffer* buffer,
                                      uint32_t stride) = 0;
    virtual GfxResult SetRenderState(RenderState state, uint32_t value) = 0;
    virtual GfxResult GetRenderState(RenderState state, uint32_t& value) = 0;
    virtual GfxResult SetTextureStageState(uint32_t stage, TextureStageState state,
                                           uint32_t value) = 0;
    virtual GfxResult GetTextureStageState(uint32_t stage, TextureStageState state,
                                           uint32_t& value) = 0;
    // Null binds no texture; a texture destroyed while bound is unbound by its destruction.
    virtual GfxResult SetTexture(uint32_t stage, GfxTexture* texture) = 0;
    virtual GfxResult SetTransform(TransformType type, const Matrix& matrix) = 0;
    virtual GfxResult GetTransform(TransformType type, Matrix& matrix) = 0;

    virtual GfxResult DrawPrimitive(PrimitiveType type, uint32_t startVertex,
                                    uint32_t primitiveCount) = 0;
    virtual GfxResult Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) = 0;
    virtual GfxResult BeginScene() = 0;
    virtual GfxResult EndScene() = 0;
    virtual GfxResult Present() = 0;

    // The back buffer's pixels inside the rectangle, ARGB rows top to bottom.
    virtual GfxResult ReadBackBuffer(const PixelRect& rect, std::vector<uint32_t>& pixels) = 0;
    // Copies a rectangle of the back buffer into the texture at (x, y), cut to the texture.
    virtual GfxResult CopyBackBufferToTexture(const PixelRect& source, GfxTexture& target, int x,
                                              int y) = 0;
};

// The graphics system of the machine: what it can do, the desktop, and devices.
class GraphicsSystem {
public:
    virtual ~GraphicsSystem() = default;

    virtual GfxResult GetDeviceCaps(DeviceCaps& caps) = 0;
    virtual GfxResult GetAdapterDisplayMode(DisplayMode& mode) = 0;
    // A device drawing for the window; a full-screen device puts the window in full screen.
    virtual GfxResult CreateDevice(Window* window, uint32_t behaviourFlags,
                                   PresentParameters& parameters,
                                   std::unique_ptr<GraphicsDevice>& device) = 0;
};

// The graphics system: OpenGL unless a factory was set; null when none can be had.
std::unique_ptr<GraphicsSystem> CreateGraphicsSystem();

using GraphicsSystemFactory = std::function<std::unique_ptr<GraphicsSystem>()>;
// Puts a system of the caller's (a recording one, in tests) in place of OpenGL; an empty
// factory restores OpenGL.
void SetGraphicsSystemFactory(GraphicsSystemFactory factory);
