#include "platform/gfx/GlDevice.h"

#include "platform/gfx/GlContext.h"
#include "platform/gfx/GlQuadGroups.h"
#include "platform/gfx/GlTextureAtlas.h"
#include "platform/os/Window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// Textures no larger than this on any device, as the game's era of cards allowed.
constexpr uint32_t kMaxTextureSide = 4096;
// Changes of texture in one frame past which the device copies small textures into an atlas;
// below it the atlas's memory is not worth having.
constexpr uint32_t kTextureChangesForAtlas = 48;

GLenum CompareFunction(uint32_t value) {
    switch (value) {
    case kCompareNever:
        return GL_NEVER;
    case kCompareLess:
        return GL_LESS;
    case kCompareEqual:
        return GL_EQUAL;
    case kCompareLessEqual:
        return GL_LEQUAL;
    case kCompareGreater:
        return GL_GREATER;
    case kCompareNotEqual:
        return GL_NOTEQUAL;
    case kCompareGreaterEqual:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum BlendFactor(uint32_t value) {
    switch (value) {
    case kBlendZero:
        return GL_ZERO;
    case kBlendSrcAlpha:
        return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    default:
        return GL_ONE;
    }
}

GLenum BlendEquation(uint32_t value) {
    switch (value) {
    case kBlendOpSubtract:
        return GL_FUNC_SUBTRACT;
    case kBlendOpRevSubtract:
        return GL_FUNC_REVERSE_SUBTRACT;
    default:
        return GL_FUNC_ADD;
    }
}

GLint Filter(uint32_t value) {
    return value >= kFilterLinear ? GL_LINEAR : GL_NEAREST;
}

GLint Wrap(uint32_t value) {
    switch (value) {
    case kAddressMirror:
        return GL_MIRRORED_REPEAT;
    case kAddressClamp:
        return GL_CLAMP_TO_EDGE;
    default:
        return GL_REPEAT;
    }
}

GLint CombineOperation(uint32_t value) {
    return value == kTextureOpSelectArg1 ? GL_REPLACE : GL_MODULATE;
}

uint32_t VertexCount(PrimitiveType type, uint32_t primitives) {
    switch (type) {
    case PrimitiveType::TriangleList:
        return primitives * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
        return primitives + 2;
    }
    return 0;
}

GLenum PrimitiveMode(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::TriangleList:
        return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan:
        return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

bool SupportedBackBuffer(PixelFormat format) {
    return format == PixelFormat::X8R8G8B8 || format == PixelFormat::A8R8G8B8 ||
           format == PixelFormat::R5G6B5;
}

class GlDevice : public GraphicsDevice {
public:
    static GfxResult Create(Window* window, PresentParameters& parameters,
                            std::unique_ptr<GraphicsDevice>& device);
    ~GlDevice() override;

    GfxResult Reset(PresentParameters& parameters) override;
    GfxResult TestCooperativeLevel() override { return kGfxOk; }
    GfxResult GetDeviceCaps(DeviceCaps& caps) override;

    GfxResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, PixelFormat format,
                            std::unique_ptr<GfxTexture>& texture) override;
    GfxResult CreateVertexBuffer(uint32_t length, uint32_t vertexFormat,
                                 std::unique_ptr<GfxVertexBuffer>& buffer) override;
    GfxResult CreateFont(int height, int weight, const char* faceName,
                         std::unique_ptr<GfxFont>& font) override;

    GfxResult SetVertexShader(uint32_t format) override;
    GfxResult SetStreamSource(uint32_t stream, GfxVertexBuffer* buffer, uint32_t stride) override;
    GfxResult SetRenderState(RenderState state, uint32_t value) override;
    GfxResult GetRenderState(RenderState state, uint32_t& value) override;
    GfxResult SetTextureStageState(uint32_t stage, TextureStageState state,
                                   uint32_t value) override;
    GfxResult GetTextureStageState(uint32_t stage, TextureStageState state,
                                   uint32_t& value) override;
    GfxResult SetTexture(uint32_t stage, GfxTexture* texture) override;
    GfxResult SetTransform(TransformType type, const Matrix& matrix) override;
    GfxResult GetTransform(TransformType type, Matrix& matrix) override;

    GfxResult DrawPrimitive(PrimitiveType type, uint32_t startVertex,
                            uint32_t primitiveCount) override;
    GfxResult Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    GfxResult BeginScene() override;
    GfxResult EndScene() override;
    GfxResult Present() override;

    GfxResult ReadBackBuffer(const PixelRect& rect, std::vector<uint32_t>& pixels) override;
    GfxResult CopyBackBufferToTexture(const PixelRect& source, GfxTexture& target, int x,
                                      int y) override;

private:
    GlDevice(Window* window, std::shared_ptr<GlContext> context);

    bool BuildBackBuffer();
    // Whether the window's own framebuffer can be the back buffer: it keeps its pixels through a
    // swap, holds them as the device's own would and shows them one to one.
    bool BackBufferCanBeWindow() const;
    // Moves the picture drawn on the window to a back buffer of the device's own, for a window
    // that no longer shows it one to one.
    bool MoveOffWindow();
    // A frame drawn on the window is swapped without being read, so nothing waits for the
    // rasteriser: each present waits for the frame before it to be drawn, one frame in flight, so
    // that queued frames and their memory do not pile up behind a program that draws faster.
    void WaitForFrameBefore();
    void ForgetFrameInFlight();
    // Draws the quads held back (see DrawPrimitive), then gives OpenGL the states set since:
    // afterwards it draws as the states now say.
    void FlushQuads();
    void DrawHeldQuads();
    // The texture a held-back quad is drawn with: the atlas, its coordinates moved to a copy of
    // the texture's texels there, or the texture itself.
    GlTexture* FromAtlas(GlTexture& texture, GfxVertex* quad);
    void ApplyChangedStates();
    // Whether the states set since the held-back quads were drawn are the ones they were drawn
    // with after all (a state set and put back between two quads).
    bool StatesAsApplied() const;
    // Points the vertex arrays at vertices laid out as the stream's are.
    void SetVertexPointers(const uint8_t* base);
    void DrawVertices(GLenum mode, uint32_t startVertex, uint32_t count);
    void PresentByBlit(int drawableWidth, int drawableHeight, const PixelRect& picture);
    void FreeBackBuffer();
    void ApplyState(RenderState state);
    void ApplyTextureOperations();
    void ApplyTransforms();
    GlSampler StageSampler() const;
    uint32_t State(RenderState state) const { return renderStates[static_cast<uint32_t>(state)]; }
    uint32_t AppliedStage(TextureStageState state) const {
        return appliedStageStates[static_cast<uint32_t>(state)];
    }
    uint32_t Stage(TextureStageState state) const {
        return stageStates[static_cast<uint32_t>(state)];
    }

    Window* window;
    std::shared_ptr<GlContext> context;
    PresentParameters parameters;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
    // The window's framebuffer: its size, and whether it keeps its pixels in the back buffer's
    // formats (see BackBufferCanBeWindow).
    int windowSurfaceWidth = 0;
    int windowSurfaceHeight = 0;
    bool windowKeepsPixels = false;
    // Drawing goes straight to the window's framebuffer: a present is the swap alone.
    bool onWindow = false;
    GLsync frameInFlight = nullptr; // the fence after the last frame presented on the window
    // The states as set, and as OpenGL has them: a change reaches OpenGL only when a draw needs
    // it, so that a state set and put back between two quads does not part them.
    std::array<uint32_t, 256> renderStates{};
    std::array<uint32_t, 32> stageStates{};
    std::array<uint32_t, 256> appliedRenderStates{};
    std::array<uint32_t, 32> appliedStageStates{};
    bool statesChanged = false;
    Matrix world = MatrixIdentity();
    Matrix view = MatrixIdentity();
    Matrix projection = MatrixIdentity();
    uint32_t vertexFormat = 0;
    uint32_t stride = 0;
    bool inScene = false;
    // Quads drawn with the same states, held back in groups of one texture until a state
    // changes or the frame needs its pixels.
    GlQuadGroups heldQuads;
    // The transforms keep quads apart on the screen that are apart in vertex coordinates.
    bool quadsMayMove = true;
    std::vector<GLuint> quadIndices;  // fan order, (0 1 2) (0 2 3), for every quad of a group
    std::vector<GfxVertex> converted; // vertices with their colours in OpenGL's byte order
    // Copies of small textures that held-back quads sample instead, made once a frame changes
    // texture often; null before that or without the means to copy.
    std::unique_ptr<GlTextureAtlas> atlas;
    bool atlasTried = false;
    uint32_t textureChanges = 0; // in this frame, by held-back quads
};

GlDevice::GlDevice(Window* window, std::shared_ptr<GlContext> context)
    : window(window), context(std::move(context)) {
    this->context->flushDraws = [this] { FlushQuads(); };
}

GfxResult GlDevice::Create(Window* window, PresentParameters& parameters,
                           std::unique_ptr<GraphicsDevice>& device) {
    if (window == nullptr) {
        return kGfxInvalidCall;
    }
    if (parameters.windowed && parameters.backBufferWidth == 0) {
        parameters.backBufferWidth = static_cast<uint32_t>(window->ClientWidth());
        parameters.backBufferHeight = static_cast<uint32_t>(window->ClientHeight());
    }
    if (parameters.windowed && parameters.backBufferFormat == PixelFormat::Unknown) {
        parameters.backBufferFormat = PixelFormat::X8R8G8B8;
    }
    if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0 ||
        parameters.backBufferWidth > kMaxTextureSide ||
        parameters.backBufferHeight > kMaxTextureSide ||
        !SupportedBackBuffer(parameters.backBufferFormat) ||
        (parameters.enableAutoDepthStencil &&
         parameters.autoDepthStencilFormat != PixelFormat::D16)) {
        return kGfxInvalidCall;
    }
    if (window->IsFullScreen() == parameters.windowed &&
        !window->SetFullScreen(!parameters.windowed)) {
        return kGfxNotAvailable;
    }

    auto context = std::make_shared<GlContext>();
    context->window = window->Native();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    context->context = SDL_GL_CreateContext(context->window);
    if (context->context == nullptr) {
        return kGfxNotAvailable;
    }
    if (SDL_GL_MakeCurrent(context->window, context->context) != 0 || !context->gl.Load()) {
        SDL_GL_DeleteContext(context->context);
        return kGfxNotAvailable;
    }
    context->bgraColours = SDL_GL_ExtensionSupported("GL_ARB_vertex_array_bgra") == SDL_TRUE ||
                           SDL_GL_ExtensionSupported("GL_EXT_vertex_array_bgra") == SDL_TRUE;
    SDL_GL_SetSwapInterval(parameters.presentationInterval == PresentInterval::Immediate ? 0 : 1);

    std::unique_ptr<GlDevice> created(new GlDevice(window, context));
    created->parameters = parameters;
    // A new context's viewport is its surface's size. The offscreen driver's surface is a pixel
    // buffer, whose swap leaves every pixel where it is; a window's may lose them, and the game
    // reads the picture back after presenting it.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    created->windowSurfaceWidth = viewport[2];
    created->windowSurfaceHeight = viewport[3];
    const char* const driver = SDL_GetCurrentVideoDriver();
    GLint red = 0;
    GLint green = 0;
    GLint blue = 0;
    GLint depth = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    created->windowKeepsPixels = driver != nullptr && std::strcmp(driver, "offscreen") == 0 &&
                                 red == 8 && green == 8 && blue == 8 && depth == 16 &&
                                 context->gl.blitFramebuffer != nullptr;
    if (!created->BuildBackBuffer()) {
        return kGfxNotAvailable;
    }

    // The states every new device starts with.
    auto& states = created->renderStates;
    states[static_cast<uint32_t>(RenderState::ZEnable)] = parameters.enableAutoDepthStencil;
    states[static_cast<uint32_t>(RenderState::ZWriteEnable)] = 1;
    states[static_cast<uint32_t>(RenderState::AlphaTestEnable)] = 0;
    states[static_cast<uint32_t>(RenderState::SrcBlend)] = kBlendOne;
    states[static_cast<uint32_t>(RenderState::DestBlend)] = kBlendZero;
    states[static_cast<uint32_t>(RenderState::CullMode)] = kCullCounterClockwise;
    states[static_cast<uint32_t>(RenderState::ZFunc)] = kCompareLessEqual;
    states[static_cast<uint32_t>(RenderState::AlphaRef)] = 0;
    states[static_cast<uint32_t>(RenderState::AlphaFunc)] = kCompareAlways;
    states[static_cast<uint32_t>(RenderState::AlphaBlendEnable)] = 0;
    states[static_cast<uint32_t>(RenderState::Lighting)] = 1;
    states[static_cast<uint32_t>(RenderState::BlendOp)] = kBlendOpAdd;
    auto& stage = created->stageStates;
    stage[static_cast<uint32_t>(TextureStageState::ColorOp)] = kTextureOpModulate;
    stage[static_cast<uint32_t>(TextureStageState::AlphaOp)] = kTextureOpSelectArg1;
    stage[static_cast<uint32_t>(TextureStageState::AddressU)] = kAddressWrap;
    stage[static_cast<uint32_t>(TextureStageState::AddressV)] = kAddressWrap;
    stage[static_cast<uint32_t>(TextureStageState::MagFilter)] = kFilterPoint;
    stage[static_cast<uint32_t>(TextureStageState::MinFilter)] = kFilterPoint;
    stage[static_cast<uint32_t>(TextureStageState::MipFilter)] = kFilterNone;

    glFrontFace(GL_CCW);
    glDepthRange(0.0, 1.0);
    glDisable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const RenderState state :
         {RenderState::ZEnable, RenderState::ZWriteEnable, RenderState::AlphaTestEnable,
          RenderState::SrcBlend, RenderState::CullMode, RenderState::ZFunc, RenderState::AlphaFunc,
          RenderState::AlphaBlendEnable, RenderState::BlendOp}) {
        created->ApplyState(state);
    }
    created->ApplyTextureOperations();
    created->ApplyTransforms();
    created->appliedRenderStates = created->renderStates;
    created->appliedStageStates = created->stageStates;
    device = std::move(created);
    return kGfxOk;
}

