#pragma once

#include "engine/XProcess.h"

#include <memory>

class Menu;

// The main-menu process: the first process of the game, run by the outermost main loop; when it
// ends, the game ends. It owns the Menu.
class MenuProc : public XProcess {
public:
    // Constructed on the heap; it becomes the current process.
    static std::unique_ptr<MenuProc> Create();

    // The modal layer and the Menu, each made when missing, then the menu music.
    void Begin() override;
    // The Menu and the layers mui, MapGameUI and TutorialUI go.
    void End() override;
    // The menu music (left alone while it plays), the cursor's idle animation, the Menu's step;
    // a non-zero result word of the Menu ends the process with it.
    void Update(float dt) override;
    void AfterUpdate() override;
    void PreRender() override;
    // The Menu, then the cursor over it while this is the current process.
    void Render() override;
    void PostRender() override;
    // The menu's objects stand still under a screen on top and go on after.
    void Suspend() override;
    void Resume() override;

    Menu* menu = nullptr; // owned; null until Begin and after End
};
