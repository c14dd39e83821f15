// Quads through DrawQuad and texture loads, on the real OpenGL device (headless unless a video
// driver is chosen), against decoding the same files alone.

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

int64_t IgnoreMessages(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    return DefWindowProc(window, id, wParam, lParam);
}

// A picture with some detail, so the codecs have work like a real one.
Image Picture(uint32_t width, uint32_t height, bool withAlpha) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint32_t grain = (noise >> 16) & 0x1F;
            const uint32_t red = (x * 255 / width + grain) & 0xFF;
            const uint32_t green = (y * 255 / height + grain) & 0xFF;
            const uint32_t blue = ((x + y) / 4 + grain) & 0xFF;
            const uint32_t alpha = withAlpha ? ((x / 8 + y / 8) * 9) & 0xFF : 0xFF;
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                alpha << 24 | red << 16 | green << 8 | blue;
        }
    }
    return image;
}

// A fresh folder that the process works in while it lives.
struct WorkFolder {
    std::filesystem::path path;
    std::filesystem::path previous = std::filesystem::current_path();

    WorkFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path = name;
        std::filesystem::current_path(path);
    }
    ~WorkFolder() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream file(path / name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
};

// The window, the device and the files, made once for all benchmarks.
struct Stage {
    WorkFolder folder;
    Window* window = nullptr;
    std::string failure;
    std::vector<uint8_t> jpeg;
    std::vector<uint8_t> png;
    std::vector<uint8_t> alphaPng;

    Stage() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Seams().desktop = DesktopMode{1920, 1080, false};
        jpeg = EncodeJpeg(Picture(1024, 768, false), 90);
        png = EncodePng(Picture(1024, 1024, true));
        alphaPng = EncodePng(Picture(1024, 1024, false));
        folder.Write("photo.jpg", jpeg);
        folder.Write("sprite.png", png);
        folder.Write("sprite_alpha.png", alphaPng);
        for (int i = 0; i < 64; ++i) {
            folder.Write("quad" + std::to_string(i) + ".png", EncodePng(Picture(32, 32, true)));
        }
        RegisterWindowClass("Orvex", IgnoreMessages);
        window = CreateWindow("Orvex", "Orvex", 1024, 768, false);
        if (window == nullptr) {
            failure = "no display";
            return;
        }
        try {
            Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, window, true);
        } catch (const Exception& exception) {
            failure = exception.Text();
        }
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

// Frames of 1000 quads of 32 x 32; the texture changes every `run` quads.
void DrawQuads(benchmark::State& state, int run) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    std::vector<TextureHandle> handles(64);
    for (int i = 0; i < 64; ++i) {
        TextureManager::Load(handles[i], "quad" + std::to_string(i) + ".png");
    }
    constexpr int kQuadsPerFrame = 1000;
    for (auto _ : state) {
        Renderer::Clear();
        Renderer::BeginScene();
        for (int i = 0; i < kQuadsPerFrame; ++i) {
            TextureHandle& handle = handles[(i / run) % 64];
            DrawQuad(static_cast<float>((i * 37) % 992), static_cast<float>((i * 53) % 736), 0, 32,
                     32, 0, 0, 1, 1, &handle, 0, 1, 1, nullptr, 0, 0);
        }
        Renderer::EndScene();
        Renderer::Present();
    }
    state.SetItemsProcessed(state.iterations() * kQuadsPerFrame);
    for (TextureHandle& handle : handles) {
        handle.Release();
    }
    TextureManager::PurgeUnused();
}

void BM_DrawQuadTextureEveryQuad(benchmark::State& state) {
    DrawQuads(state, 1);
}
BENCHMARK(BM_DrawQuadTextureEveryQuad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawQuadTextureEvery64Quads(benchmark::State& state) {
    DrawQuads(state, 64);
}
BENCHMARK(BM_DrawQuadTextureEvery64Quads)->Unit(benchmark::kMillisecond)->UseRealTime();

// A load that really reads and converts: the entry is purged after each one.
void LoadTexture(benchmark::State& state, const char* name) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    for (auto _ : state) {
        TextureHandle handle;
        if (!TextureManager::Load(handle, name)) {
            state.SkipWithError("load failed");
            return;
        }
        handle.Release();
        TextureManager::PurgeUnused();
    }
}

void BM_LoadJpeg1024x768(benchmark::State& state) {
    LoadTexture(state, "photo.jpg");
}
BENCHMARK(BM_LoadJpeg1024x768)->Unit(benchmark::kMillisecond);

void BM_LoadPng1024x1024WithAlphaImage(benchmark::State& state) {
    LoadTexture(state, "sprite.png");
}
BENCHMARK(BM_LoadPng1024x1024WithAlphaImage)->Unit(benchmark::kMillisecond);

void Decode(benchmark::State& state, const std::vector<std::vector<uint8_t>*>& files) {
    for (auto _ : state) {
        for (const std::vector<uint8_t>* file : files) {
            Image image;
            std::string error;
            if (!DecodeImage(file->data(), file->size(), 4096, image, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            benchmark::DoNotOptimize(image.pixels.data());
        }
    }
}

void BM_DecodeOnlyJpeg1024x768(benchmark::State& state) {
    Decode(state, {&TheStage().jpeg});
}
BENCHMARK(BM_DecodeOnlyJpeg1024x768)->Unit(benchmark::kMillisecond);

void BM_DecodeOnlyPng1024x1024AndAlphaPng(benchmark::State& state) {
    Decode(state, {&TheStage().png, &TheStage().alphaPng});
}
BENCHMARK(BM_DecodeOnlyPng1024x1024AndAlphaPng)->Unit(benchmark::kMillisecond);

} // namespace