GlDevice::~GlDevice() {
    FlushQuads();
    ForgetFrameInFlight();
    atlas.reset();
    context->flushDraws = nullptr;
    FreeBackBuffer();
    context->boundTexture = nullptr;
    context->streamSource = nullptr;
    context->alive = false;
    SDL_GL_MakeCurrent(context->window, nullptr);
    SDL_GL_DeleteContext(context->context);
}

bool GlDevice::BackBufferCanBeWindow() const {
    if (!windowKeepsPixels || context->backBufferWidth != windowSurfaceWidth ||
        context->backBufferHeight != windowSurfaceHeight) {
        return false;
    }
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(context->window, &drawableWidth, &drawableHeight);
    const PixelRect picture = window->DrawablePicture();
    return drawableWidth == windowSurfaceWidth && drawableHeight == windowSurfaceHeight &&
           picture.x == 0 && picture.y == 0 && picture.width == drawableWidth &&
           picture.height == drawableHeight;
}

bool GlDevice::BuildBackBuffer() {
    FreeBackBuffer();
    const auto width = static_cast<GLsizei>(parameters.backBufferWidth);
    const auto height = static_cast<GLsizei>(parameters.backBufferHeight);
    context->backBufferWidth = width;
    context->backBufferHeight = height;
    const GlFunctions& gl = context->gl;
    onWindow = BackBufferCanBeWindow();
    if (onWindow) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, width, height);
        return true;
    }
    glGenTextures(1, &colourBuffer);
    glBindTexture(GL_TEXTURE_2D, colourBuffer);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // No alpha channel: the back buffer's pixels read as opaque.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D,
                  context->boundTexture != nullptr ? context->boundTexture->Name() : 0);
    gl.genRenderbuffers(1, &depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourBuffer, 0);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        FreeBackBuffer();
        return false;
    }
    glViewport(0, 0, width, height);
    return true;
}

