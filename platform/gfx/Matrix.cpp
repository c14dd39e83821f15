#include "platform/gfx/Matrix.h"

#include <cmath>

Matrix MatrixIdentity() {
    return MatrixScaling(1.0f, 1.0f, 1.0f);
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix result{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[row][k] * b.m[k][column];
            }
            result.m[row][column] = sum;
        }
    }
    return result;
}

Matrix MatrixScaling(float x, float y, float z) {
    Matrix result{};
    result.m[0][0] = x;
    result.m[1][1] = y;
    result.m[2][2] = z;
    result.m[3][3] = 1.0f;
    return result;
}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix result = MatrixIdentity();
    result.m[3][0] = x;
    result.m[3][1] = y;
    result.m[3][2] = z;
    return result;
}

Matrix MatrixRotationZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix result = MatrixIdentity();
    result.m[0][0] = c;
    result.m[0][1] = s;
    result.m[1][0] = -s;
    result.m[1][1] = c;
    return result;
}

Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear,
                              float zFar) {
    Matrix result{};
    result.m[0][0] = 2.0f / (right - left);
    result.m[1][1] = 2.0f / (top - bottom);
    result.m[2][2] = 1.0f / (zFar - zNear);
    result.m[3][0] = (left + right) / (left - right);
    result.m[3][1] = (top + bottom) / (bottom - top);
    result.m[3][2] = zNear / (zNear - zFar);
    result.m[3][3] = 1.0f;
    return result;
}

void TransformPoint(const Matrix& matrix, float x, float y, float z, float out[3]) {
    const float in[4] = {x, y, z, 1.0f};
    float result[4] = {};
    for (int column = 0; column < 4; ++column) {
        for (int k = 0; k < 4; ++k) {
            result[column] += in[k] * matrix.m[k][column];
        }
    }
    for (int i = 0; i < 3; ++i) {
        out[i] = result[i] / result[3];
    }
}
