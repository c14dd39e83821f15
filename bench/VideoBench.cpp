// A cut-scene frame (decode, conversion and upload into the picture texture) against the 16.7 ms
// of a step, beside its decode and conversion alone; a wand stroke's step in a level, and the
// trail's drawing at the most points it fades by time. On the real OpenGL device (headless unless
// a video driver is chosen).

#include "bench/BenchWindow.h"
#include "engine/FileSystem.h"
#include "engine/MouseState.h"
#include "media/Math2D.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "media/VideoStream.h"
#include "tests/support/VideoFixtures.h"
#include "world/Level.h"
#include "world/MouseGestureSystem.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldClasses.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kStepMilliseconds = 1000.0 / 60.0;
constexpr const char* kClip = "clip.ogv";

// A 640 x 360 picture with detail that moves: bands and a drifting pattern, so that inter frames
// carry real work, as the demo's and the game's videos do.
TheoraClip BenchClip() {
    TheoraClip clip;
    clip.frames = 90;
    clip.quality = 48;
    clip.pixel = [](int frame, int x, int y) {
        const int wave = static_cast<int>(40.0 * std::sin((x + frame * 6) * 0.03) *
                                          std::cos((y - frame * 3) * 0.02));
        return YCbCr{static_cast<uint8_t>(120 + wave + (x / 80) * 4),
                     static_cast<uint8_t>(128 + wave / 2), static_cast<uint8_t>(128 - wave / 3)};
    };
    return clip;
}

// A fresh game folder under the temporary folder, the process working in it; the window and the
// device; the clip; a level with the gesture system and a tool in use.
struct Stage {
    std::filesystem::path folder;
    std::filesystem::path previous = std::filesystem::current_path();
    Window* window = nullptr;
    std::string failure;
    std::unique_ptr<Level> level;

