#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Window;
struct GestureTrailPoint;
struct TextureHandle;

// One vertex of a textured quad: position in back-buffer pixels (y downwards) with its depth
// from 1000 (nearest) to -1000 (farthest), ARGB colour, texture coordinates.
struct QuadVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24 && sizeof(QuadVertex) == sizeof(GfxVertex));

// A tint: red, green and blue in 0..1.
struct QuadColour {
    float red, green, blue;
};

// The renderer's global state.
struct RenderDevice {
    std::unique_ptr<GraphicsSystem> system;
    std::unique_ptr<GraphicsDevice> device;
    PresentParameters presentParameters; // kept for the shutdown
    DeviceCaps caps;
    // The quads' vertices, used as a ring of kRingVertices written with no-overwrite locks.
    std::unique_ptr<GfxVertexBuffer> quadBuffer;
    uint32_t ringPosition = 0; // next free vertex, a multiple of 4
    GfxTexture* currentTexture = nullptr;
    uint64_t currentTextureSerial = 0; // tells the current texture from a later one at its address
    // Wide, so that no run of the program is long enough to wrap them.
    int64_t drawn = 0;   // quads drawn since start, across re-creations
    int64_t skipped = 0; // quads rejected as off screen
    std::unique_ptr<GfxFont> debugFont;
    int width = 0; // the back buffer the game draws in
    int height = 0;
    // The desktop is at most 1024 pixels wide, so the game runs in full screen only.
    bool smallDesktop = false;
};

// Global drawing functions over one device: everything on screen is a textured 2D quad in pixel
// coordinates of the back buffer.
namespace Renderer {

constexpr uint32_t kRingVertices = 512;
constexpr uint32_t kQuadBufferBytes = kRingVertices * sizeof(QuadVertex);
constexpr int kSmallDesktopWidth = 1024;

RenderDevice& State();

// Creates the device for the window, with its fall-backs; every failure throws Exception.
bool Init(int width, int height, PixelFormat format, Window* window, bool windowed);
void Shutdown();

GfxResult Clear();
GfxResult BeginScene();
GfxResult EndScene();
GfxResult Present();

void SetTextureFilter(bool on);
void SetAlphaBlendEnable(bool on);
// Mode 4 is ordinary alpha blending; every other mode adds.
constexpr int kBlendModeAdd = 1;
constexpr int kBlendModeAlpha = 4;
void SetBlendMode(int mode);
void SetAlphaTest(bool on, uint32_t reference, bool equal);
void SetZWriteEnable(bool on);
// Any other render state, and stage 0's texture states; nothing without a device.
void SetRenderState(RenderState state, uint32_t value);
void SetTextureStageState(TextureStageState state, uint32_t value);
void ResetTexture();
void RestoreStreamSource();

// One quad: (x, y) is where the pivot lands; the pivot lies (pivotX, pivotY) unscaled pixels
// right of and below the image's top-left corner; the angle is in degrees, clockwise on screen.
void DrawImage(float x, float y, float z, float width, float height, float uLeft, float vTop,
               float uRight, float vBottom, GfxTexture* texture, float angle, float alpha,
               float scale, const QuadColour* colour, float pivotX, float pivotY);
// A resizable frame of nine quads: borders of the given texel sizes around a stretched centre.
void DrawNineSlice(float x, float y, float z, float width, float height, TextureHandle* handle,
                   float textureWidth, float textureHeight, float top, float right, float bottom,
                   float left, float alpha);
void DrawDebugText(float x, float y, const char* text, float red, float green, float blue,
                   float alpha);
// A band along the points, each point's width to either side of it, fading with the points'
// alphas: a quad from each point to the next with the whole texture across it, white, at depth
// 0, on the raw points (no half-pixel shift). Points whose alpha is 0 or below are left out;
// nothing with fewer than two points left. The caller sets the blending and depth states.
void DrawStroke(const std::vector<GestureTrailPoint>& points, TextureHandle* handle);

// An image file as a texture; none when it is missing or no image (logged when asked).
std::unique_ptr<GfxTexture> LoadTexture(const std::string& name, bool logFailure);
// LoadTexture with the first of the alpha images that can be loaded merged in as
// MergeAlphaImage would, before the one upload; alphaName is the one taken, or empty.
std::unique_ptr<GfxTexture> LoadTextureWithAlpha(const std::string& name,
                                                 const std::vector<std::string>& alphaNames,
                                                 std::string& alphaName);
// The alpha image's red channel becomes the colour texture's alpha; false without an alpha
// texture.
bool MergeAlphaImage(GfxTexture* colourTexture, GfxTexture* alphaTexture);
std::unique_ptr<GfxTexture> CreateTexture(uint32_t width, uint32_t height, PixelFormat format);
std::unique_ptr<GfxTexture> CreateBlankTexture(uint32_t width, uint32_t height, bool hasAlpha);

const char* ErrorName(GfxResult result);

} // namespace Renderer

// The one drawing entry for textured quads: nothing for a null handle, no texture for an empty
// one.
void DrawQuad(float x, float y, float z, float width, float height, float uLeft, float vTop,
              float uRight, float vBottom, TextureHandle* handle, float angle, float alpha,
              float scale, const QuadColour* colour, float pivotX, float pivotY);
void DrawQuadForwarder(float x, float y, float z, float width, float height, float uLeft,
                       float vTop, float uRight, float vBottom, TextureHandle* handle, float angle,
                       float alpha, float scale, const QuadColour* colour, float pivotX,
                       float pivotY);
