#pragma once

#include "world/GameAnim.h"
#include "world/GameButtonX.h"

#include <string>
#include <string_view>
#include <vector>

class ScreenPuzzleMngr;

// The screen puzzle of a location's wall: each place takes the item of its own name, some only
// once one of the places they require is filled; all filled, the manager plays the final effect,
// rewards energy and sets its final flag. Filled places are kept in "<location>:<place>_filled".

class ScreenPuzzle : public GameButtonX, public OCreator<ScreenPuzzle> {
public:
    static constexpr std::string_view kClassName = "ScreenPuzzle";
    static constexpr const char* kDustParticles = "gfx/fx/tomb_dust2.prt";

    explicit ScreenPuzzle(ObjectsManager* owner);

    // A left press inside it: the held item of its name goes in, once its requirements are
    // met; with nothing held, its empty-click dialogue.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The object's keys (not the button's), "requires" (every value) and "clickSoundName"; the
    // picture hidden.
    void SetProperty(const ParconCursor& cursor) override;
    // Filled and playing: the hover highlight; the picture plays "screen". Always true.
    bool Update(float dt) override;
    // The button's drawing, only while filled and the puzzle plays.
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    // No requirement, or one of them filled; false once the manager has gone or been marked
    // dead.
    bool RequirementsMet() const;
    // The manager has finished, or has gone.
    bool PuzzleOver() const;
    void Fill();

    ScreenPuzzleMngr* manager = nullptr;
    bool managerGone = false;
    bool filled = false;
    std::vector<std::string> requirements;

private:
    void SpawnDust();
};

class ScreenPuzzleMngr : public BaseGameObject, public OCreator<ScreenPuzzleMngr> {
public:
    static constexpr std::string_view kClassName = "ScreenPuzzleMngr";
    static constexpr const char* kDustLocation = "z1-barrow-in";

    explicit ScreenPuzzleMngr(ObjectsManager* owner);

    // The object's keys, "finalFlag"; then the places of the scene read so far, each filled at
    // once when its flag says so.
    void SetProperty(const ParconCursor& cursor) override;
    // Once every place is filled (while enabled): the final effect, the reward, the final flag,
    // and the manager goes (false).
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    bool finished = false;
    std::string finalFlag;
    std::vector<ScreenPuzzle*> screens;

private:
    void SpawnFinalEffect();
};

// A plain picture beside the places.
class PuzzleFrame : public GameAnim, public OCreator<PuzzleFrame> {
public:
    static constexpr std::string_view kClassName = "PuzzleFrame";

    explicit PuzzleFrame(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
};
