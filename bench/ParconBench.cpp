#include "engine/Parcon.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace {

// A definition file the size of a large scene: nested object lists with words, numbers,
// quoted strings (some with escaped quotes) and comments, about 4 MB.
std::string MakeDefinitionFile() {
    std::mt19937 random(7);
    std::string text;
    text.reserve(4500000);
    for (int object = 0; text.size() < 4000000; ++object) {
        const std::string id = std::to_string(object);
        text += "# object " + id + ", generated\n";
        text += "(object obj_" + id + "\n";
        text += "    (position " + std::to_string(random() % 1024) + ".25 -" +
                std::to_string(random() % 768) + ".5 0)\n";
        text += "    (name \"A \\\"quoted\\\" name for object " + id + "\")\n";
        text += "    (frames [";
        for (int frame = 0; frame < 12; ++frame) {
            text += std::to_string(random() % 100) + (frame < 11 ? " " : "");
        }
        text += "])\n";
        text += "    (flags visible solid clickable) # trailing comment\n";
        text += "    (sound \"sfx\\steps\\wood_" + std::to_string(random() % 8) + ".ogg\" 0.8)\n";
        text += "    (states (idle (anim idle.ani 1)) (walk (anim walk.ani 2 (speed 1.5))))\n";
        text += ")\n";
    }
    return text;
}

void BM_ParconParseStream(benchmark::State& state) {
    const std::string text = MakeDefinitionFile();
    std::istringstream input(text);
    for (auto _ : state) {
        input.clear();
        input.seekg(0);
        Parcon parser;
        parser.ParseStream("scene.txt", input);
        benchmark::DoNotOptimize(parser.Root());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParconParseStream)->Unit(benchmark::kMillisecond);

} // namespace
