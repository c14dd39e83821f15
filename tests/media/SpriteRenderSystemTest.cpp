#include "media/SpriteRenderSystem.h"

#include "engine/FourCC.h"
#include "engine/Random.h"
#include "tests/media/RenderSceneFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr float kStep = 1.0f / 60.0f;

class SpriteRenderSystemTest : public RenderSceneTest {
protected:
    void SetUp() override {
        RenderSceneTest::SetUp();
        // pic.png is 64 x 32; every frame is 16 x 8 with its pivot at its top-left corner.
        Write("s.ani", "(fileAnim idle (frame pic.png 0 0 16 8 0 0))\n"
                       "(fileAnim walk (fps 60) (frame pic.png 16 0 16 8 0 0)"
                       " (frame pic.png 32 0 16 8 0 0))\n");
        system = scene->FindSystem(FourCC("SPRT"));
    }

    // A sprite of s.ani at (x, 100) with more keys.
    Object* Sprite(float x, const std::string& keys = "") {
        return Add("(thing (POSI (position " + std::to_string(x) + " 100)) (SPRT (file s.ani) " +
                   keys + "))");
    }

    static SpriteRenderChunk& SpriteOf(Object* object) {
        return ChunkOf<SpriteRenderChunk>(object, "SPRT");
    }

    // The x of every quad drawn by the pass, in drawing order.
    std::vector<int> DrawnBy(const std::function<void()>& pass) {
        script.draws.clear();
        pass();
        std::vector<int> xs;
        for (const RecordedDraw& draw : script.draws) {
            xs.push_back(static_cast<int>(std::lround(draw.vertices[0].x + 0.5f)));
        }
        return xs;
    }

    System* system = nullptr;
};

TEST_F(SpriteRenderSystemTest, EachPassDrawsTheSpritesMarkedForIt) {
    Sprite(10);
    Sprite(20, "(preRender 1)");
    Sprite(30, "(postRender 1)");
    Sprite(40, "(afterAllRender 1)");
    Sprite(50, "(preRender 1) (afterAllRender 1)");
    Sprite(60, "(alpha 0)");
    SpriteOf(Sprite(70)).visible = false;
    Sprite(80, "(postRender 1) (afterAllRender 1)");

    EXPECT_THAT(DrawnBy([&] { system->PreRender(); }), ElementsAre(20, 50));
    EXPECT_THAT(DrawnBy([&] { system->Render(); }), ElementsAre(10, 40));
    EXPECT_THAT(DrawnBy([&] { system->PostRender(); }), ElementsAre(30, 80));
    EXPECT_THAT(DrawnBy([&] { system->AfterRender(); }), ElementsAre(40, 50, 80));
}

TEST_F(SpriteRenderSystemTest, DepthOrdersTheSpritesAndEqualDepthsKeepTheirOrder) {
    Object* first = Sprite(10, "(zOrder 5)");
    Sprite(20, "(zOrder 5)");
    Sprite(30, "(zOrder -1)");
    Sprite(40, "(zOrder nan)");
    const auto frame = [&] {
        system->PreRender();
        system->Render();
    };
    EXPECT_THAT(DrawnBy(frame), ElementsAre(40, 30, 10, 20));
    SpriteOf(first).zOrder = 5.001f;
    EXPECT_THAT(DrawnBy(frame), ElementsAre(40, 30, 20, 10));
    // The depth is the renderer's depth too.
    EXPECT_FLOAT_EQ(script.draws.back().vertices[0].z, 5.001f);
}

TEST_F(SpriteRenderSystemTest, AtScaleOneSpritesSnapToWholePixels) {
    struct Case {
        const char* keys;
        float x, y;
    };
    for (const Case& c : {Case{"", 10.0f, 100.0f}, Case{"(shift 3.5 4)", 14.0f, 104.0f},
                          Case{"(scale 2)", 10.7f, 100.2f}}) {
        SCOPED_TRACE(c.keys);
        Object* sprite = Add("(thing (POSI (position 10.7 100.2)) (SPRT (file s.ani) " +
                             std::string(c.keys) + "))");
        script.draws.clear();
        SpriteOf(sprite).Draw();
        ASSERT_EQ(script.draws.size(), 1u);
        EXPECT_FLOAT_EQ(script.draws[0].vertices[0].x + 0.5f, c.x);
        EXPECT_FLOAT_EQ(script.draws[0].vertices[0].y + 0.5f, c.y);
        scene->DestroyObject(sprite);
    }
}