void GlDevice::WaitForFrameBefore() {
    const GlFunctions& gl = context->gl;
    if (gl.fenceSync == nullptr) {
        glFinish();
        return;
    }
    GLsync drawn = gl.fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (frameInFlight != nullptr) {
        gl.clientWaitSync(frameInFlight, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        gl.deleteSync(frameInFlight);
    }
    frameInFlight = drawn;
}

void GlDevice::ForgetFrameInFlight() {
    if (frameInFlight != nullptr) {
        context->gl.deleteSync(frameInFlight);
        frameInFlight = nullptr;
    }
}

bool GlDevice::MoveOffWindow() {
    onWindow = false;
    ForgetFrameInFlight();
    if (!BuildBackBuffer()) {
        return false;
    }
    // Both hold the back buffer's size and formats: a copy of every pixel, depth included.
    const GlFunctions& gl = context->gl;
    const int width = context->backBufferWidth;
    const int height = context->backBufferHeight;
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glPushAttrib(GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    gl.blitFramebuffer(0, 0, width, height, 0, 0, width, height,
                       GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glPopAttrib();
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return true;
}

void GlDevice::FreeBackBuffer() {
    const GlFunctions& gl = context->gl;
    if (framebuffer != 0) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl.deleteFramebuffers(1, &framebuffer);
        framebuffer = 0;
    }
    if (depthBuffer != 0) {
        gl.deleteRenderbuffers(1, &depthBuffer);
        depthBuffer = 0;
    }
    if (colourBuffer != 0) {
        glDeleteTextures(1, &colourBuffer);
        colourBuffer = 0;
    }
}

GfxResult GlDevice::Reset(PresentParameters& newParameters) {
    FlushQuads();
    if (newParameters.windowed && newParameters.backBufferWidth == 0) {
        newParameters.backBufferWidth = static_cast<uint32_t>(window->ClientWidth());
        newParameters.backBufferHeight = static_cast<uint32_t>(window->ClientHeight());
    }
    if (newParameters.backBufferWidth == 0 || newParameters.backBufferHeight == 0 ||
        newParameters.backBufferWidth > kMaxTextureSide ||
        newParameters.backBufferHeight > kMaxTextureSide ||
        !SupportedBackBuffer(newParameters.backBufferFormat)) {
        return kGfxInvalidCall;
    }
    if (window->IsFullScreen() == newParameters.windowed &&
        !window->SetFullScreen(!newParameters.windowed)) {
        return kGfxNotAvailable;
    }
    const bool resized = newParameters.backBufferWidth != parameters.backBufferWidth ||
                         newParameters.backBufferHeight != parameters.backBufferHeight;
    parameters = newParameters;
    // A window now shown scaled, or one to one again, takes the other kind of back buffer.
    if ((resized || onWindow != BackBufferCanBeWindow()) && !BuildBackBuffer()) {
        return kGfxNotAvailable;
    }
    ApplyTransforms();
    return kGfxOk;
}

GfxResult GlDevice::GetDeviceCaps(DeviceCaps& caps) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const uint32_t side = std::min<uint32_t>(kMaxTextureSide, static_cast<uint32_t>(largest));
    caps = DeviceCaps{kDevCapsHardwareTransformAndLight, side, side};
    return kGfxOk;
}

GfxResult GlDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                  PixelFormat format, std::unique_ptr<GfxTexture>& texture) {
    DeviceCaps caps;
    GetDeviceCaps(caps);
    if (width == 0 || height == 0 || width > caps.maxTextureWidth ||
        height > caps.maxTextureHeight || levels > 1 ||
        (format != PixelFormat::A8R8G8B8 && format != PixelFormat::X8R8G8B8)) {
        return kGfxInvalidCall;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    auto created = std::make_unique<GlTexture>(context, width, height, format);
    if (glGetError() == GL_OUT_OF_MEMORY) {
        return kGfxOutOfVideoMemory;
    }
    texture = std::move(created);
    return kGfxOk;
}

GfxResult GlDevice::CreateVertexBuffer(uint32_t length, uint32_t format,
                                       std::unique_ptr<GfxVertexBuffer>& buffer) {
    if (length == 0 || format != kQuadVertexFormat) {
        return kGfxInvalidCall;
    }
    buffer = std::make_unique<GlVertexBuffer>(context, length);
    return kGfxOk;
}

GfxResult GlDevice::CreateFont(int, int, const char*, std::unique_ptr<GfxFont>& font) {
    font = std::make_unique<GlFont>(context);
    return kGfxOk;
}

GfxResult GlDevice::SetVertexShader(uint32_t format) {
    FlushQuads();
    if (format != kQuadVertexFormat) {
        return kGfxInvalidCall;
    }
    vertexFormat = format;
    return kGfxOk;
}

GfxResult GlDevice::SetStreamSource(uint32_t stream, GfxVertexBuffer* buffer, uint32_t newStride) {
    FlushQuads();
    if (stream != 0) {
        return kGfxInvalidCall;
    }
    if (buffer == nullptr) {
        context->streamSource = nullptr;
        stride = newStride;
        return kGfxOk;
    }
    auto* const ours = dynamic_cast<GlVertexBuffer*>(buffer);
    if (ours == nullptr || ours->Owner() != context.get()) {
        return kGfxInvalidCall;
    }
    context->streamSource = ours;
    stride = newStride;
    return kGfxOk;
}

GfxResult GlDevice::SetRenderState(RenderState state, uint32_t value) {
    const auto index = static_cast<uint32_t>(state);
    if (index >= renderStates.size()) {
        return kGfxInvalidCall;
    }
    renderStates[index] = value;
    statesChanged = statesChanged || value != appliedRenderStates[index];
    return kGfxOk;
}

GfxResult GlDevice::GetRenderState(RenderState state, uint32_t& value) {
    const auto index = static_cast<uint32_t>(state);
    if (index >= renderStates.size()) {
        return kGfxInvalidCall;
    }
    value = renderStates[index];
    return kGfxOk;
}

void GlDevice::ApplyState(RenderState state) {
    const auto enable = [](GLenum capability, bool on) {
        on ? glEnable(capability) : glDisable(capability);
    };
    switch (state) {
    case RenderState::ZEnable:
        enable(GL_DEPTH_TEST, State(state) != 0);
        break;
    case RenderState::ZWriteEnable:
        glDepthMask(State(state) != 0 ? GL_TRUE : GL_FALSE);
        break;
    case RenderState::AlphaTestEnable:
        enable(GL_ALPHA_TEST, State(state) != 0);
        break;
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
        glBlendFunc(BlendFactor(State(RenderState::SrcBlend)),
                    BlendFactor(State(RenderState::DestBlend)));
        break;
    case RenderState::CullMode:
        // Culling is by the winding seen on screen, which this back buffer keeps.
        enable(GL_CULL_FACE, State(state) != kCullNone);
        glCullFace(State(state) == kCullClockwise ? GL_BACK : GL_FRONT);
        break;
    case RenderState::ZFunc:
        glDepthFunc(CompareFunction(State(state)));
        break;
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc:
        glAlphaFunc(CompareFunction(State(RenderState::AlphaFunc)),
                    static_cast<GLclampf>(State(RenderState::AlphaRef) & 0xFF) / 255.0f);
        break;
    case RenderState::AlphaBlendEnable:
        enable(GL_BLEND, State(state) != 0);
        break;
    case RenderState::BlendOp:
        context->gl.blendEquation(BlendEquation(State(state)));
        break;
    case RenderState::Lighting:
        // The one vertex layout carries no normals: lit or not, vertices keep their colour.
        break;
    }
}

GfxResult GlDevice::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) {
    const auto index = static_cast<uint32_t>(state);
    if (stage != 0 || index >= stageStates.size()) {
        return kGfxInvalidCall;
    }
    stageStates[index] = value;
    statesChanged = statesChanged || value != appliedStageStates[index];
    return kGfxOk;
}

