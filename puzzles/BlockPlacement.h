#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TetrisPuzzleMngr;

// The block placement game: shaped blocks are carried onto a board of cells from a board file,
// turned a quarter turn with the right button, and put down where every cell they cover is free.
// The board is won when every cell is covered.

// One cell of a block, relative to the cell under the point by which the block is carried: so
// many cells away in one of four directions, straight or diagonal.
struct BlockCheckPoint {
    int32_t stepX = 0;
    int32_t stepY = 0;
    int32_t distance = 0;
    int32_t direction = 0; // 0 to 3, a quarter turn clockwise each
    bool diagonal = false;
};

// A block.
class TetrisPuzzleChunk : public GameButtonX, public OCreator<TetrisPuzzleChunk> {
public:
    static constexpr std::string_view kClassName = "TetrisPuzzleChunk";
    static constexpr float kCarriedDepth = 150.0f;
    static constexpr float kPlacedDepth = 145.0f;
    static constexpr int32_t kOnBoardTint = 0xABDAFF; // light blue
    static constexpr int32_t kLooseTint = 0xFFFFFF;
    // The unit steps of the directions 0 to 3 on the screen: up, right, down, left; and the
    // diagonals up-left, up-right, down-right, down-left.
    static constexpr std::array<std::pair<float, float>, 4> kStraight = {
        {{0.0f, -1.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}, {-1.0f, 0.0f}}};
    static constexpr std::array<std::pair<float, float>, 4> kDiagonal = {
        {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}};

    explicit TetrisPuzzleChunk(ObjectsManager* owner);

    // Right press: the carried block turns. Left press inside it, or on one of its covered cells
    // while it lies on the board: picked up, lifted off the board, put down or dropped.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "pickSound", "placeSound", "regionFromSprite" and "checkPoints".
    void SetProperty(const ParconCursor& cursor) override;
    // The carried block follows the mouse; the tint tells a block on the board. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    // The direction and kind of a step pair: the straight ones, the diagonal ones, and direction
    // 0 straight for any other.
    static BlockCheckPoint PointOf(int32_t stepX, int32_t stepY, int32_t distance);
    // A quarter turn clockwise: the rotation grows by 90 (without wrapping) and every point's
    // direction by one, 3 going to 0.
    void Turn();
    // The screen point of the check point when the block is carried at (x, y).
    std::pair<float, float> PointAt(const BlockCheckPoint& point, float x, float y) const;

    std::vector<BlockCheckPoint> checkPoints;
    std::vector<std::pair<int32_t, int32_t>> coveredCells; // (column, row)
    ManagerLink manager;
    bool onBoard = false;
    std::string pickSound;
    std::string placeSound;

private:
    TetrisPuzzleMngr* Manager() const;
    // Put on the board at the mouse when every point falls on a free cell, else dropped loose.
    void PutDown(TetrisPuzzleMngr& game);
};

// The board and its blocks. Only Escape leaves; leaving drops a held tool.
class TetrisPuzzleMngr : public MiniGameManager, public OCreator<TetrisPuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "TetrisPuzzleMngr";

    explicit TetrisPuzzleMngr(ObjectsManager* owner);

    // "cellSize", then "definition" (the board file, read at once with the cell size known by
    // then); then the blocks (once).
    void SetProperty(const ParconCursor& cursor) override;
    void OnObjectGoing(Object* going) override;

    // The cell of a screen point, rounded down, so that a point left of or above the board is
    // off it; may lie off the board.
    std::pair<int32_t, int32_t> CellAt(float x, float y) const;
    bool OnBoard(int32_t column, int32_t row) const;
    // On the board and not covered.
    bool IsFree(int32_t column, int32_t row) const;
    // On the board and covered; a cell off the board is never covered.
    bool IsCovered(int32_t column, int32_t row) const;
    void SetCovered(int32_t column, int32_t row, bool covered);
    // The screen point of a cell's centre.
    std::pair<float, float> CellCentre(int32_t column, int32_t row) const;

    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t rows = 0;
    int32_t columns = 0;
    float cellSize = 64.0f;
    TetrisPuzzleChunk* held = nullptr;
    // Covered cells, one vector per column; "O" cells start covered.
    std::vector<std::vector<bool>> covered;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    // Every cell covered.
    bool WinTest() override;
    // Escape alone.
    bool WantsToLeave(uint32_t id, uint32_t param) const override;
    // The close flag and finished, then the held tool dropped when there is a game level.
    void Leave() override;

private:
    void ReadBoard(const std::string& path);
};
