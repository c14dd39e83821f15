#include "ui/MenuProc.h"

#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/ProcessResult.h"
#include "media/AnimPlayer.h"
#include "media/SoundManager.h"
#include "ui/Menu.h"
#include "ui/UserInterface.h"

namespace {

constexpr const char* kMenuMusic = "snd/music/main_menu.ogg";
// Over the cursor of the modal screens (900).
constexpr float kMenuCursorDepth = 910.0f;

} // namespace

std::unique_ptr<MenuProc> MenuProc::Create() {
    return std::make_unique<MenuProc>();
}

void MenuProc::Begin() {
    DebugLog("MenuProc::Init \n");
    if (mui == nullptr) {
        DebugLog("mui::Init \n");
        EnsureLayer(mui);
        DebugLog("done \n");
    }
    if (menu == nullptr) {
        DebugLog("menu::Init \n");
        // Held before its Init: the splash screens that Init runs suspend this process, which
        // pauses the menu.
        menu = new Menu();
        menu->Init();
        DebugLog("done \n");
    }
    DebugLog("MenuProc::Initdone\n");
    Sounds.PlayMusic(kMenuMusic, true);
}

void MenuProc::End() {
    Menu* gone = menu;
    menu = nullptr;
    ObjectsManager::Delete(gone);
    DeleteLayer(mui);
    DeleteLayer(MapGameUI);
    DeleteLayer(TutorialUI);
}

void MenuProc::Update(float dt) {
    // Asked every step, so the music comes back after a game.
    Sounds.PlayMusic(kMenuMusic, true);
    CursorAnim.Play("idle", true, false, true, 0.0f);
    if (menu == nullptr) {
        return;
    }
    menu->UpdateStep(dt);
    if (menu != nullptr && menu->state != kResultNone) {
        state = 0;
        result = menu->state;
    }
}

void MenuProc::AfterUpdate() {
    if (menu != nullptr) {
        menu->RemoveDead();
    }
}

void MenuProc::PreRender() {
    if (menu != nullptr) {
        menu->PreRender();
    }
}

void MenuProc::Render() {
    if (menu != nullptr) {
        menu->Render();
    }
    if (CurrentProcess == this) {
        CursorAnim.Draw(Mouse.x, Mouse.y, kMenuCursorDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f,
                        0xFFFFFFFFu);
    }
}

void MenuProc::PostRender() {
    if (menu != nullptr) {
        menu->PostRender();
    }
}

void MenuProc::Suspend() {
    if (menu != nullptr) {
        menu->Pause();
    }
}

void MenuProc::Resume() {
    if (menu != nullptr) {
        menu->Resume();
    }
}
