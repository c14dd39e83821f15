// Text, sprites and particles through their render systems on the real OpenGL device, drawn
// headless and checked by the pixels read back from the frame.

#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Random.h"
#include "media/BitmapFont.h"
#include "media/ParticleRenderSystem.h"
#include "media/Renderer.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/media/RenderSceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr float kStep = 1.0f / 60.0f;

class RenderSystemsGlTest : public OpenGlMediaTest {
protected:
    void SetUp() override {
        OpenGlMediaTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        SeedRandom(3);
        scene = std::make_unique<ObjectsManager>();
        scene->AddSystem(std::make_unique<PositionSystem>(scene.get()));
        scene->AddSystem(std::make_unique<SpriteRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<ParticleRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<TextRenderSystem>(scene.get()));
    }

    void TearDown() override {
        scene.reset();
        OpenGlMediaTest::TearDown();
    }

    Object* Add(const std::string& definition) {
        std::istringstream input(definition);
        Parcon& parser = *parsers.emplace_back(std::make_unique<Parcon>());
        parser.ParseStream("objects.txt", input);
        ParconCursor root = parser.RootCursor();
        EXPECT_TRUE(root.Next());
        auto object = std::make_unique<Thing>(scene.get());
        object->LoadFromNode(ParconCursor(root.GetList(), 0), false);
        object->ResolveDependencies();
        Object* added = object.get();
        scene->AddObject(std::move(object));
        return added;
    }

    // The scene's drawing passes, as a process draws a frame.
    void DrawScene() {
        Renderer::Clear();
        scene->PreRender();
        scene->Render();
        scene->PostRender();
    }

    // The rectangle of the back buffer, row by row.
    static std::vector<uint32_t> Pixels(int x, int y, int width, int height) {
        std::vector<uint32_t> pixels;
        EXPECT_EQ(Renderer::State().device->ReadBackBuffer({x, y, width, height}, pixels), kGfxOk);
        return pixels;
    }

    std::unique_ptr<ObjectsManager> scene;
    std::vector<std::unique_ptr<Parcon>> parsers;
};

TEST_F(RenderSystemsGlTest, ATextLineShowsItsGlyphsInItsColour) {
    const FontPage page = TestFontPage();
    WriteFontPage(folder, "gfx/fonts/main", page);
    MainFont = std::make_unique<BitmapFont>();
    ASSERT_EQ(MainFont->Load("gfx/fonts/main"), 1);
    Add("(thing (POSI (position 20 30)) (TEXT (text \"ABC A\") (color 255 64 0)))");
    DrawScene();

    // What the glyphs' cells give, placed one after another with one column between them.
    constexpr int kLeft = 16;
    constexpr int kTop = 26;
    constexpr int kWidth = 48;
    constexpr int kHeight = 16;
    std::vector<uint32_t> expected(kWidth * kHeight, kBlack);
    struct Placed {
        int cellX, width;
    };
    int pen = 20;
    for (const Placed glyph :
         {Placed{0, 4}, Placed{4, 6}, Placed{10, 5}, Placed{15, 3}, Placed{0, 4}}) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const uint32_t texel = page.image.pixels[y * 32 + glyph.cellX + x];
                if (Alpha(texel) == 255) {
                    expected[(30 + y - kTop) * kWidth + pen + x - kLeft] = 0xFFFF4000u;
                }
            }
        }
        pen += glyph.width + 1;
    }
    const std::vector<uint32_t> actual = Pixels(kLeft, kTop, kWidth, kHeight);
    ASSERT_EQ(actual.size(), expected.size());
    int wrong = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if ((actual[i] & 0xFFFFFFu) != (expected[i] & 0xFFFFFFu) && ++wrong <= 5) {
            ADD_FAILURE() << "pixel (" << kLeft + static_cast<int>(i) % kWidth << ", "
                          << kTop + static_cast<int>(i) / kWidth << ") is " << std::hex << actual[i]
                          << ", expected " << expected[i];
        }
    }
    EXPECT_EQ(wrong, 0);
    // Nothing of the text reached beyond its last glyph.
    ExpectPixel(20 + 5 + 7 + 6 + 4 + 4, 30, kBlack);
}

