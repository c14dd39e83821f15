// The mirror hall: loading its scene (the board file read and two pictures made per cell) and one
// beam update, on the demo's 4 x 4 board and on a board at the board reader's 64 x 64 bound.

#include "engine/FileSystem.h"
#include "engine/ObjectsManager.h"
#include "puzzles/LaserPuzzle.h"
#include "puzzles/PuzzleClasses.h"
#include "world/Level.h"
#include "world/WorldClasses.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// The demo's board: two crystals, a wall, the source.
const char* const kDemoBoard = "offsetX: 336\noffsetY: 200\nColumns: 4\nRows: 4\nBOARD_SHAPE:\n"
                               "EEGE\nEEWE\nEEEG\nELEE\n";

// 64 x 64 cells: the source at the bottom of column 32, a crystal in every eighth cell of the
// top row and the right column.
std::string LargestBoard() {
    std::string board = "offsetX: 0\noffsetY: 0\nColumns: 64\nRows: 64\nBOARD_SHAPE:\n";
    for (int row = 0; row < 64; ++row) {
        std::string line(64, 'E');
        for (int column = 0; column < 64; ++column) {
            if ((row == 0 && column % 8 == 4) || (column == 63 && row % 8 == 4)) {
                line[static_cast<std::size_t>(column)] = 'G';
            }
        }
        if (row == 63) {
            line[32] = 'L';
        }
        board += line + "\n";
    }
    return board;
}

// A game folder with the mirror hall's definitions, pictures and the two boards; a game level
// and the mini-game level, empty.
class Hall {
public:
    Hall() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        for (const char* sub : {"data/scripts", "data/levels/boards", "data/gfx/puzzles/mirrorgame"}) {
            std::filesystem::create_directories(sub);
        }
        std::ofstream("data/scripts/objects.txt")
            << "(Final\n(Mirror LaserPuzzleMirrorChunk (POSI) (KEYB ()) (SPRT)"
               " (COLI (left -40) (right 40) (top -40) (bottom 40)))\n"
               "(Hall LaserPuzzleMngr (KEYB ()) (Data)))\n";
        std::ofstream("data/gfx/puzzles/mirrorgame/objects.ani")
            << "(fileAnim crystal_off (frame m.png 0 0 88 88 44 44))\n"
               "(fileAnim crystal_on (frame m.png 0 0 88 88 44 44))\n"
               "(fileAnim idle (frame m.png 0 0 88 88 44 44))\n"
               "(fileAnim idle2 (frame m.png 0 0 88 88 44 44))\n"
               "(fileAnim cross (frame m.png 0 0 88 88 44 44))\n";
        std::ofstream("data/levels/boards/demo.txt") << kDemoBoard;
        std::ofstream("data/levels/boards/largest.txt") << LargestBoard();
        for (const char* board : {"demo", "largest"}) {
            std::ofstream("data/levels/" + std::string(board) + ".txt")
                << "(Meta (Name minigame3) (Type puzzle))\n(Objects\n"
                   "(Mirror (POSI (position 150 300)))\n(Mirror (POSI (position 150 450)))\n"
                   "(Hall (Data (definition levels/boards/"
                << board << ".txt))))\n";
        }
        // Every level reads the mouse gestures when it is made; the hall knows none.
        std::ofstream("data/gestures.txt") << "\n";
        std::ofstream("data/levels/cave.txt")
            << "(Meta (Name z2-crystal-cave) (Type normal))\n(Objects)\n";
        Files.SetDataFolder("data");
        RegisterWorldClasses();
        RegisterPuzzleClasses();
        EnsureLevel(GameLevel).LoadScene("levels/cave.txt", true);
        EnsureLevel(ModalLevel);
    }
    ~Hall() {
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        std::error_code error;
        std::filesystem::current_path(previous, error);
        std::filesystem::remove_all(folder, error);
    }

    // The hall loaded on the board; its manager.
    LaserPuzzleMngr& Load(const std::string& board) {
        ModalLevel->LoadScene("levels/" + board + ".txt", true);
        for (const auto& object : ModalLevel->Objects()) {
            if (auto* manager = dynamic_cast<LaserPuzzleMngr*>(object.get())) {
                return *manager;
            }
        }
        throw std::runtime_error("the hall has no manager");
    }

private:
    std::string folder;
    std::filesystem::path previous;
};

const char* BoardName(int64_t which) {
    return which == 0 ? "demo" : "largest";
}

void BM_LoadMirrorHall(benchmark::State& state) {
    Hall hall;
    const std::string board = BoardName(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(&hall.Load(board));
    }
    state.SetLabel(board);
}
BENCHMARK(BM_LoadMirrorHall)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One update of the beams with two mirrors sending the beam along the top row and down the
// right column (on the demo board: through both crystals).
void BM_MirrorBeamUpdate(benchmark::State& state) {
    Hall hall;
    const std::string board = BoardName(state.range(0));
    LaserPuzzleMngr& game = hall.Load(board);
    const bool demo = state.range(0) == 0;
    const int firstColumn = demo ? 1 : 32;
    const int lastColumn = demo ? 3 : 63;
    game.CellAt(firstColumn, 0)->mirror = true;
    game.CellAt(firstColumn, 0)->mirrorAngle = 180.0f;
    game.CellAt(lastColumn, 0)->mirror = true;
    game.CellAt(lastColumn, 0)->mirrorAngle = 270.0f;
    game.ClearAllBeams();
    game.UpdateBeams();
    int lit = 0;
    for (const auto& column : game.cells) {
        for (const LaserCell& cell : column) {
            lit += cell.lit ? 1 : 0;
        }
    }
    for (auto _ : state) {
        game.UpdateBeams();
        benchmark::ClobberMemory();
    }
    state.SetLabel(board + ", " + std::to_string(lit) + " cells lit");
}
BENCHMARK(BM_MirrorBeamUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