GfxResult GlDevice::GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t& value) {
    const auto index = static_cast<uint32_t>(state);
    if (stage != 0 || index >= stageStates.size()) {
        return kGfxInvalidCall;
    }
    value = stageStates[index];
    return kGfxOk;
}

void GlDevice::ApplyTextureOperations() {
    // Colour and alpha each either take the texture alone or the texture times the vertex.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB,
              CombineOperation(AppliedStage(TextureStageState::ColorOp)));
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA,
              CombineOperation(AppliedStage(TextureStageState::AlphaOp)));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GL_PRIMARY_COLOR);
}

GlSampler GlDevice::StageSampler() const {
    return GlSampler{Filter(AppliedStage(TextureStageState::MagFilter)),
                     Filter(AppliedStage(TextureStageState::MinFilter)),
                     Wrap(AppliedStage(TextureStageState::AddressU)),
                     Wrap(AppliedStage(TextureStageState::AddressV))};
}

GfxResult GlDevice::SetTexture(uint32_t stage, GfxTexture* texture) {
    // Held-back quads keep their own textures: binding another parts no group.
    if (stage != 0) {
        return texture == nullptr ? kGfxOk : kGfxInvalidCall;
    }
    if (texture == nullptr) {
        context->boundTexture = nullptr;
        glBindTexture(GL_TEXTURE_2D, 0);
        return kGfxOk;
    }
    auto* const ours = dynamic_cast<GlTexture*>(texture);
    if (ours == nullptr || ours->Owner() != context.get()) {
        return kGfxInvalidCall;
    }
    ours->EnsureDefined();
    context->boundTexture = ours;
    glBindTexture(GL_TEXTURE_2D, ours->Name());
    return kGfxOk;
}

