// The renderer on the real OpenGL device, drawn headless and checked by the pixels read back from
// the frame. Skipped only when no OpenGL context can be had at all.

#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/Window.h"
#include "tests/media/MediaTestSupport.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

using RendererGlTest = OpenGlMediaTest;

TEST_F(RendererGlTest, QuadCoversExactlyItsPixels) {
    Fill(10, 20, 30, 40, kRed);
    ExpectPixel(10, 20, kRed);
    ExpectPixel(39, 59, kRed);
    ExpectPixel(9, 20, kBlack);
    ExpectPixel(10, 19, kBlack);
    ExpectPixel(40, 59, kBlack);
    ExpectPixel(39, 60, kBlack);
}

TEST_F(RendererGlTest, TexelsLandOnTheirPixels) {
    // A 4 x 4 image whose every texel differs: drawn 1:1 without filtering it must come back as is.
    const Image image = MakeImage(4, 4, [](uint32_t x, uint32_t y) {
        return 0xFF000000u | (x * 60) << 16 | (y * 60) << 8 | 0x80;
    });
    WriteFile("grid.png", PngFile(image));
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "grid.png"));
    DrawQuad(100, 100, 0, 4, 4, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            ExpectPixel(100 + x, 100 + y, image.pixels[y * 4 + x]);
        }
    }
}

TEST_F(RendererGlTest, RotationTurnsAboutThePivot) {
    // 60 x 20 turned a quarter about its centre: 20 wide and 60 tall around (200, 200).
    const QuadColour green{0, 1, 0};
    Renderer::DrawImage(200, 200, 0, 60, 20, 0, 0, 1, 1, nullptr, 90, 1, 1, &green, 30, 10);
    ExpectPixel(200, 172, kGreen);
    ExpectPixel(200, 227, kGreen);
    ExpectPixel(175, 200, kBlack); // where the unturned quad would be
    ExpectPixel(225, 200, kBlack);
}

TEST_F(RendererGlTest, AlphaBlendsOverWhatIsThere) {
    Fill(0, 0, 50, 50, kBlue);
    Fill(0, 0, 50, 50, kRed, 0, 0.5f);
    ExpectPixel(25, 25, 0xFF800080u, 2);
}

TEST_F(RendererGlTest, TintModulatesTheTexture) {
    WriteFile("tan.png", PngFile(SolidImage(8, 8, 0xFFC86432u))); // 200, 100, 50
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "tan.png"));
    const QuadColour tint{0.5f, 1.0f, 0.0f};
    DrawQuad(50, 50, 0, 8, 8, 0, 0, 1, 1, &handle, 0, 1, 1, &tint, 0, 0);
    ExpectPixel(54, 54, 0xFF646400u, 2);
}

TEST_F(RendererGlTest, NearerQuadsHideFartherOnes) {
    Fill(0, 0, 40, 40, kBlue, 500);   // near, drawn first
    Fill(20, 20, 40, 40, kRed, -500); // far, drawn over it
    Fill(60, 0, 40, 40, kRed, -500);  // far first
    Fill(80, 20, 40, 40, kBlue, 500); // near over it
    ExpectPixel(30, 30, kBlue);
    ExpectPixel(50, 50, kRed);
    ExpectPixel(90, 30, kBlue);
}

TEST_F(RendererGlTest, DepthBeyondTheRangeIsClipped) {
    Fill(0, 0, 10, 10, kRed, 1001);
    Fill(20, 0, 10, 10, kRed, -1001);
    Fill(40, 0, 10, 10, kRed, 1000);
    ExpectPixel(5, 5, kBlack);
    ExpectPixel(25, 5, kBlack);
    ExpectPixel(45, 5, kRed);
}

