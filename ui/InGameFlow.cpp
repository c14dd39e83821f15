// The location changes and the in-game option flows, and what they share with the event table.

#include "ui/InGameFlow.h"

#include "engine/Application.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "ui/Menu.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UIStatic.h"
#include "ui/UserInterface.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <memory>
#include <string_view>

namespace {

UserInterface::GameFlowHooks gameFlow;

bool ItemHeld() {
    const NormalLevelSystem* system = GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
    return system != nullptr && !system->heldItemName.empty();
}

} // namespace

void UserInterface::SetGameFlowHooks(GameFlowHooks hooks) {
    gameFlow = std::move(hooks);
}

int32_t RunInGameProcess(XProcess* process) {
    if (process == nullptr) {
        return 0;
    }
    return gameFlow.runProcess ? gameFlow.runProcess(process, App.maxFps)
                               : RunProcess(process, App.maxFps);
}

int32_t RunNewGameProcess() {
    return RunInGameProcess(gameFlow.createGameProcess ? gameFlow.createGameProcess() : nullptr);
}

Level& EnsureGameLevel() {
    if (GameLevel == nullptr) {
        auto level = std::make_unique<Level>();
        level->Load();
        GameLevel = level.release();
    }
    return *GameLevel;
}

void DeleteModalLevel() {
    if (ModalLevel != nullptr) {
        Level* level = ModalLevel;
        ModalLevel = nullptr;
        level->Clear();
        ObjectsManager::Delete(level);
    }
}

std::string LocationFile(const std::string& exit) {
    if (!exit.empty() && (exit.front() == '/' || exit.front() == '\\')) {
        return "levels" + exit;
    }
    return "levels/" + exit;
}

void WriteSaveGame(bool quick) {
    if (GameLevel != nullptr && CurrentPlayer != nullptr) {
        GameLevel->SaveGameState(SaveGamePath(quick));
    }
}

int32_t PlayerFlag(const std::string& key) {
    return CurrentPlayer != nullptr ? CurrentPlayer->GetFlag(key) : 0;
}

void RestartFadeIn(Object& object, float delay, float duration) {
    auto restart = [&](FadeTimes& fades, float clock) {
        fades.inStart = clock + delay;
        fades.inTime = duration;
    };
    if (auto* bitmap = dynamic_cast<UIBitmapButton*>(&object)) {
        restart(bitmap->ownFades, bitmap->ownClock);
    } else if (auto* button = dynamic_cast<UIButton*>(&object)) {
        restart(button->fades, button->clock);
    } else if (auto* picture = dynamic_cast<UIStatic*>(&object)) {
        restart(picture->fades, picture->clock);
    } else if (auto* label = dynamic_cast<UILabel*>(&object)) {
        restart(label->fades, label->clock);
    } else if (auto* slider = dynamic_cast<UISlider*>(&object)) {
        restart(slider->fades, slider->clock);
    }
}

void UserInterface::GoToLocation(const std::string& levelFile) {
    // A location cannot be left with an item in hand.
    if (ItemHeld()) {
        return;
    }
    Sounds.StopAll();
    for (UserInterface** global : {&MainUI, &MapGameUI, &mui, &VideoUI}) {
        if (*global != nullptr) {
            (*global)->Clear();
        } else {
            EnsureLayer(*global);
        }
    }
    if (GameLevel != nullptr) {
        GameLevel->Clear();
    } else {
        EnsureGameLevel();
    }
    if (OverlayUI != nullptr) {
        OverlayUI->Clear();
    } else {
        EnsureLayer(OverlayUI);
    }
    for (UserInterface* layer : {LevelOverlayUI, DialogueUI, TutorialUI}) {
        ClearLayer(layer);
    }
    GameLevel->LoadScene(levelFile, true);
    FrameTimer.Start();
    const WalkScope keep(*this);
    const int32_t result = RunNewGameProcess();
    if (!IsBeingDeleted()) {
        HandleProcessResult(result);
    }
}

void UserInterface::HandleProcessResult(int32_t result) {
    switch (result) {
    case 1:
        LoadScene("menus/main_menu.txt", true);
        break;
    case 2:
        if (GameLevel != nullptr) {
            const std::string next = LocationFile(GameLevel->exitForward);
            GameLevel->Clear();
            GoToLocation(next);
        }
        break;
    case 3:
        if (ModalLevel != nullptr) {
            GoToLocation(LocationFile(ModalLevel->exitBack));
        } else if (GameLevel != nullptr) {
            const std::string back = LocationFile(GameLevel->exitBack);
            GameLevel->Clear();
            GoToLocation(back);
        }
        break;
    case 5:
        DeleteModalLevel();
        // The normal save game is read back at MainUI's next update.
        if (MainUI != nullptr) {
            if (auto* messages = dynamic_cast<MessageSystem*>(MainUI->FindSystem(FourCC("MSGS")))) {
                messages->Post(MainUI, FourCC("LOAQ"), 0);
            }
        }
        break;
    case 6:
        DeleteModalLevel();
        break;
    default:
        break;
    }
    FrameTimer.Start();
}

void UserInterface::ChooseElementMap() {
    if (GameLevel != nullptr && !GameLevel->levelPath.empty()) {
        WriteSaveGame(false);
    }
    const bool complete =
        CurrentPlayer != nullptr && CurrentPlayer->GetMapPieces() >= kMapPiecesForMap;
    const char* map = "levels\\wood_map.txt";
    if ((PlayerFlag("map_water:minigame2_completed") != 0 && complete) ||
        PlayerFlag("map_metal:minigame1_completed") != 0 ||
        (complete && PlayerFlag("z4-gardens-out:dialog4_killed") != 0)) {
        map = "levels\\metal_map.txt";
    } else if ((PlayerFlag("map_fire:minigame2_completed") != 0 && complete) ||
               PlayerFlag("map_water:minigame1_completed") != 0) {
        map = "levels\\water_map.txt";
    } else if ((PlayerFlag("z1-hermitage-in:minigame1_completed") != 0 && complete) ||
               PlayerFlag("z1-wood-glyphstone:dialog3_killed") != 0 ||
               PlayerFlag("map_fire:minigame1_completed") != 0) {
        map = "levels\\fire_map.txt";
    }
    GoToLocation(map);
}

void UserInterface::OpenIngameOptions() {
    optionsOpen = true;
    EnsureLayer(MapGameUI);
    state = 1;
    if (MainUI != nullptr) {
        for (const char* code : {"LSTO", "LST1", "LST2"}) {
            Object* object = MainUI->FindByCode(FourCC(code));
            if (object != nullptr && object->name == "UIBitmapButton") {
                RestartFadeIn(*object, 1.0f, std::string_view(code) == "LSTO" ? 0.7f : 0.5f);
            }
        }
    }
    const WalkScope keep(*this);
    RunInGameProcess(ModalProc2::Create("menus/ingame_options_menu_close.txt", "", true, false));
    InGameMenuOpen = false;
    if (!IsBeingDeleted()) {
        optionsOpen = false;
    }
}
