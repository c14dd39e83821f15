#include "tests/media/MediaTestSupport.h"

#include "engine/Application.h"
#include "engine/profile.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/os/Seams.h"

void ResetMedia() {
    TextureManager::ReleaseAll();
    Renderer::Shutdown();
    Renderer::State() = RenderDevice();
    SetGraphicsSystemFactory({});
    App = Application();
    ResetSeams();
    ProfileReset();
}

Image MakeImage(uint32_t width, uint32_t height,
                const std::function<uint32_t(uint32_t, uint32_t)>& pixel) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * width + x] = pixel(x, y);
        }
    }
    return image;
}

Image SolidImage(uint32_t width, uint32_t height, uint32_t argb) {
    return MakeImage(width, height, [argb](uint32_t, uint32_t) { return argb; });
}

std::string PngFile(const Image& image) {
    const std::vector<uint8_t> bytes = EncodePng(image);
    return std::string(bytes.begin(), bytes.end());
}

std::string JpegFile(const Image& image) {
    const std::vector<uint8_t> bytes = EncodeJpeg(image, 95);
    return std::string(bytes.begin(), bytes.end());
}

void RecordingMediaTest::SetUp() {
    ResetMedia();
    UseRecordingGraphics(script);
    Seams().desktop = DesktopMode{1920, 1080, false};
}

void RecordingMediaTest::TearDown() {
    ResetMedia();
}

void RecordingMediaTest::InitRenderer(bool windowed) {
    Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, windowed);
}

std::vector<uint32_t> RecordingMediaTest::TexturePixels(GfxTexture& texture) {
    LockedRect locked;
    EXPECT_EQ(texture.LockRect(0, locked, kLockReadOnly), kGfxOk);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(texture.Width()) * texture.Height());
    for (uint32_t y = 0; y < texture.Height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(locked.bits) + static_cast<std::size_t>(y) * locked.pitch);
        std::copy(row, row + texture.Width(),
                  pixels.begin() + static_cast<std::ptrdiff_t>(y * texture.Width()));
    }
    texture.UnlockRect(0);
    return pixels;
}
