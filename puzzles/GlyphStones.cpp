#include "puzzles/GlyphStones.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "ui/UserInterface.h"
#include "world/GameModalDialog.h"
#include "world/Level.h"
#include "world/Player.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kNoTint = 0xFFFFFFFF;

bool LeftPress(uint32_t id, uint32_t param) {
    return id == kLeftDown && param == KeyboardSystem::kPressed;
}

// Loads the screen file into MapGameUI, clearing it first; nothing while the layer is missing.
void LoadMapGameScreen(const char* screen) {
    if (MapGameUI == nullptr) {
        DebugLog("No map-game layer: %s is not shown\n", screen);
        return;
    }
    MapGameUI->LoadScene(screen, true);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// PlacedSymbol

PlacedSymbol::PlacedSymbol(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<PlacedSymbol>*>(this), 0, 0);
}

void PlacedSymbol::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "active") {
            active = values.NextInt(true, 0) != 0;
        } else if (key == "hidden") {
            hidden = values.NextInt(true, 0) != 0;
        } else if (key == "elementsGroupName") {
            groupName = values.NextString(true, "");
        } else if (key == "activationSymbol") {
            activationSymbol = values.NextString(true, "");
        } else if (key == "sprNormal") {
            normal.Load(values.NextString(true, ""));
        } else if (key == "sprNormalOn") {
            normalOn.Load(values.NextString(true, ""));
        } else if (key == "sprDark") {
            dark.Load(values.NextString(true, ""));
        } else if (key == "sprLight") {
            light.Load(values.NextString(true, ""));
        }
    });
    for (AnimPlayer* picture : {&normal, &normalOn, &dark, &light}) {
        picture->SetAnim(activationSymbol);
    }
}

// ---------------------------------------------------------------------------------------------
// PlacedSymbolsGroup

PlacedSymbolsGroup::PlacedSymbolsGroup(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<PlacedSymbolsGroup>*>(this), 0, 0);
}

void PlacedSymbolsGroup::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "elementsGroupName") {
            groupName = values.NextString(true, "");
        } else if (key == "parentStoneName") {
            parentStoneName = values.NextString(true, "");
        }
    });
    // A second "Data" list may name the group: the places are taken afresh each time.
    symbols.clear();
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
        for (const auto& object : owner->Objects()) {
            auto* symbol = dynamic_cast<PlacedSymbol*>(object.get());
            if (symbol != nullptr && object->GetClassName() == PlacedSymbol::kClassName &&
                symbol->groupName == groupName) {
                symbols.push_back(symbol);
            }
        }
    }
    initialised = true;
    size = ModalLevel != nullptr && ModalLevel->levelId == "finalGlyphStone" ? 0.7f : 0.75f;
}

void PlacedSymbolsGroup::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    std::erase(symbols, going);
    if (going == stone) {
        stone = nullptr;
    }
    BaseGameObject::OnObjectGoing(going);
}

bool PlacedSymbolsGroup::AllActive() const {
    return std::all_of(symbols.begin(), symbols.end(),
                       [](const PlacedSymbol* symbol) { return symbol->active; });
}

void PlacedSymbolsGroup::MarkAllActive() {
    for (PlacedSymbol* symbol : symbols) {
        symbol->active = true;
    }
}

void PlacedSymbolsGroup::OnMessage(const void*, uint32_t id, uint32_t param) {
    auto* stones = static_cast<AllStonesMngr*>(manager.Get());
    if (manager.Finished() || (stones != nullptr && stones->Failed()) ||
        MiniGameManager::LeaveRequested()) {
        return;
    }
    if (LeftPress(id, param) && MouseOn(*this)) {
        if (complete) {
            PlayFull("carve_wrong");
            return;
        }
        const NormalLevelSystem* system = GameSystem();
        const std::string picked = system != nullptr ? system->selectedSymbol : std::string();
        const auto waiting =
            std::find_if(symbols.begin(), symbols.end(), [&picked](const PlacedSymbol* symbol) {
                return !symbol->active && !symbol->activationSymbol.empty() &&
                       symbol->activationSymbol == picked;
            });
        if (waiting != symbols.end()) {
            PlayFull("carve_correct");
            (*waiting)->active = true;
            if (stones != nullptr) {
                stones->Carved();
            }
        } else {
            PlayFull("carve_wrong");
            // A click with no symbol picked costs nothing.
            if (stones != nullptr && !picked.empty()) {
                stones->Miss();
            }
        }
    }
    if (AllActive()) {
        complete = true;
    }
}

