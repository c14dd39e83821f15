#include "media/Renderer.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/Timer.h"
#include "engine/profile.h"
#include "media/Math2D.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/TextureLoader.h"
#include "platform/os/Window.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr uint32_t kStride = sizeof(QuadVertex);
constexpr uint32_t kQuadBytes = 4 * kStride;
// A stroke's sides stand a right angle off its path.
constexpr float kQuarterTurn = 1.57079632679489662f;
constexpr float kDegreesToRadians = 0.017453292f;

RenderDevice renderDevice;

// The slow-call timers of the drawing path, kept so that timing a call takes no allocation.
CallTimer lockTimer;
CallTimer textureTimer;
CallTimer drawTimer;
CallTimer loadTimer;

// 0..1 to 0..255, rounded; at least 1 is 255, at most 0 (or not a number) is 0.
uint32_t RoundedChannel(float value) {
    if (value >= 1.0f) {
        return 255;
    }
    if (!(value > 0.0f)) {
        return 0;
    }
    return static_cast<uint32_t>(std::floor(value * 255.0f + 0.5f));
}

// 0..1 to 0..255, truncated toward zero and clamped.
uint32_t TruncatedChannel(float value) {
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f)) {
        return 0;
    }
    return scaled >= 255.0f ? 255 : static_cast<uint32_t>(scaled);
}

int TruncatedCoordinate(float value) {
    if (!(value > static_cast<float>(INT_MIN)) || !(value < static_cast<float>(INT_MAX))) {
        return value > 0.0f ? INT_MAX : (value < 0.0f ? INT_MIN : 0);
    }
    return static_cast<int>(value);
}

// Profiler tag for the whole of DrawImage, stopped on every way out.
struct DrawImageTag {
    DrawImageTag() { ProfileStart("DrawImage"); }
    ~DrawImageTag() { ProfileStop("DrawImage"); }
    DrawImageTag(const DrawImageTag&) = delete;
    DrawImageTag& operator=(const DrawImageTag&) = delete;
};

void SetState(RenderState state, uint32_t value) {
    if (renderDevice.device) {
        renderDevice.device->SetRenderState(state, value);
    }
}

void SetStage(TextureStageState state, uint32_t value) {
    if (renderDevice.device) {
        renderDevice.device->SetTextureStageState(0, state, value);
    }
}

// A quad's four vertices into the shared ring buffer and drawn as a fan of two triangles.
void DrawFan(RenderDevice& state, const std::array<QuadVertex, 4>& vertices, GfxTexture* texture) {
    lockTimer.Start("Vertex buffer lock/unlock");
    void* data = nullptr;
    if (state.ringPosition < Renderer::kRingVertices) {
        if (state.quadBuffer->Lock(state.ringPosition * kStride, kQuadBytes, &data,
                                   kLockNoOverwrite) != kGfxOk) {
            state.ringPosition = 0;
            lockTimer.Stop();
            return;
        }
    } else {
        state.ringPosition = 0;
        if (state.quadBuffer->Lock(0, kQuadBytes, &data, kLockDiscard) != kGfxOk) {
            lockTimer.Stop();
            return;
        }
    }
    std::copy(vertices.begin(), vertices.end(), static_cast<QuadVertex*>(data));
    state.quadBuffer->Unlock();
    // Each call is timed from the end of the one before: a clock read less per call, for every
    // quad of a frame.
    textureTimer.Start("SetTexture", lockTimer.Stop());
    if (texture == nullptr) {
        state.device->SetTexture(0, nullptr);
        state.currentTexture = nullptr;
    } else if (texture != state.currentTexture ||
               texture->Serial() != state.currentTextureSerial) {
        state.device->SetTexture(0, texture);
        state.currentTexture = texture;
        state.currentTextureSerial = texture->Serial();
    }
    drawTimer.Start("DrawPrimitive", textureTimer.Stop());
    state.device->DrawPrimitive(PrimitiveType::TriangleFan, state.ringPosition, 2);
    state.ringPosition += 4;
    drawTimer.Stop();
}

} // namespace

