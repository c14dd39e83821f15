#pragma once

#include "platform/gfx/ImageCodec.h"

#include <cstdint>
#include <string>
#include <vector>

// A colour with straight (not premultiplied) alpha, each part 0..1.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

Colour Mix(const Colour& from, const Colour& to, float t);
// From 0xRRGGBB.
Colour Rgb(uint32_t rgb, float alpha = 1.0f);

// The demo's pictures are painted here, in floats, and written as the game reads them.
class Canvas {
public:
    Canvas(int width, int height, Colour fill = {0.0f, 0.0f, 0.0f, 0.0f});

    int Width() const { return width; }
    int Height() const { return height; }
    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }

    // Paints colour over the pixel with the given coverage (0..1), "over" compositing.
    void Blend(int x, int y, const Colour& colour, float coverage);

    void VerticalGradient(const Colour& top, const Colour& bottom);
    // A filled ellipse with a soft edge of about one pixel; softness widens the edge (pixels).
    void Ellipse(float cx, float cy, float rx, float ry, const Colour& colour,
                 float softness = 1.0f);
    // A glow: colour whose alpha falls from the centre to 0 at radius.
    void Glow(float cx, float cy, float radius, const Colour& colour);
    // A filled polygon (even-odd), sampled four times per pixel.
    void Polygon(const std::vector<float>& xy, const Colour& colour);
    // A line of the given width with round ends.
    void Line(float x0, float y0, float x1, float y1, float lineWidth, const Colour& colour);
    // A ridge line across the canvas: below heights[x] everything is painted.
    void Ridge(const std::vector<float>& heights, const Colour& colour);
    // Multiplies every pixel's colour by 1 + amount x noise (-1..1), for grain.
    void Grain(float amount, uint32_t seed);
    // A copy with every pixel's alpha multiplied by the factor.
    void FadeAlpha(float factor);
    // Paints another canvas over this one with its top-left corner at (x, y).
    void Paste(const Canvas& other, int x, int y);

    // ARGB pixels for the encoders.
    Image ToImage() const;
    // The alpha as grey levels, opaque: the companion picture of a JPEG.
    Image AlphaAsGrey() const;

private:
    int width;
    int height;
    std::vector<Colour> pixels;
};

// A small deterministic generator, so that every build paints the same pictures.
class Dice {
public:
    explicit Dice(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    // 0..1
    float Next();
    // from..to
    float Between(float from, float to) { return from + (to - from) * Next(); }

private:
    uint32_t state;
};

// Writes a file, creating its folders; throws std::runtime_error on failure.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
void WritePng(const std::string& path, const Canvas& canvas);
void WriteJpeg(const std::string& path, const Canvas& canvas, int quality = 88);
// A JPEG with its alpha in "<stem>_alpha.jpg" beside it, as the texture manager pairs them.
void WriteJpegWithAlpha(const std::string& stemPath, const Canvas& canvas);
