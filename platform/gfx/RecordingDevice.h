#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <deque>
#include <string>
#include <vector>

// One draw call as the recording device saw it.
struct RecordedDraw {
    PrimitiveType type = PrimitiveType::TriangleList;
    uint32_t startVertex = 0;
    uint32_t primitiveCount = 0;
    int texture = 0; // the bound texture's id, 0 for none
    std::vector<GfxVertex> vertices;
};

// The scripted face of the graphics layer, for tests where pixels are not the point: how the
// recording system and its devices are told to behave, and what they did. Textures keep their
// pixels in memory and are numbered from 1 in order of creation.
struct RecordingScript {
    // Results of the next device creations, in order; when empty, creation succeeds.
    std::deque<GfxResult> createDeviceResults;
    GfxResult capsResult = kGfxOk;
    GfxResult displayModeResult = kGfxOk;
    DisplayMode displayMode{1280, 1024, PixelFormat::X8R8G8B8};
    uint32_t devCaps = kDevCapsHardwareTransformAndLight;
    uint32_t maxTextureSide = 4096;
    bool failVertexShader = false;
    bool failVertexBuffer = false;
    bool failStreamSource = false;
    bool failFont = false;
    bool failTextures = false;
    // The next this many vertex-buffer locks fail.
    int failVertexLocks = 0;
    // Results of the next cooperative-level tests and presents, in order; when empty, success.
    std::deque<GfxResult> cooperativeLevelResults;
    std::deque<GfxResult> presentResults;

    // Every call, one line each ("SetRenderState ZFunc 8", "SetTexture 0 #2",
    // "Lock 96 96 NoOverwrite", "DrawPrimitive TriangleFan 4 2", "CreateDevice ...").
    std::vector<std::string> calls;
    std::vector<RecordedDraw> draws;
    // Parameters and behaviour flags of every device creation attempt.
    std::vector<PresentParameters> deviceAttempts;
    std::vector<uint32_t> deviceBehaviours;
    std::vector<std::string> texts; // debug texts drawn
    int devicesAlive = 0;
    int texturesAlive = 0;
    int nextTextureId = 1;

    // The calls whose line begins with prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
};

// Makes CreateGraphicsSystem give recording systems that follow and fill the script, until the
// factory is set again.
void UseRecordingGraphics(RecordingScript& script);

// The id of a texture made by a recording device; 0 for null or any other texture.
int RecordedTextureId(const GfxTexture* texture);

// The names the call lines use.
const char* RenderStateName(RenderState state);
const char* TextureStageStateName(TextureStageState state);
