#pragma once

#include "engine/ObjectLink.h"
#include "media/AnimPlayer.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whack-a-mole, the forging of the rod: spots of a board light up at random and fade; the player
// picks a tool of the scene, which then follows the mouse. Water lights a spot; the hammer scores a
// lit spot that has not faded too far. The game is won when the board's number of spots has been
// scored; a progress bar shows the share.

class WhackAMoleMngr;

// One cell of the board, owned by the manager: empty ("E") or a spot ("S").
struct WhackAMoleCell {
    static constexpr const char* kSpotArt = "gfx\\puzzles\\ForgingTheRod\\spot.ani";
    // Above this share of its time left a lit spot can be scored.
    static constexpr float kScoreProgress = 0.2f;

    // While lit: progress falls from 1 to 0 over the duration; then the cell goes out.
    void Update(float dt);
    // The spot's glow at the cell's centre with the progress as its alpha.
    void Draw();
    // Strictly inside the cell's square.
    bool Contains(float px, float py) const;
    // Water lights a dark spot under the mouse; the hammer scores a lit one far enough from
    // fading ("anvil_use" either way). Only spots, and only while the game is not being left.
    void UseTool(const std::string& tool, uint32_t id, uint32_t param);

    bool empty = true;
    bool spot = false;
    bool active = false;
    WhackAMoleMngr* manager = nullptr;
    float elapsed = 0.0f;
    float duration = 0.5f;
    AnimPlayer player;
    float progress = 0.0f;
    int32_t x = 0;
    int32_t y = 0;
};

class WhackAMoleTool : public GameButtonX, public OCreator<WhackAMoleTool> {
public:
    static constexpr std::string_view kClassName = "WhackAMoleTool";

    explicit WhackAMoleTool(ObjectsManager* owner);

    // A left press on the tool picks it (and starts the game); the hammer tilts while the button
    // is down; water sprays over the board.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "clickSoundName", "type" and "regionFromSprite".
    void SetProperty(const ParconCursor& cursor) override;
    // The picked tool stands at the mouse, with its spray. Always true.
    bool Update(float dt) override;
    void Draw() override;

    // The manager while it is in the scene; null before one took the tool and after it went.
    WhackAMoleMngr* Manager() const;

    ObjectLink manager;
    std::string type = "water";
};

class WhackAMoleMngr : public Object, public OCreator<WhackAMoleMngr> {
public:
    static constexpr std::string_view kClassName = "WhackAMoleMngr";
    static constexpr float kCellSize = 60.0f;
    static constexpr uint32_t kDoneTint = 0xFFFF0000;

    explicit WhackAMoleMngr(ObjectsManager* owner);
    ~WhackAMoleMngr() override;

    // Leaving (a press outside the backdrop grown by 100 pixels, or Escape), else a tool used
    // on the cell under the mouse.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // "definition" (the board file; see the source), the fade-in, the scene's tools.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    // Lights a random cell once the spawn interval has passed.
    void TrySpawn(float dt);
    void ReadBoard(const std::string& path);
    // Strictly inside the board; the cell under a point inside it.
    bool InBoard(float px, float py) const;
    WhackAMoleCell* CellAt(float px, float py);
    WhackAMoleCell& Cell(int32_t column, int32_t row);

    int32_t offsetX = 100;
    int32_t offsetY = 100;
    int32_t rows = 0;
    int32_t columns = 0;
    float endDelay = 2.0f;
    int32_t spotsToScore = 30;
    int32_t spotsLeft = 30;
    bool leaving = false;
    float spawnTimer = 0.0f;
    float spawnInterval = 2.0f;
    float timeLimit = 120.0f; // "MaxTime:" in seconds; kept, no rule reads it
    float timeLimitAtWin = 0.0f;
    bool playing = false;
    WhackAMoleTool* selectedTool = nullptr;

private:
    std::vector<std::vector<WhackAMoleCell>> cells; // by column, then row
};
