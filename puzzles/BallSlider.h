#pragma once

#include "engine/ClassFactory.h"
#include "media/AnimPlayer.h"
#include "puzzles/MiniGame.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class PuzzleChunk;

// The ball slider: a ball on a board of cells from a board file rolls, when the player clicks in
// line with it, to the cell before the next wall. It must reach the goal hole ("D") and fall in;
// a trap ("T") ends the game without a win. The manager makes the ball itself; the game sets no
// completion flag.
class SlyderMngr : public MiniGameManager, public OCreator<SlyderMngr> {
public:
    static constexpr std::string_view kClassName = "SlyderMngr";
    static constexpr float kRollSpeed = 250.0f; // pixels per second
    static constexpr float kNear = 5.0f;        // pixels: at a point
    static constexpr float kHalfCell = 32.0f;
    static constexpr float kBallDepth = 400.0f;
    static constexpr float kBallScale = 1.3f;
    static constexpr float kArrowReach = 40.0f;
    static constexpr float kBackdropMargin = 30.0f;
    static constexpr float kBackdropShown = 0.8f; // alpha above which the backdrop counts
    static constexpr float kHudTop = 700.0f;

    struct Cell {
        bool open = true;
        bool start = false;
        bool blocked = false;
        bool drop = false;
        bool target = false;
    };

    explicit SlyderMngr(ObjectsManager* owner);

    // "rollSound", "ballFileName", "arrowFileName" and "definition" in their order; after the
    // board: the goal, a ball on each start cell (the last one plays) and the scene's fade-in.
    // A board without a start cell throws, naming the file.
    void SetProperty(const ParconCursor& cursor) override;
    // Leaving (a press off the backdrop, Escape) and rolling (a left press in line with the
    // ball).
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The hover arrow, the goal and the trap, the rolling; once finished, the delay.
    bool Update(float dt) override;
    // The arrow beside the ball towards the hovered direction.
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    // The cell of a screen point, cut towards zero.
    std::pair<int32_t, int32_t> CellAt(float x, float y) const;
    // The centre of a cell on the screen.
    std::pair<float, float> CellCentre(int32_t column, int32_t row) const;
    // Where a click at the screen point sends the ball: the centre of its stop cell, or the
    // ball's own position for a click not in line with it.
    std::pair<float, float> RollTarget(float x, float y) const;
    std::pair<int32_t, int32_t> BallCell() const;
    bool Blocked(int32_t column, int32_t row) const;
    bool OnBoard(int32_t column, int32_t row) const;

    int32_t offsetX = 0;
    int32_t offsetY = 0;
    float rollTargetX = 0.0f;
    float rollTargetY = 0.0f;
    bool rolling = false;
    int32_t rows = 0;
    int32_t columns = 0;
    float cellSize = 64.0f;
    PuzzleChunk* ball = nullptr;
    float goalColumn = -1.0f;
    float goalRow = -1.0f;
    AnimPlayer arrows;
    std::string arrowDirection;
    std::string rollSound = "rock_ball_roll";
    std::string ballFile = "gfx\\puzzles\\slyder_ball.ani";
    std::string arrowFile = "gfx/puzzles/slyder1_arrows.ani";
    std::vector<std::vector<Cell>> board; // one vector per column

protected:
    ManagerLink* LinkOf(Object&) override { return nullptr; }
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override { return false; }
    // Finished, the close flag and the leave request at once.
    void Leave() override;

private:
    void ReadBoard(const std::string& path);
    void MakeBalls(const std::string& path);
    void Hover();
    void Roll();
    // The goal and the trap; true once the game has ended this way.
    void CheckHoles();
    void MoveBall(float dt);
    bool BallNear(float x, float y) const;
    void PlayBall(const char* animation, bool loop) const;

    bool built = false;
    bool fallen = false;
};
