// The location changes and the in-game option flows, and what they share with the event table.

#include "ui/InGameFlow.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "platform/os/Messages.h"
#include "ui/GameFlow.h"
#include "ui/Menu.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UIStatic.h"
#include "ui/UserInterface.h"
#include "world/GameSettings.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

namespace {

// Keeps a layer global's current layer, to tell afterwards whether it is still the same one.
class LayerWatch {
public:
    explicit LayerWatch(UserInterface* const& global)
        : global(global), layer(global), serial(global != nullptr ? global->Serial() : 0) {}
    UserInterface* Get() const {
        return global != nullptr && global == layer && global->Serial() == serial ? layer : nullptr;
    }

private:
    UserInterface* const& global;
    UserInterface* layer;
    uint64_t serial;
};

bool ItemHeld() {
    const NormalLevelSystem* system = GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
    return system != nullptr && !system->heldItemName.empty();
}

} // namespace

int32_t RunInGameProcess(std::unique_ptr<XProcess> process) {
    if (process == nullptr) {
        return 0;
    }
    return Flow().Run(std::move(process), App.maxFps);
}

int32_t RunNewGameProcess() {
    return RunInGameProcess(Flow().CreateGameProcess());
}

bool AskFullScreenQuit() {
    EnsureLayer(mui).quitQuestion = true;
    const LayerWatch question(mui);
    const int32_t answer = RunInGameProcess(ModalProc::Create("menus/ask_quit_full.txt", "", {}));
    UserInterface* asked = question.Get();
    if (asked != nullptr && (answer == kResultYes || answer == kResultNo)) {
        asked->quitQuestion = false;
    }
    if (answer != kResultYes) {
        return false;
    }
    SaveSettings();
    if (asked != nullptr) {
        asked->state = kResultClose;
    }
    PostQuitMessage(0);
    return true;
}

void DeleteModalLevel() {
    if (ModalLevel != nullptr) {
        Level* level = ModalLevel;
        ModalLevel = nullptr;
        level->Clear();
        ObjectsManager::Delete(level);
    }
}

namespace {

// The location files of 'SLV0'..'SLVF', by the id's last character.
struct LocationChoice {
    char digit;
    const char* file;
};
constexpr LocationChoice kLocationChoices[] = {
    {'0', "levels/z1-barrow-out.txt"},
    {'1', "levels/z1-hermitage-out.txt"},
    {'2', "levels/z1-quicksand.txt"},
    {'3', "levels/z1-wood-glyphstone.txt"},
    {'4', "levels/z2-fire-glyphstone.txt"},
    {'5', "levels/z2-brotherhood.txt"},
    {'6', "levels/z2-hearth-of-power-out.txt"},
    {'7', "levels/z3-water-glyphstone.txt"},
    {'8', "levels/z3-obelisk.txt"},
    {'9', "levels/z3-tower.txt"},
    {'A', "levels/z4-metal-glyphstone.txt"},
    {'B', "levels/z4-gardens-out.txt"},
    {'C', "levels/z5-aether-glyphstone.txt"},
    {'D', "levels/z5-wheel-of-time.txt"},
    {'E', "levels/z5-library-out.txt"},
    {'F', "levels/z6-acropolis.txt"},
};

} // namespace

const char* LocationOfChoice(uint32_t id) {
    if ((id & 0xFFFFFF00u) != (FourCC("SLV0") & 0xFFFFFF00u)) {
        return nullptr;
    }
    const char digit = static_cast<char>(id & 0xFF);
    for (const LocationChoice& choice : kLocationChoices) {
        if (choice.digit == digit) {
            return choice.file;
        }
    }
    return nullptr;
}

void LeaveMiniGameBack() {
    DeleteModalLevel();
    if (MainUI != nullptr) {
        if (auto* messages = dynamic_cast<MessageSystem*>(MainUI->FindSystem(FourCC("MSGS")))) {
            messages->Post(MainUI, FourCC("LOAQ"), 0);
        }
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

bool IsFadingHudPart(const Object& object) {
    static constexpr std::array<std::string_view, 5> kFadingParts = {
        "lightstone", "ls_progress", "holder", "map_pieces", "options"};
    return std::find(kFadingParts.begin(), kFadingParts.end(), object.visName) !=
           kFadingParts.end();
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
    // The mini-game's level and its process would stay open under the new location, which then
    // takes no clicks: the mini-game is closed first, or the location stays.
    if (ModalLevel != nullptr) {
        DebugLog("%s is not entered while the mini-game %s is open\n",
                 MessagePart(levelFile).c_str(), MessagePart(ModalLevel->name).c_str());
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
        EnsureLevel(GameLevel);
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
    case kResultClose:
        LoadScene("menus/main_menu.txt", true);
        break;
    case kResultForward:
        if (GameLevel != nullptr) {
            const std::string next = LocationFile(GameLevel->exitForward);
            GameLevel->Clear();
            GoToLocation(next);
        }
        break;
    case kResultBack:
        if (ModalLevel != nullptr) {
            // The mini-game's way back: it closes before its exit is taken.
            const std::string back = LocationFile(ModalLevel->exitBack);
            DeleteModalLevel();
            GoToLocation(back);
        } else if (GameLevel != nullptr) {
            const std::string back = LocationFile(GameLevel->exitBack);
            GameLevel->Clear();
            GoToLocation(back);
        }
        break;
    case kResultLeftBack:
        LeaveMiniGameBack();
        break;
    case kResultLeft:
        DeleteModalLevel();
        break;
    default:
        break;
    }
    FrameTimer.Start();
}

void UserInterface::ChooseElementMap() {
    // No map over an open mini-game: its location is neither saved nor left.
    if (ModalLevel != nullptr) {
        DebugLog("The map is not opened while the mini-game %s is open\n",
                 MessagePart(ModalLevel->name).c_str());
        return;
    }
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
    state = kResultClose;
    if (MainUI != nullptr) {
        for (const char* code : {"LSTO", "LST1", "LST2"}) {
            Object* object = MainUI->FindByCode(FourCC(code));
            if (object != nullptr && object->name == "UIBitmapButton") {
                RestartFadeIn(*object, 1.0f, std::string_view(code) == "LSTO" ? 0.7f : 0.5f);
            }
        }
    }
    const WalkScope keep(*this);
    RunInGameProcess(ModalProc2::Create("menus/ingame_options_menu_close.txt", "", {}));
    InGameMenuOpen = false;
    if (!IsBeingDeleted()) {
        optionsOpen = false;
    }
}