bool PlacedSymbolsGroup::Update(float dt) {
    time += dt;
    complete = AllActive();
    return true;
}

void PlacedSymbolsGroup::Draw() {
    // The scene key "renderBluredBackground" does not hide the groups: they are drawn always.
    const auto place = [](PlacedSymbol& symbol) {
        const PositionChunk* position = PositionOf(symbol);
        return position != nullptr ? std::pair{position->x, position->y}
                                   : std::pair{0.0f, 0.0f};
    };
    const auto pass = [&](AnimPlayer PlacedSymbol::*picture, float dx, float dy, float a) {
        for (PlacedSymbol* symbol : symbols) {
            if (!symbol->active) {
                continue;
            }
            const auto [x, y] = place(*symbol);
            (symbol->*picture).Draw(x + dx, y + dy, kDepth, 0.0f, a, size, 1.0f, 0.0f, kNoTint);
        }
    };
    if (complete) {
        pass(&PlacedSymbol::normalOn, 0.0f, 0.0f,
             alpha < 1.0f ? alpha : std::fabs(std::sin(2.0f * time)));
    }
    pass(&PlacedSymbol::light, 1.0f, 2.0f, alpha);
    pass(&PlacedSymbol::dark, -1.0f, -1.0f, alpha);
    pass(&PlacedSymbol::normal, 0.0f, 0.0f, alpha);
}

// ---------------------------------------------------------------------------------------------
// SingleStoneMngr

SingleStoneMngr::SingleStoneMngr(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<SingleStoneMngr>*>(this), 0, 0);
}

void SingleStoneMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "stoneName") {
            stoneName = values.NextString(true, "");
        }
    });
    // A definition's "Data" and the scene entry's are read one after the other: the groups and
    // the stone's state are taken afresh from the last.
    groups.clear();
    done = false;
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
        for (const auto& object : owner->Objects()) {
            auto* group = dynamic_cast<PlacedSymbolsGroup*>(object.get());
            if (group != nullptr && object->GetClassName() == PlacedSymbolsGroup::kClassName &&
                group->parentStoneName == stoneName) {
                group->stone = this;
                groups.push_back(group);
            }
        }
    }
    Update(0.0f);
}

void SingleStoneMngr::OnObjectGoing(Object* going) {
    std::erase(groups, going);
    BaseGameObject::OnObjectGoing(going);
}

bool SingleStoneMngr::Update(float) {
    if (done) {
        return true;
    }
    if (std::all_of(groups.begin(), groups.end(),
                    [](const PlacedSymbolsGroup* group) { return group->complete; })) {
        for (PlacedSymbolsGroup* group : groups) {
            group->MarkAllActive();
        }
        done = true;
    }
    return true;
}

void SingleStoneMngr::ActivateAllSymbols() {
    for (PlacedSymbolsGroup* group : groups) {
        group->complete = true;
        group->MarkAllActive();
    }
    done = true;
}

// ---------------------------------------------------------------------------------------------
// AllStonesMngr

AllStonesMngr::AllStonesMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<AllStonesMngr>*>(this), 0, 0);
}

ManagerLink* AllStonesMngr::LinkOf(Object& piece) {
    auto* group = dynamic_cast<PlacedSymbolsGroup*>(&piece);
    return group != nullptr ? &group->manager : nullptr;
}

