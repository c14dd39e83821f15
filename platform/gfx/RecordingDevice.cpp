#include "platform/gfx/RecordingDevice.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Line(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

// The next scripted result, or success when none is left.
GfxResult NextResult(std::deque<GfxResult>& results) {
    if (results.empty()) {
        return kGfxOk;
    }
    const GfxResult result = results.front();
    results.pop_front();
    return result;
}

const char* LockName(uint32_t flags) {
    if ((flags & kLockDiscard) != 0) {
        return "Discard";
    }
    if ((flags & kLockNoOverwrite) != 0) {
        return "NoOverwrite";
    }
    return "0";
}

const char* PrimitiveName(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::TriangleList:
        return "TriangleList";
    case PrimitiveType::TriangleStrip:
        return "TriangleStrip";
    case PrimitiveType::TriangleFan:
        return "TriangleFan";
    }
    return "?";
}

class RecordingTexture : public GfxTexture {
public:
    RecordingTexture(RecordingScript& script, uint32_t width, uint32_t height, PixelFormat format)
        : script(script), id(script.nextTextureId++), width(width), height(height), format(format),
          pixels(static_cast<std::size_t>(width) * height, 0u) {
        ++script.texturesAlive;
    }
    ~RecordingTexture() override { --script.texturesAlive; }

    uint32_t Width() const override { return width; }
    uint32_t Height() const override { return height; }
    PixelFormat Format() const override { return format; }
    uint32_t LevelCount() const override { return 1; }

    GfxResult LockRect(uint32_t level, LockedRect& locked, uint32_t) override {
        if (level != 0 || isLocked) {
            return kGfxInvalidCall;
        }
        isLocked = true;
        locked.bits = pixels.data();
        locked.pitch = static_cast<int32_t>(width * sizeof(uint32_t));
        return kGfxOk;
    }

    GfxResult UnlockRect(uint32_t level) override {
        if (level != 0 || !isLocked) {
            return kGfxInvalidCall;
        }
        isLocked = false;
        return kGfxOk;
    }

    int Id() const { return id; }

private:
    RecordingScript& script;
    int id;
    uint32_t width;
    uint32_t height;
    PixelFormat format;
    std::vector<uint32_t> pixels;
    bool isLocked = false;
};

class RecordingVertexBuffer : public GfxVertexBuffer {
public:
    RecordingVertexBuffer(RecordingScript& script, uint32_t length)
        : script(script), bytes(length, 0) {}

    uint32_t Length() const override { return static_cast<uint32_t>(bytes.size()); }

    GfxResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override {
        script.calls.push_back(Line("Lock %u %u %s", offset, size, LockName(flags)));
        const uint64_t end = static_cast<uint64_t>(offset) + (size == 0 ? Length() - offset : size);
        if (script.failVertexLocks > 0) {
            --script.failVertexLocks;
            return kGfxInvalidCall;
        }
        if (locked || data == nullptr || offset > Length() || end > Length()) {
            return kGfxInvalidCall;
        }
        locked = true;
        *data = bytes.data() + offset;
        return kGfxOk;
    }

    GfxResult Unlock() override {
        script.calls.emplace_back("Unlock");
        if (!locked) {
            return kGfxInvalidCall;
        }
        locked = false;
        return kGfxOk;
    }

    const uint8_t* Data() const { return bytes.data(); }

private:
    RecordingScript& script;
    std::vector<uint8_t> bytes;
    bool locked = false;
};

class RecordingFont : public GfxFont {
public:
    explicit RecordingFont(RecordingScript& script) : script(script) {}

    int DrawText(const char* text, int length, int x, int y, uint32_t colour) override {
        const std::string drawn =
            length < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(length));
        script.texts.push_back(drawn);
        script.calls.push_back(Line("DrawText %d %d %08X %s", x, y, colour, drawn.c_str()));
        return 12;
    }

private:
    RecordingScript& script;
};

class RecordingDevice : public GraphicsDevice {
public:
    RecordingDevice(RecordingScript& script, const PresentParameters& parameters)
        : script(script), parameters(parameters) {
        ++script.devicesAlive;
    }
    ~RecordingDevice() override {
        script.calls.emplace_back("ReleaseDevice");
        --script.devicesAlive;
    }

    GfxResult Reset(PresentParameters& newParameters) override {
        script.calls.push_back(Line("Reset %ux%u windowed %d", newParameters.backBufferWidth,
                                    newParameters.backBufferHeight, newParameters.windowed));
        parameters = newParameters;
        return kGfxOk;
    }
    GfxResult TestCooperativeLevel() override { return NextResult(script.cooperativeLevelResults); }
    GfxResult GetDeviceCaps(DeviceCaps& caps) override {
        caps = DeviceCaps{script.devCaps, script.maxTextureSide, script.maxTextureSide};
        return kGfxOk;
    }

    GfxResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, PixelFormat format,
                            std::unique_ptr<GfxTexture>& texture) override {
        if (script.failTextures || width == 0 || height == 0 || width > script.maxTextureSide ||
            height > script.maxTextureSide || levels > 1 ||
            (format != PixelFormat::A8R8G8B8 && format != PixelFormat::X8R8G8B8)) {
            script.calls.push_back(Line("CreateTexture %ux%u failed", width, height));
            return kGfxInvalidCall;
        }
        auto created = std::make_unique<RecordingTexture>(script, width, height, format);
        script.calls.push_back(Line("CreateTexture %ux%u format %u #%d", width, height,
                                    static_cast<uint32_t>(format), created->Id()));
        texture = std::move(created);
        return kGfxOk;
    }

    GfxResult CreateVertexBuffer(uint32_t length, uint32_t format,
                                 std::unique_ptr<GfxVertexBuffer>& buffer) override {
        script.calls.push_back(Line("CreateVertexBuffer %u %X", length, format));
        if (script.failVertexBuffer) {
            return kGfxOutOfVideoMemory;
        }
        buffer = std::make_unique<RecordingVertexBuffer>(script, length);
        return kGfxOk;
    }

    GfxResult CreateFont(int height, int weight, const char* faceName,
                         std::unique_ptr<GfxFont>& font) override {
        script.calls.push_back(Line("CreateFont %s %d %d", faceName, height, weight));
        if (script.failFont) {
            return kGfxInvalidCall;
        }
        font = std::make_unique<RecordingFont>(script);
        return kGfxOk;
    }

    GfxResult SetVertexShader(uint32_t format) override {
        script.calls.push_back(Line("SetVertexShader %X", format));
        return script.failVertexShader ? kGfxInvalidCall : kGfxOk;
    }

    GfxResult SetStreamSource(uint32_t stream, GfxVertexBuffer* buffer, uint32_t stride) override {
        script.calls.push_back(Line("SetStreamSource %u %s %u", stream,
                                    buffer != nullptr ? "buffer" : "none", stride));
        if (script.failStreamSource) {
            return kGfxInvalidCall;
        }
        source = dynamic_cast<RecordingVertexBuffer*>(buffer);
        return kGfxOk;
    }

    GfxResult SetRenderState(RenderState state, uint32_t value) override {
        script.calls.push_back(Line("SetRenderState %s %u", RenderStateName(state), value));
        renderStates[state] = value;
        return kGfxOk;
    }
    GfxResult GetRenderState(RenderState state, uint32_t& value) override {
        value = renderStates[state];
        return kGfxOk;
    }
    GfxResult SetTextureStageState(uint32_t stage, TextureStageState state,
                                   uint32_t value) override {
        script.calls.push_back(
            Line("SetTextureStageState %u %s %u", stage, TextureStageStateName(state), value));
        stageStates[state] = value;
        return kGfxOk;
    }
    GfxResult GetTextureStageState(uint32_t, TextureStageState state, uint32_t& value) override {
        value = stageStates[state];
        return kGfxOk;
    }

    GfxResult SetTexture(uint32_t stage, GfxTexture* texture) override {
        bound = RecordedTextureId(texture);
        script.calls.push_back(Line("SetTexture %u #%d", stage, bound));
        return kGfxOk;
    }

    GfxResult SetTransform(TransformType type, const Matrix& matrix) override {
        script.calls.push_back(Line("SetTransform %u", static_cast<uint32_t>(type)));
        transforms[type] = matrix;
        return kGfxOk;
    }
    GfxResult GetTransform(TransformType type, Matrix& matrix) override {
        const auto found = transforms.find(type);
        matrix = found != transforms.end() ? found->second : MatrixIdentity();
        return kGfxOk;
    }

    GfxResult DrawPrimitive(PrimitiveType type, uint32_t startVertex,
                            uint32_t primitiveCount) override {
        script.calls.push_back(
            Line("DrawPrimitive %s %u %u", PrimitiveName(type), startVertex, primitiveCount));
        if (source == nullptr) {
            return kGfxInvalidCall;
        }
        const uint32_t count =
            type == PrimitiveType::TriangleList ? primitiveCount * 3 : primitiveCount + 2;
        if ((static_cast<uint64_t>(startVertex) + count) * sizeof(GfxVertex) > source->Length()) {
            return kGfxInvalidCall;
        }
        RecordedDraw draw{type, startVertex, primitiveCount, bound, {}};
        draw.vertices.resize(count);
        std::memcpy(draw.vertices.data(), source->Data() + startVertex * sizeof(GfxVertex),
                    count * sizeof(GfxVertex));
        script.draws.push_back(std::move(draw));
        return kGfxOk;
    }

    GfxResult Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override {
        script.calls.push_back(Line("Clear %u %08X %.1f %u", flags, colour, z, stencil));
        return kGfxOk;
    }
    GfxResult BeginScene() override {
        script.calls.emplace_back("BeginScene");
        return kGfxOk;
    }
    GfxResult EndScene() override {
        script.calls.emplace_back("EndScene");
        return kGfxOk;
    }
    GfxResult Present() override {
        script.calls.emplace_back("Present");
        return NextResult(script.presentResults);
    }

    GfxResult ReadBackBuffer(const PixelRect& rect, std::vector<uint32_t>& pixels) override {
        pixels.assign(static_cast<std::size_t>(std::max(rect.width, 0)) *
                          static_cast<std::size_t>(std::max(rect.height, 0)),
                      0xFF000000u);
        return kGfxOk;
    }
    GfxResult CopyBackBufferToTexture(const PixelRect&, GfxTexture&, int, int) override {
        script.calls.emplace_back("CopyBackBufferToTexture");
        return kGfxOk;
    }

