#include "engine/FileSystem.h"
#include "tools/packtool/PackWriter.h"

#include <benchmark/benchmark.h>
#include <bzlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kEntrySize = 20 * 1000 * 1000;
constexpr std::size_t kChunkSize = 64 * 1024;

// Pseudo-random words: compressible, but not trivially.
std::string MakeWords(std::size_t size) {
    static const char* const words[] = {"lantern", "key",     "map",  "owl",    "chest",  "scroll",
                                        "moss",    "feather", "cog",  "bell",   "candle", "rope",
                                        "mirror",  "raven",   "door", "shadow", "anchor", "quill"};
    std::mt19937 random(1104);
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[random() % 18];
        text += random() % 11 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

// The same 20 MB as a plain file and as a stored and a compressed pack entry, made once.
struct ReadFixture {
    std::string folder;
    std::string plainPath;
    const std::string storedName = "stored.txt";
    const std::string bzip2Name = "bzip2.txt";
    std::string compressed; // the compressed entry's bytes as they lie in the pack
    FileSystem files;

    ReadFixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        const std::string text = MakeWords(kEntrySize);
        plainPath = folder + "/plain.txt";
        std::ofstream(plainPath, std::ios::binary).write(text.data(), std::streamsize(text.size()));
        PackWriter writer;
        writer.AddBytes(bzip2Name, text, PackWriter::Packing::Bzip2);
        writer.AddBytes(storedName, text, PackWriter::Packing::Stored);
        writer.Write(folder + "/pack.boo");
        files.MountPack(folder + "/pack.boo");
        // The compressed bytes run from their entry's offset up to the stored entry's.
        const uint32_t begin = files.FindEntry(bzip2Name)->offset;
        const uint32_t end = files.FindEntry(storedName)->offset;
        std::ifstream pack(folder + "/pack.boo", std::ios::binary);
        pack.seekg(begin);
        compressed.resize(end - begin);
        pack.read(compressed.data(), std::streamsize(compressed.size()));
    }

    ~ReadFixture() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

ReadFixture& Fixture() {
    static ReadFixture fixture;
    return fixture;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEntrySize));
}

void BM_PlainFileRead(benchmark::State& state) {
    ReadFixture& fixture = Fixture();
    std::vector<char> bytes(kEntrySize);
    for (auto _ : state) {
        std::ifstream file(fixture.plainPath, std::ios::binary);
        file.read(bytes.data(), std::streamsize(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
    SetBytes(state);
}

// Which of the fixture's names a benchmark reads through the file layer.
using NameOf = const std::string ReadFixture::*;

void BM_FileSystemReadAll(benchmark::State& state, NameOf name) {
    ReadFixture& fixture = Fixture();
    for (auto _ : state) {
        std::optional<std::vector<uint8_t>> bytes = fixture.files.ReadAll(fixture.*name);
        if (!bytes || bytes->size() != kEntrySize) {
            state.SkipWithError("short read");
            return;
        }
        benchmark::DoNotOptimize(bytes->data());
    }
    SetBytes(state);
}

void BM_FileSystemStream(benchmark::State& state, NameOf name) {
    ReadFixture& fixture = Fixture();
    std::vector<char> chunk(kChunkSize);
    for (auto _ : state) {
        std::istream* stream = fixture.files.Open(fixture.*name);
        std::size_t total = 0;
        while (stream->read(chunk.data(), std::streamsize(chunk.size())) || stream->gcount() > 0) {
            total += std::size_t(stream->gcount());
            benchmark::DoNotOptimize(chunk.data());
        }
        fixture.files.Close(stream);
        if (total != kEntrySize) {
            state.SkipWithError("short read");
            return;
        }
    }
    SetBytes(state);
}

// What libbz2 alone costs: the compressed bytes already in memory, no stream around them.
void BM_Bzip2BareLibrary(benchmark::State& state) {
    ReadFixture& fixture = Fixture();
    std::vector<char> bytes(kEntrySize);
    for (auto _ : state) {
        auto length = static_cast<unsigned>(bytes.size());
        const int result =
            BZ2_bzBuffToBuffDecompress(bytes.data(), &length, fixture.compressed.data(),
                                       static_cast<unsigned>(fixture.compressed.size()), 0, 0);
        if (result != BZ_OK || length != kEntrySize) {
            state.SkipWithError("decompression failed");
            return;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    SetBytes(state);
}

} // namespace

BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileSystemReadAll, PlainFile, &ReadFixture::plainPath)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileSystemReadAll, Stored, &ReadFixture::storedName)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileSystemStream, Stored, &ReadFixture::storedName)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bzip2BareLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileSystemReadAll, Bzip2, &ReadFixture::bzip2Name)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FileSystemStream, Bzip2, &ReadFixture::bzip2Name)
    ->Unit(benchmark::kMillisecond);
