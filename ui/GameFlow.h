#pragma once

#include <cstdint>
#include <memory>

class XProcess;

// What the main menu and the in-game layers need of the program above them: a new game process,
// and the main loop that runs a process to its end. The game installs its implementation at
// start-up; tests install one that runs a script. With none installed there is no game process
// and processes run in the real main loop.
class GameFlow {
public:
    // A new game process (the game's GameProc) on the game level as it is.
    virtual std::unique_ptr<XProcess> CreateGameProcess() = 0;
    // Runs the process in a nested main loop and returns its result word; 0 for null.
    virtual int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass) = 0;

protected:
    ~GameFlow() = default;
};

// Installs the program's flow; null goes back to the default. The caller keeps it alive while
// it is installed.
void InstallGameFlow(GameFlow* flow);
GameFlow& Flow();
