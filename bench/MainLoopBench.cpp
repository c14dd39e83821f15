// The main loop's own cost: passes of RunProcess with a process that does nothing, on the
// recording graphics device (so the device's work is not counted) and the real event pump of
// the headless display; and the input update that starts every step.

#include "engine/Application.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Clock.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kPasses = 1000;

// Ends at its first step.
class EmptyProcess : public XProcess {
public:
    void Update(float) override { state = 0; }
};

// Ends after a number of steps.
class CountingProcess : public XProcess {
public:
    explicit CountingProcess(int steps) : steps(steps) {}
    void Update(float) override {
        if (--steps == 0) {
            state = 0;
        }
    }

private:
    int steps;
};

class LoopSetUp {
public:
    LoopSetUp() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        SetClockSource(&clock);
        FrameTimer.SetRate(60.0);
        clock.AdvanceSeconds(0.5 / 60.0);
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        App.window = CreateAppWindow(1024, 768, false); // null without a display: no pump then
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, App.window, true);
        for (Message message; PeekMessage(message);) {
        }
    }
    ~LoopSetUp() {
        ResetSeams();
        Renderer::Shutdown();
        DestroyWindow(App.window);
        UnregisterWindowClass(kWindowClassName);
        SetClockSource(nullptr);
    }

    // Each look into the queue moves the clock on by this many steps; the recording is dropped
    // so that it does not grow.
    void StepsPerPass(double steps) {
        Seams().eventSource = [this, steps](std::vector<SyntheticEvent>&) {
            clock.AdvanceSeconds(steps / 60.0);
            script.calls.clear();
            script.draws.clear();
        };
    }

    ManualClock clock;
    RecordingScript script;
};

// A pass that runs one step of an empty process and draws its frame.
void BM_MainLoopPassWithAStep(benchmark::State& state) {
    LoopSetUp loop;
    loop.StepsPerPass(1.0);
    for (auto _ : state) {
        RunProcess(std::make_unique<CountingProcess>(kPasses), false);
    }
    state.counters["per pass"] = benchmark::Counter(
        kPasses, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MainLoopPassWithAStep)->Unit(benchmark::kMicrosecond);

// A pass in which no step is due: the loop's overhead alone.
void BM_MainLoopPassWithNothingDue(benchmark::State& state) {
    LoopSetUp loop;
    loop.StepsPerPass(1.0 / kPasses);
    for (auto _ : state) {
        RunProcess(std::make_unique<EmptyProcess>(), false);
    }
    state.counters["per pass"] = benchmark::Counter(
        kPasses, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MainLoopPassWithNothingDue)->Unit(benchmark::kMicrosecond);

// The input update at the start of every step, with a key and a button held.
void BM_InputUpdatePerStep(benchmark::State& state) {
    ReleaseAllKeys();
    SetKeyDown('A', true);
    SetKeyDown(kKeyLeftButton, true);
    for (auto _ : state) {
        Mouse.Update();
        Keyboard.Update();
        benchmark::DoNotOptimize(Keyboard);
        benchmark::DoNotOptimize(Mouse);
    }
    ReleaseAllKeys();
}
BENCHMARK(BM_InputUpdatePerStep);

} // namespace
