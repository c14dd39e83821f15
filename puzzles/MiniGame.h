#pragma once

#include "engine/Object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class BaseGameObject;
class Level;
class MiniGameManager;

// The frame every mini-game stands on. A mini-game is a scene loaded into ModalLevel over the
// location (GameLevel); its manager collects the pieces listed before it, decides when the game
// is won or left, and then, after its win delay, asks the level system to lead the player back
// (the leave request). The level system does the rest: the fade-out, the energy reward of a won
// game and the end of the mini-game's process.

// A piece's tie to the manager that collected it. The manager leaves the scene before its pieces
// once its game is over: the piece hears of that through the scene's removal notice, and from
// then on the link reads as finished, never as "no manager".
class ManagerLink {
public:
    // Ties piece to manager and has the piece told of removals in its scene.
    void Attach(Object& piece, MiniGameManager& manager);
    // The piece's OnObjectGoing hands every removal on here.
    void ObjectGoing(const Object* going);

    // The manager while it is in the scene; null before a manager took the piece and after it
    // went.
    MiniGameManager* Get() const { return manager; }
    // A manager took the piece (it may have gone since).
    bool Collected() const { return manager != nullptr || managerGone; }
    // The manager has finished its game, or has gone.
    bool Finished() const;

private:
    MiniGameManager* manager = nullptr;
    bool managerGone = false;
};

// A start rotation of the turning games: (r mod 10) x 90 with r from the game's generator, and
// 270 for anything from 270 up; so 0, 90 and 180 one time in ten each, 270 seven times in ten.
float RandomQuarterTurn();

// Turns the piece a quarter turn (direction +1 or -1) with the turn effect of that class: made in
// the piece's scene, added to the mini-game level, given the piece and resolved. False when no
// mini-game level is open or the class makes no turn effect.
bool StartPieceTurn(const char* effectClass, Object& piece, int direction);

// What a won game does, in this order: the completion flag "<location>:<scene>_completed", the
// win sound, the won flag of the mini-game level, the four border sparks.
struct WinSteps {
    bool completionFlag = true;
    std::string sound = "game_won";
    bool wonFlag = true;
    bool borderSparks = false;
};

// The manager's part of the frame. A game derives from it, names its pieces' class, and gives its
// win test; the frame runs the leaving, the win, the delay and the leave request.
class MiniGameManager : public Object {
public:
    static constexpr int kEscape = 27;
    static constexpr const char* kSparkParticles = "gfx/fx/object_hili3.prt";

    // Drops a piece that leaves the scene from the list.
    void OnObjectGoing(Object* going) override;
    // The leaving: while the game takes input (see AcceptsLeave), a message that asks to leave
    // (WantsToLeave) leaves the game (Leave).
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Each step: BeforeWinTest; while not finished, the win test, and when it holds, the win
    // steps (unless the game was left meanwhile) and finished; once finished, the win delay
    // counts down and then the leave request is set and the manager is done (false).
    bool Update(float dt) override;

    const std::vector<Object*>& Pieces() const { return pieces; }

    bool finished = false;
    float winDelay;

    // The common leave zone of the board games: the strip above the board (y below 100) and the
    // sides (x below 200 or above 800) down to the HUD (y below 700).
    static bool InBoardLeaveZone(float x, float y);
    // An inventory item is held on the cursor.
    static bool ItemHeld();
    // A left or right press ('LMBD' or 'RMBD' with 'PRES') on the piece: no item held and the
    // mouse inside its collision rectangle. The button's direction: +1 left, -1 right, 0 none.
    static int PressOnPiece(BaseGameObject& piece, uint32_t id, uint32_t param);
    // The leave request of the mini-game level's system is set.
    static bool LeaveRequested();
    // The close flag of the mini-game level (the game was left without a win).
    static bool CloseFlagSet();
    // The wand-selected flag of the game level's system and the HUD's tool-on-cursor flag
    // cleared, and the HUD's tool slots reset.
    static void DropHeldTool();
    // Four sparks along the board's border, one side after the other.
    static void SpawnBorderSparks();

protected:
    MiniGameManager(ObjectsManager* owner, float winDelay);
    ~MiniGameManager() override;

    // Walks the objects of the scene read so far (those before the manager) and takes each whose
    // class name is exactly pieceClass: the piece is linked to the manager (its ManagerLink, as
    // LinkOf gives it), set up (SetUpPiece with its index) and appended. Only the first call
    // collects: a manager whose definition and scene entry both carry "Data" reads its keys twice.
    void CollectPieces(std::string_view pieceClass);

    // The game's part. The piece's link, null for an object that is not the game's piece.
    virtual ManagerLink* LinkOf(Object& piece) = 0;
    // The start set-up of a collected piece (a random rotation, its index).
    virtual void SetUpPiece(Object& piece, int index) = 0;
    virtual bool WinTest() = 0;
    virtual WinSteps WinStepsOfGame() const { return {}; }
    // Runs every step before the win test, finished or not.
    virtual void BeforeWinTest(float) {}
    // Whether the game takes a leave now (not finished, no leave request); games that wait for
    // their fade-in also test the input flag.
    virtual bool AcceptsLeave() const;
    // Escape went down in this step; or a left press in the leave zone.
    virtual bool WantsToLeave(uint32_t id, uint32_t param) const;
    virtual bool InLeaveZone(float x, float y) const { return InBoardLeaveZone(x, y); }
    // The close flag of the mini-game level and finished.
    virtual void Leave();

    // The win steps of the game, and finished.
    void Win();

    std::vector<Object*> pieces;

private:
    bool collected = false;
};
