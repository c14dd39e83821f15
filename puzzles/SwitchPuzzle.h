#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameAnim.h"
#include "world/fx/FxPiece.h"

#include <cstdint>
#include <string_view>
#include <vector>

class SwitchPuzzleMngr;

// The switch puzzle: a picture of four by four tiles, whole for five seconds, then shuffled by
// swaps of neighbours; the player selects a tile and swaps it with a neighbour (through the
// exchange effect) until every tile is home again.

// One tile. Its current id is the place it occupies (row x columns + column), its home id the
// place it belongs; the exchange effect swaps current ids as its slot value.
class SwitchPuzzleChunk : public GameAnim, public FxPiece, public OCreator<SwitchPuzzleChunk> {
public:
    static constexpr std::string_view kClassName = "SwitchPuzzleChunk";

    explicit SwitchPuzzleChunk(ObjectsManager* owner);

    // A left press on it, once the tiles are shuffled, goes to the manager.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The animation's keys, then "ID", both the current and the home id.
    void SetProperty(const ParconCursor& cursor) override;
    // Half transparent while selected. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    void SetBusy(bool) override {}
    FxPiece* BusyManager() override;
    int32_t SlotValue() const override { return currentId; }
    void SetSlotValue(int32_t value) override { currentId = value; }

    ManagerLink manager;
    int32_t selected = 0;
    int32_t currentId = 0;
    int32_t homeId = 0;
};

class SwitchPuzzleMngr : public MiniGameManager, public FxPiece, public OCreator<SwitchPuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "SwitchPuzzleMngr";
    static constexpr float kShuffleTime = 5.0f;
    static constexpr int32_t kShuffleSwaps = 30;

    explicit SwitchPuzzleMngr(ObjectsManager* owner);

    // The tiles and the gesture elements (once); a scene without the tiles 0 to 15, each once,
    // throws, naming the scene file.
    void SetProperty(const ParconCursor& cursor) override;
    // The frame's step; once the delay after a win has run, the border sparks before the leave
    // request.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    // Set by the exchange effect while it runs.
    void SetBusy(bool busy) override { swapping = busy; }

    // A click on a tile: selected, or swapped with the selected neighbour, or the selection
    // cleared. Ignored while a swap runs.
    void TileClicked(SwitchPuzzleChunk& tile);
    // The shuffle of the start: random swaps of neighbours.
    void Shuffle();
    // The first tile whose current id is the id; null when none.
    SwitchPuzzleChunk* TileAt(int32_t id) const;
    // Both tiles exchange their places and current ids at once.
    void SwapDirectly(int32_t first, int32_t second);
    void ClearSelection();

    std::vector<Object*> gestureElements; // kept, not used
    std::vector<int32_t> selection;
    int32_t rows = 4;
    int32_t columns = 4;
    bool started = false;
    float elapsed = 0.0f;
    bool swapping = false;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    // Every tile home, once shuffled.
    bool WinTest() override;
    // The time since the start; the shuffle at five seconds.
    void BeforeWinTest(float dt) override;
    // Also waits for the shuffle, an empty hand and the input flag.
    bool AcceptsLeave() const override;
    // The close flag and finished, then the held tool dropped.
    void Leave() override;

private:
    bool sparked = false;
};