TEST_F(RenderSystemsGlTest, ATwoFrameAnimationShowsItsSecondFrameOnTime) {
    // Two 16 x 16 cells: green with a blue 4 x 4 corner, then all blue.
    WriteFile("two.png", PngFile(MakeImage(32, 16, [](uint32_t x, uint32_t y) {
                  if (x >= 16) {
                      return kBlue;
                  }
                  return x < 4 && y < 4 ? kBlue : kGreen;
              })));
    WriteFile("two.ani", "(framedAnim flip two.png 16 16 (fps 30) (frames 0 1))\n");
    Add("(thing (POSI (position 100 100)) (SPRT (file two.ani) (animName flip)))");

    DrawScene();
    // The pivot is the cell's centre: the cell covers 92..107 on both axes.
    ExpectPixel(92, 92, kBlue);
    ExpectPixel(95, 95, kBlue);
    ExpectPixel(96, 96, kGreen);
    ExpectPixel(107, 107, kGreen);
    ExpectPixel(91, 100, kBlack);
    ExpectPixel(108, 100, kBlack);

    scene->Update(kStep);
    DrawScene();
    ExpectPixel(100, 100, kGreen); // half a frame's time: still the first
    scene->Update(kStep);
    DrawScene();
    ExpectPixel(92, 92, kBlue);
    ExpectPixel(100, 100, kBlue);
    ExpectPixel(107, 107, kBlue);
    ExpectPixel(108, 107, kBlack);
}

TEST_F(RenderSystemsGlTest, AParticleBurstLightsItsSquaresWithItsBlending) {
    struct Case {
        const char* blending;
        uint32_t background;
        uint32_t lit; // a particle's pixel where it overlaps no other
    };
    // Orange at half alpha: added to black, taken from white faded by half, blended over blue.
    for (const Case& c : {Case{"add", kBlack, 0xFF804000u}, Case{"subtr", kWhite, 0xFF004080u},
                          Case{"alpha", kBlue, 0xFF804080u}}) {
        SCOPED_TRACE(c.blending);
        WriteFile("burst.prt",
                  std::string("(alpha 0 0.5) (alpha 2 0.5) (size 0 6) (color 0 1 0.5 0)"
                              " (max_parts 6) (flow 0 1000000) (vel 0 80 80)"
                              " (angle 0 0 360) (gravity 0) (blending ") +
                      c.blending + ")\n");
        Object* burst =
            Add("(thing (POSI (position 300 300)) (PART (file burst.prt) (lifeTime 0.02)))");
        ParticleEmitter& emitter = burst->RequireChunk<ParticleChunk>(FourCC("PART")).emitter;
        scene->Update(kStep); // the whole pool at once
        for (int step = 0; step < 30; ++step) {
            scene->Update(kStep);
        }
        Renderer::Clear();
        Fill(0, 0, 1024, 768, c.background, -900);
        scene->Render();

        int alive = 0;
        for (const Particle& particle : emitter.Particles()) {
            if (!particle.alive) {
                continue;
            }
            ++alive;
            // Half a second at 80 pixels a second from the emitter.
            EXPECT_NEAR(std::hypot(particle.x - 300.0f, particle.y - 300.0f), 40.0f, 1.5f);
            bool alone = true;
            for (const Particle& other : emitter.Particles()) {
                alone = alone && (&other == &particle || std::abs(other.x - particle.x) > 7.0f ||
                                  std::abs(other.y - particle.y) > 7.0f);
            }
            const int x = static_cast<int>(std::floor(particle.x));
            const int y = static_cast<int>(std::floor(particle.y));
            if (alone) {
                ExpectPixel(x, y, c.lit, 2);
            } else {
                EXPECT_NE(Pixel(x, y) & 0xFFFFFFu, c.background & 0xFFFFFFu);
            }
        }
        EXPECT_EQ(alive, 6);
        // The emitter's own place is left as it was: every particle has flown off.
        ExpectPixel(300, 300, c.background);
        scene->DestroyObject(burst);
    }
}

} // namespace
