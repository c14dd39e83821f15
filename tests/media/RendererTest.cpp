#include "media/Renderer.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "media/TextureManager.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& exception) {
        return exception.Text();
    }
    return "(nothing thrown)";
}

// A plain quad: 20 x 10 at (x, y), no turn, full alpha, scale 1, pivot at the corner.
void DrawPlain(float x, float y, GfxTexture* texture = nullptr) {
    Renderer::DrawImage(x, y, 0.0f, 20.0f, 10.0f, 0.0f, 0.0f, 1.0f, 1.0f, texture, 0.0f, 1.0f, 1.0f,
                        nullptr, 0.0f, 0.0f);
}

class RendererTest : public RecordingMediaTest {};

TEST_F(RendererTest, InitCreatesTheDeviceWithTheGameStates) {
    LogCapture log;
    InitRenderer();

    ASSERT_EQ(script.deviceAttempts.size(), 1u);
    const PresentParameters& parameters = script.deviceAttempts[0];
    EXPECT_TRUE(parameters.windowed);
    EXPECT_EQ(parameters.backBufferFormat, PixelFormat::X8R8G8B8); // the desktop's
    EXPECT_EQ(parameters.backBufferCount, 1u);
    EXPECT_TRUE(parameters.enableAutoDepthStencil);
    EXPECT_EQ(parameters.autoDepthStencilFormat, PixelFormat::D16);
    EXPECT_EQ(parameters.presentationInterval, PresentInterval::Default);
    EXPECT_EQ(script.deviceBehaviours[0], kCreateHardwareVertexProcessing);
    for (const char* call :
         {"SetVertexShader 142", "CreateVertexBuffer 12288 142", "SetStreamSource 0 buffer 24",
          "SetRenderState Lighting 0", "SetRenderState AlphaBlendEnable 1",
          "SetRenderState SrcBlend 5", "SetRenderState DestBlend 6",
          "SetTextureStageState 0 AlphaOp 4", "SetTextureStageState 0 MagFilter 0",
          "SetTextureStageState 0 MinFilter 0", "SetTextureStageState 0 MipFilter 0",
          "CreateFont MS Sans Serif 12 700"}) {
        EXPECT_THAT(script.calls, Contains(call));
    }
    EXPECT_EQ(log.Text(), "Initializing D3D... done.\n");
    EXPECT_EQ(Renderer::State().width, 1024);
    EXPECT_EQ(Renderer::State().height, 768);
}

TEST_F(RendererTest, ProjectionMapsPixelsAndDepthsToTheDeviceRange) {
    InitRenderer();
    Matrix projection;
    Renderer::State().device->GetTransform(TransformType::Projection, projection);
    float nearTopLeft[3];
    float farBottomRight[3];
    TransformPoint(projection, 0.0f, 0.0f, 1000.0f, nearTopLeft);
    TransformPoint(projection, 1024.0f, 768.0f, -1000.0f, farBottomRight);
    EXPECT_FLOAT_EQ(nearTopLeft[0], -1.0f);
    EXPECT_FLOAT_EQ(nearTopLeft[1], 1.0f);
    EXPECT_FLOAT_EQ(nearTopLeft[2], 0.0f);
    EXPECT_FLOAT_EQ(farBottomRight[0], 1.0f);
    EXPECT_FLOAT_EQ(farBottomRight[1], -1.0f);
    EXPECT_FLOAT_EQ(farBottomRight[2], 1.0f);
}

TEST_F(RendererTest, TextureFilteringOptionSelectsLinearFilters) {
    App.textureFiltering = true;
    InitRenderer();
    EXPECT_THAT(script.calls, Contains("SetTextureStageState 0 MagFilter 2"));
    script.calls.clear();
    Renderer::SetTextureFilter(false);
    EXPECT_THAT(script.calls, ElementsAre("SetTextureStageState 0 MagFilter 0",
                                          "SetTextureStageState 0 MinFilter 0",
                                          "SetTextureStageState 0 MipFilter 0"));
}

