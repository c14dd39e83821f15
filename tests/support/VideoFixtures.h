#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Ogg Theora files made by the tests themselves and by the demo's generator, encoded with
// libtheora's encoder: the same bytes on every run.

// Y', Cb and Cr of one pixel.
using YCbCr = std::array<uint8_t, 3>;

struct TheoraClip {
    // The encoded frame, multiples of 16, and the picture shown from it.
    int frameWidth = 640;
    int frameHeight = 368;
    int pictureWidth = 640;
    int pictureHeight = 360;
    int pictureX = 0; // from the frame's top-left corner
    int pictureY = 0;
    int framesPerSecond = 15;
    int frames = 4;
    int quality = 48; // 0..63
    uint32_t serial = 2604;
    // The colour of frame f at frame pixel (x, y); chroma is taken at even x and y.
    std::function<YCbCr(int frame, int x, int y)> pixel = [](int, int, int) {
        return YCbCr{128, 128, 128};
    };
};

struct TheoraFileBytes {
    std::string bytes;
    std::size_t headerBytes = 0; // the pages of the three headers
};

TheoraFileBytes TheoraFile(const TheoraClip& clip);