TEST_F(RendererGlTest, AdditiveBlendAddsColours) {
    Renderer::SetBlendMode(1);
    Fill(0, 0, 20, 20, kRed);
    Fill(0, 0, 20, 20, kGreen);
    Renderer::SetBlendMode(4);
    Fill(30, 0, 20, 20, kRed);
    Fill(30, 0, 20, 20, kGreen);
    ExpectPixel(10, 10, 0xFFFFFF00u);
    ExpectPixel(40, 10, kGreen);
}

TEST_F(RendererGlTest, ReverseSubtractTakesTheQuadAway) {
    Fill(0, 0, 20, 20, 0xFFFFFFFFu);
    Fill(30, 0, 20, 20, 0xFFFFFFFFu);
    Renderer::State().device->SetRenderState(RenderState::BlendOp, kBlendOpRevSubtract);
    Renderer::SetBlendMode(1); // what is there minus the quad
    Fill(0, 0, 20, 20, 0xFF400000u);
    Renderer::SetBlendMode(4); // what is there faded by the quad's alpha, minus the quad
    Fill(30, 0, 20, 20, 0xFF400000u, 0, 0.5f);
    Renderer::State().device->SetRenderState(RenderState::BlendOp, kBlendOpAdd);
    ExpectPixel(10, 10, 0xFFBFFFFFu, 1);
    ExpectPixel(40, 10, 0xFF608080u, 2);
}

TEST_F(RendererGlTest, AlphaTestKeepsOnlyTexelsAboveTheReference) {
    // Left half alpha 100, right half alpha 200, all white.
    WriteFile("half.png", PngFile(MakeImage(8, 8, [](uint32_t x, uint32_t) {
                  return (x < 4 ? 100u : 200u) << 24 | 0xFFFFFFu;
              })));
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "half.png"));
    Renderer::SetAlphaBlendEnable(false);
    Renderer::SetAlphaTest(true, 150, false);
    DrawQuad(0, 0, 0, 8, 8, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    Renderer::SetAlphaBlendEnable(true);
    Renderer::SetAlphaTest(false, 0, false);
    ExpectPixel(1, 4, kBlack);
    ExpectPixel(6, 4, 0xFFFFFFFFu); // opaque: blending is off
}

TEST_F(RendererGlTest, NineSliceKeepsBordersAndStretchesTheCentre) {
    // 12 x 12 texels: 4-texel borders in red, the 4-texel middle strip in green.
    WriteFile("frame.png", PngFile(MakeImage(12, 12, [](uint32_t x, uint32_t y) {
                  return (x >= 4 && x < 8 && y >= 4 && y < 8) ? kGreen : kRed;
              })));
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "frame.png"));
    EXPECT_EQ(handle.entry->width, 16); // padded
    Renderer::DrawNineSlice(100, 100, 0, 40, 20, &handle, 16, 16, 4, 4, 4, 4, 1);
    ExpectPixel(100, 100, kRed); // top-left corner
    ExpectPixel(147, 127, kRed); // bottom-right corner: 4 + 40 + 4 wide, 4 + 20 + 4 tall
    ExpectPixel(148, 127, kBlack);
    ExpectPixel(124, 114, kGreen); // the stretched centre
    ExpectPixel(124, 102, kRed);   // the top border
    ExpectPixel(102, 114, kRed);   // the left border
}

TEST_F(RendererGlTest, SeparateAlphaImageCutsTheColourImage) {
    WriteFile("tree.jpg", JpegFile(SolidImage(8, 8, kRed)));
    WriteFile("tree_alpha.png", PngFile(MakeImage(8, 8, [](uint32_t x, uint32_t) {
                  return x < 4 ? kBlack : 0xFFFFFFFFu;
              })));
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "tree.jpg"));
    EXPECT_EQ(handle.entry->alphaName, "tree_alpha.png");
    Fill(0, 0, 8, 8, kBlue);
    DrawQuad(0, 0, 0, 8, 8, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(1, 4, kBlue);
    ExpectPixel(6, 4, kRed, 3);
}