TEST_F(RendererTest, FullScreenTakesTheArgumentsAndTheOptions) {
    App.maxFps = true;
    App.tripleBuffering = true;
    Renderer::Init(1024, 768, PixelFormat::R5G6B5, nullptr, false);
    const PresentParameters& parameters = script.deviceAttempts.at(0);
    EXPECT_FALSE(parameters.windowed);
    EXPECT_EQ(parameters.backBufferWidth, 1024u);
    EXPECT_EQ(parameters.backBufferHeight, 768u);
    EXPECT_EQ(parameters.backBufferFormat, PixelFormat::R5G6B5);
    EXPECT_EQ(parameters.backBufferCount, 2u);
    EXPECT_EQ(parameters.presentationInterval, PresentInterval::Immediate);
}

TEST_F(RendererTest, DesktopDecidesBetweenWindowAndFullScreen) {
    struct Case {
        DesktopMode desktop;
        bool windowed;
        bool smallDesktop;
    };
    for (const Case& c :
         {Case{{1024, 768, false}, false, true}, Case{{800, 600, false}, false, true},
          Case{{1025, 768, false}, true, false}, Case{{1920, 1080, false}, true, false}}) {
        ResetMedia();
        UseRecordingGraphics(script);
        script.deviceAttempts.clear();
        Seams().desktop = c.desktop;
        InitRenderer(true);
        SCOPED_TRACE(c.desktop.width);
        EXPECT_EQ(script.deviceAttempts.at(0).windowed, c.windowed);
        EXPECT_EQ(Renderer::State().smallDesktop, c.smallDesktop);
        EXPECT_EQ(App.fullScreen, c.smallDesktop);
    }
}

TEST_F(RendererTest, PortraitOrRotatedDesktopIsRefused) {
    for (const DesktopMode desktop :
         {DesktopMode{768, 1024, false}, DesktopMode{1920, 1080, true}}) {
        Seams().desktop = desktop;
        EXPECT_EQ(ThrownText([&] { InitRenderer(); }), "Video mode not supported.");
    }
}

TEST_F(RendererTest, DeviceFallsBackToFullScreenThenSixteenBits) {
    LogCapture log;
    script.createDeviceResults = {kGfxInvalidCall, kGfxNotAvailable, kGfxOk};
    InitRenderer(true);
    ASSERT_EQ(script.deviceAttempts.size(), 3u);
    EXPECT_TRUE(script.deviceAttempts[0].windowed);
    EXPECT_FALSE(script.deviceAttempts[1].windowed);
    EXPECT_EQ(script.deviceAttempts[1].backBufferWidth, 1024u);
    EXPECT_EQ(script.deviceAttempts[1].backBufferFormat, PixelFormat::X8R8G8B8);
    EXPECT_EQ(script.deviceAttempts[1].presentationInterval, PresentInterval::Default);
    EXPECT_EQ(script.deviceAttempts[2].backBufferFormat, PixelFormat::R5G6B5);
    EXPECT_THAT(log.Text(), HasSubstr("CreateDevice failed:D3DERR_INVALIDCALL\nCreateDevice "
                                      "failed:D3DERR_NOTAVAILABLE\n"));
}

TEST_F(RendererTest, DeviceThatCannotBeCreatedThrowsAfterTheLastAttempt) {
    script.createDeviceResults = {kGfxNotAvailable, kGfxNotAvailable, kGfxOutOfVideoMemory};
    EXPECT_EQ(ThrownText([&] { InitRenderer(true); }),
              "Direct3D: Can't create D3D device (D3DERR_OUTOFVIDEOMEMORY)");
    EXPECT_EQ(script.deviceAttempts.size(), 3u);

    // Starting in full screen there is no windowed attempt to fall back from.
    script.deviceAttempts.clear();
    script.createDeviceResults = {kGfxNotAvailable, kGfxNotAvailable};
    EXPECT_THROW(InitRenderer(false), Exception);
    EXPECT_EQ(script.deviceAttempts.size(), 2u);
}

