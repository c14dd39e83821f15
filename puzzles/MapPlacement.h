#pragma once

#include "puzzles/MiniGame.h"
#include "ui/UIButton.h"
#include "world/GameButtonX.h"

#include <string>
#include <string_view>
#include <vector>

class PuzzleGameMngr;

// The map placement game: the player carries the map pieces found on the way onto their slots of
// the map. Pieces put down at their fitting place beside another join it, and a group is carried
// and placed as one. Once every slot is filled and a second has passed, the map is complete.

// A loose map piece. Its name is the name of the slot it belongs in; its offset is its place
// within the assembled map.
class PuzzleGameChunk : public UIBitmapButton, public OCreator<PuzzleGameChunk> {
public:
    static constexpr std::string_view kClassName = "PuzzleGameChunk";
    static constexpr float kCarriedDepth = 145.0f;
    static constexpr float kLyingDepth = 140.0f;
    // Put down nearer than this to its fitting place beside another piece, a piece joins it.
    static constexpr float kJoinDistance = 20.0f;

    explicit PuzzleGameChunk(ObjectsManager* owner);

    // A left press inside it picks it up, or puts it down when it is carried.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "vec" (its "x" and "y") and "clickSoundName".
    void SetProperty(const ParconCursor& cursor) override;
    // The carried piece and its group follow the mouse. Always true.
    bool Update(float dt) override;
    // A piece that leaves the scene leaves the group too.
    void OnObjectGoing(Object* going) override;

    // Joins the two pieces and everything joined to either, so that every member of the joined
    // group has every other in its group (one piece of a name each).
    static void Join(PuzzleGameChunk& first, PuzzleGameChunk& second);

    std::vector<PuzzleGameChunk*> group;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    ManagerLink manager;

private:
    PuzzleGameMngr* Manager() const;
    void SetGroupDepth(float depth);
    void PutDown(PuzzleGameMngr& game);
};

// A place on the map for the piece of the name it requires; shown once filled.
class PuzzleGameSlot : public GameButtonX, public OCreator<PuzzleGameSlot> {
public:
    static constexpr std::string_view kClassName = "PuzzleGameSlot";
    static constexpr float kHalfRegion = 60.0f;

    explicit PuzzleGameSlot(ObjectsManager* owner);

    // A left press inside it while its piece is carried places the piece and its group.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "requires", "regionFromCenter" (a 120 x 120 region centred on the
    // slot, whatever its value) and "clickSoundName".
    void SetProperty(const ParconCursor& cursor) override;
    void OnObjectGoing(Object* going) override;
    // Filled: its sprite shown at full alpha.
    void Fill();

    std::string requiredPiece; // "requires": the name of the piece it takes
    bool filled = false;
    ManagerLink manager;
};

// Collects the pieces and slots before it; has no leave rule of its own (Escape and clicks off
// the map do nothing). Once every slot is filled and the win delay has run: the completion flag,
// ten map pieces taken from the player (never below none), "map_complete" and the leave request.
class PuzzleGameMngr : public MiniGameManager, public OCreator<PuzzleGameMngr> {
public:
    static constexpr std::string_view kClassName = "PuzzleGameMngr";
    static constexpr int32_t kMapPieces = 10;

    explicit PuzzleGameMngr(ObjectsManager* owner);

    // No keys; the pieces and the slots (once).
    void SetProperty(const ParconCursor& cursor) override;
    // No leaving.
    void OnMessage(const void*, uint32_t, uint32_t) override {}
    // The win test, then the delay, then the win (no won flag, no sparks).
    bool Update(float dt) override;
    // A piece or slot leaving the scene leaves the lists, and the hand when it is carried.
    void OnObjectGoing(Object* going) override;

    // Places the carried piece and its group: each marked dead (the scene removes it) and its
    // name placed, "paper_place", then the clicked slot filled with its particles.
    void PlaceHeld(PuzzleGameSlot& slot);

    const std::vector<PuzzleGameSlot*>& Slots() const { return slots; }

    PuzzleGameChunk* held = nullptr;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override;

private:
    // Every live slot of that name filled; the dead pieces of that name out of the list.
    void PlaceName(const std::string& name);

    std::vector<PuzzleGameSlot*> slots;
    bool collected = false;
};