TEST_F(RendererGlTest, TextureWithoutAlphaDrawsOpaque) {
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::CreateTexture(handle, 4, 4, false));
    LockedRect locked;
    ASSERT_EQ(handle.Texture()->LockRect(0, locked, 0), kGfxOk);
    std::fill_n(static_cast<uint32_t*>(locked.bits), 16, 0x0000FF00u); // green, alpha byte 0
    handle.Texture()->UnlockRect(0);
    DrawQuad(0, 0, 0, 4, 4, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(2, 2, kGreen);
}

// A picture decodes straight into its padded texture, a JPEG a band of rows at a time: every texel
// is the decoded pixel or, in the padding, transparent black; a file that breaks off after its
// size was read gives no texture.
TEST_F(RendererGlTest, APictureFillsItsPaddedTextureAndACutShortOneGivesNone) {
    struct Case {
        uint32_t width, height, textureWidth, textureHeight;
    };
    // Within one band of rows; and over several, the image ending inside one.
    for (const Case& c : {Case{3, 5, 4, 8}, Case{70, 150, 128, 256}}) {
        const Image image = MakeImage(c.width, c.height, [](uint32_t x, uint32_t y) {
            return 0xFF000000u | (x * 3 % 256) << 16 | (y * 5 % 256) << 8 | 0x40;
        });
        const std::string jpeg = JpegFile(image);
        Image decodedJpeg;
        std::string error;
        ASSERT_TRUE(DecodeImage(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), 4096,
                                decodedJpeg, error))
            << error;
        const std::string stem = "odd" + std::to_string(c.width);
        WriteFile(stem + ".png", PngFile(image));
        WriteFile(stem + ".jpg", jpeg);
        for (const auto& [name, expected] :
             {std::pair{stem + ".png", &image},
              std::pair{stem + ".jpg", static_cast<const Image*>(&decodedJpeg)}}) {
            SCOPED_TRACE(name);
            TextureHandle handle;
            ASSERT_TRUE(TextureManager::Load(handle, name));
            GfxTexture& texture = *handle.Texture();
            ASSERT_EQ(texture.Width(), c.textureWidth);
            ASSERT_EQ(texture.Height(), c.textureHeight);
            LockedRect locked;
            ASSERT_EQ(texture.LockRect(0, locked, kLockReadOnly), kGfxOk);
            const auto* texels = static_cast<const uint32_t*>(locked.bits);
            for (uint32_t y = 0; y < c.textureHeight; ++y) {
                for (uint32_t x = 0; x < c.textureWidth; ++x) {
                    const uint32_t want =
                        x < c.width && y < c.height ? expected->pixels[y * c.width + x] : 0u;
                    ASSERT_EQ(texels[y * c.textureWidth + x], want) << x << "," << y;
                }
            }
            texture.UnlockRect(0);
        }
    }
    const std::string jpeg = JpegFile(SolidImage(70, 150, kRed));
    WriteFile("cut.jpg", jpeg.substr(0, jpeg.size() / 2));
    TextureHandle cut;
    EXPECT_FALSE(TextureManager::Load(cut, "cut.jpg"));
    EXPECT_EQ(cut.Texture(), nullptr);
}

