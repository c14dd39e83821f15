#pragma once

#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/RecordingDevice.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

// Puts every global of the media layer back to a normal start: fonts, animation players and
// cache, string table, textures and renderer.
void ResetMedia();

// An image whose pixel (x, y) is pixel(x, y), ARGB.
Image MakeImage(uint32_t width, uint32_t height,
                const std::function<uint32_t(uint32_t, uint32_t)>& pixel);
Image SolidImage(uint32_t width, uint32_t height, uint32_t argb);
std::string PngFile(const Image& image);
std::string JpegFile(const Image& image);

// A font page made by a test: its image and its ".fnt" text.
struct FontPage {
    Image image;
    std::string records;
};

// The tests' font, one page 32 x 8, line height 8, spacing 1: 'A' at x 0, 4 wide, all opaque
// white; 'B' at x 4, 6 wide, its left 3 columns opaque white and the rest clear; 'C' at x 10,
// 5 wide, its upper 4 rows opaque white and the rest clear; ' ' at x 15, 3 wide, all clear.
FontPage TestFontPage();
// Writes stem + ".png" and stem + ".fnt".
void WriteFontPage(const TempFolder& folder, const std::string& stem, const FontPage& page);

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

class Window;

// The renderer on the real OpenGL device in a window of the game's size, headless unless the
// caller chose a video driver; a frame is begun. Skipped only when no OpenGL context can be had.
class OpenGlMediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void OpenWindow(bool fullScreen);
    static void BeginFrame();
    // The back buffer's pixel.
    static uint32_t Pixel(int x, int y);
    // Red, green and blue each within the tolerance.
    static void ExpectPixel(int x, int y, uint32_t expected, int tolerance = 0);
    // An untextured quad of a solid colour.
    static void Fill(float x, float y, float width, float height, uint32_t argb, float z = 0.0f,
                     float alpha = 1.0f);
    void WriteFile(const std::string& name, const std::string& bytes) { folder.Write(name, bytes); }

    TempFolder folder{TempFolder::Enter::Yes};
    Window* window = nullptr;
};