namespace Renderer {

RenderDevice& State() {
    return renderDevice;
}

const char* ErrorName(GfxResult result) {
    switch (result) {
    case kGfxOutOfMemory:
        return "E_OUTOFMEMORY";
    case kGfxOutOfVideoMemory:
        return "D3DERR_OUTOFVIDEOMEMORY";
    case kGfxNotAvailable:
        return "D3DERR_NOTAVAILABLE";
    case kGfxInvalidDevice:
        return "D3DERR_INVALIDDEVICE";
    case kGfxInvalidCall:
        return "D3DERR_INVALIDCALL";
    default:
        return "Unknown error";
    }
}

bool Init(int width, int height, PixelFormat format, Window* window, bool windowed) {
    RenderDevice& state = renderDevice;
    DebugLog("Initializing D3D...");
    state.system = CreateGraphicsSystem();
    if (!state.system) {
        throw Exception("Direct3D: Can't create Direct3D object!\nPlease make sure you have "
                        "DirectX 8.1 (or higher) installed.");
    }

    // A desktop that cannot hold the game's window leaves full screen as the only choice.
    if (const std::optional<DesktopMode> desktop = DesktopDisplayMode()) {
        if (desktop->rotated || desktop->width < desktop->height) {
            throw Exception("Video mode not supported.");
        }
        state.smallDesktop = desktop->width <= kSmallDesktopWidth;
        if (state.smallDesktop) {
            windowed = false;
            App.fullScreen = true;
        }
    }

    if (const GfxResult result = state.system->GetDeviceCaps(state.caps); result != kGfxOk) {
        throw Exception("Direct3D: GetDeviceCaps execution failed (%s)", ErrorName(result));
    }

    PresentParameters parameters;
    parameters.swapEffect = SwapEffect::Discard;
    parameters.deviceWindow = window;
    parameters.backBufferCount = App.tripleBuffering && !windowed ? 2 : 1;
    parameters.enableAutoDepthStencil = true;
    parameters.autoDepthStencilFormat = PixelFormat::D16;
    if (!windowed) {
        parameters.backBufferWidth = static_cast<uint32_t>(width);
        parameters.backBufferHeight = static_cast<uint32_t>(height);
        parameters.backBufferFormat = format;
        parameters.windowed = false;
        parameters.presentationInterval =
            App.maxFps ? PresentInterval::Immediate : PresentInterval::Default;
    } else {
        DisplayMode mode;
        if (const GfxResult result = state.system->GetAdapterDisplayMode(mode); result != kGfxOk) {
            throw Exception("Direct3D: GetAdapterDisplayMode execution failed (%s)",
                            ErrorName(result));
        }
        parameters.backBufferWidth =
            window != nullptr ? static_cast<uint32_t>(window->ClientWidth()) : 0;
        parameters.backBufferHeight =
            window != nullptr ? static_cast<uint32_t>(window->ClientHeight()) : 0;
        parameters.backBufferFormat = mode.format;
        parameters.windowed = true;
        parameters.presentationInterval = PresentInterval::Default;
    }

    const uint32_t behaviour = (state.caps.devCaps & kDevCapsHardwareTransformAndLight) != 0
                                   ? kCreateHardwareVertexProcessing
                                   : kCreateSoftwareVertexProcessing;
    const auto attempt = [&] {
        const GfxResult result =
            state.system->CreateDevice(window, behaviour, parameters, state.device);
        if (result != kGfxOk) {
            DebugLog("CreateDevice failed:%s\n", GfxResultString(result));
        }
        return result;
    };
    GfxResult result = attempt();
    if (result != kGfxOk && parameters.windowed) {
        parameters.backBufferWidth = static_cast<uint32_t>(width);
        parameters.backBufferHeight = static_cast<uint32_t>(height);
        parameters.backBufferFormat = format;
        parameters.windowed = false;
        result = attempt();
    }
    if (result != kGfxOk) {
        parameters.backBufferFormat = PixelFormat::R5G6B5;
        result = attempt();
    }
    if (result != kGfxOk) {
        throw Exception("Direct3D: Can't create D3D device (%s)", ErrorName(result));
    }
    state.presentParameters = parameters;
    GraphicsDevice& device = *state.device;

    if (const GfxResult shader = device.SetVertexShader(kQuadVertexFormat); shader != kGfxOk) {
        throw Exception("Direct3D: SetVertexShader execution failed (%s)", ErrorName(shader));
    }
    if (const GfxResult buffer =
            device.CreateVertexBuffer(kQuadBufferBytes, kQuadVertexFormat, state.quadBuffer);
        buffer != kGfxOk) {
        throw Exception("Direct3D: CreateVertexBuffer execution failed (%s)", ErrorName(buffer));
    }
    state.ringPosition = 0;
    state.currentTexture = nullptr;
    RestoreStreamSource();

    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    device.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, kTextureOpModulate);
    SetTextureFilter(true);
    device.SetTransform(TransformType::Projection,
                        MatrixOrthoOffCenterLH(0.0f, static_cast<float>(width),
                                               static_cast<float>(height), 0.0f, 1000.0f,
                                               -1000.0f));

