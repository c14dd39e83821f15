#include "game/GameProc.h"

#include "engine/Input.h"
#include "engine/ObjectsManager.h"
#include "engine/ProcessResult.h"
#include "engine/profile.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "ui/ModalProcesses.h"
#include "ui/UserInterface.h"
#include "world/FullScreenKey.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <memory>

namespace {

// The game's own pause picture, in the middle of the upper part of the screen.
constexpr float kPauseLeft = 272.0f;
constexpr float kPauseTop = 236.0f;
constexpr float kPauseDepth = 700.0f;
constexpr float kPauseWidth = 256.0f;
constexpr float kPauseHeight = 128.0f;

bool LevelIsMap() {
    return GameLevel != nullptr && GameLevel->type == "map";
}

bool MapGameRuns() {
    return ModalLevel != nullptr && ModalLevel->type == "map_game";
}

// The HUD belongs to the locations: the world map and the map game show their own.
bool HudShown() {
    return !LevelIsMap() && !MapGameRuns();
}

template <typename Scene>
void Run(Scene* scene, void (ObjectsManager::*pass)()) {
    if (scene != nullptr) {
        (scene->*pass)();
    }
}

void UpdateScene(ObjectsManager* scene, float dt) {
    if (scene != nullptr) {
        scene->Update(dt);
    }
}

} // namespace

std::unique_ptr<GameProc> GameProc::Create() {
    return std::make_unique<GameProc>();
}

GameProc::GameProc() {
    EnsureLayer(MainUI);
    EnsureLevel(GameLevel).state = kResultNone;
    EnsureLayer(OverlayUI);
    EnsureLayer(LevelOverlayUI);
    Sounds.StopAll();
    MainUI->LoadScene("menus/game.txt", true);
}

void GameProc::Update(float dt) {
    const bool pPressed = Keyboard.KeyPressed('P');
    const bool shiftHeld = Keyboard.KeyDown(kKeyShift);
    if (pPressed && !shiftHeld) {
        GamePaused = !GamePaused;
    }
    if (GamePaused && !(pPressed && shiftHeld)) {
        return;
    }

    RunFullScreenKey();

    CursorAnim.Play("idle", true, false, true, 0.0f);
    HeldItemAnim.Update(dt);
    ToolCursorAnim.Update(dt);

    if (MainUI != nullptr && HudShown()) {
        MainUI->Update(dt);
    }
    UpdateScene(GameLevel, dt);
    UpdateScene(OverlayUI, dt);
    UpdateScene(LevelOverlayUI, dt);

    if (GameLevel != nullptr && GameLevel->state != kResultNone) {
        state = 0;
        result = GameLevel->state;
    }
}

void GameProc::AfterUpdate() {
    Run(GameLevel, &ObjectsManager::RemoveDead);
    Run(MainUI, &ObjectsManager::RemoveDead);
    Run(OverlayUI, &ObjectsManager::RemoveDead);
    Run(LevelOverlayUI, &ObjectsManager::RemoveDead);
}

void GameProc::PreRender() {
    Run(GameLevel, &ObjectsManager::PreRender);
    if (!LevelIsMap() && ModalLevel == nullptr) {
        Run(MainUI, &ObjectsManager::PreRender);
    }
    Run(LevelOverlayUI, &ObjectsManager::PreRender);
    Run(OverlayUI, &ObjectsManager::PreRender);
}

void GameProc::Render() {
    const ProfileScope tag("gameproc_render");
    Run(GameLevel, &ObjectsManager::Render);
    if (HudShown()) {
        Run(MainUI, &ObjectsManager::Render);
    }
    if (ModalLevel == nullptr) {
        Run(LevelOverlayUI, &ObjectsManager::Render);
    }
    Run(OverlayUI, &ObjectsManager::Render);
    if (GamePaused) {
        DrawQuad(kPauseLeft, kPauseTop, kPauseDepth, kPauseWidth, kPauseHeight, 0.0f, 0.0f, 1.0f,
                 1.0f, PausePictureToDraw(), 0.0f, 1.0f, 1.0f, nullptr, 0.0f, 0.0f);
    }
}

void GameProc::PostRender() {
    Run(GameLevel, &ObjectsManager::PostRender);
    if (HudShown()) {
        Run(MainUI, &ObjectsManager::PostRender);
    }
    // A modal process on top draws its own cursor.
    if (CurrentProcess != this) {
        return;
    }
    const bool menuOpen = GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
                          GameLevel->levelSystem->menuOpen;
    if (HudShown() && !menuOpen) {
        DrawHeldItemAnim();
    }
    DrawCursorAnim();
    DrawToolCursorAnim();
}

void GameProc::DeviceRestored() {
    Run(GameLevel, &ObjectsManager::PostDrawAll);
}

void GameProc::End() {
    ClearLayer(MainUI);
    ClearLayer(MapGameUI);
    if (GameLevel != nullptr) {
        GameLevel->Clear();
    }
    ClearLayer(OverlayUI);
    ClearLayer(LevelOverlayUI);
    ClearLayer(mui);
    ClearLayer(VideoUI);
    // Nothing keeps a cleared dialogue layer: it goes rather than being left behind unreachable.
    ClearLayer(DialogueUI);
    DeleteLayer(DialogueUI);
}
