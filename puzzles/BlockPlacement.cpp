#include "puzzles/BlockPlacement.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/BoardFile.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kRightDown = FourCC("RMBD");
constexpr int kFullVolume = 100;
constexpr const char* kPlaceParticles = "gfx/fx/snow_sparks.prt";

void PlayOnce(const std::string& sound) {
    if (!sound.empty()) {
        Sounds.PlayByName(sound, false, kFullVolume, 0);
    }
}

void SetDepth(Object& object, float depth) {
    if (SpriteRenderChunk* sprite = SpriteOf(object)) {
        sprite->zOrder = depth;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TetrisPuzzleChunk

TetrisPuzzleChunk::TetrisPuzzleChunk(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<TetrisPuzzleChunk>*>(this), 0, 0);
}

BlockCheckPoint TetrisPuzzleChunk::PointOf(int32_t stepX, int32_t stepY, int32_t distance) {
    BlockCheckPoint point{stepX, stepY, distance, 0, false};
    for (int32_t direction = 0; direction < 4; ++direction) {
        const auto [straightX, straightY] = kStraight[static_cast<std::size_t>(direction)];
        const auto [diagonalX, diagonalY] = kDiagonal[static_cast<std::size_t>(direction)];
        if (static_cast<float>(stepX) == straightX && static_cast<float>(stepY) == straightY) {
            point.direction = direction;
        } else if (static_cast<float>(stepX) == diagonalX &&
                   static_cast<float>(stepY) == diagonalY) {
            point.direction = direction;
            point.diagonal = true;
        }
    }
    return point;
}

void TetrisPuzzleChunk::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "pickSound") {
            pickSound = key.NextString(true, "");
        } else if (name == "placeSound") {
            placeSound = key.NextString(true, "");
        } else if (name == "regionFromSprite") {
            const std::string animation = key.NextString(true, "");
            SpriteRenderChunk& sprite = RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
            auto& region = RequireChunk<CollisionChunk>(FourCC("COLI"));
            const FrameRect rect = sprite.player.GetFrameRect(animation);
            region.left = static_cast<float>(rect.left);
            region.right = static_cast<float>(rect.right);
            region.top = static_cast<float>(rect.top);
            region.bottom = static_cast<float>(rect.bottom);
        } else if (name == "checkPoints") {
            checkPoints.clear();
            ParconCursor entry = key;
            while (entry.Next()) {
                const std::optional<ParconList> pointList = entry.GetList();
                if (!pointList) {
                    continue;
                }
                ParconCursor point(pointList, 0);
                if (point.GetListName() != "point") {
                    continue;
                }
                const int32_t stepX = point.NextInt(true, 0);
                const int32_t stepY = point.NextInt(true, 0);
                const int32_t distance = point.NextInt(true, 0);
                checkPoints.push_back(PointOf(stepX, stepY, distance));
            }
        }
    });
}

TetrisPuzzleMngr* TetrisPuzzleChunk::Manager() const {
    return static_cast<TetrisPuzzleMngr*>(manager.Get());
}

void TetrisPuzzleChunk::Turn() {
    if (PositionChunk* position = PositionOf(*this)) {
        position->rotation += 90.0f;
    }
    for (BlockCheckPoint& point : checkPoints) {
        point.direction = (point.direction + 1) % 4;
    }
}

std::pair<float, float> TetrisPuzzleChunk::PointAt(const BlockCheckPoint& point, float x,
                                                   float y) const {
    const TetrisPuzzleMngr* game = Manager();
    const float cellSize = game != nullptr ? game->cellSize : 64.0f;
    const auto [dx, dy] =
        (point.diagonal ? kDiagonal : kStraight)[static_cast<std::size_t>(point.direction & 3)];
    const auto reach = static_cast<float>(point.distance) * cellSize;
    return {x + reach * dx, y + reach * dy};
}

void TetrisPuzzleChunk::PutDown(TetrisPuzzleMngr& game) {
    const bool fits = std::all_of(checkPoints.begin(), checkPoints.end(), [&](const auto& point) {
        const auto [x, y] = PointAt(point, Mouse.x, Mouse.y);
        const auto [column, row] = game.CellAt(x, y);
        return game.IsFree(column, row);
    });
    if (!fits) {
        SetDepth(*this, kPlacedDepth);
        game.held = nullptr;
        return;
    }
    PlayOnce(placeSound);
    SetDepth(*this, kPlacedDepth);
    const auto [column, row] = game.CellAt(Mouse.x, Mouse.y);
    if (PositionChunk* position = PositionOf(*this)) {
        const auto [x, y] = game.CellCentre(column, row);
        position->x = x;
        position->y = y;
    }
    for (const BlockCheckPoint& point : checkPoints) {
        const auto [x, y] = PointAt(point, Mouse.x, Mouse.y);
        const auto cell = game.CellAt(x, y);
        game.SetCovered(cell.first, cell.second, true);
        coveredCells.push_back(cell);
    }
    onBoard = true;
    game.held = nullptr;
    SpawnParticles(owner, kPlaceParticles, Mouse.x, Mouse.y, 0.1f, 3.0f);
}

void TetrisPuzzleChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    TetrisPuzzleMngr* game = Manager();
    if (game == nullptr || game->finished || MiniGameManager::LeaveRequested() ||
        param != KeyboardSystem::kPressed) {
        return;
    }
    if (id == kRightDown) {
        if (game->held == this) {
            Turn();
        }
        return;
    }
    if (id != kLeftDown) {
        return;
    }
    const auto* region = dynamic_cast<const CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
    const bool inside = region != nullptr && region->Contains(Mouse.x, Mouse.y);
    const auto under = game->CellAt(Mouse.x, Mouse.y);
    const bool onMyCell =
        onBoard && game->IsCovered(under.first, under.second) &&
        std::find(coveredCells.begin(), coveredCells.end(), under) != coveredCells.end();
    if (!inside && !onMyCell) {
        return;
    }
    if (game->held == nullptr) {
        PlayOnce(pickSound);
        if (onBoard && !onMyCell) {
            return;
        }
        if (onBoard) {
            for (const auto& [column, row] : coveredCells) {
                game->SetCovered(column, row, false);
            }
            coveredCells.clear();
            onBoard = false;
        }
        SetDepth(*this, kCarriedDepth);
        game->held = this;
    } else if (game->held == this) {
        PutDown(*game);
    }
}

bool TetrisPuzzleChunk::Update(float dt) {
    GameButtonX::Update(dt);
    const TetrisPuzzleMngr* game = Manager();
    if (game != nullptr && game->held == this) {
        if (PositionChunk* position = PositionOf(*this)) {
            position->x = Mouse.x;
            position->y = Mouse.y;
        }
    }
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->tint = onBoard ? kOnBoardTint : kLooseTint;
    }
    return true;
}

void TetrisPuzzleChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

// ---------------------------------------------------------------------------------------------
// TetrisPuzzleMngr

TetrisPuzzleMngr::TetrisPuzzleMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<TetrisPuzzleMngr>*>(this), 0, 0);
}

void TetrisPuzzleMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "cellSize") {
            cellSize = key.NextFloat(true, cellSize);
        } else if (name == "definition") {
            ReadBoard(key.NextString(true, ""));
        }
    });
    CollectPieces(TetrisPuzzleChunk::kClassName);
}

void TetrisPuzzleMngr::ReadBoard(const std::string& path) {
    Board board;
    ReadBoardFile(path, BoardLayout{{}, true, "EO"}, board);
    offsetX = board.offsetX;
    offsetY = board.offsetY;
    columns = board.columns;
    rows = board.rows;
    covered.assign(static_cast<std::size_t>(columns),
                   std::vector<bool>(static_cast<std::size_t>(rows), false));
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            SetCovered(column, row, board.Cell(column, row) == 'O');
        }
    }
}

ManagerLink* TetrisPuzzleMngr::LinkOf(Object& piece) {
    auto* block = dynamic_cast<TetrisPuzzleChunk*>(&piece);
    return block != nullptr ? &block->manager : nullptr;
}

void TetrisPuzzleMngr::OnObjectGoing(Object* going) {
    MiniGameManager::OnObjectGoing(going);
    if (held == going) {
        held = nullptr;
    }
}

std::pair<int32_t, int32_t> TetrisPuzzleMngr::CellAt(float x, float y) const {
    // Rounded down: truncation towards zero would take a point just left of or above the board
    // for column or row 0, and a block hanging over the edge would cover one cell twice.
    const auto column =
        static_cast<int32_t>(std::floor((x - static_cast<float>(offsetX)) / cellSize));
    const auto row = static_cast<int32_t>(std::floor((y - static_cast<float>(offsetY)) / cellSize));
    return {column, row};
}

bool TetrisPuzzleMngr::OnBoard(int32_t column, int32_t row) const {
    return column >= 0 && column < columns && row >= 0 && row < rows;
}

bool TetrisPuzzleMngr::IsCovered(int32_t column, int32_t row) const {
    return OnBoard(column, row) &&
           covered[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

bool TetrisPuzzleMngr::IsFree(int32_t column, int32_t row) const {
    return OnBoard(column, row) && !IsCovered(column, row);
}

void TetrisPuzzleMngr::SetCovered(int32_t column, int32_t row, bool value) {
    if (OnBoard(column, row)) {
        covered[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = value;
    }
}

std::pair<float, float> TetrisPuzzleMngr::CellCentre(int32_t column, int32_t row) const {
    return {cellSize * static_cast<float>(column) + static_cast<float>(offsetX) + cellSize / 2.0f,
            cellSize * static_cast<float>(row) + static_cast<float>(offsetY) + cellSize / 2.0f};
}

bool TetrisPuzzleMngr::WinTest() {
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (!IsCovered(column, row)) {
                return false;
            }
        }
    }
    return true;
}

bool TetrisPuzzleMngr::WantsToLeave(uint32_t, uint32_t) const {
    return Keyboard.KeyPressed(kEscape);
}

void TetrisPuzzleMngr::Leave() {
    MiniGameManager::Leave();
    if (GameLevel != nullptr) {
        DropHeldTool();
    }
}