    if (device.CreateFont(12, 700, "MS Sans Serif", state.debugFont) != kGfxOk) {
        throw Exception("Can't load basic font!");
    }
    state.width = width;
    state.height = height;
    DebugLog(" done.\n");
    return true;
}

void Shutdown() {
    RenderDevice& state = renderDevice;
    DebugLog("Closing D3D... ");
    state.debugFont.reset();
    if (state.device) {
        state.device->SetStreamSource(0, nullptr, kStride);
    }
    state.quadBuffer.reset();
    if (state.device) {
        state.device->Reset(state.presentParameters);
    }
    state.currentTexture = nullptr;
    state.device.reset();
    state.system.reset();
    DebugLog(" done.\n");
    const double total = static_cast<double>(state.drawn) + static_cast<double>(state.skipped);
    // Nothing drawn at all reads as 0 % skipped, not as a division by zero.
    const double skippedShare =
        total > 0.0 ? static_cast<double>(state.skipped) * 100.0 / total : 0.0;
    DebugLog("DrawImage - drawn: %lld, skipped: %lld (%4.1f%%)\n",
             static_cast<long long>(state.drawn), static_cast<long long>(state.skipped),
             skippedShare);
}

GfxResult Clear() {
    if (!renderDevice.device) {
        return kGfxInvalidCall;
    }
    return renderDevice.device->Clear(kClearTarget | kClearZBuffer, 0, 1.0f, 0);
}

GfxResult BeginScene() {
    return renderDevice.device ? renderDevice.device->BeginScene() : kGfxInvalidCall;
}

GfxResult EndScene() {
    return renderDevice.device ? renderDevice.device->EndScene() : kGfxInvalidCall;
}

GfxResult Present() {
    return renderDevice.device ? renderDevice.device->Present() : kGfxInvalidCall;
}

void SetTextureFilter(bool on) {
    const uint32_t filter = on && App.textureFiltering ? kFilterLinear : kFilterNone;
    SetStage(TextureStageState::MagFilter, filter);
    SetStage(TextureStageState::MinFilter, filter);
    SetStage(TextureStageState::MipFilter, filter);
}

void SetAlphaBlendEnable(bool on) {
    SetState(RenderState::AlphaBlendEnable, on ? 1 : 0);
}

void SetBlendMode(int mode) {
    SetState(RenderState::SrcBlend, kBlendSrcAlpha);
    SetState(RenderState::DestBlend, mode == kBlendModeAlpha ? kBlendInvSrcAlpha : kBlendOne);
}

void SetAlphaTest(bool on, uint32_t reference, bool equal) {
    SetState(RenderState::AlphaTestEnable, on ? 1 : 0);
    if (on) {
        SetState(RenderState::AlphaFunc, equal ? kCompareEqual : kCompareGreater);
        SetState(RenderState::AlphaRef, reference);
    } else {
        SetState(RenderState::AlphaRef, 8);
        SetState(RenderState::AlphaFunc, kCompareGreaterEqual);
    }
}

void SetZWriteEnable(bool on) {
    SetState(RenderState::ZWriteEnable, on ? 1 : 0);
}

void SetRenderState(RenderState state, uint32_t value) {
    SetState(state, value);
}

void SetTextureStageState(TextureStageState state, uint32_t value) {
    SetStage(state, value);
}

void ResetTexture() {
    if (renderDevice.device) {
        renderDevice.device->SetTexture(0, nullptr);
    }
    renderDevice.currentTexture = nullptr;
}

