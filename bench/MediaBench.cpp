// Quads through DrawQuad and texture loads, on the real OpenGL device (headless unless a video
// driver is chosen), against decoding the same files alone.

#include "bench/BenchWindow.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/ParticleRenderSystem.h"
#include "media/Renderer.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/Window.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    void Write(const std::string& name, const std::string& text) const {
        Write(name, std::vector<uint8_t>(text.begin(), text.end()));
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
        jpeg = EncodeJpeg(Picture(1024, 768, false), 90);
        png = EncodePng(Picture(1024, 1024, true));
        alphaPng = EncodePng(Picture(1024, 1024, false));
        folder.Write("photo.jpg", jpeg);
        folder.Write("sprite.png", png);
        folder.Write("sprite_alpha.png", alphaPng);
        for (int i = 0; i < 64; ++i) {
            folder.Write("quad" + std::to_string(i) + ".png", EncodePng(Picture(32, 32, true)));
        }
        failure = OpenBenchWindow(window);
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

// ---------------------------------------------------------------------------------------------
// Render systems: a scene of sprites, particles and a wrapped text, a frame at a time.

// A scene object whose looks are all in its chunks.
class Thing : public Object {
public:
    explicit Thing(ObjectsManager* owner) : Object(owner) {}
    void SetProperty(const ParconCursor&) override {}
};

// A scene with the render systems, filled by definition texts.
struct RenderScene {
    std::unique_ptr<ObjectsManager> scene = std::make_unique<ObjectsManager>();
    std::vector<std::unique_ptr<Parcon>> parsers;

