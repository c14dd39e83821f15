#pragma once

// The proof of a mini-game: a location with its HUD and a profile of its own, the mini-game
// opened over it by GameModalProc and run in the real main loop with the game's hooks, input
// given by pass like a player's, a clock that moves one step per pass. The game's random start is
// seeded before the scene loads and read from the scene afterwards (Pieces), never predicted.
//
//     WriteMiniGame("levels/board.txt", scene);  // and its definitions and art
//     OpenMiniGame("levels/board.txt", 7);       // seeded, loaded, not yet run
//     for (PuzzleChunk* tile : Pieces<PuzzleChunk>()) ...Click(x, y)...
//     const MiniGameResult result = Run();
//
// Every action is placed after the one before it; Wait adds steps between them.

#include "game/GameProc.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Clock.h"
#include "platform/os/Seams.h"
#include "tests/world/WorldFixture.h"
#include "ui/ModalProcesses.h"
#include "world/Level.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct MiniGameResult {
    int32_t word = 0;                // GameModalProc's result: 6 left normally, 5 left back
    int32_t energyGained = 0;        // the profile's energy after the run less before it
    std::vector<std::string> sounds; // the sound files played, in order (each file's text)
    // The pass at which each flag of the mini-game level was first seen set; none when never.
    std::optional<int> wonAt;
    std::optional<int> returnFlagAt;
    std::optional<int> leaveArmedAt;
    int passes = 0; // passes the run took
};

class MiniGameHarness : public WorldTest {
protected:
    static constexpr const char* kLocation = "z1-testgate";

    void SetUp() override;
    void TearDown() override;

    // The mini-game's scene file and the definitions of "scripts/objects.txt" (a "Final" group's
    // body; the harness adds its own). Sound sets named in sounds (e.g. "game_won") play files
    // whose text is the set's name.
    void WriteMiniGame(const std::string& scenePath, const std::string& sceneText,
                       const std::string& definitions, const std::vector<std::string>& sounds);
    // The profile "Ann", the location and its HUD as the game process makes them; then the
    // generator seeded and the mini-game loaded into ModalLevel by GameModalProc.
    void OpenMiniGame(const std::string& scenePath, uint32_t seed);
    // Runs the opened mini-game until it ends, or for at most maxPasses; the results.
    MiniGameResult Run(int maxPasses = 3000);

    // For games opened by an object of the location: the location's objects in place of its
    // scenery (after WriteMiniGame), and the location opened as OpenMiniGame opens it, but without
    // a mini-game; RunLocation then runs the game process for maxPasses, a mini-game opened from
    // the location nested in it. Its word is that of the game process stopped.
    void WriteLocation(const std::string& objects);
    void OpenLocation(uint32_t seed);
    MiniGameResult RunLocation(int maxPasses);

    // The objects of the mini-game level of that class, in scene order.
    template <typename T>
    std::vector<T*> Pieces() const {
        std::vector<T*> found;
        if (ModalLevel != nullptr) {
            for (const auto& object : ModalLevel->Objects()) {
                if (auto* piece = dynamic_cast<T*>(object.get())) {
                    found.push_back(piece);
                }
            }
        }
        return found;
    }

    // Input, each placed after the last: a left or right click (move, button down, button up),
    // a move, Escape (down and up), steps without input, and an item put on the cursor.
    void Click(int x, int y);
    void RightClick(int x, int y);
    void Move(int x, int y);
    void Escape();
    // A stroke of the left button: down at the first point, on to each following point in short
    // moves with a step between them, up at the last.
    void Stroke(const std::vector<std::pair<int, int>>& points);
    void Wait(int steps);
    void HoldItem(const std::string& item);
    // Runs f at the pass the actions so far have reached.
    void Then(std::function<void()> f);
    // The pass the actions so far have reached.
    int PlannedPasses() const { return planned; }
    // Runs f at every pass of the run, after that pass's actions (a player's eye on the screen).
    void Watch(std::function<void()> f) { watchers.push_back(std::move(f)); }

    RecordingScript script;
    ManualClock clock;

private:
    void At(int pass, std::function<void(std::vector<SyntheticEvent>&)> action);
    // From that pass on, every pop-up and dialogue is ended as soon as it shows.
    void EndPopUpsFrom(int pass);
    void Pump(std::vector<SyntheticEvent>& handed);
    void Button(int x, int y, int key);

    std::unique_ptr<GameProc> game;
    std::unique_ptr<GameModalProc> miniGame;
    std::multimap<int, std::function<void(std::vector<SyntheticEvent>&)>> plan;
    std::vector<std::function<void()>> watchers;
    // The pass of the next action. Input starts a few passes in: a scene load holds the buttons
    // up until a step has seen them up.
    int planned = 10;
    int pumps = 0;
    MiniGameResult seen;
};