void RestoreStreamSource() {
    if (!renderDevice.device) {
        return;
    }
    const GfxResult result =
        renderDevice.device->SetStreamSource(0, renderDevice.quadBuffer.get(), kStride);
    if (result != kGfxOk) {
        throw Exception("Direct3D: SetStreamSource execution failed (%s)", ErrorName(result));
    }
}

void DrawImage(float x, float y, float z, float width, float height, float uLeft, float vTop,
               float uRight, float vBottom, GfxTexture* texture, float angle, float alpha,
               float scale, const QuadColour* colour, float pivotX, float pivotY) {
    const DrawImageTag tag;
    RenderDevice& state = renderDevice;
    if (width == 0.0f || height == 0.0f || scale == 0.0f || alpha == 0.0f) {
        return;
    }
    if (!state.quadBuffer) {
        return;
    }
    const float radians = angle * kDegreesToRadians;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float left = -pivotX * scale;
    const float top = -pivotY * scale;
    const float right = (width - pivotX) * scale;
    const float bottom = (height - pivotY) * scale;
    const float offsets[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    float corners[4][2];
    for (int i = 0; i < 4; ++i) {
        const float dx = offsets[i][0];
        const float dy = offsets[i][1];
        corners[i][0] = x + dx * c - dy * s;
        corners[i][1] = y + dx * s + dy * c;
    }
    float minX = corners[0][0];
    float maxX = corners[0][0];
    float minY = corners[0][1];
    float maxY = corners[0][1];
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, corners[i][0]);
        maxX = std::max(maxX, corners[i][0]);
        minY = std::min(minY, corners[i][1]);
        maxY = std::max(maxY, corners[i][1]);
    }
    if (maxX < -1.0f || maxY < -1.0f || minX >= 1025.0f || minY >= 769.0f) {
        ++state.skipped;
        return;
    }

    ++state.drawn;
    uint32_t argb = 0;
    if (colour != nullptr) {
        argb = RoundedChannel(alpha) << 24 | RoundedChannel(colour->red) << 16 |
               RoundedChannel(colour->green) << 8 | RoundedChannel(colour->blue);
    } else {
        argb = TruncatedChannel(alpha) << 24 | 0x00FFFFFFu;
    }
    const float cornerU[4] = {uLeft, uRight, uRight, uLeft};
    const float cornerV[4] = {vTop, vTop, vBottom, vBottom};
    std::array<QuadVertex, 4> vertices;
    for (int i = 0; i < 4; ++i) {
        // The device centres pixels on whole coordinates; half a pixel back lines texels up
        // with pixels.
        vertices[static_cast<std::size_t>(i)] =
            QuadVertex{corners[i][0] - 0.5f, corners[i][1] - 0.5f, z, argb, cornerU[i], cornerV[i]};
    }
    DrawFan(state, vertices, texture);
}

void DrawStroke(const std::vector<GestureTrailPoint>& points, TextureHandle* handle) {
    if (points.size() < 2 || handle == nullptr) {
        return;
    }
    RenderDevice& state = renderDevice;
    if (!state.quadBuffer) {
        return;
    }
    struct Side {
        Vector2 left;
        Vector2 right;
        uint32_t argb;
    };
    std::vector<Side> sides;
    sides.reserve(points.size());
    const std::size_t last = points.size() - 1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const GestureTrailPoint& point = points[i];
        if (!(point.alpha > 0.0f)) {
            continue;
        }
        const Vector2 here{point.x, point.y};
        // The way along the path: towards the next point, from the previous one, or their mean
        // where both exist.
        const Vector2 forward =
            i < last ? Math2D::Normalize({points[i + 1].x - here.x, points[i + 1].y - here.y})
                     : Vector2{};
        const Vector2 backward =
            i > 0 ? Math2D::Normalize({here.x - points[i - 1].x, here.y - points[i - 1].y})
                  : Vector2{};
        const bool hasForward = forward.x != 0.0f || forward.y != 0.0f;
        const bool hasBackward = backward.x != 0.0f || backward.y != 0.0f;
        Vector2 direction = hasForward ? forward : backward;
        if (hasForward && hasBackward) {
            direction = {(forward.x + backward.x) * 0.5f, (forward.y + backward.y) * 0.5f};
        }
        const Vector2 reach{here.x + direction.x * point.width, here.y + direction.y * point.width};
        sides.push_back({Math2D::RotatePoint(reach, here, kQuarterTurn),
                         Math2D::RotatePoint(reach, here, -kQuarterTurn),
                         RoundedChannel(point.alpha) << 24 | 0x00FFFFFFu});
    }
    if (sides.size() < 2) {
        return;
    }
    GfxTexture* texture = handle->Texture();
    for (std::size_t i = 1; i < sides.size(); ++i) {
        const Side& a = sides[i - 1];
        const Side& b = sides[i];
        const std::array<QuadVertex, 4> vertices = {
            QuadVertex{a.left.x, a.left.y, 0.0f, a.argb, 0.0f, 0.0f},
            QuadVertex{b.left.x, b.left.y, 0.0f, b.argb, 1.0f, 0.0f},
            QuadVertex{b.right.x, b.right.y, 0.0f, b.argb, 1.0f, 1.0f},
            QuadVertex{a.right.x, a.right.y, 0.0f, a.argb, 0.0f, 1.0f},
        };
        ++state.drawn;
        DrawFan(state, vertices, texture);
    }
}