TEST_F(RendererTest, SoftwareVertexProcessingWithoutHardwareTransform) {
    script.devCaps = 0;
    InitRenderer();
    EXPECT_EQ(script.deviceBehaviours.at(0), kCreateSoftwareVertexProcessing);
}

TEST_F(RendererTest, EveryInitFailureThrowsItsText) {
    struct Case {
        std::function<void(RecordingScript&)> arrange;
        const char* text;
    };
    const Case cases[] = {
        {[](RecordingScript& s) { s.capsResult = kGfxInvalidDevice; },
         "Direct3D: GetDeviceCaps execution failed (D3DERR_INVALIDDEVICE)"},
        {[](RecordingScript& s) { s.displayModeResult = kGfxNotAvailable; },
         "Direct3D: GetAdapterDisplayMode execution failed (D3DERR_NOTAVAILABLE)"},
        {[](RecordingScript& s) { s.failVertexShader = true; },
         "Direct3D: SetVertexShader execution failed (D3DERR_INVALIDCALL)"},
        {[](RecordingScript& s) { s.failVertexBuffer = true; },
         "Direct3D: CreateVertexBuffer execution failed (D3DERR_OUTOFVIDEOMEMORY)"},
        {[](RecordingScript& s) { s.failStreamSource = true; },
         "Direct3D: SetStreamSource execution failed (D3DERR_INVALIDCALL)"},
        {[](RecordingScript& s) { s.failFont = true; }, "Can't load basic font!"},
    };
    for (const Case& c : cases) {
        ResetMedia();
        RecordingScript fresh;
        c.arrange(fresh);
        UseRecordingGraphics(fresh);
        Seams().desktop = DesktopMode{1920, 1080, false};
        EXPECT_EQ(ThrownText([&] { InitRenderer(); }), c.text);
        ResetMedia();
    }
}

TEST_F(RendererTest, NoGraphicsSystemIsFatal) {
    SetGraphicsSystemFactory([] { return std::unique_ptr<GraphicsSystem>(); });
    EXPECT_EQ(ThrownText([&] { InitRenderer(); }),
              "Direct3D: Can't create Direct3D object!\nPlease make sure you have DirectX 8.1 (or "
              "higher) installed.");
}

TEST_F(RendererTest, ShutdownReleasesEverythingAndReportsTheCounters) {
    InitRenderer(false);
    DrawPlain(0, 0);
    DrawPlain(10, 10);
    DrawPlain(20, 20);
    DrawPlain(-100, 0);
    LogCapture log;
    script.calls.clear();
    Renderer::Shutdown();
    EXPECT_THAT(script.calls, ElementsAre("SetStreamSource 0 none 24", "Reset 1024x768 windowed 0",
                                          "ReleaseDevice"));
    EXPECT_EQ(script.devicesAlive, 0);
    EXPECT_EQ(log.Text(), "Closing D3D...  done.\nDrawImage - drawn: 3, skipped: 1 (25.0%)\n");

    // The counters go on across a re-created device.
    InitRenderer();
    DrawPlain(0, 0);
    EXPECT_EQ(Renderer::State().drawn, 4);
}

TEST_F(RendererTest, ShutdownWithoutDeviceOnlyLogs) {
    LogCapture log;
    Renderer::Shutdown();
    EXPECT_EQ(log.Text(), "Closing D3D...  done.\nDrawImage - drawn: 0, skipped: 0 ( 0.0%)\n");
}

TEST_F(RendererTest, CountersGoOnPastThirtyTwoBits) {
    InitRenderer();
    Renderer::State().drawn = 0xFFFFFFFFll;
    Renderer::State().skipped = 0x7FFFFFFFll;
    DrawPlain(0, 0);
    DrawPlain(-100, 0);
    EXPECT_EQ(Renderer::State().drawn, 0x100000000ll);
    EXPECT_EQ(Renderer::State().skipped, 0x80000000ll);
    LogCapture log;
    Renderer::Shutdown();
    EXPECT_THAT(log.Text(), HasSubstr("drawn: 4294967296, skipped: 2147483648 (33.3%)"));
}

