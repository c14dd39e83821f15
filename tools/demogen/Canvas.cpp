#include "tools/demogen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

float Clamp01(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

uint32_t Byte(float value) {
    return static_cast<uint32_t>(std::lround(Clamp01(value) * 255.0f));
}

} // namespace

Colour Mix(const Colour& from, const Colour& to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Colour Rgb(uint32_t rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 0xFFu) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFFu) / 255.0f,
            static_cast<float>(rgb & 0xFFu) / 255.0f, alpha};
}

Canvas::Canvas(int width, int height, Colour fill)
    : width(width), height(height),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::Blend(int x, int y, const Colour& colour, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    const float a = Clamp01(colour.a * coverage);
    if (a <= 0.0f) {
        return;
    }
    Colour& below = At(x, y);
    const float outA = a + below.a * (1.0f - a);
    if (outA <= 0.0f) {
        return;
    }
    const auto part = [&](float top, float under) {
        return (top * a + under * below.a * (1.0f - a)) / outA;
    };
    below = {part(colour.r, below.r), part(colour.g, below.g), part(colour.b, below.b), outA};
}

void Canvas::VerticalGradient(const Colour& top, const Colour& bottom) {
    for (int y = 0; y < height; ++y) {
        const Colour row = Mix(top, bottom, static_cast<float>(y) / static_cast<float>(height - 1));
        for (int x = 0; x < width; ++x) {
            At(x, y) = row;
        }
    }
}

void Canvas::Ellipse(float cx, float cy, float rx, float ry, const Colour& colour, float softness) {
    const int x0 = std::max(0, static_cast<int>(cx - rx - softness - 1));
    const int x1 = std::min(width - 1, static_cast<int>(cx + rx + softness + 1));
    const int y0 = std::max(0, static_cast<int>(cy - ry - softness - 1));
    const int y1 = std::min(height - 1, static_cast<int>(cy + ry + softness + 1));
    const float scale = std::min(rx, ry);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - cx) / rx;
            const float dy = (static_cast<float>(y) + 0.5f - cy) / ry;
            // Distance outside the edge, in pixels of the shorter radius.
            const float outside = (std::sqrt(dx * dx + dy * dy) - 1.0f) * scale;
            Blend(x, y, colour, Clamp01(0.5f - outside / softness));
        }
    }
}

void Canvas::Glow(float cx, float cy, float radius, const Colour& colour) {
    const int x0 = std::max(0, static_cast<int>(cx - radius));
    const int x1 = std::min(width - 1, static_cast<int>(cx + radius));
    const int y0 = std::max(0, static_cast<int>(cy - radius));
    const int y1 = std::min(height - 1, static_cast<int>(cy + radius));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy);
            const float t = Clamp01(1.0f - d / radius);
            Blend(x, y, colour, t * t);
        }
    }
}

void Canvas::Polygon(const std::vector<float>& xy, const Colour& colour) {
    const std::size_t points = xy.size() / 2;
    if (points < 3) {
        return;
    }
    float minY = xy[1];
    float maxY = xy[1];
    float minX = xy[0];
    float maxX = xy[0];
    for (std::size_t i = 0; i < points; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    const auto inside = [&](float px, float py) {
        bool in = false;
        for (std::size_t i = 0, j = points - 1; i < points; j = i++) {
            const float xi = xy[2 * i];
            const float yi = xy[2 * i + 1];
            const float xj = xy[2 * j];
            const float yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) {
                in = !in;
            }
        }
        return in;
    };
    for (int y = std::max(0, static_cast<int>(minY));
         y <= std::min(height - 1, static_cast<int>(maxY)); ++y) {
        for (int x = std::max(0, static_cast<int>(minX));
             x <= std::min(width - 1, static_cast<int>(maxX)); ++x) {
            int hits = 0;
            for (const float oy : {0.25f, 0.75f}) {
                for (const float ox : {0.25f, 0.75f}) {
                    hits += inside(static_cast<float>(x) + ox, static_cast<float>(y) + oy) ? 1 : 0;
                }
            }
            Blend(x, y, colour, static_cast<float>(hits) / 4.0f);
        }
    }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float lineWidth, const Colour& colour) {
    const float half = lineWidth / 2.0f;
    const int left = std::max(0, static_cast<int>(std::min(x0, x1) - half - 1));
    const int right = std::min(width - 1, static_cast<int>(std::max(x0, x1) + half + 1));
    const int top = std::max(0, static_cast<int>(std::min(y0, y1) - half - 1));
    const int bottom = std::min(height - 1, static_cast<int>(std::max(y0, y1) + half + 1));
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float t = Clamp01(((px - x0) * dx + (py - y0) * dy) / length2);
            const float d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
            Blend(x, y, colour, Clamp01(half - d + 0.5f));
        }
    }
}

void Canvas::Ridge(const std::vector<float>& heights, const Colour& colour) {
    for (int x = 0; x < width && x < static_cast<int>(heights.size()); ++x) {
        const float edge = heights[static_cast<std::size_t>(x)];
        for (int y = std::max(0, static_cast<int>(edge)); y < height; ++y) {
            Blend(x, y, colour, Clamp01(static_cast<float>(y) + 1.0f - edge));
        }
    }
}

void Canvas::Grain(float amount, uint32_t seed) {
    Dice dice(seed);
    for (Colour& pixel : pixels) {
        const float factor = 1.0f + amount * (dice.Next() * 2.0f - 1.0f);
        pixel.r = Clamp01(pixel.r * factor);
        pixel.g = Clamp01(pixel.g * factor);
        pixel.b = Clamp01(pixel.b * factor);
    }
}

void Canvas::FadeAlpha(float factor) {
    for (Colour& pixel : pixels) {
        pixel.a = Clamp01(pixel.a * factor);
    }
}

void Canvas::Paste(const Canvas& other, int x, int y) {
    for (int row = 0; row < other.height; ++row) {
        for (int column = 0; column < other.width; ++column) {
            Blend(x + column, y + row, other.At(column, row), 1.0f);
        }
    }
}

Image Canvas::ToImage() const {
    Image image;
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    image.pixels.reserve(pixels.size());
    for (const Colour& pixel : pixels) {
        image.pixels.push_back(Byte(pixel.a) << 24 | Byte(pixel.r) << 16 | Byte(pixel.g) << 8 |
                               Byte(pixel.b));
    }
    return image;
}

Image Canvas::AlphaAsGrey() const {
    Image image;
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    image.pixels.reserve(pixels.size());
    for (const Colour& pixel : pixels) {
        const uint32_t grey = Byte(pixel.a);
        image.pixels.push_back(0xFF000000u | grey << 16 | grey << 8 | grey);
    }
    return image;
}

float Dice::Next() {
    // xorshift32
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) {
        throw std::runtime_error("nothing to write to " + path);
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) {
        throw std::runtime_error("cannot write " + path);
    }
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void WritePng(const std::string& path, const Canvas& canvas) {
    WriteBytes(path, EncodePng(canvas.ToImage()));
}

void WriteJpeg(const std::string& path, const Canvas& canvas, int quality) {
    WriteBytes(path, EncodeJpeg(canvas.ToImage(), quality));
}

void WriteJpegWithAlpha(const std::string& stemPath, const Canvas& canvas) {
    // The colour under transparent pixels still shows at soft edges once filtered: keep it.
    WriteBytes(stemPath + ".jpg", EncodeJpeg(canvas.ToImage(), 92));
    WriteBytes(stemPath + "_alpha.jpg", EncodeJpeg(canvas.AlphaAsGrey(), 95));
}
