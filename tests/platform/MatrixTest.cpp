#include "platform/gfx/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectPoint(const Matrix& matrix, float x, float y, float expectedX, float expectedY) {
    float out[3];
    TransformPoint(matrix, x, y, 0.0f, out);
    EXPECT_NEAR(out[0], expectedX, 1e-4);
    EXPECT_NEAR(out[1], expectedY, 1e-4);
}

TEST(MatrixTest, ProductAppliesTheFirstMatrixFirst) {
    const Matrix moveThenScale =
        MatrixMultiply(MatrixTranslation(10.0f, 0.0f, 0.0f), MatrixScaling(2.0f, 3.0f, 1.0f));
    ExpectPoint(moveThenScale, 1.0f, 1.0f, 22.0f, 3.0f);
    EXPECT_EQ(MatrixMultiply(MatrixIdentity(), moveThenScale), moveThenScale);
}

TEST(MatrixTest, RotationTurnsXTowardsY) {
    // With y downwards on screen a positive angle turns clockwise.
    ExpectPoint(MatrixRotationZ(static_cast<float>(M_PI / 2)), 1.0f, 0.0f, 0.0f, 1.0f);
}

TEST(MatrixTest, OrthographicProjectionOfTheScreen) {
    const Matrix projection = MatrixOrthoOffCenterLH(0, 1024, 768, 0, 1000, -1000);
    float out[3];
    TransformPoint(projection, 512.0f, 384.0f, 0.0f, out);
    EXPECT_NEAR(out[0], 0.0f, 1e-6);
    EXPECT_NEAR(out[1], 0.0f, 1e-6);
    EXPECT_NEAR(out[2], 0.5f, 1e-6);
    TransformPoint(projection, 1024.0f, 0.0f, -1000.0f, out);
    EXPECT_NEAR(out[0], 1.0f, 1e-6);
    EXPECT_NEAR(out[1], 1.0f, 1e-6);
    EXPECT_NEAR(out[2], 1.0f, 1e-6);
}

} // namespace
