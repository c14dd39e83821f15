// The demo's locations, listed from its scene files, with every file under "data/" and with every
// file in "pack.boo":
// - "Play" to the first frame of the start location, as the main menu starts it: the layers, the
//   location loaded into the game level, the game process made, one step and one frame;
// - an exit to the first frame of each location, as the player walks through it: from the
//   location that leads there (already on screen), the layer's own walk to the location (the
//   layers and the level cleared, the scene loaded, a new game process) to its first frame;
// - one frame of each location once it runs (a step of the game process and the frame drawn),
//   real time and the CPU time of the whole process, the software rasteriser's threads included,
//   with the CPU time of the step (step_ms) and of the drawing (draw_ms) apart.
// A new profile is current, so each load writes the save game as it does for a player. Every
// load is cold: pictures and animations are read and decoded again.

#include "bench/DemoStage.h"
#include "engine/Exception.h"
#include "engine/XProcess.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Steps before a frame is measured: a second of play, past the location's fade-in.
constexpr int kSettleSteps = 60;
// Each cold load repeats the whole set-up around it; a few make the figure.
constexpr int kLoads = 5;

std::string Stem(const DemoScene& scene) {
    return std::filesystem::path(scene.path).stem().string();
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void PlayToFirstFrame(benchmark::State& state, DemoStage& stage, int layout,
                      const DemoScene& location) {
    stage.Enter(layout);
    try {
        for (auto _ : state) {
            const Clock::time_point start = Clock::now();
            std::unique_ptr<XProcess> process = DemoStage::OpenLocation(location.path);
            state.SetIterationTime(Since(start));
            if (GameLevel == nullptr || GameLevel->name != location.name) {
                state.SkipWithError("the location did not load");
            }
            process.reset();
            DemoStage::ClearScenes();
        }
    } catch (const Exception& error) {
        state.SkipWithError(error.Text());
    }
    stage.Leave();
    state.SetLabel(DemoStage::LayoutLabel(layout));
}

void ExitToFirstFrame(benchmark::State& state, DemoStage& stage, int layout,
                      const DemoScene& location, const DemoScene& origin) {
    stage.Enter(layout);
    try {
        for (auto _ : state) {
            std::unique_ptr<XProcess> from = DemoStage::OpenLocation(origin.path);
            stage.Arm();
            MainUI->GoToLocation(location.path);
            const double seconds = stage.ArmedSeconds();
            state.SetIterationTime(seconds);
            if (seconds <= 0.0 || stage.ArrivedAt() != location.name) {
                state.SkipWithError("the exit did not lead to the location");
            }
            from.reset();
            DemoStage::ClearScenes();
        }
    } catch (const Exception& error) {
        state.SkipWithError(error.Text());
    }
    stage.Leave();
    state.SetLabel(std::string(DemoStage::LayoutLabel(layout)) + ", from " + origin.name);
}

void LocationFrame(benchmark::State& state, DemoStage& stage, const DemoScene& location) {
    stage.Enter(0);
    stage.ResetNested();
    try {
        std::unique_ptr<XProcess> process = DemoStage::OpenLocation(location.path);
        for (int step = 0; step < kSettleSteps && process->state != 0; ++step) {
            DemoStage::Pass(*process);
        }
        double stepMs = 0.0;
        double drawMs = 0.0;
        for (auto _ : state) {
            if (process->state == 0) {
                state.SkipWithError("the location ended by itself");
                break;
            }
            DemoStage::MeasuredPass(*process, stepMs, drawMs);
        }
        state.counters["step_ms"] = benchmark::Counter(stepMs, benchmark::Counter::kAvgIterations);
        state.counters["draw_ms"] = benchmark::Counter(drawMs, benchmark::Counter::kAvgIterations);
        state.counters["objects"] = static_cast<double>(GameLevel->Objects().size());
        state.counters["hud"] = static_cast<double>(MainUI->Objects().size());
        process.reset();
    } catch (const Exception& error) {
        state.SkipWithError(error.Text());
    }
    state.counters["nested"] = stage.Nested();
    stage.Leave();
}

} // namespace

void RegisterLocationBenchmarks(DemoStage& stage) {
    for (int layout = 0; layout < 2; ++layout) {
        for (const DemoScene& location : stage.Scenes(layout)) {
            if (!location.IsLocation()) {
                continue;
            }
            const std::string suffix = Stem(location) + "/" + DemoStage::kLayouts[layout];
            if (location.path == DemoStage::kStartLocation) {
                benchmark::RegisterBenchmark(
                    ("DemoPlayToFirstFrame/" + suffix).c_str(),
                    [&stage, layout, &location](benchmark::State& state) {
                        PlayToFirstFrame(state, stage, layout, location);
                    })
                    ->Iterations(kLoads)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
            if (const DemoScene* origin = stage.OriginOf(layout, location)) {
                benchmark::RegisterBenchmark(
                    ("DemoExitToFirstFrame/" + suffix).c_str(),
                    [&stage, layout, &location, origin](benchmark::State& state) {
                        ExitToFirstFrame(state, stage, layout, location, *origin);
                    })
                    ->Iterations(kLoads)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    for (const DemoScene& location : stage.Scenes(0)) {
        if (location.IsLocation()) {
            benchmark::RegisterBenchmark(("DemoLocationFrame/" + Stem(location)).c_str(),
                                         [&stage, &location](benchmark::State& state) {
                                             LocationFrame(state, stage, location);
                                         })
                ->MeasureProcessCPUTime()
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}
