#pragma once

// A 4x4 transform for row vectors (a point is multiplied from the left), stored row by row.
struct Matrix {
    float m[4][4];

    bool operator==(const Matrix&) const = default;
};

Matrix MatrixIdentity();
// a then b: a point transformed by the result equals the point transformed by a, then by b.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix MatrixScaling(float x, float y, float z);
Matrix MatrixTranslation(float x, float y, float z);
// Turns about the z axis by the angle in radians.
Matrix MatrixRotationZ(float angle);
// Left-handed orthographic projection of the box [left, right] x [bottom, top] x [zNear, zFar]
// onto x, y in -1..1 and depth 0 (zNear) to 1 (zFar).
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear,
                              float zFar);
// The point (x, y, z, 1) through the matrix, divided by w.
void TransformPoint(const Matrix& matrix, float x, float y, float z, float out[3]);