TEST_F(SpriteRenderSystemTest, TheSpriteTurnsWithItsPosition) {
    Object* sprite = Add("(thing (POSI (position 200 100) (rotation 90)) (SPRT (file s.ani)))");
    script.draws.clear();
    SpriteOf(sprite).Draw();
    ASSERT_EQ(script.draws.size(), 1u);
    // A quarter turn about the top-left corner: the top-right corner goes down.
    EXPECT_NEAR(script.draws[0].vertices[1].x + 0.5f, 200.0f, 1e-3);
    EXPECT_NEAR(script.draws[0].vertices[1].y + 0.5f, 116.0f, 1e-3);
}

TEST_F(SpriteRenderSystemTest, ATransparentSpriteIsNeitherDrawnNorAnimated) {
    Object* sprite = Sprite(10, "(animName walk) (alpha 0)");
    SpriteRenderChunk& chunk = SpriteOf(sprite);
    system->Update(kStep);
    EXPECT_EQ(chunk.player.CurrentFrame(), 0);
    EXPECT_THAT(DrawnBy([&] { system->Render(); }), IsEmpty());
    chunk.alpha = 1.0f;
    system->Update(kStep);
    EXPECT_EQ(chunk.player.CurrentFrame(), 1);
    EXPECT_THAT(DrawnBy([&] { system->Render(); }), ElementsAre(10));
}

TEST_F(SpriteRenderSystemTest, AShowDelayHidesTheSpriteUntilItRunsOut) {
    SpriteRenderChunk& chunk = SpriteOf(Sprite(10));
    chunk.showDelay = 0.05f;
    std::vector<bool> visible;
    for (int step = 0; step < 4; ++step) {
        system->Update(kStep);
        visible.push_back(chunk.visible);
    }
    EXPECT_THAT(visible, ElementsAre(false, false, true, true));
}

TEST_F(SpriteRenderSystemTest, KeysBindAndPlayTheAnimation) {
    Object* sprite = Sprite(10, "(animName walk) (visualName wand) (alphaTestingValue 90)"
                                "(blending 3) (alphaBlend 0) (unknown 5)");
    const SpriteRenderChunk& chunk = SpriteOf(sprite);
    EXPECT_EQ(chunk.player.GetFileName(), "s.ani");
    EXPECT_EQ(chunk.player.CurrentAnimName(), "walk");
    EXPECT_EQ(chunk.visualCode, FourCC("wand"));
    EXPECT_EQ(chunk.alphaTestingValue, 90);
    EXPECT_EQ(chunk.blending, SpriteRenderChunk::kBlendAlphaTest);
    EXPECT_FALSE(chunk.alphaBlend);
    EXPECT_EQ(SpriteOf(Sprite(20, "(visualName abc)")).visualCode, 0x61626300u);

    // "file" restarts at the first animation even for the file already bound.
    Object* again = Sprite(30, "(animName walk) (file s.ani)");
    EXPECT_EQ(SpriteOf(again).player.CurrentIndex(), 0);
}

TEST_F(SpriteRenderSystemTest, OneOfTheRandomFilesIsChosenAfterAllKeys) {
    Write("r0.ani", "(emptyAnim zero)\n");
    Write("r1.ani", "(emptyAnim one)\n");
    Write("r2.ani", "(emptyAnim two)\n");
    for (const uint32_t seed : {1u, 2u, 3u, 4u}) {
        SeedRandom(seed);
        const int32_t expected = Random() % 3;
        SeedRandom(seed);
        Object* sprite = Add("(thing (POSI) (SPRT (rfile r0.ani) (file s.ani) (rfile r1.ani)"
                             "(rfile r2.ani)))");
        EXPECT_EQ(SpriteOf(sprite).player.GetFileName(), "r" + std::to_string(expected) + ".ani");
    }
}