TEST_F(RendererTest, QuadVerticesSitHalfAPixelBackWithTheirColour) {
    InitRenderer();
    Renderer::DrawImage(100, 50, 7, 20, 10, 0.25f, 0.5f, 0.75f, 1.0f, nullptr, 0, 0.5f, 1, nullptr,
                        0, 0);
    const QuadColour tint{1.0f, 0.5f, 0.0f};
    Renderer::DrawImage(100, 50, 7, 20, 10, 0, 0, 1, 1, nullptr, 0, 0.5f, 1, &tint, 0, 0);
    ASSERT_EQ(script.draws.size(), 2u);
    const RecordedDraw& draw = script.draws[0];
    EXPECT_EQ(draw.type, PrimitiveType::TriangleFan);
    EXPECT_EQ(draw.primitiveCount, 2u);
    const float expected[4][4] = {{99.5f, 49.5f, 0.25f, 0.5f},
                                  {119.5f, 49.5f, 0.75f, 0.5f},
                                  {119.5f, 59.5f, 0.75f, 1.0f},
                                  {99.5f, 59.5f, 0.25f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(draw.vertices[i].x, expected[i][0]);
        EXPECT_FLOAT_EQ(draw.vertices[i].y, expected[i][1]);
        EXPECT_FLOAT_EQ(draw.vertices[i].z, 7.0f);
        EXPECT_FLOAT_EQ(draw.vertices[i].u, expected[i][2]);
        EXPECT_FLOAT_EQ(draw.vertices[i].v, expected[i][3]);
        // Without a tint alpha is truncated; with one every channel is rounded.
        EXPECT_EQ(draw.vertices[i].diffuse, 0x7FFFFFFFu);
        EXPECT_EQ(script.draws[1].vertices[i].diffuse, 0x80FF8000u);
    }
}

TEST_F(RendererTest, ColourChannelsClampAtTheEnds) {
    InitRenderer();
    const QuadColour beyond{2.0f, -1.0f, 1.0f};
    Renderer::DrawImage(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 3.0f, 1, &beyond, 0, 0);
    Renderer::DrawImage(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 3.0f, 1, nullptr, 0, 0);
    Renderer::DrawImage(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, -0.5f, 1, nullptr, 0, 0);
    ASSERT_EQ(script.draws.size(), 3u);
    EXPECT_EQ(script.draws[0].vertices[0].diffuse, 0xFFFF00FFu);
    EXPECT_EQ(script.draws[1].vertices[0].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(script.draws[2].vertices[0].diffuse, 0x00FFFFFFu);
}

TEST_F(RendererTest, RotationTurnsClockwiseAboutThePivot) {
    InitRenderer();
    // 40 x 20 turned a quarter about its centre stays centred on (300, 200), now 20 wide.
    Renderer::DrawImage(300, 200, 0, 40, 20, 0, 0, 1, 1, nullptr, 90, 1, 1, nullptr, 20, 10);
    ASSERT_EQ(script.draws.size(), 1u);
    const std::vector<GfxVertex>& v = script.draws[0].vertices;
    // The top-left corner goes to the top right on screen.
    EXPECT_NEAR(v[0].x + 0.5f, 310.0f, 1e-3);
    EXPECT_NEAR(v[0].y + 0.5f, 180.0f, 1e-3);
    EXPECT_NEAR(v[2].x + 0.5f, 290.0f, 1e-3);
    EXPECT_NEAR(v[2].y + 0.5f, 220.0f, 1e-3);
    float centreX = 0;
    float centreY = 0;
    for (const GfxVertex& vertex : v) {
        centreX += (vertex.x + 0.5f) / 4;
        centreY += (vertex.y + 0.5f) / 4;
    }
    EXPECT_NEAR(centreX, 300.0f, 1e-3);
    EXPECT_NEAR(centreY, 200.0f, 1e-3);
}

TEST_F(RendererTest, ScaleGrowsAboutThePivot) {
    InitRenderer();
    Renderer::DrawImage(100, 100, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 1, 2, nullptr, 5, 5);
    const std::vector<GfxVertex>& v = script.draws.at(0).vertices;
    EXPECT_FLOAT_EQ(v[0].x, 89.5f);
    EXPECT_FLOAT_EQ(v[2].y, 109.5f);
}

TEST_F(RendererTest, OffScreenQuadsAreSkippedWithoutDeviceCalls) {
    struct Case {
        float x, y;
        bool drawn;
    };
    // A 20 x 10 quad with its top-left corner at (x, y).
    const Case cases[] = {{-21.5f, 100, false}, {-20.5f, 100, true}, {-21.0f, 100, true},
                          {100, -11.5f, false}, {100, -10.5f, true}, {1025, 100, false},
                          {1024.5f, 100, true}, {100, 769, false},   {100, 768.5f, true}};
    InitRenderer();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        const int64_t drawn = Renderer::State().drawn;
        const int64_t skipped = Renderer::State().skipped;
        script.calls.clear();
        DrawPlain(c.x, c.y);
        EXPECT_EQ(Renderer::State().drawn - drawn, c.drawn ? 1 : 0);
        EXPECT_EQ(Renderer::State().skipped - skipped, c.drawn ? 0 : 1);
        EXPECT_EQ(script.calls.empty(), !c.drawn);
    }
}

TEST_F(RendererTest, NothingDrawnOrCountedForZeroSizeScaleOrAlpha) {
    InitRenderer();
    script.calls.clear();
    Renderer::DrawImage(0, 0, 0, 0, 10, 0, 0, 1, 1, nullptr, 0, 1, 1, nullptr, 0, 0);
    Renderer::DrawImage(0, 0, 0, 10, 0, 0, 0, 1, 1, nullptr, 0, 1, 1, nullptr, 0, 0);
    Renderer::DrawImage(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 0, 1, nullptr, 0, 0);
    Renderer::DrawImage(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 1, 0, nullptr, 0, 0);
    EXPECT_TRUE(script.calls.empty());
    EXPECT_EQ(Renderer::State().drawn, 0);
    EXPECT_EQ(Renderer::State().skipped, 0);
}

TEST_F(RendererTest, RingRewindsWithADiscardLockAfter128Quads) {
    InitRenderer();
    for (int i = 0; i < 128; ++i) {
        DrawPlain(0, 0);
    }
    EXPECT_EQ(Renderer::State().ringPosition, 512u);
    EXPECT_EQ(script.draws.back().startVertex, 508u);
    script.calls.clear();
    DrawPlain(0, 0);
    EXPECT_EQ(script.calls.front(), "Lock 0 96 Discard");
    EXPECT_EQ(script.draws.back().startVertex, 0u);
    EXPECT_EQ(Renderer::State().ringPosition, 4u);
    script.calls.clear();
    DrawPlain(0, 0);
    EXPECT_EQ(script.calls.front(), "Lock 96 96 NoOverwrite");
}

TEST_F(RendererTest, FailedLockDropsTheQuadAndRestartsTheRing) {
    InitRenderer();
    DrawPlain(0, 0);
    DrawPlain(0, 0);
    script.failVertexLocks = 1;
    script.calls.clear();
    DrawPlain(0, 0);
    EXPECT_THAT(script.calls, ElementsAre("Lock 192 96 NoOverwrite"));
    EXPECT_EQ(Renderer::State().ringPosition, 0u);
    DrawPlain(0, 0);
    EXPECT_EQ(script.draws.back().startVertex, 0u);
}

TEST_F(RendererTest, TextureIsBoundOnlyWhenItChanges) {
    InitRenderer();
    std::unique_ptr<GfxTexture> first = Renderer::CreateBlankTexture(8, 8, true);
    std::unique_ptr<GfxTexture> second = Renderer::CreateBlankTexture(8, 8, true);
    script.calls.clear();
    DrawPlain(0, 0, first.get());
    DrawPlain(0, 0, first.get());
    DrawPlain(0, 0, second.get());
    DrawPlain(0, 0, nullptr);
    DrawPlain(0, 0, nullptr);
    DrawPlain(0, 0, second.get());
    const std::string one = "SetTexture 0 #" + std::to_string(RecordedTextureId(first.get()));
    const std::string two = "SetTexture 0 #" + std::to_string(RecordedTextureId(second.get()));
    EXPECT_THAT(script.CallsStartingWith("SetTexture"),
                ElementsAre(one, two, "SetTexture 0 #0", "SetTexture 0 #0", two));
    Renderer::ResetTexture();
    EXPECT_EQ(Renderer::State().currentTexture, nullptr);
}

TEST_F(RendererTest, DrawQuadSkipsNullHandlesAndDrawsEmptyOnesUntextured) {
    InitRenderer();
    DrawQuad(0, 0, 0, 10, 10, 0, 0, 1, 1, nullptr, 0, 1, 1, nullptr, 0, 0);
    EXPECT_TRUE(script.draws.empty());
    TextureHandle empty;
    DrawQuadForwarder(0, 0, 0, 10, 10, 0, 0, 1, 1, &empty, 0, 1, 1, nullptr, 0, 0);
    ASSERT_EQ(script.draws.size(), 1u);
    EXPECT_EQ(script.draws[0].texture, 0);
}

TEST_F(RendererTest, NineSliceDrawsNineCellsAroundAStretchedCentre) {
    InitRenderer();
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::CreateTexture(handle, 32, 16, true));
    // Borders: top 2, right 3, bottom 4, left 5; the centre is 50 x 20.
    Renderer::DrawNineSlice(100, 200, 5, 50, 20, &handle, 32, 16, 2, 3, 4, 5, 1);
    ASSERT_EQ(script.draws.size(), 9u);
    const float xs[3][2] = {{100, 105}, {105, 155}, {155, 158}};
    const float ys[3][2] = {{200, 202}, {202, 222}, {222, 226}};
    const float us[3][2] = {{0, 5 / 32.0f}, {5 / 32.0f, 9 / 32.0f}, {9 / 32.0f, 12 / 32.0f}};
    const float vs[3][2] = {{0, 2 / 16.0f}, {2 / 16.0f, 6 / 16.0f}, {6 / 16.0f, 10 / 16.0f}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << row << "," << column);
            const std::vector<GfxVertex>& v = script.draws[row * 3 + column].vertices;
            EXPECT_FLOAT_EQ(v[0].x + 0.5f, xs[column][0]);
            EXPECT_FLOAT_EQ(v[2].x + 0.5f, xs[column][1]);
            EXPECT_FLOAT_EQ(v[0].y + 0.5f, ys[row][0]);
            EXPECT_FLOAT_EQ(v[2].y + 0.5f, ys[row][1]);
            EXPECT_FLOAT_EQ(v[0].u, us[column][0]);
            EXPECT_FLOAT_EQ(v[2].u, us[column][1]);
            EXPECT_FLOAT_EQ(v[0].v, vs[row][0]);
            EXPECT_FLOAT_EQ(v[2].v, vs[row][1]);
        }
    }
    script.draws.clear();
    Renderer::DrawNineSlice(100, 200, 5, 0, 20, &handle, 32, 16, 2, 3, 4, 5, 1);
    EXPECT_TRUE(script.draws.empty());
}