GfxResult GlDevice::SetTransform(TransformType type, const Matrix& matrix) {
    FlushQuads();
    switch (type) {
    case TransformType::World:
        world = matrix;
        break;
    case TransformType::View:
        view = matrix;
        break;
    case TransformType::Projection:
        projection = matrix;
        break;
    default:
        return kGfxInvalidCall;
    }
    ApplyTransforms();
    return kGfxOk;
}

GfxResult GlDevice::GetTransform(TransformType type, Matrix& matrix) {
    switch (type) {
    case TransformType::World:
        matrix = world;
        return kGfxOk;
    case TransformType::View:
        matrix = view;
        return kGfxOk;
    case TransformType::Projection:
        matrix = projection;
        return kGfxOk;
    }
    return kGfxInvalidCall;
}

void GlDevice::ApplyTransforms() {
    // The game's depth runs 0 (near) to 1 (far) after projection, and it places pixel centres
    // on whole coordinates. This last step gives OpenGL the depth range it clips to, and moves
    // everything half a pixel right and down so that each pixel is covered exactly as meant.
    Matrix adjust = MatrixIdentity();
    adjust.m[2][2] = 2.0f;
    adjust.m[3][2] = -1.0f;
    adjust.m[3][0] = 1.0f / static_cast<float>(parameters.backBufferWidth);
    adjust.m[3][1] = -1.0f / static_cast<float>(parameters.backBufferHeight);
    // Row-vector matrices stored row by row are what OpenGL reads column by column.
    const Matrix glProjection = MatrixMultiply(projection, adjust);
    const Matrix glModelView = MatrixMultiply(world, view);
    // Quads may be drawn out of order only where the screen's x and y follow from the vertices'
    // x and y alone, one to one: no depth in them, no perspective, no flattening.
    const Matrix all = MatrixMultiply(glModelView, glProjection);
    const float determinant = all.m[0][0] * all.m[1][1] - all.m[0][1] * all.m[1][0];
    quadsMayMove = all.m[2][0] == 0.0f && all.m[2][1] == 0.0f && all.m[0][3] == 0.0f &&
                   all.m[1][3] == 0.0f && all.m[2][3] == 0.0f && all.m[3][3] != 0.0f &&
                   determinant != 0.0f && std::isfinite(determinant);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&glProjection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&glModelView.m[0][0]);
}