// The context holds a texture's only copy once it is unlocked: a later lock reads back what was
// written, a texture never written reads and draws blank, and a partial copy into one leaves the
// rest blank.
TEST_F(RendererGlTest, ALockedLevelReadsBackWhatWasUploaded) {
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::CreateTexture(handle, 8, 4, true));
    GfxTexture& texture = *handle.Texture();
    LockedRect locked;
    ASSERT_EQ(texture.LockRect(0, locked, kLockReadOnly), kGfxOk);
    EXPECT_EQ(static_cast<const uint32_t*>(locked.bits)[31], 0u) << "never written: blank";
    texture.UnlockRect(0);

    ASSERT_EQ(texture.LockRect(0, locked, 0), kGfxOk);
    for (uint32_t i = 0; i < 32; ++i) {
        static_cast<uint32_t*>(locked.bits)[i] = 0x80000000u | (i * 0x010203u);
    }
    texture.UnlockRect(0);
    ASSERT_EQ(texture.LockRect(0, locked, 0), kGfxOk);
    for (uint32_t i = 0; i < 32; ++i) {
        ASSERT_EQ(static_cast<const uint32_t*>(locked.bits)[i], 0x80000000u | (i * 0x010203u)) << i;
    }
    // Changed again under a second lock: the change is what draws.
    static_cast<uint32_t*>(locked.bits)[0] = kBlue;
    texture.UnlockRect(0);
    DrawQuad(0, 0, 0, 8, 4, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(0, 0, kBlue);

    TextureHandle blank;
    ASSERT_TRUE(TextureManager::CreateTexture(blank, 4, 4, true));
    Fill(20, 0, 4, 4, kRed);
    DrawQuad(20, 0, 0, 4, 4, 0, 0, 1, 1, &blank, 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(21, 1, kRed); // a blank texture is transparent

    Fill(40, 0, 4, 4, kGreen);
    TextureHandle partial;
    ASSERT_TRUE(TextureManager::CreateTexture(partial, 8, 8, false));
    ASSERT_EQ(
        Renderer::State().device->CopyBackBufferToTexture({40, 0, 4, 4}, *partial.Texture(), 6, 6),
        kGfxOk);
    ASSERT_EQ(partial.Texture()->LockRect(0, locked, kLockReadOnly), kGfxOk);
    const auto* texels = static_cast<const uint32_t*>(locked.bits);
    EXPECT_EQ(texels[6 * 8 + 6] & 0x00FFFFFFu, 0x0000FF00u) << "copied, clipped to the texture";
    EXPECT_EQ(texels[0] & 0x00FFFFFFu, 0u) << "the rest stays blank";
    partial.Texture()->UnlockRect(0);
}

// Quads of one texture and state are drawn in batches: what a quad drew must not change when its
// texture is written after it, nor when the vertex ring starts over in the middle of a batch.
TEST_F(RendererGlTest, BatchedQuadsDrawWhatTheirTextureAndVerticesHeldThen) {
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::CreateTexture(handle, 4, 4, true));
    const auto paint = [&](uint32_t argb) {
        LockedRect locked;
        ASSERT_EQ(handle.Texture()->LockRect(0, locked, 0), kGfxOk);
        std::fill_n(static_cast<uint32_t*>(locked.bits), 16, argb);
        handle.Texture()->UnlockRect(0);
    };
    paint(kRed);
    DrawQuad(0, 0, 0, 4, 4, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    paint(kGreen);
    DrawQuad(10, 0, 0, 4, 4, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    // More quads than the vertex ring holds (512 vertices), each on a pixel of its own.
    for (int i = 0; i < 300; ++i) {
        DrawQuad(static_cast<float>(i % 100) * 2, static_cast<float>(20 + (i / 100) * 2), 0, 1, 1,
                 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    }
    ExpectPixel(1, 1, kRed);
    ExpectPixel(11, 1, kGreen);
    for (const int i : {0, 127, 128, 129, 255, 256, 299}) {
        ExpectPixel((i % 100) * 2, 20 + (i / 100) * 2, kGreen);
    }
}

// A quad may join an earlier quad of its texture, ahead of quads of other textures, only where
// none of those covers its pixels; a state change between quads keeps them in their order.
TEST_F(RendererGlTest, QuadsDrawnAheadOfOthersOnlyWhereNothingBetweenCoversThem) {
    TextureHandle red;
    TextureHandle green;
    for (auto [handle, argb] : {std::pair{&red, kRed}, std::pair{&green, kGreen}}) {
        ASSERT_TRUE(TextureManager::CreateTexture(*handle, 4, 4, true));
        LockedRect locked;
        ASSERT_EQ(handle->Texture()->LockRect(0, locked, 0), kGfxOk);
        std::fill_n(static_cast<uint32_t*>(locked.bits), 16, argb);
        handle->Texture()->UnlockRect(0);
    }
    const auto draw = [](float x, float y, TextureHandle& handle) {
        DrawQuad(x, y, 0, 10, 10, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
    };
    draw(0, 0, red);
    draw(5, 5, green);   // over the first
    draw(10, 10, red);   // over the second: drawn after it
    draw(100, 0, red);   // apart from everything
    draw(100, 0, green); // over the one before
    Fill(200, 0, 10, 10, kBlue);
    Renderer::SetBlendMode(1); // additive, then back: the quads between keep their order
    draw(200, 0, red);
    Renderer::SetBlendMode(4);
    draw(220, 0, green);
    Renderer::SetBlendMode(1);
    draw(220, 0, red);
    Renderer::SetBlendMode(4);
    ExpectPixel(2, 2, kRed);
    ExpectPixel(7, 7, kGreen);
    ExpectPixel(12, 12, kRed);
    ExpectPixel(105, 5, kGreen);
    ExpectPixel(205, 5, 0xFFFF00FFu);
    ExpectPixel(225, 5, 0xFFFFFF00u);
}

// Once a frame changes texture often, the device draws small textures from copies gathered in
// one atlas. Nothing drawn may change: texels 1:1, quads over one another in their order,
// filtered edges as each wrap mode samples past them, parts of a texture, a turned quad, and a
// texture written after it was copied.
TEST_F(RendererGlTest, QuadsOfManySmallTexturesDrawTheSameFromTheAtlas) {
    std::vector<TextureHandle> handles(6);
    const auto paint = [&](std::size_t index,
                           const std::function<uint32_t(uint32_t, uint32_t)>& texel) {
        LockedRect locked;
        ASSERT_EQ(handles[index].Texture()->LockRect(0, locked, 0), kGfxOk);
        for (uint32_t y = 0; y < 8; ++y) {
            for (uint32_t x = 0; x < 8; ++x) {
                static_cast<uint32_t*>(locked.bits)[y * 8 + x] = texel(x, y);
            }
        }
        handles[index].Texture()->UnlockRect(0);
    };
    for (std::size_t i = 0; i < handles.size(); ++i) {
        ASSERT_TRUE(TextureManager::CreateTexture(handles[i], 8, 8, true));
        const auto shade = static_cast<uint32_t>(i) * 40;
        paint(i, [shade](uint32_t x, uint32_t y) {
            const uint32_t alpha = x == 7 ? 0x80u : 0xFFu;
            return alpha << 24 | (x * 30) << 16 | (y * 30) << 8 | shade;
        });
    }
    const auto drawScene = [&] {
        for (int i = 0; i < 24; ++i) {
            DrawQuad(static_cast<float>(4 * i), 0, 0, 8, 8, 0, 0, 1, 1, &handles[i % 6], 0, 1, 1,
                     nullptr, 0, 0);
        }
        Renderer::SetTextureStageState(TextureStageState::MagFilter, kFilterLinear);
        Renderer::SetTextureStageState(TextureStageState::MinFilter, kFilterLinear);
        for (const uint32_t wrap : {kAddressWrap, kAddressClamp}) {
            Renderer::SetTextureStageState(TextureStageState::AddressU, wrap);
            Renderer::SetTextureStageState(TextureStageState::AddressV, wrap);
            const float top = wrap == kAddressWrap ? 20.0f : 80.0f;
            for (std::size_t i = 0; i < handles.size(); ++i) {
                const float left = 20.0f * static_cast<float>(i);
                // The part first: it is copied alone, with its neighbouring texels.
                DrawQuad(left, top + 15, 0, 15, 15, 0.25f, 0.25f, 0.625f, 0.75f, &handles[i], 0, 1,
                         1, nullptr, 0, 0);
                DrawQuad(left, top, 0, 19, 13, 0, 0, 1, 1, &handles[i], 0, 1, 1, nullptr, 0, 0);
                DrawQuad(left + 8, top + 45, 0, 9, 9, 0, 0, 1, 1, &handles[i], 30, 1, 1, nullptr, 4,
                         4);
            }
        }
        Renderer::SetTextureStageState(TextureStageState::AddressU, kAddressWrap);
        Renderer::SetTextureStageState(TextureStageState::AddressV, kAddressWrap);
        Renderer::SetTextureFilter(false);
    };
    const PixelRect area{0, 0, 130, 140};
    std::vector<uint32_t> fromTextures;
    drawScene();
    ASSERT_EQ(Renderer::State().device->ReadBackBuffer(area, fromTextures), kGfxOk);
    ASSERT_EQ(Renderer::EndScene(), kGfxOk);
    ASSERT_EQ(Renderer::Present(), kGfxOk);

    // A frame of many changes of texture.
    BeginFrame();
    for (int i = 0; i < 100; ++i) {
        DrawQuad(0, 0, 0, 8, 8, 0, 0, 1, 1, &handles[i % 2], 0, 1, 1, nullptr, 0, 0);
    }
    ASSERT_EQ(Renderer::EndScene(), kGfxOk);
    ASSERT_EQ(Renderer::Present(), kGfxOk);

    BeginFrame();
    std::vector<uint32_t> fromAtlas;
    drawScene();
    ASSERT_EQ(Renderer::State().device->ReadBackBuffer(area, fromAtlas), kGfxOk);
    ASSERT_EQ(fromAtlas.size(), fromTextures.size());
    for (std::size_t i = 0; i < fromAtlas.size(); ++i) {
        ASSERT_EQ(fromAtlas[i], fromTextures[i]) << "pixel (" << i % 130 << ", " << i / 130 << ")";
    }

    paint(0, [](uint32_t, uint32_t) { return kBlue; });
    DrawQuad(200, 0, 0, 8, 8, 0, 0, 1, 1, &handles[0], 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(203, 3, kBlue);
}

TEST_F(RendererGlTest, DrawingAfterTheEndOfSceneStillReachesTheFrame) {
    Fill(0, 0, 10, 10, kRed);
    ASSERT_EQ(Renderer::EndScene(), kGfxOk);
    Fill(20, 0, 10, 10, kGreen);
    ExpectPixel(5, 5, kRed);
    ExpectPixel(25, 5, kGreen);
    EXPECT_EQ(Renderer::Present(), kGfxOk);
}

TEST_F(RendererGlTest, BackBufferCopiesIntoATexture) {
    Fill(0, 0, 16, 16, kBlue);
    Fill(8, 8, 8, 8, kGreen);
    TextureHandle copy;
    ASSERT_TRUE(TextureManager::CreateTexture(copy, 16, 16, true));
    ASSERT_EQ(
        Renderer::State().device->CopyBackBufferToTexture({0, 0, 16, 16}, *copy.Texture(), 0, 0),
        kGfxOk);
    DrawQuad(100, 0, 0, 16, 16, 0, 0, 1, 1, &copy, 0, 1, 1, nullptr, 0, 0);
    ExpectPixel(102, 2, kBlue);
    ExpectPixel(112, 12, kGreen);
}

TEST_F(RendererGlTest, DebugTextDrawsInItsColour) {
    Renderer::DrawDebugText(2, 2, "60", 1, 1, 1, 1);
    int lit = 0;
    std::vector<uint32_t> pixels;
    ASSERT_EQ(Renderer::State().device->ReadBackBuffer({0, 0, 24, 16}, pixels), kGfxOk);
    for (const uint32_t pixel : pixels) {
        lit += (pixel & 0xFFFFFFu) == 0xFFFFFFu ? 1 : 0;
        EXPECT_TRUE((pixel & 0xFFFFFFu) == 0 || (pixel & 0xFFFFFFu) == 0xFFFFFFu);
    }
    EXPECT_GT(lit, 20);
    // The game's states come back untouched: a quad after the text still blends as before.
    Fill(100, 0, 10, 10, kRed, 0, 0.5f);
    ExpectPixel(105, 5, 0xFF7F0000u, 1);
}

TEST_F(RendererGlTest, FullScreenAndBackRestoreEveryTexture) {
    WriteFile("pic.png", PngFile(SolidImage(8, 8, 0xFF3366CCu)));
    WriteFile("pic_alpha.png", PngFile(SolidImage(8, 8, 0xFF800000u)));
    TextureHandle image;
    TextureHandle blank;
    ASSERT_TRUE(TextureManager::Load(image, "pic.png"));
    ASSERT_TRUE(TextureManager::CreateTexture(blank, 64, 32, true));
    const auto drawFrame = [&] {
        Renderer::Clear();
        Renderer::BeginScene();
        Fill(0, 0, 100, 100, 0xFFFFFFFFu);
        DrawQuad(10, 10, 0, 8, 8, 0, 0, 1, 1, &image, 0, 1, 1, nullptr, 0, 0);
        DrawQuad(30, 10, 0, 64, 32, 0, 0, 1, 1, &blank, 0, 1, 1, nullptr, 0, 0);
        Renderer::EndScene();
    };
    drawFrame();
    const uint32_t imagePixel = Pixel(14, 14);
    ExpectPixel(40, 20, 0xFFFFFFFFu); // the blank texture is transparent
    ASSERT_EQ(Renderer::Present(), kGfxOk);

    // The main loop's rebuild, into full screen and back.
    for (const bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "window");
        TextureManager::OnDeviceLost();
        EXPECT_EQ(image.Texture(), nullptr);
        Renderer::Shutdown();
        ASSERT_TRUE(DestroyWindow(window));
        OpenWindow(fullScreen);
        ASSERT_NE(window, nullptr);
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, window, !fullScreen);
        EXPECT_EQ(window->IsFullScreen(), fullScreen);
        TextureManager::OnDeviceReset();
        ASSERT_NE(image.Texture(), nullptr);
        ASSERT_NE(blank.Texture(), nullptr);
        EXPECT_EQ(blank.Texture()->Width(), 64u);
        drawFrame();
        ExpectPixel(14, 14, imagePixel);
        ExpectPixel(40, 20, 0xFFFFFFFFu);
        EXPECT_EQ(Renderer::Present(), kGfxOk);
    }
    // Half-transparent through its alpha image: the merge was done again.
    ExpectPixel(14, 14, 0xFF99B2E5u, 2);
}

} // namespace

namespace {

// Headless, the picture is drawn on the window's own framebuffer. A window that no longer shows
// it one to one moves it into a back buffer of the device's own at the next present, the picture
// and its depths kept, and the frames after go on there.
TEST_F(RendererGlTest, AWindowNoLongerShownOneToOneKeepsThePictureDrawnOnIt) {
    Fill(0, 0, 100, 100, kRed, 500);
    ASSERT_EQ(Renderer::EndScene(), kGfxOk);
    ASSERT_EQ(Renderer::Present(), kGfxOk);
    ExpectPixel(50, 50, kRed);

    SDL_SetWindowSize(window->Native(), 1280, 960);
    ASSERT_EQ(Renderer::Present(), kGfxOk);
    ExpectPixel(50, 50, kRed);
    ExpectPixel(150, 150, kBlack);

    ASSERT_EQ(Renderer::BeginScene(), kGfxOk);
    Fill(50, 50, 100, 100, kBlue, -500); // farther than the red: hidden where they meet
    ExpectPixel(75, 75, kRed);
    ExpectPixel(125, 125, kBlue);
    ASSERT_EQ(Renderer::EndScene(), kGfxOk);
    EXPECT_EQ(Renderer::Present(), kGfxOk);
    ExpectPixel(125, 125, kBlue);
}

} // namespace
