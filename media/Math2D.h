#pragma once

#include <vector>

// A point or direction on the screen.
struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    bool operator==(const Vector2&) const = default;
};

namespace Math2D {

// v divided by its length; (0, 0) for a vector of no length.
Vector2 Normalize(Vector2 v);
// The point turned about the centre by the angle in radians (counter-clockwise on screen, whose
// y runs downwards).
Vector2 RotatePoint(Vector2 point, Vector2 centre, float angle);

} // namespace Math2D

float Distance(Vector2 a, Vector2 b);

// One point of a mouse-gesture trail: where it lies and how it fades.
struct GestureTrailPoint {
    float age = 0.0f;
    float fadeStart = 0.0f;
    float fadeEnd = 0.0f;
    float alpha = 0.0f;
    float initialAlpha = 0.0f;
    float width = 0.0f;
    float size = 0.0f;
    bool flag = false;
    float x = 0.0f;
    float y = 0.0f;
    float extra[2] = {0.0f, 0.0f};

    // Ages the point: past its fade start its alpha falls from the initial alpha to 0 at the
    // fade end (0 before the fade start); its size shrinks by 100 a second.
    void Update(float stepTime);
};

// The length of the trail: the distances between consecutive points added up; 0 for fewer than
// two points.
float StrokeLength(const std::vector<GestureTrailPoint>& points);
// The trail as 64 evenly spaced points (copies of the point that starts each piece, moved along
// it), then one copy of the last point when fewer than count (0 or less: 64) came out.
void ResampleStroke(std::vector<GestureTrailPoint>& output,
                    const std::vector<GestureTrailPoint>& points, int count);