GfxResult GlDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex,
                                  uint32_t primitiveCount) {
    const GlVertexBuffer* source = context->streamSource;
    const uint32_t count = VertexCount(type, primitiveCount);
    if (source == nullptr || source->IsLocked() || vertexFormat != kQuadVertexFormat ||
        stride != sizeof(GfxVertex) || count == 0 ||
        (static_cast<uint64_t>(startVertex) + count) * stride > source->Length()) {
        return kGfxInvalidCall;
    }
    GlTexture* texture = context->boundTexture;
    if (texture != nullptr && texture->IsLocked()) {
        return kGfxInvalidCall;
    }
    if (statesChanged && !StatesAsApplied()) {
        FlushQuads();
    }
    statesChanged = false;
    if (type == PrimitiveType::TriangleFan && primitiveCount == 2 && context->alive) {
        GfxVertex quad[4];
        std::memcpy(quad, source->Data() + static_cast<std::size_t>(startVertex) * stride,
                    sizeof(quad));
        if (!context->bgraColours) {
            for (GfxVertex& vertex : quad) {
                const uint32_t c = vertex.diffuse;
                vertex.diffuse = (c & 0xFF00FF00u) | ((c >> 16) & 0xFFu) | ((c & 0xFFu) << 16);
            }
        }
        if (texture != nullptr && atlas) {
            texture = FromAtlas(*texture, quad);
        }
        heldQuads.Add(texture, quad, quadsMayMove);
        return kGfxOk;
    }
    FlushQuads();
    DrawVertices(PrimitiveMode(type), startVertex, count);
    return kGfxOk;
}

GlTexture* GlDevice::FromAtlas(GlTexture& texture, GfxVertex* quad) {
    const GlSampler sampler = StageSampler();
    GlTextureAtlas::Placed placed = atlas->Place(texture, sampler, quad);
    if (placed == GlTextureAtlas::Placed::Full) {
        // The quads held back may sample any copy in it.
        DrawHeldQuads();
        atlas->Empty();
        placed = atlas->Place(texture, sampler, quad);
    }
    return placed == GlTextureAtlas::Placed::Yes ? &atlas->Texture() : &texture;
}

bool GlDevice::StatesAsApplied() const {
    return renderStates == appliedRenderStates && stageStates == appliedStageStates;
}

void GlDevice::FlushQuads() {
    DrawHeldQuads();
    ApplyChangedStates();
}

void GlDevice::ApplyChangedStates() {
    for (uint32_t index = 0; index < renderStates.size(); ++index) {
        if (renderStates[index] != appliedRenderStates[index]) {
            appliedRenderStates[index] = renderStates[index];
            ApplyState(static_cast<RenderState>(index));
        }
    }
    const auto operation = [this](TextureStageState state) {
        const auto index = static_cast<uint32_t>(state);
        return stageStates[index] != appliedStageStates[index];
    };
    const bool operationsChanged =
        operation(TextureStageState::ColorOp) || operation(TextureStageState::AlphaOp);
    appliedStageStates = stageStates;
    if (operationsChanged) {
        ApplyTextureOperations();
    }
}

