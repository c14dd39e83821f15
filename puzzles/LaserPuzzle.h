#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class GameAnim;

// Mirrors and beams: a light source on a board of cells sends a beam towards row 0; the player
// carries the mirrors onto free cells and turns them in quarter turns until the beam, reflected
// from mirror to mirror, passes through every crystal.
//
// Directions and angles are degrees, compared exactly: 0 up (towards row 0), 90 right, 180 down,
// 270 left; -1 is none.

class LaserPuzzleMngr;

// One square of the board.
struct LaserCell {
    bool empty = true;
    bool wall = false;
    bool crystal = false;
    bool mirror = false;
    bool lit = false;
    bool source = false;
    int32_t beamCount = 0;        // beam walks that lit the cell in this frame
    float beamDirection = -1.0f;  // of the first beam that lit it since the last reset
    float mirrorAngle = -1.0f;    // of the mirror lying in it
    float drawnAngle = 0.0f;      // of its beam piece
    GameAnim* object = nullptr;   // the crystal's picture on a crystal cell
    int32_t left = 0;             // the cell's corner
    int32_t top = 0;
};

// One row of the reflection table: a mirror at angle lit by a beam of the incoming direction
// sends one walk (dx, dy) on.
struct LaserReflection {
    float angle;
    float incoming;
    int dx;
    int dy;
    bool stopsAtSource;
    float direction;  // given to the cells it lights that have none yet
    float blocking[2]; // mirror angles that meet the walk with their back
};

class LaserPuzzleMirrorChunk : public GameButtonX, public OCreator<LaserPuzzleMirrorChunk> {
public:
    static constexpr std::string_view kClassName = "LaserPuzzleMirrorChunk";
    static constexpr float kCarriedDepth = 140.0f;
    static constexpr float kLiftedDepth = 150.0f;
    static constexpr float kLyingDepth = 120.0f;

    explicit LaserPuzzleMirrorChunk(ObjectsManager* owner);

    // Reads no keys, not even the button's.
    void SetProperty(const ParconCursor&) override {}
    // A left press picks the mirror up, puts it down or places it on a cell; a right press turns
    // the carried mirror. See LaserPuzzle.cpp.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // While carried it follows the mouse. Always true.
    bool Update(float dt) override;
    // Drawn only through its sprite.
    void Draw() override {}
    void OnObjectGoing(Object* going) override;

    // The carried mirror turns a quarter turn.
    void Rotate();
    float Turn() const;
    void SetDepth(float depth);
    void MoveTo(float x, float y);

    ManagerLink manager;
    bool placed = false;

private:
    LaserPuzzleMngr* Manager() const;
};

class LaserPuzzleMngr : public MiniGameManager, public OCreator<LaserPuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "LaserPuzzleMngr";
    static constexpr const char* kObjectsFile = "gfx\\puzzles\\mirrorgame\\objects.ani";
    static constexpr float kCellSize = 88.0f;
    static constexpr float kCrystalDepth = 110.0f;
    static constexpr float kBeamDepth = 100.0f;
    // Presses this far beside the backdrop (and below it) still belong to the game.
    static constexpr float kBesideBackdrop = 200.0f;
    static constexpr float kAroundBackdrop = 30.0f;
    static constexpr float kLowestLeave = 650.0f;

    explicit LaserPuzzleMngr(ObjectsManager* owner);
    ~LaserPuzzleMngr() override;

    // "definition" reads the board (once); then the mirrors (once) and the fade-in.
    void SetProperty(const ParconCursor& cursor) override;
    // Leaving: a left press outside the backdrop widened, not below y 650; or Escape, which also
    // drops the held tool.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void OnObjectGoing(Object* going) override;

    // Reads the board file and builds the grid with its pictures. Throws as the board reader.
    void ReadBoard(const std::string& fileName);
    // (column, row) of the point, each truncated towards zero, as floats.
    void CellFromPoint(float x, float y, float& column, float& row) const;
    // The cell on the board, or null off the board.
    LaserCell* CellAt(int column, int row);
    const LaserCell* CellAt(int column, int row) const;
    // The cell under the point takes a mirror: on the board, not the source, and holds no
    // crystal, mirror or wall.
    bool CanPlaceMirror(float x, float y) const;
    // The frame's beam computation.
    void UpdateBeams();
    // One reflected walk from the lit mirror at (column, row).
    void traceBeam(int column, int row, float mirrorAngle);
    // The table's row for the pair; null when the pair makes no walk.
    static const LaserReflection* FindReflection(float mirrorAngle, float incoming);

    // The cell's beam state cleared: its beam piece hidden, unlit, no beams, no direction.
    void ClearBeam(int column, int row);
    void ClearAllBeams();
    // The centre of the cell.
    float CentreX(int column) const;
    float CentreY(int row) const;
    GameAnim* BeamPiece(int column, int row) const;

    float elapsed = 0.0f;
    int32_t offsetX = 100;
    int32_t offsetY = 100;
    int32_t rows = 0;
    int32_t columns = 0;
    float cellSize = kCellSize;
    int32_t sourceColumn = 0;
    int32_t sourceRow = 0;
    LaserPuzzleMirrorChunk* carried = nullptr;
    std::vector<std::vector<LaserCell>> cells;       // [column][row]
    std::vector<std::vector<GameAnim*>> beamPieces;  // [column][row]; the scene owns them

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    // Every crystal lit (a board without crystals is won at once).
    bool WinTest() override;
    // The beams, every step until the manager goes.
    void BeforeWinTest(float dt) override;
    // The frame's leave and the leave request at once.
    void Leave() override;

private:
    // A "GameAnim" made in the scene at the centre of the cell, resolved, labelled 'PUZZ'.
    GameAnim* MakeBoardAnim(int column, int row);
    // The left press leaves: outside the backdrop widened and not below y 650.
    bool PressLeaves(float x, float y) const;

    bool boardRead = false;
    bool fadeStarted = false;
    // The pictures the board made; once one goes the board draws no more.
    std::unordered_set<const Object*> boardObjects;
    bool boardObjectGone = false;
};