private:
    RecordingScript& script;
    PresentParameters parameters;
    RecordingVertexBuffer* source = nullptr;
    int bound = 0;
    std::map<RenderState, uint32_t> renderStates;
    std::map<TextureStageState, uint32_t> stageStates;
    std::map<TransformType, Matrix> transforms;
};

class RecordingSystem : public GraphicsSystem {
public:
    explicit RecordingSystem(RecordingScript& script) : script(script) {}

    GfxResult GetDeviceCaps(DeviceCaps& caps) override {
        caps = DeviceCaps{script.devCaps, script.maxTextureSide, script.maxTextureSide};
        return script.capsResult;
    }
    GfxResult GetAdapterDisplayMode(DisplayMode& mode) override {
        mode = script.displayMode;
        return script.displayModeResult;
    }
    GfxResult CreateDevice(Window*, uint32_t behaviour, PresentParameters& parameters,
                           std::unique_ptr<GraphicsDevice>& device) override {
        script.deviceAttempts.push_back(parameters);
        script.deviceBehaviours.push_back(behaviour);
        script.calls.push_back(Line("CreateDevice %ux%u format %u windowed %d",
                                    parameters.backBufferWidth, parameters.backBufferHeight,
                                    static_cast<uint32_t>(parameters.backBufferFormat),
                                    parameters.windowed));
        GfxResult result = kGfxOk;
        if (!script.createDeviceResults.empty()) {
            result = script.createDeviceResults.front();
            script.createDeviceResults.pop_front();
        }
        if (result == kGfxOk) {
            device = std::make_unique<RecordingDevice>(script, parameters);
        }
        return result;
    }

private:
    RecordingScript& script;
};

} // namespace

std::vector<std::string> RecordingScript::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

void UseRecordingGraphics(RecordingScript& script) {
    SetGraphicsSystemFactory([&script] { return std::make_unique<RecordingSystem>(script); });
}

int RecordedTextureId(const GfxTexture* texture) {
    const auto* recorded = dynamic_cast<const RecordingTexture*>(texture);
    return recorded != nullptr ? recorded->Id() : 0;
}

const char* RenderStateName(RenderState state) {
    switch (state) {
    case RenderState::ZEnable:
        return "ZEnable";
    case RenderState::ZWriteEnable:
        return "ZWriteEnable";
    case RenderState::AlphaTestEnable:
        return "AlphaTestEnable";
    case RenderState::SrcBlend:
        return "SrcBlend";
    case RenderState::DestBlend:
        return "DestBlend";
    case RenderState::CullMode:
        return "CullMode";
    case RenderState::ZFunc:
        return "ZFunc";
    case RenderState::AlphaRef:
        return "AlphaRef";
    case RenderState::AlphaFunc:
        return "AlphaFunc";
    case RenderState::AlphaBlendEnable:
        return "AlphaBlendEnable";
    case RenderState::Lighting:
        return "Lighting";
    case RenderState::BlendOp:
        return "BlendOp";
    }
    return "?";
}

const char* TextureStageStateName(TextureStageState state) {
    switch (state) {
    case TextureStageState::ColorOp:
        return "ColorOp";
    case TextureStageState::AlphaOp:
        return "AlphaOp";
    case TextureStageState::AddressU:
        return "AddressU";
    case TextureStageState::AddressV:
        return "AddressV";
    case TextureStageState::MagFilter:
        return "MagFilter";
    case TextureStageState::MinFilter:
        return "MinFilter";
    case TextureStageState::MipFilter:
        return "MipFilter";
    }
    return "?";
}