void GlDevice::DrawHeldQuads() {
    if (heldQuads.Empty()) {
        return;
    }
    if (!context->alive) {
        heldQuads.Clear();
        return;
    }
    const GlSampler sampler = StageSampler();
    textureChanges += static_cast<uint32_t>(heldQuads.Groups().size());
    for (const GlQuadGroups::Group& group : heldQuads.Groups()) {
        if (group.texture != nullptr) {
            glBindTexture(GL_TEXTURE_2D, group.texture->Name());
            glEnable(GL_TEXTURE_2D);
            group.texture->ApplySampler(sampler);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        SetVertexPointers(reinterpret_cast<const uint8_t*>(group.vertices.data()));
        // Each quad split as its fan is, so that a group covers exactly the pixels the single
        // quads did.
        const auto quads = static_cast<uint32_t>(group.vertices.size() / 4);
        for (auto quad = static_cast<uint32_t>(quadIndices.size() / 6); quad < quads; ++quad) {
            const GLuint first = quad * 4;
            quadIndices.insert(quadIndices.end(),
                               {first, first + 1, first + 2, first, first + 2, first + 3});
        }
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_INT,
                       quadIndices.data());
    }
    heldQuads.Clear();
    glBindTexture(GL_TEXTURE_2D,
                  context->boundTexture != nullptr ? context->boundTexture->Name() : 0);
}

void GlDevice::SetVertexPointers(const uint8_t* base) {
    const auto step = static_cast<GLsizei>(sizeof(GfxVertex));
    glVertexPointer(3, GL_FLOAT, step, base + offsetof(GfxVertex, x));
    glColorPointer(context->bgraColours ? GL_BGRA : 4, GL_UNSIGNED_BYTE, step,
                   base + offsetof(GfxVertex, diffuse));
    glTexCoordPointer(2, GL_FLOAT, step, base + offsetof(GfxVertex, u));
}

void GlDevice::DrawVertices(GLenum mode, uint32_t startVertex, uint32_t count) {
    const GlVertexBuffer* source = context->streamSource;
    GlTexture* texture = context->boundTexture;
    if (texture != nullptr) {
        glEnable(GL_TEXTURE_2D);
        texture->ApplySampler(StageSampler());
    } else {
        // No texture: the vertex colour alone.
        glDisable(GL_TEXTURE_2D);
    }
    const uint8_t* base = source->Data() + static_cast<std::size_t>(startVertex) * stride;
    if (!context->bgraColours) {
        converted.resize(count);
        std::memcpy(converted.data(), base, count * sizeof(GfxVertex));
        for (GfxVertex& vertex : converted) {
            const uint32_t c = vertex.diffuse;
            vertex.diffuse = (c & 0xFF00FF00u) | ((c >> 16) & 0xFFu) | ((c & 0xFFu) << 16);
        }
        base = reinterpret_cast<const uint8_t*>(converted.data());
    }
    SetVertexPointers(base);
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
}

GfxResult GlDevice::Clear(uint32_t flags, uint32_t colour, float z, uint32_t) {
    FlushQuads();
    GLbitfield mask = 0;
    if ((flags & kClearTarget) != 0) {
        glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(colour & 0xFF) / 255.0f,
                     static_cast<float>(colour >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & kClearZBuffer) != 0) {
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    // A clear reaches the whole depth buffer whatever the depth-write state says.
    glDepthMask(GL_TRUE);
    glClear(mask);
    glDepthMask(State(RenderState::ZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
    return kGfxOk;
}

GfxResult GlDevice::BeginScene() {
    if (inScene) {
        return kGfxInvalidCall;
    }
    inScene = true;
    return kGfxOk;
}

GfxResult GlDevice::EndScene() {
    FlushQuads();
    if (!inScene) {
        return kGfxInvalidCall;
    }
    inScene = false;
    return kGfxOk;
}

GfxResult GlDevice::Present() {
    FlushQuads();
    if (atlas) {
        atlas->EndFrame();
    } else if (textureChanges > kTextureChangesForAtlas && !atlasTried) {
        atlasTried = true;
        atlas = GlTextureAtlas::Create(context);
    }
    textureChanges = 0;
    if (onWindow) {
        if (BackBufferCanBeWindow()) {
            SDL_GL_SwapWindow(context->window);
            WaitForFrameBefore();
            return kGfxOk;
        }
        if (!MoveOffWindow()) {
            return kGfxNotAvailable;
        }
    }
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(context->window, &drawableWidth, &drawableHeight);
    const PixelRect picture = window->DrawablePicture();
    const GlFunctions& gl = context->gl;
    if (gl.blitFramebuffer != nullptr) {
        PresentByBlit(drawableWidth, drawableHeight, picture);
        return kGfxOk;
    }
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (picture.width > 0 && picture.height > 0) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, colourBuffer);
        const bool scaled = picture.width != context->backBufferWidth ||
                            picture.height != context->backBufferHeight;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, scaled ? GL_LINEAR : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, scaled ? GL_LINEAR : GL_NEAREST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, drawableWidth, drawableHeight, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        const auto left = static_cast<float>(picture.x);
        const auto top = static_cast<float>(picture.y);
        const auto right = static_cast<float>(picture.x + picture.width);
        const auto bottom = static_cast<float>(picture.y + picture.height);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(left, top);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(right, top);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(right, bottom);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(left, bottom);
        glEnd();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    glPopAttrib();
    SDL_GL_SwapWindow(context->window);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, context->backBufferWidth, context->backBufferHeight);
    return kGfxOk;
}

// The cheapest exact way to the window: one copy of the picture, scaled only when the window's
// picture differs in size, and a clear only for the bars a letterboxed picture leaves.
void GlDevice::PresentByBlit(int drawableWidth, int drawableHeight, const PixelRect& picture) {
    const GlFunctions& gl = context->gl;
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const bool covered = picture.x <= 0 && picture.y <= 0 &&
                         picture.x + picture.width >= drawableWidth &&
                         picture.y + picture.height >= drawableHeight;
    if (!covered) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (picture.width > 0 && picture.height > 0) {
        const bool scaled = picture.width != context->backBufferWidth ||
                            picture.height != context->backBufferHeight;
        // The window's rows count from its bottom, as the picture's do.
        const int bottom = drawableHeight - (picture.y + picture.height);
        gl.blitFramebuffer(0, 0, context->backBufferWidth, context->backBufferHeight, picture.x,
                           bottom, picture.x + picture.width, bottom + picture.height,
                           GL_COLOR_BUFFER_BIT, scaled ? GL_LINEAR : GL_NEAREST);
    }
    glPopAttrib();
    SDL_GL_SwapWindow(context->window);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, context->backBufferWidth, context->backBufferHeight);
}