void AllStonesMngr::SetProperty(const ParconCursor&) {
    if (!collectedStones && owner != nullptr) {
        collectedStones = true;
        for (const auto& object : owner->Objects()) {
            if (auto* stone = dynamic_cast<SingleStoneMngr*>(object.get());
                stone != nullptr && object->GetClassName() == SingleStoneMngr::kClassName) {
                stones.push_back(stone);
            }
        }
        CollectPieces(PlacedSymbolsGroup::kClassName);
        if (ModalLevel != nullptr && ModalLevel->type == "stone") {
            EnsureLayer(MapGameUI);
            LoadMapGameScreen(kStartScreen);
        }
    }
}

void AllStonesMngr::OnObjectGoing(Object* going) {
    std::erase(stones, going);
    MiniGameManager::OnObjectGoing(going);
}

bool AllStonesMngr::WinTest() {
    return std::all_of(stones.begin(), stones.end(),
                       [](const SingleStoneMngr* stone) { return stone->done; });
}

void AllStonesMngr::LeaveStones() {
    Leave();
    LoadMapGameScreen(kCloseScreen);
}

void AllStonesMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel != nullptr && (LeaveRequested() || !ModalLevel->blendFinished)) {
        return;
    }
    if (finished || Failed()) {
        return;
    }
    if (Keyboard.KeyPressed(kEscape)) {
        LeaveStones();
        return;
    }
    if (!LeftPress(id, param)) {
        return;
    }
    const std::optional<bool> onBackground = MouseOnBackground("idle", kBackgroundMargin);
    // Without a backdrop a press never leaves; Escape does.
    if (!onBackground || *onBackground || Mouse.y > kLeaveBelowY) {
        return;
    }
    LeaveStones();
}

void AllStonesMngr::OpenFailureDialog() {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("%s", "No game level or profile: no failure dialogue\n");
        return;
    }
    const char* shownFlag = nullptr;
    if (CurrentPlayer->GetFlag("global:glyphstoneFailedDialogShown") == 0) {
        shownFlag = "glyphstoneFailedDialogShown";
    } else if (CurrentPlayer->GetFlag("global:glyphstoneFailedDialogShown2") == 0) {
        shownFlag = "glyphstoneFailedDialogShown2";
    } else {
        return;
    }
    std::unique_ptr<Object> created = GameLevel->CreateObject("GameModalDialog", true);
    auto* dialog = dynamic_cast<GameModalDialog*>(created.get());
    if (dialog == nullptr) {
        DebugLog("%s", "GameModalDialog is not a dialogue: no failure dialogue\n");
        return;
    }
    GameLevel->AddObject(std::move(created));
    dialog->SetFileName(kFailureDialog, false);
    dialog->SetDelay(0.0f);
    CurrentPlayer->SetFlag("global", shownFlag, 1);
}

// The frame's order with the stones' own end: a failure opens its dialogue after the delay, a
// win marks every place carved then, and only then sets its flags and sound.
bool AllStonesMngr::Update(float dt) {
    if (!finished && WinTest() && !CloseFlagSet()) {
        misses = 0;
        finished = true;
    }
    if (Failed()) {
        finished = true;
        if (ModalLevel != nullptr) {
            ModalLevel->returnFlag = true;
        }
    }
    if (!finished) {
        return true;
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (Failed()) {
        OpenFailureDialog();
        if (ModalLevel != nullptr) {
            ModalLevel->returnFlag = true;
        }
    }
    if (!Failed() && !CloseFlagSet()) {
        for (SingleStoneMngr* stone : stones) {
            stone->ActivateAllSymbols();
        }
        SetCompletionFlag();
        PlayFull("game_won");
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
        LoadMapGameScreen(kCloseScreen);
    }
    if (NormalLevelSystem* system = MiniGameSystem()) {
        system->leaveArmed = true;
    }
    return false;
}
