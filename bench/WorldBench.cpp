#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/SaveGame.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

// Every save syncs the file and its folder to the disk, so these figures are the disk's: the
// folder is made under the temporary folder (TMPDIR), which should lie on the disk that holds the
// saves (on a tmpfs a sync costs nothing).

namespace {

constexpr int kFlags = 1000;

// A game folder with a player-file folder, an empty definitions file and one location, and
// profile 0 current with kFlags flags, a full inventory and the game level on that location.
class World {
public:
    World() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::filesystem::create_directories("data/scripts");
        std::filesystem::create_directories("data/levels");
        std::ofstream("data/scripts/objects.txt");
        std::ofstream("data/gestures.txt");
        std::ofstream("data/levels/z3-tower.txt")
            << "(Meta (Name z3-tower) (levelPath levels\\z3-tower.txt) (Type normal))\n(Objects)\n";
        Files.SetDataFolder("data");
        App.saveFolder = folder + "/players/";
        CreatePlayerFileFolder();

        Player::CreateProfile(0, "Bench");
        for (int i = 0; i < kFlags; ++i) {
            // The typical key: a level's name, an object's name and a state.
            CurrentPlayer->GetFlag("z" + std::to_string(i % 6 + 1) + "-location-" +
                                   std::to_string(i % 40) + ":object_" + std::to_string(i) +
                                   "_killed");
        }
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            CurrentPlayer->AddItemToSlot("item" + std::to_string(i), i);
        }
        level = std::make_unique<Level>();
        level->Load();
        GameLevel = level.get();
        level->levelPath = "levels\\z3-tower.txt";
        level->SaveGameState(PlayerFilePath("0.sav"));
    }
    ~World() {
        GameLevel = nullptr;
        level.reset();
        CurrentPlayer = nullptr;
        std::error_code error;
        std::filesystem::current_path(previous, error);
        std::filesystem::remove_all(folder, error);
    }

    Level& GetLevel() { return *level; }

private:
    std::string folder;
    std::filesystem::path previous;
    std::unique_ptr<Level> level;
};

// One flag changed on a profile of 1,000 flags: the whole profile written and synced.
void BM_SaveLargeProfile(benchmark::State& state) {
    World world;
    int value = 0;
    for (auto _ : state) {
        CurrentPlayer->SetFlag("z1-location-0", "object_0_killed", ++value);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size("players/0.pla"));
}
BENCHMARK(BM_SaveLargeProfile)->Unit(benchmark::kMillisecond);

// Loading the save game of that profile into the game level: the file read and checked, the
// profile restored and saved, the scene loaded, and the autosave of the scene load (the backup
// inventory slot by slot, the last level, the regular save game), every write synced.
void BM_LoadSaveGame(benchmark::State& state) {
    World world;
    const std::string path = PlayerFilePath("0_quick.sav");
    world.GetLevel().SaveGameState(path);
    for (auto _ : state) {
        if (!world.GetLevel().LoadGameState(path)) {
            state.SkipWithError("the save game was refused");
        }
    }
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size("players/0_quick.sav"));
}
BENCHMARK(BM_LoadSaveGame)->Unit(benchmark::kMillisecond);

// The share of reading and checking alone: the save game parsed, nothing written.
void BM_ParseSaveGame(benchmark::State& state) {
    World world;
    std::string text;
    ReadPlayerFile(PlayerFilePath("0.sav"), text);
    std::string failure;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseSaveGame(text, "0.sav", failure));
    }
}
BENCHMARK(BM_ParseSaveGame)->Unit(benchmark::kMicrosecond);

} // namespace
