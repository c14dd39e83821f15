// The blur of the background behind a mini-game: the kernel's arithmetic, the clamped edges, the
// point-sampled reduction, and the capture of a real frame; then the 2D helpers.

#include "media/ImageKernels.h"

#include "media/Math2D.h"
#include "media/Renderer.h"
#include "tests/media/MediaTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

class ImageKernelsTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        InitRenderer();
    }

    // A blank texture with pixel(x, y) written into it.
    static TextureHandle Texture(int width, int height,
                                 const std::function<uint32_t(int, int)>& pixel) {
        TextureHandle handle;
        EXPECT_TRUE(TextureManager::CreateTexture(handle, width, height, true));
        LockedRect locked;
        EXPECT_EQ(handle.Texture()->LockRect(0, locked, 0), kGfxOk);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) +
                                                    static_cast<std::ptrdiff_t>(y) * locked.pitch);
            for (int x = 0; x < width; ++x) {
                row[x] = pixel(x, y);
            }
        }
        handle.Texture()->UnlockRect(0);
        return handle;
    }
};

TEST_F(ImageKernelsTest, UniformWhiteBlursTo252InEveryChannel) {
    // Each of the nine samples is rounded on its own: 255 x 0.11111111 gives 28, and 9 x 28 = 252.
    TextureHandle source = Texture(8, 8, [](int, int) { return 0xFFFFFFFFu; });
    TextureHandle target = Texture(8, 8, [](int, int) { return 0u; });
    BlurKernel kernel;
    ImageManipulator manipulator;
    ASSERT_TRUE(manipulator.Apply(source.Texture(), target.Texture(), 8, 8, kernel));
    for (const uint32_t pixel : TexturePixels(*target.Texture())) {
        ASSERT_EQ(pixel, 0xFCFCFCFCu);
    }
}

TEST_F(ImageKernelsTest, EdgesSampleThemselvesAgainNeverOutside) {
    // One bright corner texel: the corner sees it four times through its clamped reads, its
    // diagonal neighbour once, and a texel two steps away not at all.
    TextureHandle source =
        Texture(4, 4, [](int x, int y) { return x == 0 && y == 0 ? 0x00FF0000u : 0u; });
    TextureHandle target = Texture(4, 4, [](int, int) { return 0x12345678u; });
    BlurKernel kernel;
    ImageManipulator manipulator;
    ASSERT_TRUE(manipulator.Apply(source.Texture(), target.Texture(), 4, 4, kernel));
    const std::vector<uint32_t> pixels = TexturePixels(*target.Texture());
    EXPECT_EQ(pixels[0], 0x00700000u);     // 4 x 28
    EXPECT_EQ(pixels[1], 0x00380000u);     // (0,0) twice through the clamped row above
    EXPECT_EQ(pixels[4 + 1], 0x001C0000u); // once
    EXPECT_EQ(pixels[4 * 2 + 2], 0u);
    EXPECT_EQ(pixels[15], 0u); // every pixel written
}

TEST_F(ImageKernelsTest, RefusesAnAreaLargerThanEitherTexture) {
    TextureHandle small = Texture(4, 4, [](int, int) { return 0xFFFFFFFFu; });
    TextureHandle large = Texture(8, 8, [](int, int) { return 0x01020304u; });
    BlurKernel kernel;
    ImageManipulator manipulator;
    EXPECT_FALSE(manipulator.Apply(small.Texture(), large.Texture(), 8, 8, kernel));
    EXPECT_FALSE(manipulator.Apply(large.Texture(), small.Texture(), 8, 8, kernel));
    EXPECT_FALSE(manipulator.Apply(large.Texture(), nullptr, 8, 8, kernel));
    EXPECT_FALSE(manipulator.Apply(large.Texture(), large.Texture(), 8, 8, kernel));
    for (const uint32_t pixel : TexturePixels(*large.Texture())) {
        ASSERT_EQ(pixel, 0x01020304u);
    }
}

TEST_F(ImageKernelsTest, ReductionTakesEveryStepthTexel) {
    TextureHandle source =
        Texture(8, 6, [](int x, int y) { return static_cast<uint32_t>(y * 8 + x); });
    TextureHandle target = Texture(4, 3, [](int, int) { return 0xFFFFFFFFu; });
    CopyTextureScaled(source, target);
    const std::vector<uint32_t> pixels = TexturePixels(*target.Texture());
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixels[y * 4 + x], static_cast<uint32_t>(2 * y * 8 + 2 * x)) << x << "," << y;
        }
    }
}

TEST_F(ImageKernelsTest, BlurTextureKeepsOnlyItsResult) {
    TextureHandle source = Texture(64, 64, [](int, int) { return 0xFFFFFFFFu; });
    const std::size_t before = TextureManager::Entries().size();
    TextureHandle blurred = BlurTexture(source, 16, 16);
    ASSERT_TRUE(blurred.valid);
    EXPECT_EQ(blurred.entry->width, 16);
    // Twice blurred white stays 252: 252 x 0.11111111 rounds to 28 again.
    for (const uint32_t pixel : TexturePixels(*blurred.Texture())) {
        ASSERT_EQ(pixel, 0xFCFCFCFCu);
    }
    TextureManager::PurgeUnused();
    EXPECT_EQ(TextureManager::Entries().size(), before + 1); // the two passes' textures are gone
    blurred.Release();
}

