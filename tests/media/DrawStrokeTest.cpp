// The band along a gesture trail, on the recording device.

#include "media/Math2D.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "tests/media/MediaTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

GestureTrailPoint At(float x, float y, float alpha, float width = 5.0f) {
    GestureTrailPoint point;
    point.x = x;
    point.y = y;
    point.alpha = alpha;
    point.width = width;
    return point;
}

class DrawStrokeTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        InitRenderer();
        ASSERT_TRUE(TextureManager::CreateTexture(trail, 16, 16, false));
        script.draws.clear();
    }
    void TearDown() override {
        trail.Release();
        RecordingMediaTest::TearDown();
    }
    TextureHandle trail;
};

struct Corner {
    float x, y;
    int alpha;
    float u, v;
};

void ExpectCorners(const RecordedDraw& draw, const std::vector<Corner>& corners) {
    ASSERT_EQ(draw.vertices.size(), corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        SCOPED_TRACE(i);
        const GfxVertex& vertex = draw.vertices[i];
        EXPECT_NEAR(vertex.x, corners[i].x, 1e-4f);
        EXPECT_NEAR(vertex.y, corners[i].y, 1e-4f);
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.diffuse, static_cast<uint32_t>(corners[i].alpha) << 24 | 0xFFFFFFu);
        EXPECT_EQ(vertex.u, corners[i].u);
        EXPECT_EQ(vertex.v, corners[i].v);
    }
}

TEST_F(DrawStrokeTest, EachPairOfPointsIsAQuadAcrossThePathAtThePointsWidths) {
    // Along x, then turning down: the middle point's sides follow the mean of both ways.
    Renderer::DrawStroke({At(0, 0, 1.0f), At(10, 0, 0.5f), At(10, 10, 0.25f, 2.0f)}, &trail);
    ASSERT_EQ(script.draws.size(), 2u);
    for (const RecordedDraw& draw : script.draws) {
        EXPECT_EQ(draw.type, PrimitiveType::TriangleFan);
        EXPECT_EQ(draw.primitiveCount, 2u);
        EXPECT_EQ(draw.texture, RecordedTextureId(trail.Texture()));
    }
    // The mean of (1, 0) and (0, 1) is (0.5, 0.5), unnormalised: the sides stand 2.5 off the
    // point along each axis.
    const float side = 2.5f;
    ExpectCorners(script.draws[0], {{0, -5, 255, 0, 0},
                                    {10 + side, -side, 128, 1, 0},
                                    {10 - side, side, 128, 1, 1},
                                    {0, 5, 255, 0, 1}});
    ExpectCorners(script.draws[1], {{10 + side, -side, 128, 0, 0},
                                    {12, 10, 64, 1, 0},
                                    {8, 10, 64, 1, 1},
                                    {10 - side, side, 128, 0, 1}});
}

TEST_F(DrawStrokeTest, FadedPointsAreLeftOutAndTooFewDrawNothing) {
    struct Case {
        const char* name;
        std::vector<GestureTrailPoint> points;
        std::size_t quads;
    };
    const Case cases[] = {
        {"none", {}, 0},
        {"one point", {At(0, 0, 1)}, 0},
        {"one point left", {At(0, 0, 1), At(10, 0, 0), At(20, 0, -0.5f)}, 0},
        {"a faded point between", {At(0, 0, 1), At(10, 0, 0), At(20, 0, 1)}, 1},
        {"alpha over 1 is full", {At(0, 0, 3), At(10, 0, 1)}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        script.draws.clear();
        Renderer::DrawStroke(c.points, &trail);
        EXPECT_EQ(script.draws.size(), c.quads);
    }
}

} // namespace
