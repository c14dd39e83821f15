#include "bench/HeapCounter.h"
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

const std::string& DefinitionFile() {
    static const std::string text = MakeDefinitionFile();
    return text;
}

// The parse, with the heap its tree holds (counted through operator new) against the file's size.
void BM_ParconParseStream(benchmark::State& state) {
    const std::string& text = DefinitionFile();
    std::istringstream input(text);
    std::size_t treeBytes = 0;
    for (auto _ : state) {
        input.clear();
        input.seekg(0);
        const std::size_t before = HeapInUse();
        Parcon parser;
        parser.ParseStream("scene.txt", input);
        treeBytes = HeapInUse() - before;
        benchmark::DoNotOptimize(parser.Root());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    state.counters["tree_per_file_byte"] =
        static_cast<double>(treeBytes) / static_cast<double>(text.size());
}
BENCHMARK(BM_ParconParseStream)->Unit(benchmark::kMillisecond);

// The floor the parse is measured against, in the same program: the same stream read line by
// line and cut into the notation's tokens (brackets, words, quoted strings, comments), keeping
// nothing.
void BM_TokenizerFloor(benchmark::State& state) {
    const std::string& text = DefinitionFile();
    std::istringstream input(text);
    std::string line;
    for (auto _ : state) {
        input.clear();
        input.seekg(0);
        std::size_t tokens = 0;
        while (std::getline(input, line)) {
            const char* p = line.data();
            const char* const end = p + line.size();
            while (p != end) {
                const char c = *p;
                if (c == ' ' || (c >= '\t' && c <= '\r')) {
                    ++p;
                } else if (c == '#') {
                    break;
                } else if (c == '(' || c == ')' || c == '[' || c == ']') {
                    ++tokens;
                    ++p;
                } else if (c == '"') {
                    ++p;
                    while (p != end && *p != '"') {
                        p += (*p == '\\' && p + 1 != end) ? 2 : 1;
                    }
                    p += p != end ? 1 : 0;
                    ++tokens;
                } else {
                    while (p != end && *p != ' ' && *p != '(' && *p != ')' && *p != '[' &&
                           *p != ']' && !(*p >= '\t' && *p <= '\r')) {
                        ++p;
                    }
                    ++tokens;
                }
            }
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TokenizerFloor)->Unit(benchmark::kMillisecond);

} // namespace
