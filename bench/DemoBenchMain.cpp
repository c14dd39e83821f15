// The demo's benchmarks are made from its scene files, so the stage lists the scenes before the
// benchmarks are registered and run.

#include "bench/DemoStage.h"
#include "engine/Exception.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::string failure;
    try {
        DemoStage& stage = DemoStage::Get();
        failure = stage.Failure();
        if (failure.empty()) {
            RegisterLocationBenchmarks(stage);
            RegisterMiniGameBenchmarks(stage);
        }
    } catch (const Exception& error) {
        failure = error.Text();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "demo_bench: %s\n", failure.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