void DrawNineSlice(float x, float y, float z, float width, float height, TextureHandle* handle,
                   float textureWidth, float textureHeight, float top, float right, float bottom,
                   float left, float alpha) {
    if (!(width > 0.0f) || !(height > 0.0f)) {
        return;
    }
    constexpr float kStrip = 4.0f; // texels of the stretched middle strip
    const float columnX[3] = {x, x + left, x + left + width};
    const float columnWidth[3] = {left, width, right};
    const float columnU[4] = {0.0f, left / textureWidth, (left + kStrip) / textureWidth,
                              (left + kStrip + right) / textureWidth};
    const float rowY[3] = {y, y + top, y + top + height};
    const float rowHeight[3] = {top, height, bottom};
    const float rowV[4] = {0.0f, top / textureHeight, (top + kStrip) / textureHeight,
                           (top + kStrip + bottom) / textureHeight};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            DrawQuad(columnX[column], rowY[row], z, columnWidth[column], rowHeight[row],
                     columnU[column], rowV[row], columnU[column + 1], rowV[row + 1], handle, 0.0f,
                     alpha, 1.0f, nullptr, 0.0f, 0.0f);
        }
    }
}

void DrawDebugText(float x, float y, const char* text, float red, float green, float blue,
                   float alpha) {
    if (!renderDevice.debugFont || text == nullptr) {
        return;
    }
    const uint32_t argb = RoundedChannel(alpha) << 24 | RoundedChannel(red) << 16 |
                          RoundedChannel(green) << 8 | RoundedChannel(blue);
    renderDevice.debugFont->DrawText(text, -1, TruncatedCoordinate(x), TruncatedCoordinate(y),
                                     argb);
}

std::unique_ptr<GfxTexture> LoadTexture(const std::string& name, bool logFailure) {
    loadTimer.Start("LoadTexture");
    std::unique_ptr<GfxTexture> texture;
    if (renderDevice.device) {
        if (const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(name)) {
            std::string error;
            CreateTextureFromFileInMemory(*renderDevice.device, bytes->data(), bytes->size(),
                                          PixelFormat::A8R8G8B8, texture, error);
        }
    }
    loadTimer.Stop();
    if (!texture) {
        if (logFailure) {
            DebugLog("Could not load texture: %s\n", name.c_str());
        }
        return nullptr;
    }
    if (texture->Format() != PixelFormat::A8R8G8B8) {
        throw Exception("Video Card does not support required texture format (D3DFMT_A8R8G8B8)");
    }
    return texture;
}

