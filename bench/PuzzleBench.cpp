// The demo's pipes mini-game: its scene loaded into the mini-game level from "pack.boo" (every
// file of the demo in the pack, pictures stored and the rest compressed, as the demo packs
// them), with the heap's peak over the load; and one step of the loaded game, in which every pipe
// takes its picture and ends and the manager traces the water, against the trace alone.

#include "bench/HeapCounter.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Random.h"
#include "game/ClassList.h"
#include "media/AnimationCache.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "platform/gfx/RecordingDevice.h"
#include "puzzles/PipesPuzzle.h"
#include "tools/packtool/PackWriter.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPipesScene = "levels/puzzlegate_pipes.txt";
constexpr float kStep = 1.0f / 60.0f;

bool Stored(const std::string& name) {
    const std::string extension = fs::path(name).extension().string();
    return extension == ".png" || extension == ".jpg" || extension == ".ogg";
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A game folder whose only data is one "pack.boo" with every file of the demo; the recording
// device in place of a window (the figures are the files', the parser's and the objects').
struct Stage {
    fs::path root;
    fs::path previous;
    RecordingScript script;
    std::string failure;

    Stage() {
        previous = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "orvex-puzzlebench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        root = pattern;
        if (!fs::is_directory(fs::path(DEMO_GAME_FOLDER) / "data")) {
            failure = "no demo game folder";
            return;
        }
        PackWriter pack;
        fs::current_path(DEMO_GAME_FOLDER);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        AddPacked(pack, Files.PackRoot(), "");
        for (const auto& file : fs::recursive_directory_iterator("data")) {
            if (file.is_regular_file()) {
                const std::string name = fs::relative(file.path(), "data").generic_string();
                pack.AddBytes(name, ReadWhole(file.path()),
                              Stored(name) ? PackWriter::Packing::Stored
                                           : PackWriter::Packing::Bzip2);
            }
        }
        fs::create_directories(root / "data");
        pack.Write((root / "pack.boo").string());
        fs::current_path(root);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        UseRecordingGraphics(script);
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        RegisterGameClasses();
    }

    ~Stage() {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    static void AddPacked(PackWriter& pack, const std::map<std::string, PackEntry>& entries,
                          const std::string& prefix) {
        for (const auto& [name, entry] : entries) {
            if (entry.folder) {
                AddPacked(pack, entry.children, prefix + name + "/");
                continue;
            }
            const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(prefix + name);
            if (!bytes) {
                throw std::runtime_error("cannot read " + prefix + name + " from the demo's pack");
            }
            const std::string path = prefix + name;
            pack.AddBytes(path, std::string(bytes->begin(), bytes->end()),
                          Stored(path) ? PackWriter::Packing::Stored : PackWriter::Packing::Bzip2);
        }
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void Forget() {
    ObjectsManager::Delete(ModalLevel);
    ModalLevel = nullptr;
    // The next load reads and decodes the pictures again.
    AnimationCache::Clear();
    TextureManager::PurgeUnused();
}

void BM_LoadPipesSceneFromPack(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        ResetHeapPeak();
        EnsureLevel(ModalLevel).LoadScene(kPipesScene, true);
        peak = std::max(peak, HeapPeak() - before);
        state.PauseTiming();
        if (ModalLevel->Objects().size() < 27) {
            state.SkipWithError("the pipes did not load");
        }
        Forget();
        state.ResumeTiming();
    }
    state.counters["heap_peak_KiB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_LoadPipesSceneFromPack)->Unit(benchmark::kMillisecond);

// The loaded board, kept from being won so that its step stays the playing one.
PipesPuzzleMngr* LoadBoard(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return nullptr;
    }
    SeedRandom(7);
    EnsureLevel(ModalLevel).LoadScene(kPipesScene, true);
    for (const auto& object : ModalLevel->Objects()) {
        if (auto* manager = dynamic_cast<PipesPuzzleMngr*>(object.get())) {
            return manager;
        }
    }
    state.SkipWithError("the pipes did not load");
    return nullptr;
}

void BM_PipesStepWithWaterTrace(benchmark::State& state) {
    PipesPuzzleMngr* manager = LoadBoard(state);
    if (manager == nullptr) {
        return;
    }
    for (auto _ : state) {
        ModalLevel->Update(kStep);
        manager->finished = false;
    }
    Forget();
}
BENCHMARK(BM_PipesStepWithWaterTrace)->Unit(benchmark::kMicrosecond);

// The floor: the trace alone.
void BM_WaterTraceAlone(benchmark::State& state) {
    PipesPuzzleMngr* manager = LoadBoard(state);
    if (manager == nullptr) {
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager->TraceWater());
    }
    Forget();
}
BENCHMARK(BM_WaterTraceAlone)->Unit(benchmark::kMicrosecond);

} // namespace
