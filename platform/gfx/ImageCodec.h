#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A picture in memory: ARGB pixels (alpha in the top byte), rows top to bottom.
struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes a PNG or JPEG file held in memory. Fails, with the reason in error, on anything else,
// on damaged or cut-short data, and on a side of 0 or above maxSide (checked before any pixel
// memory is taken). A JPEG is opaque; a PNG keeps its own alpha.
bool DecodeImage(const uint8_t* data, std::size_t size, uint32_t maxSide, Image& image,
                 std::string& error);

// Where a decoder writes its pixels: rows `pitch` pixels apart from `bits`; or, where the decoder
// said it takes rows one by one, each row where `row` gives it, asked for top to bottom (null
// stops the decoding).
struct PixelTarget {
    uint32_t* bits = nullptr;
    std::size_t pitch = 0;
    std::function<uint32_t*(uint32_t row)> row;
};
// Gives the pixels for an image of the size given, at least that large; no bits nor row (and the
// reason in error) to refuse it. byRows: the decoder takes rows one by one (a JPEG's do).
using PixelTargetFor =
    std::function<PixelTarget(uint32_t width, uint32_t height, bool byRows, std::string& error)>;

// Decodes as DecodeImage does, straight into the pixels the target gives once the size is known
// and allowed, writing the image's own pixels and nothing around them.
bool DecodeImageInto(const uint8_t* data, std::size_t size, uint32_t maxSide,
                     const PixelTargetFor& target, std::string& error);

// Encoders for screenshots and for the images tests make. Empty on failure.
std::vector<uint8_t> EncodePng(const Image& image);
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality);
