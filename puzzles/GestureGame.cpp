#include "puzzles/GestureGame.h"

#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "puzzles/SkillGameSupport.h"
#include "ui/InGameFlow.h"
#include "ui/ModalProcesses.h"
#include "world/FxPath.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <memory>

namespace {

constexpr const char* kRingParticles = "gfx/fx/green_glow_ring.prt";
constexpr const char* kHighlightParticles = "gfx/fx/object_hili2.prt";
constexpr const char* kTutorials = "menus\\tutorials\\mini-games-tutorials\\";

std::string TutorialScreen(const char* name) {
    return std::string(kTutorials) + name + ".txt";
}

bool WandSelected() {
    return GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
           GameLevel->levelSystem->toolInUse;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// GestureGameElement

GestureGameElement::GestureGameElement(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<GestureGameElement>*>(this), 0, 0);
}

void GestureGameElement::SetProperty(const ParconCursor& cursor) {
    GameAnim::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "gestureName") {
            gestureName = key.NextString(true, "");
        }
    });
}

void GestureGameElement::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameAnim::OnObjectGoing(going);
}

void GestureGameElement::OnGesture(const std::string& gesture) {
    if (gesture.empty() || gesture != gestureName || recognised) {
        return;
    }
    auto* game = static_cast<GestureGameMngr*>(manager.Get());
    if (game == nullptr || !game->showTutorial) {
        recognised = true;
        return;
    }
    if (game->introShown && !game->stepDone && game->tutorialMode == gestureName) {
        game->stepDone = true;
        recognised = true;
        CloseTutorialPopUp();
    }
}

bool GestureGameElement::Update(float dt) {
    // The object's own step only: an element does not run the timed fades.
    BaseGameObject::Update(dt);
    if (!recognised) {
        return true;
    }
    SpriteRenderChunk* sprite = SpriteOf(*this);
    const std::string lit = gestureName + "_idle2";
    if (sprite != nullptr && sprite->player.CurrentAnimName() != lit) {
        sprite->player.Play(lit, false, false, true, 0.0f);
    }
    if (effectsShown) {
        return true;
    }
    effectsShown = true;
    float x = 0.0f;
    float y = 0.0f;
    if (const PositionChunk* position = PositionOf(*this)) {
        x = position->x;
        y = position->y;
    }
    if (sprite != nullptr) {
        const FrameRect frame = sprite->player.GetFrameRect(lit);
        x += static_cast<float>(frame.right - frame.left) / 2.0f;
        y += static_cast<float>(frame.bottom - frame.top) / 2.0f;
    }
    SpawnParticles(owner, kRingParticles, x, y, 0.2f, 3.0f);
    SpawnParticles(owner, kHighlightParticles, x, y, 0.4f, 3.0f);
    PlayFull("pick2");
    return true;
}

// ---------------------------------------------------------------------------------------------
// GestureGameMngr

const std::array<GestureGameMngr::TutorialStep, 5> GestureGameMngr::kSteps = {{
    {kWaitingForWand, "sort", {"excellent_wand", "gesture_sort"}, {false, true}},
    {"sort", "row", {"excellent", "gesture_row"}, {false, true}},
    {"row", "column", {"gesture_column", nullptr}, {true, false}},
    {"column", "flash", {"gesture_flash", nullptr}, {true, false}},
    {"flash", "flash", {"gestures_finish", nullptr}, {false, false}},
}};

GestureGameMngr::GestureGameMngr(ObjectsManager* owner) : MiniGameManager(owner, kWinDelay) {
    Object::SetCreator(static_cast<OCreator<GestureGameMngr>*>(this), 0, 0);
}

bool GestureGameMngr::InGestureLeaveZone(float x, float y) {
    return y < 650.0f && (x < 50.0f || x > 975.0f || y < 50.0f);
}

void GestureGameMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "showTutorial") {
            showTutorial = key.NextInt(true, 0) != 0;
        }
    });
    CollectPieces(GestureGameElement::kClassName);
    initialised = true;
}

ManagerLink* GestureGameMngr::LinkOf(Object& piece) {
    auto* element = dynamic_cast<GestureGameElement*>(&piece);
    return element != nullptr ? &element->manager : nullptr;
}

bool GestureGameMngr::WinTest() {
    for (const Object* piece : pieces) {
        if (!static_cast<const GestureGameElement*>(piece)->recognised) {
            return false;
        }
    }
    return true;
}