GfxResult GlDevice::ReadBackBuffer(const PixelRect& rect, std::vector<uint32_t>& pixels) {
    FlushQuads();
    if (rect.width <= 0 || rect.height <= 0 || rect.x < 0 || rect.y < 0 ||
        rect.x + rect.width > context->backBufferWidth ||
        rect.y + rect.height > context->backBufferHeight) {
        return kGfxInvalidCall;
    }
    const auto width = static_cast<std::size_t>(rect.width);
    std::vector<uint32_t> rows(width * static_cast<std::size_t>(rect.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(rect.x, context->backBufferHeight - rect.y - rect.height, rect.width, rect.height,
                 GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    // OpenGL gives the bottom row first.
    pixels.resize(rows.size());
    for (int row = 0; row < rect.height; ++row) {
        const uint32_t* from = rows.data() + (rect.height - 1 - row) * width;
        std::transform(from, from + width,
                       pixels.begin() + static_cast<std::ptrdiff_t>(row * width),
                       [](uint32_t pixel) { return pixel | 0xFF000000u; });
    }
    return kGfxOk;
}

GfxResult GlDevice::CopyBackBufferToTexture(const PixelRect& source, GfxTexture& target, int x,
                                            int y) {
    auto* const texture = dynamic_cast<GlTexture*>(&target);
    if (texture == nullptr || texture->Owner() != context.get() || texture->IsLocked()) {
        return kGfxInvalidCall;
    }
    std::vector<uint32_t> pixels;
    if (const GfxResult result = ReadBackBuffer(source, pixels); result != kGfxOk) {
        return result;
    }
    // Only the part that lands inside the texture is written.
    const auto textureWidth = static_cast<int>(texture->Width());
    const auto textureHeight = static_cast<int>(texture->Height());
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + source.width, textureWidth);
    const int bottom = std::min(y + source.height, textureHeight);
    if (left >= right || top >= bottom) {
        return kGfxOk;
    }
    const int regionWidth = right - left;
    std::vector<uint32_t> region(static_cast<std::size_t>(regionWidth) * (bottom - top));
    for (int targetY = top; targetY < bottom; ++targetY) {
        const uint32_t* from =
            pixels.data() + static_cast<std::size_t>(targetY - y) * source.width + (left - x);
        std::copy(from, from + regionWidth,
                  region.begin() + static_cast<std::ptrdiff_t>(targetY - top) * regionWidth);
    }
    texture->UploadRegion(left, top, regionWidth, bottom - top, region.data());
    return kGfxOk;
}

class GlSystem : public GraphicsSystem {
public:
    GfxResult GetDeviceCaps(DeviceCaps& caps) override {
        caps = DeviceCaps{kDevCapsHardwareTransformAndLight, kMaxTextureSide, kMaxTextureSide};
        return kGfxOk;
    }

    GfxResult GetAdapterDisplayMode(DisplayMode& mode) override {
        const std::optional<DesktopMode> desktop = DesktopDisplayMode();
        if (!desktop) {
            return kGfxNotAvailable;
        }
        mode = DisplayMode{static_cast<uint32_t>(desktop->width),
                           static_cast<uint32_t>(desktop->height), PixelFormat::X8R8G8B8};
        return kGfxOk;
    }

    GfxResult CreateDevice(Window* window, uint32_t, PresentParameters& parameters,
                           std::unique_ptr<GraphicsDevice>& device) override {
        return GlDevice::Create(window, parameters, device);
    }
};

} // namespace

std::unique_ptr<GraphicsSystem> CreateGlSystem() {
    if (!InitVideo()) {
        return nullptr;
    }
    return std::make_unique<GlSystem>();
}
