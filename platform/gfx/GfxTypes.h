#pragma once

#include <cstdint>

// Results of the graphics layer, with the values the game's messages and checks expect.
using GfxResult = uint32_t;
constexpr GfxResult kGfxOk = 0;
constexpr GfxResult kGfxOutOfMemory = 0x8007000E;
constexpr GfxResult kGfxOutOfVideoMemory = 0x8876017C;
constexpr GfxResult kGfxDeviceLost = 0x88760868;
constexpr GfxResult kGfxNotAvailable = 0x8876086A;
constexpr GfxResult kGfxInvalidDevice = 0x8876086B;
constexpr GfxResult kGfxInvalidCall = 0x8876086C;
constexpr GfxResult kGfxInvalidData = 0x88760B59; // not an image this layer can read

// The symbolic name of a result ("D3DERR_INVALIDCALL"), for log lines.
const char* GfxResultString(GfxResult result);

enum class PixelFormat : uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21, // 32-bit, alpha in the top byte
    X8R8G8B8 = 22, // 32-bit, the top byte unused: reads as opaque
    R5G6B5 = 23,
    D16 = 80,
};

// Vertex layout flags; the game draws one layout only: position, diffuse colour, one texture
// coordinate pair.
constexpr uint32_t kVertexPosition = 0x002;
constexpr uint32_t kVertexDiffuse = 0x040;
constexpr uint32_t kVertexTex1 = 0x100;
constexpr uint32_t kQuadVertexFormat = kVertexPosition | kVertexDiffuse | kVertexTex1;

// One vertex of that layout, 24 bytes.
struct GfxVertex {
    float x, y, z;
    uint32_t diffuse; // ARGB, alpha in the top byte
    float u, v;
};
static_assert(sizeof(GfxVertex) == 24);

enum class RenderState : uint32_t {
    ZEnable = 7,
    ZWriteEnable = 14,
    AlphaTestEnable = 15,
    SrcBlend = 19,
    DestBlend = 20,
    CullMode = 22,
    ZFunc = 23,
    AlphaRef = 24,
    AlphaFunc = 25,
    AlphaBlendEnable = 27,
    Lighting = 137,
    BlendOp = 171,
};

enum class TextureStageState : uint32_t {
    ColorOp = 1,
    AlphaOp = 4,
    AddressU = 13,
    AddressV = 14,
    MagFilter = 16,
    MinFilter = 17,
    MipFilter = 18,
};

// Values of the render states and texture stage states above.
constexpr uint32_t kCompareNever = 1;
constexpr uint32_t kCompareLess = 2;
constexpr uint32_t kCompareEqual = 3;
constexpr uint32_t kCompareLessEqual = 4;
constexpr uint32_t kCompareGreater = 5;
constexpr uint32_t kCompareNotEqual = 6;
constexpr uint32_t kCompareGreaterEqual = 7;
constexpr uint32_t kCompareAlways = 8;

constexpr uint32_t kBlendZero = 1;
constexpr uint32_t kBlendOne = 2;
constexpr uint32_t kBlendSrcAlpha = 5;
constexpr uint32_t kBlendInvSrcAlpha = 6;

constexpr uint32_t kBlendOpAdd = 1;
constexpr uint32_t kBlendOpSubtract = 2;
constexpr uint32_t kBlendOpRevSubtract = 3;

constexpr uint32_t kCullNone = 1;
constexpr uint32_t kCullClockwise = 2;
constexpr uint32_t kCullCounterClockwise = 3;

constexpr uint32_t kTextureOpSelectArg1 = 2;
constexpr uint32_t kTextureOpModulate = 4;

constexpr uint32_t kFilterNone = 0;
constexpr uint32_t kFilterPoint = 1;
constexpr uint32_t kFilterLinear = 2;

constexpr uint32_t kAddressWrap = 1;
constexpr uint32_t kAddressMirror = 2;
constexpr uint32_t kAddressClamp = 3;

enum class PrimitiveType : uint32_t { TriangleList = 4, TriangleStrip = 5, TriangleFan = 6 };

enum class TransformType : uint32_t { View = 2, Projection = 3, World = 256 };

// Lock flags of vertex buffers and textures.
constexpr uint32_t kLockReadOnly = 0x0010;
constexpr uint32_t kLockDiscard = 0x2000;
constexpr uint32_t kLockNoOverwrite = 0x1000;

// Clear flags.
constexpr uint32_t kClearTarget = 1;
constexpr uint32_t kClearZBuffer = 2;

// How a device is created.
enum class SwapEffect : uint32_t { Discard = 1 };
enum class PresentInterval : uint32_t { Default = 0, Immediate = 0x80000000 };
constexpr uint32_t kCreateSoftwareVertexProcessing = 0x20;
constexpr uint32_t kCreateHardwareVertexProcessing = 0x40;

class Window;

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    PixelFormat backBufferFormat = PixelFormat::Unknown;
    uint32_t backBufferCount = 0;
    SwapEffect swapEffect = SwapEffect::Discard;
    Window* deviceWindow = nullptr;
    bool windowed = false;
    bool enableAutoDepthStencil = false;
    PixelFormat autoDepthStencilFormat = PixelFormat::Unknown;
    PresentInterval presentationInterval = PresentInterval::Default;
};

constexpr uint32_t kDevCapsHardwareTransformAndLight = 0x10000;

struct DeviceCaps {
    uint32_t devCaps = 0;
    uint32_t maxTextureWidth = 0;
    uint32_t maxTextureHeight = 0;
};

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    PixelFormat format = PixelFormat::Unknown;
};

// A locked texture level: its first pixel and the bytes from one row to the next.
struct LockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
};
