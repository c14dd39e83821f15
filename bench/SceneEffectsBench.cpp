// A location with forty running scene effects (ten glow pulses, ten pools, ten falling sheets of
// water, five sparks travelling their paths and five buttons' sparkle fields) over forty objects:
// one step of its level, and one frame of it on the real OpenGL device (headless unless a video
// driver is chosen). Each figure stands beside the same location without its effects (argument
// 0), its floor.

#include "bench/BenchWindow.h"
#include "engine/FileSystem.h"
#include "engine/Random.h"
#include "media/AnimationCache.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/ImageCodec.h"
#include "world/FxPath.h"
#include "world/Level.h"
#include "world/WorldClasses.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr int kTargets = 40;
constexpr int kLabelled = 10; // of each kind of alpha effect
constexpr int kPaths = 5;
constexpr int kFields = 5;

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

Image Square(uint32_t argb) {
    Image image;
    image.width = 64;
    image.height = 64;
    image.pixels.assign(64u * 64u, argb);
    return image;
}

// A game folder with the pictures, the particle effect, the definitions and the two locations,
// the window and the device, made once for all benchmarks.
struct Stage {
    std::filesystem::path folder;
    std::filesystem::path previous;
    Window* window = nullptr;
    std::string failure;

    Stage() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-fxbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        WriteData();
        Files.SetDataFolder("data");
        RegisterWorldClasses();
        SeedRandom(1);
        failure = OpenBenchWindow(window);
    }
    ~Stage() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    static void WriteData() {
        const std::vector<uint8_t> square = EncodePng(Square(0xC08080FFu));
        WriteFile("data/gfx/square.png", std::string(square.begin(), square.end()));
        const std::vector<uint8_t> spark = EncodePng(Square(0xFFFFFFFFu));
        WriteFile("data/gfx/spark.png", std::string(spark.begin(), spark.end()));
        WriteFile("data/gfx/square.ani", "(framedAnim idle gfx\\square.png 64 64 (frames 0))\n");
        WriteFile("data/gfx/spark.prt",
                  "(texture gfx\\spark.png) (blending add) (max_parts 64) (gravity -20) "
                  "(alpha 0 0) (alpha 0.2 0.9) (alpha 1 0) (size 0 8) (size 1 2) (flow 0 40) "
                  "(angle 0 0 360) (vel 0 8 40)\n");
        WriteFile("data/scripts/objects.txt",
                  "(Final\n"
                  "  (Thing BaseGameObject (POSI) (SPRT (file gfx\\square.ani) (animName idle)))\n"
                  "  (Button GameButtonX (POSI) (SPRT (file gfx\\square.ani) (animName idle))\n"
                  "    (COLI (left -32) (right 32) (top -32) (bottom 32)))\n"
                  "  (FxPulseAlpha2) (WaterBlend) (WaterfallBlend))\n");
        for (const bool effects : {false, true}) {
            std::string scene = "(Meta (Name bench) (levelPath levels\\bench.txt))\n(Objects\n";
            for (int i = 0; i < kTargets; ++i) {
                const std::string at = " (POSI (position " + std::to_string(60 + (i % 10) * 95) +
                                       " " + std::to_string(80 + (i / 10) * 150) + "))";
                // Ten of each labelled kind, then the buttons with their sparkle.
                const int kind = i / kLabelled;
                const std::string label = "L" + std::to_string(i);
                if (kind < 3) {
                    scene += "  (Thing (Name " + label + ")" + at + ")\n";
                    if (effects) {
                        const char* effect = kind == 0   ? "FxPulseAlpha2"
                                             : kind == 1 ? "WaterBlend"
                                                         : "WaterfallBlend";
                        scene += "  (" + std::string(effect) + " (Data (name " + label + ")))\n";
                    }
                } else if (effects && i - 3 * kLabelled < kFields) {
                    scene += "  (Button" + at + " (Data (overFx (fx gfx\\spark.prt " +
                             std::to_string(i * 20) + " 300))))\n";
                } else {
                    scene += "  (Thing" + at + ")\n";
                }
            }
            scene += ")\n";
            WriteFile(effects ? "data/levels/bench40.txt" : "data/levels/bench0.txt", scene);
        }
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

// The game level on the location, with the travelling sparks added as their users add them.
class Location {
public:
    explicit Location(bool effects) {
        level = std::make_unique<Level>();
        level->Load();
        GameLevel = level.get();
        level->LoadScene(effects ? "levels/bench40.txt" : "levels/bench0.txt", true);
        for (int i = 0; effects && i < kPaths; ++i) {
            std::unique_ptr<Object> created = level->CreateObject("FxPath", true);
            auto& path = dynamic_cast<FxPath&>(*created);
            level->AddObject(std::move(created));
            // Long enough never to end while measured.
            path.Start("gfx/spark.prt", 100.0f, 100.0f + 100.0f * static_cast<float>(i), 900.0f,
                       600.0f, 1.0e6f, 0.0f);
        }
        level->Update(kStep);
    }
    ~Location() {
        GameLevel = nullptr;
        level.reset();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
    Level& Get() { return *level; }

private:
    std::unique_ptr<Level> level;
};

void BM_EffectsStep(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    Location location(state.range(0) != 0);
    for (auto _ : state) {
        location.Get().Update(kStep);
        location.Get().RemoveDead();
    }
    state.counters["objects"] = static_cast<double>(location.Get().Objects().size());
}
BENCHMARK(BM_EffectsStep)->Arg(0)->Arg(40)->Unit(benchmark::kMicrosecond);

// The level's drawing passes, presented; the real time, since the device works apart.
void BM_EffectsFrameOpenGl(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    Location location(state.range(0) != 0);
    for (auto _ : state) {
        // The effects keep moving, as in play; the step is measured above.
        state.PauseTiming();
        location.Get().Update(kStep);
        state.ResumeTiming();
        Renderer::Clear();
        Renderer::BeginScene();
        location.Get().PreRender();
        location.Get().Render();
        Renderer::EndScene();
        location.Get().PostRender();
        Renderer::Present();
    }
}
BENCHMARK(BM_EffectsFrameOpenGl)->Arg(0)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
