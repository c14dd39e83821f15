// The demo's mini-games, every scene whose Type is neither a location nor the world map, listed
// from its scene files, with every file under "data/" and with every file in "pack.boo":
// - a mini-game's button to its first frame: over the location that opens it (on screen, its
//   pictures loaded), the sounds stopped and the opening sound started, the mini-game's process
//   made with its scene loaded into the mini-game level, and its first pass: one step and one
//   frame, the location drawn beneath;
// - one frame of each mini-game once it runs, real time and the CPU time of the whole process,
//   the software rasteriser's threads included, with the CPU time of the step (step_ms) and of
//   the drawing (draw_ms) apart.
// Every opening is cold: the mini-game's pictures and animations are read and decoded again.

#include "bench/DemoStage.h"
#include "engine/Exception.h"
#include "engine/XProcess.h"
#include "media/SoundManager.h"
#include "ui/ModalProcesses.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSettleSteps = 60;
constexpr int kOpenings = 5;

std::string Stem(const DemoScene& scene) {
    return std::filesystem::path(scene.path).stem().string();
}

// The mini-game process as the location's button starts it.
std::unique_ptr<XProcess> OpenMiniGame(const DemoScene& miniGame) {
    Sounds.StopAll();
    Sounds.PlayByName("game_appear", false, 100, 0);
    std::unique_ptr<XProcess> process = GameModalProc::Create(miniGame.path, {});
    DemoStage::FirstPass(*process);
    return process;
}

void Close(std::unique_ptr<XProcess>& miniGame, std::unique_ptr<XProcess>& location) {
    if (miniGame != nullptr) {
        miniGame->End();
        miniGame.reset();
    }
    location.reset();
    DemoStage::ClearScenes();
}

void ButtonToFirstFrame(benchmark::State& state, DemoStage& stage, int layout,
                        const DemoScene& miniGame, const DemoScene& host) {
    stage.Enter(layout);
    std::unique_ptr<XProcess> location;
    std::unique_ptr<XProcess> game;
    try {
        for (auto _ : state) {
            location = DemoStage::OpenLocation(host.path);
            const Clock::time_point start = Clock::now();
            game = OpenMiniGame(miniGame);
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            if (ModalLevel == nullptr || ModalLevel->type != miniGame.type) {
                state.SkipWithError("the mini-game did not open");
            }
            Close(game, location);
        }
    } catch (const Exception& error) {
        state.SkipWithError(error.Text());
        game.reset();
        location.reset();
        DemoStage::ClearScenes();
    }
    stage.Leave();
    state.SetLabel(std::string(DemoStage::LayoutLabel(layout)) + ", over " + host.name);
}

void MiniGameFrame(benchmark::State& state, DemoStage& stage, const DemoScene& miniGame,
                   const DemoScene& host) {
    stage.Enter(0);
    stage.ResetNested();
    std::unique_ptr<XProcess> location;
    std::unique_ptr<XProcess> game;
    try {
        location = DemoStage::OpenLocation(host.path);
        game = OpenMiniGame(miniGame);
        for (int step = 0; step < kSettleSteps && game->state != 0; ++step) {
            DemoStage::Pass(*game);
        }
        double stepMs = 0.0;
        double drawMs = 0.0;
        for (auto _ : state) {
            if (game->state == 0) {
                state.SkipWithError("the mini-game ended by itself");
                break;
            }
            DemoStage::MeasuredPass(*game, stepMs, drawMs);
        }
        state.counters["step_ms"] = benchmark::Counter(stepMs, benchmark::Counter::kAvgIterations);
        state.counters["draw_ms"] = benchmark::Counter(drawMs, benchmark::Counter::kAvgIterations);
        if (ModalLevel != nullptr) {
            state.counters["objects"] = static_cast<double>(ModalLevel->Objects().size());
        }
        Close(game, location);
    } catch (const Exception& error) {
        state.SkipWithError(error.Text());
        game.reset();
        location.reset();
        DemoStage::ClearScenes();
    }
    state.counters["nested"] = stage.Nested();
    stage.Leave();
    state.SetLabel("over " + host.name);
}

} // namespace

void RegisterMiniGameBenchmarks(DemoStage& stage) {
    for (int layout = 0; layout < 2; ++layout) {
        for (const DemoScene& miniGame : stage.Scenes(layout)) {
            if (miniGame.IsLocation()) {
                continue;
            }
            const DemoScene& host = stage.HostOf(layout, miniGame);
            benchmark::RegisterBenchmark(
                ("DemoMiniGameToFirstFrame/" + Stem(miniGame) + "/" + DemoStage::kLayouts[layout])
                    .c_str(),
                [&stage, layout, &miniGame, &host](benchmark::State& state) {
                    ButtonToFirstFrame(state, stage, layout, miniGame, host);
                })
                ->Iterations(kOpenings)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const DemoScene& miniGame : stage.Scenes(0)) {
        if (!miniGame.IsLocation()) {
            const DemoScene& host = stage.HostOf(0, miniGame);
            benchmark::RegisterBenchmark(("DemoMiniGameFrame/" + Stem(miniGame)).c_str(),
                                         [&stage, &miniGame, &host](benchmark::State& state) {
                                             MiniGameFrame(state, stage, miniGame, host);
                                         })
                ->MeasureProcessCPUTime()
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}
