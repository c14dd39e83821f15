#pragma once

#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/RecordingDevice.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

// Puts every global the renderer and texture manager touch back to a normal start.
void ResetMedia();

// An image whose pixel (x, y) is pixel(x, y), ARGB.
Image MakeImage(uint32_t width, uint32_t height,
                const std::function<uint32_t(uint32_t, uint32_t)>& pixel);
Image SolidImage(uint32_t width, uint32_t height, uint32_t argb);
std::string PngFile(const Image& image);
std::string JpegFile(const Image& image);

// Channels of an ARGB pixel.
inline int Red(uint32_t argb) {
    return static_cast<int>((argb >> 16) & 0xFF);
}
inline int Green(uint32_t argb) {
    return static_cast<int>((argb >> 8) & 0xFF);
}
inline int Blue(uint32_t argb) {
    return static_cast<int>(argb & 0xFF);
}
inline int Alpha(uint32_t argb) {
    return static_cast<int>(argb >> 24);
}

// The renderer on a recording device, working in a fresh current folder, on a wide desktop.
class RecordingMediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Renderer::Init(1024, 768, X8R8G8B8, no window, windowed).
    void InitRenderer(bool windowed = true);
    // The pixels of a recorded texture, read through a lock.
    static std::vector<uint32_t> TexturePixels(GfxTexture& texture);

    TempFolder folder{TempFolder::Enter::Yes};
    RecordingScript script;
};