TEST_F(SpriteRenderSystemTest, RegionFromSpriteTakesTheFirstFrame) {
    Object* object = Add("(thing (POSI (position 5 5)) (SPRT (file s.ani)) (COLI)"
                         " (regionFromSprite walk))");
    const CollisionChunk& collision = ChunkOf<CollisionChunk>(object, "COLI");
    EXPECT_EQ(collision.left, 0.0f);
    EXPECT_EQ(collision.top, 0.0f);
    EXPECT_EQ(collision.right, 16.0f);
    EXPECT_EQ(collision.bottom, 8.0f);
}

TEST_F(SpriteRenderSystemTest, AnUnboundSpriteDrawsNothing) {
    Add("(thing (POSI (position 10 10)) (SPRT (alpha 1)))");
    EXPECT_THAT(DrawnBy([&] {
                    system->PreRender();
                    system->Render();
                }),
                IsEmpty());
}

struct StateCase {
    const char* name;
    std::string keys;
    int32_t addressing;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

void PrintTo(const StateCase& c, std::ostream* out) {
    *out << c.name;
}

class SpriteStates : public SpriteRenderSystemTest,
                     public testing::WithParamInterface<StateCase> {};

TEST_P(SpriteStates, AreSetBeforeTheDrawAndRestoredAfterIt) {
    const StateCase& c = GetParam();
    SpriteRenderChunk& chunk = SpriteOf(Sprite(10, c.keys));
    chunk.textureAddressing = c.addressing;
    script.calls.clear();
    chunk.Draw();
    std::vector<std::string> before;
    std::vector<std::string> after;
    bool drawn = false;
    for (const std::string& call : script.calls) {
        if (call.starts_with("DrawPrimitive")) {
            drawn = true;
        } else if (call.starts_with("SetRenderState") || call.starts_with("SetTextureStage")) {
            (drawn ? after : before).push_back(call);
        }
    }
    ASSERT_TRUE(drawn);
    EXPECT_THAT(before, ElementsAreArray(c.before));
    EXPECT_THAT(after, ElementsAreArray(c.after));
}

const std::vector<std::string> kMirror = {"SetTextureStageState 0 AddressU 2",
                                          "SetTextureStageState 0 AddressV 2"};

std::vector<std::string> Mirrored(std::vector<std::string> calls) {
    calls.insert(calls.begin(), kMirror.begin(), kMirror.end());
    return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteStates,
    testing::Values(
        StateCase{"plain", "", 2, kMirror, {}},
        StateCase{"additive",
                  "(blending 1)",
                  2,
                  Mirrored({"SetRenderState SrcBlend 5", "SetRenderState DestBlend 2"}),
                  {"SetRenderState SrcBlend 5", "SetRenderState DestBlend 6"}},
        StateCase{"subtract",
                  "(blending 2)",
                  2,
                  Mirrored({"SetRenderState BlendOp 3"}),
                  {"SetRenderState BlendOp 1"}},
        StateCase{"alpha test",
                  "(blending 3) (alphaTestingValue 100)",
                  2,
                  Mirrored({"SetRenderState AlphaBlendEnable 0", "SetRenderState AlphaTestEnable 1",
                            "SetRenderState AlphaFunc 5", "SetRenderState AlphaRef 100"}),
                  {"SetRenderState AlphaBlendEnable 1", "SetRenderState AlphaTestEnable 0",
                   "SetRenderState AlphaRef 8", "SetRenderState AlphaFunc 7"}},
        StateCase{"no alpha blending",
                  "(alphaBlend 0)",
                  2,
                  Mirrored({"SetRenderState AlphaBlendEnable 0"}),
                  {"SetRenderState AlphaBlendEnable 1"}},
        StateCase{"clamped",
                  "",
                  1,
                  {"SetTextureStageState 0 AddressU 3", "SetTextureStageState 0 AddressV 3"},
                  {"SetTextureStageState 0 AddressU 1", "SetTextureStageState 0 AddressV 1"}},
        StateCase{"an unknown mode is plain", "(blending 7)", 2, kMirror, {}}));

} // namespace