std::unique_ptr<GfxTexture> LoadTextureWithAlpha(const std::string& name,
                                                 const std::vector<std::string>& alphaNames,
                                                 std::string& alphaName) {
    alphaName.clear();
    loadTimer.Start("LoadTexture");
    std::unique_ptr<GfxTexture> texture;
    std::string error;
    const std::optional<std::vector<uint8_t>> bytes =
        renderDevice.device ? Files.ReadAll(name) : std::nullopt;
    if (bytes) {
        // The alpha image merges into the decoded pixels, so the texture is written once and
        // never read back; it is looked for only once the picture itself decoded.
        Image alpha;
        const auto findAlpha = [&]() -> const Image* {
            std::string alphaError;
            for (const std::string& candidate : alphaNames) {
                const std::optional<std::vector<uint8_t>> alphaBytes = Files.ReadAll(candidate);
                if (alphaBytes &&
                    DecodeTextureImage(*renderDevice.device, alphaBytes->data(),
                                       alphaBytes->size(), alpha, alphaError) == kGfxOk) {
                    alphaName = candidate;
                    return &alpha;
                }
            }
            return nullptr;
        };
        CreateTextureFromFileInMemory(*renderDevice.device, bytes->data(), bytes->size(),
                                      PixelFormat::A8R8G8B8, texture, error, findAlpha);
    }
    loadTimer.Stop();
    if (!texture) {
        alphaName.clear();
        DebugLog("Could not load texture: %s\n", name.c_str());
        return nullptr;
    }
    if (texture->Format() != PixelFormat::A8R8G8B8) {
        throw Exception("Video Card does not support required texture format (D3DFMT_A8R8G8B8)");
    }
    return texture;
}

bool MergeAlphaImage(GfxTexture* colourTexture, GfxTexture* alphaTexture) {
    if (alphaTexture == nullptr || colourTexture == nullptr) {
        return false;
    }
    LockedRect colour;
    LockedRect alpha;
    if (colourTexture->LockRect(0, colour, 0) != kGfxOk) {
        return false;
    }
    if (alphaTexture->LockRect(0, alpha, kLockReadOnly) != kGfxOk) {
        colourTexture->UnlockRect(0);
        return false;
    }
    const uint32_t width = colourTexture->Width();
    const uint32_t height = colourTexture->Height();
    const uint32_t lastAlphaX = alphaTexture->Width() - 1;
    const uint32_t lastAlphaY = alphaTexture->Height() - 1;
    for (uint32_t row = 0; row < height; ++row) {
        auto* const target = reinterpret_cast<uint32_t*>(
            static_cast<uint8_t*>(colour.bits) + static_cast<std::size_t>(row) * colour.pitch);
        // A smaller alpha image is read at its nearest edge pixel, never outside it.
        const auto* const source = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(alpha.bits) +
            static_cast<std::size_t>(std::min(row, lastAlphaY)) * alpha.pitch);
        for (uint32_t column = 0; column < width; ++column) {
            const uint32_t red = (source[std::min(column, lastAlphaX)] >> 16) & 0xFFu;
            target[column] = (target[column] & 0x00FFFFFFu) | (red << 24);
        }
    }
    alphaTexture->UnlockRect(0);
    colourTexture->UnlockRect(0);
    return true;
}

std::unique_ptr<GfxTexture> CreateTexture(uint32_t width, uint32_t height, PixelFormat format) {
    std::unique_ptr<GfxTexture> texture;
    if (renderDevice.device) {
        renderDevice.device->CreateTexture(width, height, 1, format, texture);
    }
    return texture;
}

std::unique_ptr<GfxTexture> CreateBlankTexture(uint32_t width, uint32_t height, bool hasAlpha) {
    return CreateTexture(width, height, hasAlpha ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8);
}

} // namespace Renderer

void DrawQuad(float x, float y, float z, float width, float height, float uLeft, float vTop,
              float uRight, float vBottom, TextureHandle* handle, float angle, float alpha,
              float scale, const QuadColour* colour, float pivotX, float pivotY) {
    if (handle == nullptr) {
        return;
    }
    Renderer::DrawImage(x, y, z, width, height, uLeft, vTop, uRight, vBottom, handle->Texture(),
                        angle, alpha, scale, colour, pivotX, pivotY);
}

void DrawQuadForwarder(float x, float y, float z, float width, float height, float uLeft,
                       float vTop, float uRight, float vBottom, TextureHandle* handle, float angle,
                       float alpha, float scale, const QuadColour* colour, float pivotX,
                       float pivotY) {
    DrawQuad(x, y, z, width, height, uLeft, vTop, uRight, vBottom, handle, angle, alpha, scale,
             colour, pivotX, pivotY);
}