TEST_F(RendererTest, DebugTextColourIsRoundedAndPositionTruncated) {
    InitRenderer();
    Renderer::DrawDebugText(2.9f, 3.2f, "60", 1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_THAT(script.CallsStartingWith("DrawText"), ElementsAre("DrawText 2 3 FFFF8000 60"));
}

TEST_F(RendererTest, RenderStateWrappers) {
    InitRenderer();
    script.calls.clear();
    Renderer::SetBlendMode(4);
    Renderer::SetBlendMode(1);
    Renderer::SetAlphaTest(true, 100, true);
    Renderer::SetAlphaTest(true, 50, false);
    Renderer::SetAlphaTest(false, 0, false);
    Renderer::SetAlphaBlendEnable(false);
    Renderer::SetZWriteEnable(false);
    EXPECT_THAT(script.calls,
                ElementsAre("SetRenderState SrcBlend 5", "SetRenderState DestBlend 6",
                            "SetRenderState SrcBlend 5", "SetRenderState DestBlend 2",
                            "SetRenderState AlphaTestEnable 1", "SetRenderState AlphaFunc 3",
                            "SetRenderState AlphaRef 100", "SetRenderState AlphaTestEnable 1",
                            "SetRenderState AlphaFunc 5", "SetRenderState AlphaRef 50",
                            "SetRenderState AlphaTestEnable 0", "SetRenderState AlphaRef 8",
                            "SetRenderState AlphaFunc 7", "SetRenderState AlphaBlendEnable 0",
                            "SetRenderState ZWriteEnable 0"));
}

TEST_F(RendererTest, FrameCallsReachTheDevice) {
    InitRenderer();
    script.calls.clear();
    EXPECT_EQ(Renderer::Clear(), kGfxOk);
    EXPECT_EQ(Renderer::BeginScene(), kGfxOk);
    EXPECT_EQ(Renderer::EndScene(), kGfxOk);
    EXPECT_EQ(Renderer::Present(), kGfxOk);
    EXPECT_THAT(script.calls,
                ElementsAre("Clear 3 00000000 1.0 0", "BeginScene", "EndScene", "Present"));
}

TEST_F(RendererTest, ErrorNames) {
    EXPECT_STREQ(Renderer::ErrorName(0x8007000E), "E_OUTOFMEMORY");
    EXPECT_STREQ(Renderer::ErrorName(0x8876017C), "D3DERR_OUTOFVIDEOMEMORY");
    EXPECT_STREQ(Renderer::ErrorName(0x8876086A), "D3DERR_NOTAVAILABLE");
    EXPECT_STREQ(Renderer::ErrorName(0x8876086B), "D3DERR_INVALIDDEVICE");
    EXPECT_STREQ(Renderer::ErrorName(0x8876086C), "D3DERR_INVALIDCALL");
    EXPECT_STREQ(Renderer::ErrorName(0x88760868), "Unknown error");
    EXPECT_STREQ(Renderer::ErrorName(0), "Unknown error");
}

TEST_F(RendererTest, LoadTexturePadsToPowersOfTwoWithTransparentBlack) {
    InitRenderer();
    folder.Write("pic.png", PngFile(SolidImage(3, 5, 0x80102030u)));
    const std::unique_ptr<GfxTexture> texture = Renderer::LoadTexture("pic.png", true);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Width(), 4u);
    EXPECT_EQ(texture->Height(), 8u);
    EXPECT_EQ(texture->Format(), PixelFormat::A8R8G8B8);
    const std::vector<uint32_t> pixels = TexturePixels(*texture);
    EXPECT_EQ(pixels[0], 0x80102030u);
    EXPECT_EQ(pixels[4 * 4 + 2], 0x80102030u);
    EXPECT_EQ(pixels[3], 0u);         // right of the image
    EXPECT_EQ(pixels[5 * 4 + 0], 0u); // below it
}