    Stage() {
        std::string name = (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder = name;
        std::filesystem::current_path(folder);
        std::filesystem::create_directories("data/scripts");
        std::filesystem::create_directories("data/gfx/fx");
        std::ofstream("data/" + std::string(kClip), std::ios::binary) << TheoraFile(BenchClip()).bytes;
        std::ofstream("data/scripts/objects.txt");
        std::ofstream("data/gestures.txt") << "(gesture hook RDL)\n(gesture loop DR 1)\n";
        std::ofstream("data/gfx/fx/magic_trail.prt")
            << "(alpha 0 1) (alpha 0.7 0) (size 0 8) (max_parts 24) (flow 0 60) (vel 0 20 70)\n";
        Files.SetDataFolder("data");
        failure = OpenBenchWindow(window);
        RegisterWorldClasses();
        level = std::make_unique<Level>();
        level->Load();
        GameLevel = level.get();
        level->levelSystem->toolInUse = true;
    }
    ~Stage() {
        GameLevel = nullptr;
        level.reset();
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

// The stream's next frame; at the clip's end it starts again, outside the timing.
void NextFrame(benchmark::State& state, std::unique_ptr<VideoStream>& stream) {
    if (!stream->Step()) {
        state.PauseTiming();
        stream = std::make_unique<VideoStream>(kClip);
        state.ResumeTiming();
    }
}

// The wall time of the timed iterations as a share of a step of the main loop each, from the
// clock taken around them.
void ReportAgainstStep(benchmark::State& state, std::chrono::steady_clock::duration timed) {
    const double milliseconds = std::chrono::duration<double, std::milli>(timed).count();
    state.counters["of_step"] =
        milliseconds / static_cast<double>(std::max<int64_t>(state.iterations(), 1)) /
        kStepMilliseconds;
}

// Wall time of the loop body only.
class BodyClock {
public:
    void Start() { begin = std::chrono::steady_clock::now(); }
    void Stop() { total += std::chrono::steady_clock::now() - begin; }
    std::chrono::steady_clock::duration Total() const { return total; }

private:
    std::chrono::steady_clock::time_point begin;
    std::chrono::steady_clock::duration total{};
};

// Decodes the next frame into the picture texture, and draws it as the video does.
void ShowFrame(benchmark::State& state, std::unique_ptr<VideoStream>& stream,
               TextureHandle& picture) {
    NextFrame(state, stream);
    GfxTexture* texture = picture.Texture();
    LockedRect locked;
    texture->LockRect(0, locked, 0);
    stream->CopyPicture(static_cast<uint8_t*>(locked.bits), locked.pitch, 1024, 1024);
    texture->UnlockRect(0);
    Renderer::Clear();
    Renderer::BeginScene();
    DrawQuad(0, 100, 800, 1638, 1638, 0, 0, 1, 1, &picture, 0, 1, 1, nullptr, 0, 0);
    Renderer::EndScene();
    Renderer::Present();
}

void BM_VideoFrameDecodeConvertUpload(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    TextureHandle picture;
    TextureManager::CreateTexture(picture, 1024, 1024, false);
    auto stream = std::make_unique<VideoStream>(kClip);
    // The first upload and draw set the device up; they are not what a frame costs.
    ShowFrame(state, stream, picture);
    BodyClock clock;
    for (auto _ : state) {
        clock.Start();
        ShowFrame(state, stream, picture);
        clock.Stop();
    }
    ReportAgainstStep(state, clock.Total());
    picture.Release();
    TextureManager::PurgeUnused();
}
BENCHMARK(BM_VideoFrameDecodeConvertUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the empty frame the video's frame is drawn in.
void BM_EmptyFrame(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    for (auto _ : state) {
        Renderer::Clear();
        Renderer::BeginScene();
        Renderer::EndScene();
        Renderer::Present();
    }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VideoDecodeOnly(benchmark::State& state) {
    TheStage();
    auto stream = std::make_unique<VideoStream>(kClip);
    for (auto _ : state) {
        NextFrame(state, stream);
    }
}
BENCHMARK(BM_VideoDecodeOnly)->Unit(benchmark::kMillisecond);

void BM_VideoConvertOnly(benchmark::State& state) {
    TheStage();
    const VideoStream stream(kClip);
    std::vector<uint32_t> pixels(1024 * 1024);
    for (auto _ : state) {
        stream.CopyPicture(reinterpret_cast<uint8_t*>(pixels.data()), 4096, 1024, 1024);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_VideoConvertOnly)->Unit(benchmark::kMillisecond);

// One step of a level while the wand draws: the mouse moves 6 pixels on a circle, the trail
// (about 48 points at a step each) ages, sparks are made and end.
void BM_GestureStroke_LevelStep(benchmark::State& state) {
    Stage& stage = TheStage();
    Mouse = MouseState();
    Mouse.leftHeld = true;
    float angle = 0.0f;
    BodyClock clock;
    for (auto _ : state) {
        clock.Start();
        angle += 0.03f;
        Mouse.x = 512.0f + 200.0f * std::cos(angle);
        Mouse.y = 384.0f + 200.0f * std::sin(angle);
        Mouse.moved = true;
        stage.level->Update(1.0f / 60.0f);
        stage.level->RemoveDead();
        clock.Stop();
    }
    ReportAgainstStep(state, clock.Total());
    Mouse = MouseState();
}
BENCHMARK(BM_GestureStroke_LevelStep)->Unit(benchmark::kMicrosecond);

// The trail at the most points that fade by time, along a spiral, all visible.
void BM_TrailDraw1800Points(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    std::vector<GestureTrailPoint> points(MouseGestureSystem::kMostTimedTrailPoints);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float t = static_cast<float>(i) * 0.02f;
        points[i].x = 512.0f + (40.0f + t * 8.0f) * std::cos(t);
        points[i].y = 384.0f + (40.0f + t * 8.0f) * std::sin(t);
        points[i].alpha = 1.0f - static_cast<float>(i) / static_cast<float>(points.size() + 1);
        points[i].width = MouseGestureSystem::kTrailWidth;
    }
    TextureHandle trail;
    TextureManager::CreateTexture(trail, 64, 64, false);
    BodyClock clock;
    for (auto _ : state) {
        clock.Start();
        Renderer::Clear();
        Renderer::BeginScene();
        Renderer::SetBlendMode(Renderer::kBlendModeAdd);
        Renderer::DrawStroke(points, &trail);
        Renderer::SetBlendMode(Renderer::kBlendModeAlpha);
        Renderer::EndScene();
        Renderer::Present();
        clock.Stop();
    }
    ReportAgainstStep(state, clock.Total());
    trail.Release();
    TextureManager::PurgeUnused();
}
BENCHMARK(BM_TrailDraw1800Points)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