bool GestureGameMngr::AcceptsLeave() const {
    return !won && !LeaveRequested();
}

void GestureGameMngr::Leave() {
    showTutorial = false;
    CloseTutorialPopUp();
    DropHeldTool();
    SetCloseFlag();
    RequestLeave();
    finished = true;
}

void GestureGameMngr::RunPopUp(const char* screen, bool running) {
    // The pop-up's loop updates this game again beneath it: those updates never open another.
    if (popUpOpen || screen == nullptr) {
        return;
    }
    popUpOpen = true;
    RunInGameProcess(TutorialModalProc::Create(
        TutorialScreen(screen), "",
        {.drawBeneath = true, .drawOnce = false, .updateBeneath = running}));
    popUpOpen = false;
}

void GestureGameMngr::TakeStep(const TutorialStep& step) {
    tutorialMode = step.newMode;
    stepTimer = kStepTime;
    stepDone = false;
    for (std::size_t i = 0; i < step.popUps.size(); ++i) {
        // Leaving during a pop-up ends the tutorial: no further pop-up opens.
        if (showTutorial) {
            RunPopUp(step.popUps[i], step.running[i]);
        }
    }
    if (std::string_view(step.mode) == "flash" && showTutorial) {
        showTutorial = false;
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->SetFlag("global", "tutorial_gesture_completed", 1);
        } else {
            DebugLog("%s", "No profile: the gesture tutorial is not marked as done\n");
        }
    }
}

bool GestureGameMngr::UpdateTutorial(float dt) {
    if (elapsed < kIntroDelay) {
        return true;
    }
    if (waitingForWand && WandSelected()) {
        CloseTutorialPopUp();
        tutorialMode = kWaitingForWand;
        stepTimer = 1.0f;
        waitingForWand = false;
        stepDone = true;
    }
    // Beneath a running pop-up the game only takes what the player does.
    if (popUpOpen) {
        return true;
    }
    if (!introShown) {
        introShown = true;
        RunPopUp("gesture_intro", false);
        waitingForWand = true;
        RunPopUp("wand", true);
        waitingForWand = false;
    }
    // After the wand's step the sort step is looked at in the same update.
    for (int looked = 0; looked < 2 && stepDone && showTutorial; ++looked) {
        stepTimer -= dt;
        if (stepTimer > 0.0f) {
            return true;
        }
        const std::string done = tutorialMode;
        for (const TutorialStep& step : kSteps) {
            if (done == step.mode) {
                TakeStep(step);
                break;
            }
        }
        if (done != kWaitingForWand) {
            return true;
        }
        dt = 0.0f;
    }
    return true;
}

void GestureGameMngr::GameWon() {
    SetLocationFlag(kWinFlag, 1);
    if (ModalLevel != nullptr && ModalLevel->levelId == kBarrowGame) {
        const struct {
            float x0, y0, x1, y1;
        } legs[] = {{510.0f, 545.0f, 510.0f, 290.0f}, {510.0f, 290.0f, 510.0f, 545.0f}};
        for (const auto& leg : legs) {
            std::unique_ptr<Object> created = ModalLevel->CreateObject("FxPath", true);
            auto* spark = dynamic_cast<FxPath*>(created.get());
            if (spark == nullptr) {
                break;
            }
            spark->Start(kHighlightParticles, leg.x0, leg.y0, leg.x1, leg.y1, 1.2f, 0.0f);
            ModalLevel->AddObject(std::move(created));
            spark->ResolveDependencies();
        }
    }
    PlayFull("game_won");
    if (ModalLevel != nullptr) {
        ModalLevel->won = true;
    }
    won = true;
}

bool GestureGameMngr::Update(float dt) {
    if (ModalLevel == nullptr) {
        return true;
    }
    // A scene whose manager read no keys has it collect its elements now, so that an unread
    // manager never wins a game whose elements it does not know.
    if (!initialised) {
        CollectPieces(GestureGameElement::kClassName);
        initialised = true;
    }
    elapsed += dt;
    if (showTutorial && !won) {
        return UpdateTutorial(dt);
    }
    if (!won && WinTest()) {
        GameWon();
    }
    if (!won) {
        return true;
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    RequestLeave();
    finished = true;
    if (ModalLevel->levelId == kBarrowGame && GameLevel != nullptr &&
        GameLevel->FindSystem(FourCC("LEVH")) != nullptr) {
        Level::PlayAnimByLabel("door", "idle", 0.7f);
        PlayFull("door_open");
    }
    return false;
}