TEST_F(RendererTest, UnloadableImagesGiveNoTextureAndTheLogLine) {
    InitRenderer();
    const std::string jpeg = JpegFile(SolidImage(64, 64, 0xFF336699u));
    const std::string png = PngFile(SolidImage(16, 16, 0xFF336699u));
    std::string badPng = png;
    badPng[20] = static_cast<char>(badPng[20] ^ 0x55); // inside the header chunk: its CRC fails
    folder.Write("cut.jpg", jpeg.substr(0, jpeg.size() / 2));
    folder.Write("bad.png", badPng);
    folder.Write("cut.png", png.substr(0, png.size() - 20));
    folder.Write("empty.png", "");
    folder.Write("text.png", "not an image at all");
    script.maxTextureSide = 32;
    folder.Write("large.png", PngFile(SolidImage(33, 8, 0xFF000000u)));
    for (const char* name :
         {"cut.jpg", "bad.png", "cut.png", "empty.png", "text.png", "large.png", "missing.png"}) {
        SCOPED_TRACE(name);
        LogCapture log;
        EXPECT_FALSE(Renderer::LoadTexture(name, true));
        EXPECT_EQ(log.Text(), std::string("Could not load texture: ") + name + "\n");
    }
    LogCapture quiet;
    EXPECT_FALSE(Renderer::LoadTexture("missing.png", false));
    EXPECT_EQ(quiet.Text(), "");
    EXPECT_EQ(script.texturesAlive, 0);
}