    RenderScene() {
        scene->AddSystem(std::make_unique<PositionSystem>(scene.get()));
        scene->AddSystem(std::make_unique<SpriteRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<ParticleRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<TextRenderSystem>(scene.get()));
    }
    ~RenderScene() {
        scene.reset();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
    RenderScene(const RenderScene&) = delete;
    RenderScene& operator=(const RenderScene&) = delete;

    Object* Add(const std::string& definition) {
        std::istringstream input(definition);
        Parcon& parser = *parsers.emplace_back(std::make_unique<Parcon>());
        parser.ParseStream("bench.txt", input);
        ParconCursor root = parser.RootCursor();
        root.Next();
        auto object = std::make_unique<Thing>(scene.get());
        object->LoadFromNode(ParconCursor(root.GetList(), 0), false);
        object->ResolveDependencies();
        Object* added = object.get();
        scene->AddObject(std::move(object));
        return added;
    }

    // One step and one frame, as the main loop runs them.
    void Frame() {
        scene->Update(1.0f / 60.0f);
        Renderer::Clear();
        Renderer::BeginScene();
        scene->PreRender();
        scene->Render();
        scene->PostRender();
        Renderer::EndScene();
        Renderer::Present();
    }
};

// Sheets of 8 x 4 cells of 32 pixels, an animation file of eight walking animations on each, a
// particle definition and a font of the 95 printable ASCII characters.
void WriteRenderFiles(const WorkFolder& folder) {
    static bool written = false;
    if (written) {
        return;
    }
    written = true;
    for (int sheet = 0; sheet < 8; ++sheet) {
        const std::string name = "sheet" + std::to_string(sheet);
        folder.Write(name + ".png", EncodePng(Picture(256, 128, true)));
        std::string animations;
        for (int animation = 0; animation < 8; ++animation) {
            animations += "(framedAnim walk" + std::to_string(animation) + " " + name +
                          ".png 32 32 (fps " + std::to_string(10 + animation) + ") (frames " +
                          std::to_string(animation * 4) + " " + std::to_string(animation * 4 + 1) +
                          " " + std::to_string(animation * 4 + 2) + " " +
                          std::to_string(animation * 4 + 3) + "))\n";
        }
        folder.Write(name + ".ani", animations);
    }
    folder.Write("spark.png", EncodePng(Picture(16, 16, true)));
    folder.Write("spark.prt", std::string("(alpha 0 1) (alpha 2 0) (size 0 6) (size 2 14)"
                                          "(color 0 1 0.8 0.3) (color 2 1 0.2 0)"
                                          "(flow 0 1000) (angle 0 0 360) (vel 0 20 120)"
                                          "(texture spark.png) (blending add) (max_parts 2000)"
                                          "(gravity 40)\n"));
    folder.Write("font.png", EncodePng(Picture(256, 128, true)));
    std::string glyphs;
    for (int code = 33; code < 127; ++code) {
        const int cell = code - 32;
        glyphs += std::to_string(code) + " " + static_cast<char>(code) + " " +
                  std::to_string(cell % 16 * 16) + " " + std::to_string(cell / 16 * 20) + " " +
                  std::to_string(6 + code % 7) + " 20\n";
    }
    glyphs += "32 _ 0 0 5 20\nspacing 1\n";
    folder.Write("font.fnt", glyphs);
}

// 500 sprites of 64 animations on 8 sheets, each at its own depth, updated and drawn each frame.
void BM_SpriteScene500(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    WriteRenderFiles(stage.folder);
    SeedRandom(5);
    RenderScene scene;
    constexpr int kSprites = 500;
    for (int i = 0; i < kSprites; ++i) {
        scene.Add("(thing (POSI (position " + std::to_string(16 + (i * 37) % 992) + " " +
                  std::to_string(16 + (i * 53) % 736) + ")) (SPRT (file sheet" +
                  std::to_string(i % 8) + ".ani) (animName walk" + std::to_string(i / 8 % 8) +
                  ") (zOrder " + std::to_string(Random() % 200) + ")))");
    }
    for (auto _ : state) {
        scene.Frame();
    }
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_SpriteScene500)->Unit(benchmark::kMillisecond)->UseRealTime();

// One effect kept at 2,000 living particles, updated and drawn each frame.
void BM_Particles2000(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    WriteRenderFiles(stage.folder);
    SeedRandom(5);
    RenderScene scene;
    Object* effect =
        scene.Add("(thing (POSI (position 512 384)) (PART (file spark.prt) (static 1)))");
    const ParticleEmitter& emitter = effect->RequireChunk<ParticleChunk>(FourCC("PART")).emitter;
    for (int step = 0; step < 240; ++step) {
        scene.scene->UpdateParticles(1.0f / 60.0f);
    }
    int64_t drawn = 0;
    for (auto _ : state) {
        scene.Frame();
        state.PauseTiming();
        for (const Particle& particle : emitter.Particles()) {
            drawn += particle.alive ? 1 : 0;
        }
        state.ResumeTiming();
    }
    state.counters["live"] =
        benchmark::Counter(static_cast<double>(drawn) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(drawn);
}
BENCHMARK(BM_Particles2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// About 2,000 characters of words of 2 to 10 letters.
std::string WordsText() {
    std::string text;
    uint32_t noise = 7;
    while (text.size() < 2000) {
        noise = noise * 1103515245u + 12345u;
        const std::size_t length = 2 + (noise >> 16) % 9;
        for (std::size_t i = 0; i < length && text.size() < 2000; ++i) {
            text += static_cast<char>('a' + (noise >> (i % 12)) % 26);
        }
        if (text.size() < 2000) {
            text += ' ';
        }
    }
    return text;
}

// A 2,000-character text wrapped at 600 pixels: laid out and drawn each frame.
void BM_WrappedText2000(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    WriteRenderFiles(stage.folder);
    MainFont = std::make_unique<BitmapFont>();
    MainFont->Load("font");
    const std::string text = WordsText();
    RenderScene scene;
    Object* object = scene.Add("(thing (POSI (position 200 20)) (TEXT (width 600)))");
    TextRenderChunk& chunk = object->RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    chunk.text = text;
    for (auto _ : state) {
        scene.Frame();
    }
    state.counters["lines"] = static_cast<double>(chunk.Lines().size());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    MainFont.reset();
}
BENCHMARK(BM_WrappedText2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The layout alone of the same text: the measuring that every draw of a wrapped text repeats.
void BM_WrappedText2000LayoutOnly(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    WriteRenderFiles(stage.folder);
    MainFont = std::make_unique<BitmapFont>();
    MainFont->Load("font");
    RenderScene scene;
    Object* object = scene.Add("(thing (POSI (position 200 20)) (TEXT (width 600)))");
    TextRenderChunk& chunk = object->RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    chunk.text = WordsText();
    for (auto _ : state) {
        chunk.Layout();
        benchmark::DoNotOptimize(chunk.Lines().data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(chunk.text.size()));
    MainFont.reset();
}
BENCHMARK(BM_WrappedText2000LayoutOnly)->Unit(benchmark::kMicrosecond);

// The frame around the scenes above: clear, an empty scene's passes and present.
void BM_EmptyFrame(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    RenderScene scene;
    for (auto _ : state) {
        scene.Frame();
        // Each frame and its floor wait for the rasteriser: a swap of the headless window
        // returns before the work is done, and the floor's clear would otherwise never be drawn.
        glFinish();
    }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of the frame above, in the same window and context: the window's own framebuffer
// cleared and swapped, nothing else.
void BM_BareClearAndSwapFloor(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    const auto bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    if (bindFramebuffer == nullptr) {
        state.SkipWithError("no glBindFramebuffer");
        return;
    }
    GLint deviceFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &deviceFramebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(stage.window->Native());
        glFinish();
    }
    bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(deviceFramebuffer));
}
BENCHMARK(BM_BareClearAndSwapFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
