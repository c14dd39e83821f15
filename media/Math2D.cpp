#include "media/Math2D.h"

#include <cmath>

namespace {

// The trail is cut into this many equal pieces whatever the count asked for.
constexpr int kPieces = 63;
constexpr int kDefaultCount = 64;

} // namespace

namespace Math2D {

Vector2 Normalize(Vector2 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    if (length == 0.0f) {
        return {};
    }
    return {v.x / length, v.y / length};
}

Vector2 RotatePoint(Vector2 point, Vector2 centre, float angle) {
    const float dx = point.x - centre.x;
    const float dy = point.y - centre.y;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {centre.x + dx * c + dy * s, centre.y + dy * c - dx * s};
}

} // namespace Math2D

float Distance(Vector2 a, Vector2 b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

void GestureTrailPoint::Update(float stepTime) {
    age += stepTime;
    if (age > fadeStart) {
        alpha = initialAlpha - (age - fadeStart) / (fadeEnd - fadeStart);
    } else {
        alpha = 0.0f;
    }
    size -= 100.0f * stepTime;
}

float StrokeLength(const std::vector<GestureTrailPoint>& points) {
    float total = 0.0f;
    for (std::size_t i = 1; i < points.size(); ++i) {
        total += Distance({points[i - 1].x, points[i - 1].y}, {points[i].x, points[i].y});
    }
    return total;
}

void ResampleStroke(std::vector<GestureTrailPoint>& output,
                    const std::vector<GestureTrailPoint>& points, int count) {
    output.clear();
    const float total = StrokeLength(points);
    if (points.size() < 2 || !(total > 0.0f)) {
        return;
    }
    const float step = total / static_cast<float>(kPieces);
    output.push_back(points.front());
    float walked = 0.0f;
    int next = 1;
    for (std::size_t i = 1; i < points.size() && next <= kPieces; ++i) {
        const GestureTrailPoint& a = points[i - 1];
        const GestureTrailPoint& b = points[i];
        const float length = Distance({a.x, a.y}, {b.x, b.y});
        // A piece of no length holds no new position (and would divide by zero).
        while (length > 0.0f && next <= kPieces &&
               static_cast<float>(next) * step <= walked + length) {
            const float fraction = (static_cast<float>(next) * step - walked) / length;
            GestureTrailPoint point = a;
            point.x = a.x + (b.x - a.x) * fraction;
            point.y = a.y + (b.y - a.y) * fraction;
            output.push_back(point);
            ++next;
        }
        walked += length;
    }
    if (count <= 0) {
        count = kDefaultCount;
    }
    if (output.size() < static_cast<std::size_t>(count)) {
        output.push_back(points.back());
    }
}
