#pragma once

#include "engine/XProcess.h"

#include <memory>

// The process of the game itself while the player walks through locations: it updates and draws
// the game level (GameLevel) and the in-game layers (MainUI, OverlayUI, LevelOverlayUI), keeps
// the cursor pictures moving, handles the pause keys and the full-screen key, and ends when the
// level's state word becomes non-zero, returning that word to the menu that started it.
//
// The layers and the level it makes outlive it: a later game process reuses them.
class GameProc : public XProcess {
public:
    // Makes the process, the layers and the game level that are still missing, sets the level's
    // word to 0, stops the looping sounds and loads "menus/game.txt" into MainUI. The location
    // itself is loaded into GameLevel by the caller.
    static std::unique_ptr<GameProc> Create();

    GameProc();

    // Ends the step early while paused (P toggles the pause unless Shift is held; Shift+P runs one
    // step while paused); then the full-screen key (Alt+Enter), the cursors, the layers and the
    // level, and the end on the level's word.
    void Update(float dt) override;
    void AfterUpdate() override;
    void PreRender() override;
    // The level and the layers, then the pause picture while paused.
    void Render() override;
    // The late passes, then the cursor pictures, only while no modal process is on top.
    void PostRender() override;
    void DeviceRestored() override;
    // Clears every scene the game used; the scenes stay allocated.
    void End() override;
};
