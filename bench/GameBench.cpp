// The game on a location of 200 objects whose 30 textures come from "pack.boo": loading the
// location cold (time and peak memory), one step of the game process, and one frame of it on the
// real OpenGL device (headless unless a video driver is chosen).

#include "bench/BenchWindow.h"
#include "bench/HeapCounter.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "game/ClassList.h"
#include "game/GameProc.h"
#include "mainloop/MainLoop.h"
#include "media/AnimationCache.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/Window.h"
#include "tools/packtool/PackWriter.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kObjects = 200;
constexpr int kTextures = 30;
constexpr int kTextureSide = 256;

// A picture with some detail, so that decoding it is work like a real one.
Image Picture(int seed) {
    Image image;
    image.width = kTextureSide;
    image.height = kTextureSide;
    image.pixels.resize(static_cast<std::size_t>(kTextureSide) * kTextureSide);
    uint32_t noise = 12345u + static_cast<uint32_t>(seed);
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = 0; x < image.width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint32_t grain = (noise >> 16) & 0x1F;
            const uint32_t red = (x + grain) & 0xFF;
            const uint32_t green = (y + grain) & 0xFF;
            const uint32_t blue = ((x ^ y) + static_cast<uint32_t>(seed) * 8u) & 0xFF;
            const uint32_t alpha = (x / 16 + y / 16) % 4 == 0 ? 0u : 0xFFu;
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                alpha << 24 | red << 16 | green << 8 | blue;
        }
    }
    return image;
}

// A game folder holding only "pack.boo" (pictures stored, as the game's pack stores them; texts
// compressed), the window and the device, made once for all benchmarks.
struct Stage {
    std::filesystem::path folder;
    std::filesystem::path previous;
    Window* window = nullptr;
    std::string failure;

    Stage() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-gamebench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        WritePack();
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        RegisterGameClasses();

        failure = OpenBenchWindow(window);
    }

    ~Stage() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    static void WritePack() {
        PackWriter pack;
        constexpr auto kStored = PackWriter::Packing::Stored;
        constexpr auto kBzip2 = PackWriter::Packing::Bzip2;
        std::string definitions = "(Final\n";
        for (int i = 0; i < kTextures; ++i) {
            const std::string stem = "gfx/location/t" + std::to_string(i);
            const std::vector<uint8_t> png = EncodePng(Picture(i));
            pack.AddBytes(stem + ".png", std::string(png.begin(), png.end()), kStored);
            pack.AddBytes(stem + ".ani",
                          "(framedAnim idle " + stem + ".png 64 64 (fps 10) (frames 0 1 2 3))\n",
                          kBzip2);
            // Half of them hidden objects, the rest scenery, as a location has.
            const std::string kind =
                i % 2 == 0 ? " GameHiddenObject (POSI) (KEYB)" : " BaseGameObject (POSI)";
            definitions += "  (Prop" + std::to_string(i) + kind + " (SPRT (file " + stem +
                           ".ani) (animName idle)) (COLI (left -32) (right 32) (top -32)"
                           " (bottom 32)))\n";
        }
        definitions += ")\n";
        pack.AddBytes("scripts/objects.txt", definitions, kBzip2);
        pack.AddBytes("scripts/ui_objects.txt", "(Final)\n", kBzip2);
        pack.AddBytes("gestures.txt", "", kBzip2);
        pack.AddBytes("menus/game.txt", "(Objects)\n", kBzip2);
        // The location, and the same with more objects (over one another, all on the screen) for
        // the frame's cost as the count grows.
        for (const int objects : {kObjects, 800, 3200}) {
            const std::string path = objects == kObjects
                                         ? "levels/bench.txt"
                                         : "levels/bench" + std::to_string(objects) + ".txt";
            std::string scene =
                "(Meta (Name bench) (levelPath levels\\bench.txt) (Type normal))\n(Objects\n";
            for (int i = 0; i < objects; ++i) {
                scene += "  (Prop" + std::to_string(i % kTextures) + " (POSI (position " +
                         std::to_string(40 + (i % 20) * 50) + " " +
                         std::to_string(40 + ((i / 20) % 10) * 70) + ")) (visName o" +
                         std::to_string(i) + "))\n";
            }
            scene += ")\n";
            pack.AddBytes(path, scene, kBzip2);
        }
        pack.Write("pack.boo");
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

// Everything a load made goes, so that the next load reads and decodes again.
void ForgetLoads() {
    AnimationCache::Clear();
    TextureManager::PurgeUnused();
}

// A cold load of the location: a new level with its systems and definitions, then the scene,
// its 30 pictures decoded from the pack into textures. No profile is current, so no save game
// is written.
void BM_LoadLocation(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    std::size_t heapGrowth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ForgetLoads();
        const std::size_t heapBefore = HeapInUse();
        ResetHeapPeak();
        state.ResumeTiming();

        auto level = std::make_unique<Level>();
        level->Load();
        level->LoadScene("levels/bench.txt", true);

        state.PauseTiming();
        heapGrowth = std::max(heapGrowth, HeapPeak() - heapBefore);
        if (level->Objects().size() != kObjects) {
            state.SkipWithError("the location did not load whole");
        }
        level.reset();
        state.ResumeTiming();
    }
    state.counters["heap_peak_MiB"] = static_cast<double>(heapGrowth) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadLocation)->Unit(benchmark::kMillisecond);

// The game process on the loaded location, as the menu starts it.
class RunningGame {
public:
    explicit RunningGame(int objects = kObjects) {
        process = GameProc::Create();
        GameLevel->LoadScene(objects == kObjects
                                 ? std::string("levels/bench.txt")
                                 : "levels/bench" + std::to_string(objects) + ".txt",
                             true);
    }
    ~RunningGame() {
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
        ForgetLoads();
    }
    GameProc& Process() { return *process; }

private:
    std::unique_ptr<GameProc> process;
};

void BM_GameStep(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    RunningGame game;
    for (auto _ : state) {
        game.Process().Update(kStepTime);
        game.Process().AfterUpdate();
    }
}
BENCHMARK(BM_GameStep)->Unit(benchmark::kMicrosecond);

long MainThreadPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

// A frame as the main loop draws it, presented, with 200, 800 and 3,200 objects; the real time,
// since the device works apart, and the main thread's CPU time against the 16.7 ms of a frame.
void BM_GameFrameOpenGl(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    RunningGame game(static_cast<int>(state.range(0)));
    game.Process().Update(kStepTime);
    const auto frame = [&game] {
        Renderer::Clear();
        Renderer::BeginScene();
        game.Process().PreRender();
        game.Process().Render();
        Renderer::EndScene();
        game.Process().PostRender();
        Renderer::Present();
    };
    // The frames a location draws over and over: the first ones also set up what later frames
    // reuse (the device's texture atlas, its copies), once.
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        frame();
    }
    const long faultsBefore = MainThreadPageFaults();
    for (auto _ : state) {
        frame();
    }
    // Memory touched anew costs the main thread more than the drawing on a loaded machine; the
    // count does not depend on the load.
    state.counters["page_faults_per_frame"] =
        static_cast<double>(MainThreadPageFaults() - faultsBefore) /
        static_cast<double>(state.iterations());
}
BENCHMARK(BM_GameFrameOpenGl)
    ->Arg(kObjects)
    ->Arg(800)
    ->Arg(3200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
