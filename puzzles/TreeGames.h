#pragma once

#include "engine/ClassFactory.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A location object that stands for a chain of mini-games played one after another (a tree, a
// platform, a row of pillars). A click starts a short countdown, then the next game of its list
// opens over the location. Each won game is booked in the flag "<name>_<n>_completed", makes the
// location's member objects "<prefix><n>" play "idle" and raises the pillar "pillar_<n>" (or plays
// "stairs_build"); once all are won the flag "<name>_completed" is set and the object goes.
class TreeGamesManager : public GameButtonX, public OCreator<TreeGamesManager> {
public:
    static constexpr std::string_view kClassName = "TreeGamesManager";
    // The flags of the games are numbered 1 to 4: a chain restores at most four won games.
    static constexpr int kMaxBookedGames = 4;

    explicit TreeGamesManager(ObjectsManager* owner);

    // The button's keys, then "maxGames", "minigame" (scene files, appended in order),
    // "memberAnimPrefix", "fxPillar" and "executeGameDelay". The game count is the list's length;
    // the games won come from the flags; a chain already won goes at once.
    void SetProperty(const ParconCursor& cursor) override;
    // A left press inside the object with nothing held and no countdown running starts the
    // countdown ("executeGameDelay").
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The countdown; at its end the next game opens (OpenNextGame). False once all are won.
    bool Update(float dt) override;

    // Runs the next game of the list over the location and books it when it was won.
    void OpenNextGame();

    std::string memberAnimPrefix;
    std::vector<std::string> miniGames;
    bool allDone = false;
    float executeDelay = 0.0f;
    float countdown = 0.0f;
    bool fxPillar = false;
    bool triggered = false;
    int32_t gameCount = 4;
    int32_t gamesWon = 0;

private:
    // What a won game changes on the location: the members' animation, the pillars or the
    // building sound.
    void ShowGameWon();
    // The pillars that rise for the game just won.
    void RaisePillars();
};