TEST_F(RendererTest, MergeAlphaTakesTheRedChannelAndClampsASmallerAlphaImage) {
    InitRenderer();
    std::unique_ptr<GfxTexture> colour = Renderer::CreateBlankTexture(8, 4, true);
    std::unique_ptr<GfxTexture> alpha = Renderer::CreateBlankTexture(2, 2, true);
    LockedRect locked;
    ASSERT_EQ(colour->LockRect(0, locked, 0), kGfxOk);
    std::fill_n(static_cast<uint32_t*>(locked.bits), 32, 0x11223344u);
    colour->UnlockRect(0);
    ASSERT_EQ(alpha->LockRect(0, locked, 0), kGfxOk);
    auto* a = static_cast<uint32_t*>(locked.bits);
    a[0] = 0x00100000u; // red 0x10
    a[1] = 0x00200000u;
    a[2] = 0x00300000u;
    a[3] = 0xFF40FFFFu; // only red counts
    alpha->UnlockRect(0);

    EXPECT_TRUE(Renderer::MergeAlphaImage(colour.get(), alpha.get()));
    const std::vector<uint32_t> pixels = TexturePixels(*colour);
    EXPECT_EQ(pixels[0], 0x10223344u);
    EXPECT_EQ(pixels[1], 0x20223344u);
    EXPECT_EQ(pixels[7], 0x20223344u);         // past the alpha image's right edge
    EXPECT_EQ(pixels[3 * 8 + 0], 0x30223344u); // below its bottom edge
    EXPECT_EQ(pixels[3 * 8 + 7], 0x40223344u);
    EXPECT_FALSE(Renderer::MergeAlphaImage(colour.get(), nullptr));
}

} // namespace

namespace {

// A texture of no device, for placing in storage of the test's choosing.
class StorageTexture : public GfxTexture {
public:
    uint32_t Width() const override { return 1; }
    uint32_t Height() const override { return 1; }
    PixelFormat Format() const override { return PixelFormat::A8R8G8B8; }
    uint32_t LevelCount() const override { return 1; }
    GfxResult LockRect(uint32_t, LockedRect&, uint32_t) override { return kGfxInvalidCall; }
    GfxResult UnlockRect(uint32_t) override { return kGfxInvalidCall; }
};

TEST_F(RendererTest, TextureMadeWhereTheCurrentOneLayIsBoundAnew) {
    InitRenderer();
    alignas(StorageTexture) unsigned char storage[sizeof(StorageTexture)];
    auto* first = new (storage) StorageTexture;
    script.calls.clear();
    DrawPlain(0, 0, first);
    first->~StorageTexture();
    auto* second = new (storage) StorageTexture;
    DrawPlain(0, 0, second);
    EXPECT_EQ(script.CallsStartingWith("SetTexture 0 #").size(), 2u);
    second->~StorageTexture();
}

} // namespace