TEST_F(ImageKernelsTest, NoDeviceNoCapture) {
    Renderer::Shutdown();
    EXPECT_FALSE(Renderer::CaptureBlurredScreen().valid);
}

class BlurredCaptureGlTest : public OpenGlMediaTest {};

TEST_F(BlurredCaptureGlTest, CaptureHoldsTheFrameInItsTopRows) {
    // Left half white, right half black: the reduction keeps the halves, the blur softens only
    // the seam, and the rows below the 768-line frame stay blank.
    Fill(0, 0, 512, 768, 0xFFFFFFFFu);
    TextureHandle blurred = Renderer::CaptureBlurredScreen();
    ASSERT_TRUE(blurred.valid);
    ASSERT_EQ(blurred.entry->width, 256);
    ASSERT_EQ(blurred.entry->height, 256);
    LockedRect locked;
    ASSERT_EQ(blurred.Texture()->LockRect(0, locked, kLockReadOnly), kGfxOk);
    const auto pixel = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.bits) +
                                                 static_cast<std::ptrdiff_t>(y) * locked.pitch)[x];
    };
    EXPECT_EQ(pixel(10, 10), 0xFCFCFCFCu);
    EXPECT_EQ(pixel(100, 180), 0xFCFCFCFCu);
    EXPECT_EQ(pixel(200, 10) & 0x00FFFFFFu, 0u);
    EXPECT_GT(Red(pixel(128, 10)), 0); // the seam, softened from both sides
    EXPECT_LT(Red(pixel(128, 10)), 252);
    EXPECT_EQ(pixel(10, 220), 0u);
    blurred.Texture()->UnlockRect(0);
    blurred.Release();
}

TEST(Math2DTest, NormalizeAndRotate) {
    EXPECT_EQ(Math2D::Normalize({0, 0}), (Vector2{0, 0}));
    const Vector2 unit = Math2D::Normalize({3, 4});
    EXPECT_FLOAT_EQ(unit.x, 0.6f);
    EXPECT_FLOAT_EQ(unit.y, 0.8f);
    const Vector2 turned = Math2D::RotatePoint({1, 0}, {0, 0}, std::numbers::pi_v<float> / 2);
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_NEAR(turned.y, -1.0f, 1e-6f);
    const Vector2 aboutCentre = Math2D::RotatePoint({12, 5}, {10, 5}, std::numbers::pi_v<float>);
    EXPECT_NEAR(aboutCentre.x, 8.0f, 1e-5f);
    EXPECT_NEAR(aboutCentre.y, 5.0f, 1e-5f);
}

GestureTrailPoint At(float x, float y, float age = 0.0f) {
    GestureTrailPoint point;
    point.x = x;
    point.y = y;
    point.age = age;
    return point;
}

TEST(StrokeTest, LengthAddsThePieces) {
    EXPECT_EQ(StrokeLength({}), 0.0f);
    EXPECT_EQ(StrokeLength({At(5, 5)}), 0.0f);
    EXPECT_FLOAT_EQ(StrokeLength({At(0, 0), At(3, 4), At(3, 10)}), 11.0f);
}

TEST(StrokeTest, ResamplesToEvenSpacing) {
    // An L of length 63 + 63: 64 points one step (2 units) apart, each a copy of the point that
    // starts its piece.
    std::vector<GestureTrailPoint> output;
    ResampleStroke(output, {At(0, 0, 1), At(63, 0, 2), At(63, 63, 3)}, 64);
    ASSERT_EQ(output.size(), 64u);
    EXPECT_EQ(output[0].x, 0.0f);
    EXPECT_FLOAT_EQ(output[10].x, 20.0f);
    EXPECT_EQ(output[10].age, 1.0f);
    EXPECT_FLOAT_EQ(output[40].x, 63.0f);
    EXPECT_NEAR(output[40].y, 17.0f, 1e-4f);
    EXPECT_EQ(output[40].age, 2.0f);
    EXPECT_NEAR(output[63].y, 63.0f, 1e-3f);
}

TEST(StrokeTest, CountOnlyDecidesTheLastCopy) {
    struct Case {
        int count;
        std::size_t size;
    };
    for (const Case c : {Case{0, 64}, Case{-3, 64}, Case{64, 64}, Case{10, 64}, Case{100, 65}}) {
        std::vector<GestureTrailPoint> output;
        ResampleStroke(output, {At(0, 0), At(10, 0), At(10, 0), At(10, 7)}, c.count);
        EXPECT_EQ(output.size(), c.size) << c.count;
        EXPECT_EQ(output.back().y, 7.0f);
    }
}

TEST(StrokeTest, NothingFromTooShortATrail) {
    std::vector<GestureTrailPoint> output{At(1, 1)};
    ResampleStroke(output, {At(4, 4)}, 64);
    EXPECT_TRUE(output.empty());
    ResampleStroke(output, {At(4, 4), At(4, 4)}, 64);
    EXPECT_TRUE(output.empty());
}

} // namespace
