#include "tests/media/MediaTestSupport.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/profile.h"
#include "media/AnimPlayer.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/StringTable.h"
#include "media/TextureManager.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"

#include <cstdlib>

void ResetMedia() {
    // In the order of the application's shutdown: nothing holds a texture once they go.
    for (FontSlot* font :
         {&MainFont, &MenuFont, &TooltipFont, &CutsceneFont, &MenuHiFont}) {
        font->reset();
    }
    AnimationCache::Clear();
    CursorAnim = AnimPlayer();
    HeldItemAnim = AnimPlayer();
    ToolCursorAnim = AnimPlayer();
    HeldItemShown = false;
    ToolCursorShown = false;
    StringTable::Clear();
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

FontPage TestFontPage() {
    constexpr uint32_t kWhite = 0xFFFFFFFFu;
    constexpr uint32_t kClear = 0x00FFFFFFu;
    FontPage page;
    page.image = MakeImage(32, 8, [](uint32_t x, uint32_t y) {
        if (x < 4) {
            return kWhite;
        }
        if (x < 10) {
            return x < 7 ? kWhite : kClear;
        }
        if (x < 15) {
            return y < 4 ? kWhite : kClear;
        }
        return kClear;
    });
    page.records = "65 A 0 0 4 8\n"
                   "66 B 4 0 6 8\n"
                   "67 C 10 0 5 8\n"
                   "32 _ 15 0 3 8\n"
                   "spacing 1\n";
    return page;
}

void WriteFontPage(const TempFolder& folder, const std::string& stem, const FontPage& page) {
    folder.Write(stem + ".png", PngFile(page.image));
    folder.Write(stem + ".fnt", page.records);
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

namespace {

int64_t IgnoreMessages(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    return DefWindowProc(window, id, wParam, lParam);
}

} // namespace

void OpenGlMediaTest::SetUp() {
    // Headless unless the caller chose a video driver.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ResetMedia();
    // The headless display is small; the game would be forced into full screen on it.
    Seams().desktop = DesktopMode{1920, 1080, false};
    RegisterWindowClass("Orvex", IgnoreMessages);
    OpenWindow(false);
    if (window == nullptr) {
        GTEST_SKIP() << "no display for a window: the OpenGL tests did not run";
    }
    try {
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, window, true);
    } catch (const Exception& exception) {
        GTEST_SKIP() << "no OpenGL context (" << exception.Text()
                     << "): the OpenGL tests did not run";
    }
    BeginFrame();
}

void OpenGlMediaTest::TearDown() {
    ResetMedia();
    DestroyWindow(window);
    UnregisterWindowClass("Orvex");
    ClearMessages();
}

void OpenGlMediaTest::OpenWindow(bool fullScreen) {
    window = CreateWindow("Orvex", "Orvex", 1024, 768, fullScreen);
    if (window != nullptr) {
        window->Show();
    }
}

void OpenGlMediaTest::BeginFrame() {
    ASSERT_EQ(Renderer::Clear(), kGfxOk);
    ASSERT_EQ(Renderer::BeginScene(), kGfxOk);
}

uint32_t OpenGlMediaTest::Pixel(int x, int y) {
    std::vector<uint32_t> pixels;
    EXPECT_EQ(Renderer::State().device->ReadBackBuffer({x, y, 1, 1}, pixels), kGfxOk);
    return pixels.empty() ? 0 : pixels[0];
}

void OpenGlMediaTest::ExpectPixel(int x, int y, uint32_t expected, int tolerance) {
    const uint32_t actual = Pixel(x, y);
    SCOPED_TRACE(testing::Message() << "pixel (" << x << ", " << y << ") is " << std::hex << actual
                                    << ", expected " << expected);
    EXPECT_NEAR(Red(actual), Red(expected), tolerance);
    EXPECT_NEAR(Green(actual), Green(expected), tolerance);
    EXPECT_NEAR(Blue(actual), Blue(expected), tolerance);
}

void OpenGlMediaTest::Fill(float x, float y, float width, float height, uint32_t argb, float z,
                           float alpha) {
    const QuadColour colour{static_cast<float>(Red(argb)) / 255.0f,
                            static_cast<float>(Green(argb)) / 255.0f,
                            static_cast<float>(Blue(argb)) / 255.0f};
    Renderer::DrawImage(x, y, z, width, height, 0, 0, 1, 1, nullptr, 0, alpha, 1, &colour, 0, 0);
}
