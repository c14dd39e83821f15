#include "puzzles/Library.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/ObjectLink.h"
#include "engine/Parcon.h"
#include "engine/ProcessResult.h"
#include "media/SoundManager.h"
#include "puzzles/PuzzleSupport.h"
#include "ui/InGameFlow.h"
#include "ui/ModalProcesses.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"
#include "world/fx/FxPillar.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr int kFullVolume = 100;
constexpr float kSparkEmission = 0.1f;
constexpr float kSparkLife = 3.0f;

NormalLevelSystem* Holder() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// LibraryObject

LibraryObject::LibraryObject(ObjectsManager* owner, const char* dialogKey, const char* countSuffix)
    : GameButtonX(owner), dialogKey(dialogKey), countSuffix(countSuffix) {}

void LibraryObject::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& value) {
        if (key == "activators") {
            while (value.HasNextValue()) {
                activators.push_back(value.NextString(true, ""));
            }
        } else if (key == dialogKey) {
            emptyClickDialog = value.NextString(true, "");
        }
    });
    activatorCount = static_cast<int32_t>(activators.size());
    // The count is data of the profile: it is kept within the list.
    placed = std::clamp(GetLevelFlag(visName + countSuffix), 0, activatorCount);
}

bool LibraryObject::PressWithItem(uint32_t id, uint32_t param, std::string& held) {
    if (dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return false;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return false;
    }
    const NormalLevelSystem* holder = Holder();
    held = holder != nullptr ? holder->heldItemName : std::string();
    if (held.empty()) {
        if (!emptyClickDialog.empty()) {
            OpenDialog(emptyClickDialog, false, 0.0f);
        }
        return false;
    }
    return true;
}

void LibraryObject::StorePlaced() {
    SetLevelFlag(visName + countSuffix, placed);
}

// ---------------------------------------------------------------------------------------------
// LibraryShelf

LibraryShelf::LibraryShelf(ObjectsManager* owner)
    : LibraryObject(owner, "descriptionDialog", "_actBooks") {
    Object::SetCreator(static_cast<OCreator<LibraryShelf>*>(this), 0, 0);
}

void LibraryShelf::OnMessage(const void*, uint32_t id, uint32_t param) {
    std::string held;
    if (!PressWithItem(id, param, held)) {
        return;
    }
    if (std::find(activators.begin(), activators.end(), held) == activators.end()) {
        return;
    }
    Holder()->DropHeldItem();
    placed = std::min(placed + 1, activatorCount);
    Sounds.PlayByName("paper_place", false, kFullVolume, 0);
    StorePlaced();
    SpawnParticles(owner, kSparks, Mouse.x, Mouse.y, kSparkEmission, kSparkLife);
    if (placed >= activatorCount) {
        Kill();
    }
}

// ---------------------------------------------------------------------------------------------
// LibraryMachine

LibraryMachine::LibraryMachine(ObjectsManager* owner)
    : LibraryObject(owner, "noActivatorDialog", "_actCards") {
    Object::SetCreator(static_cast<OCreator<LibraryMachine>*>(this), 0, 0);
}

void LibraryMachine::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel != nullptr || !enabled) {
        return;
    }
    std::string held;
    if (!PressWithItem(id, param, held)) {
        return;
    }
    for (const std::string& activator : activators) {
        if (activator != held) {
            continue;
        }
        // A tune that ended the location, or the last card, ends the walk.
        if (!PlayTune() || dead) {
            return;
        }
    }
}

bool LibraryMachine::PlayTune() {
    Sounds.StopMusic();
    Sounds.PlayByName("game_appear", false, kFullVolume, 0);
    const ObjectLink self(this);
    ObjectsManager* const scene = owner;
    const int32_t result =
        RunInGameProcess(GameModalProc::Create(kTuneGame, {.drawBeneath = true, .drawOnce = false}));
    DeleteModalLevel();
    if (GameLevel == nullptr || scene != GameLevel || self.In(GameLevel) == nullptr) {
        return false;
    }
    if (result == kResultLeft) {
        placed = std::min(placed + 1, activatorCount);
        StorePlaced();
        if (placed >= activatorCount) {
            Sounds.PlayByName("game_won", false, kFullVolume, 0);
            if (CurrentPlayer != nullptr) {
                CurrentPlayer->AddEnergy(1, true);
            }
            Kill();
        }
        RaiseBook();
    } else if (result == kResultLeftBack) {
        // The save game written as the tune opened is read back.
        World().PostToMainUi(FourCC("LOAQ"));
    }
    return true;
}

void LibraryMachine::RaiseBook() {
    const std::string book = "book" + std::to_string(placed);
    std::vector<Object*> targets;
    for (const auto& object : GameLevel->Objects()) {
        if (object != nullptr && object->visName == book) {
            targets.push_back(object.get());
        }
    }
    // The effects join the level's object list; the books were found before.
    for (Object* target : targets) {
        std::unique_ptr<Object> created =
            GameLevel->CreateObject(std::string(FxBook::kClassName), true);
        auto* effect = dynamic_cast<FxBook*>(created.get());
        if (effect == nullptr) {
            throw Exception("%s", "FxBook is not a book effect");
        }
        GameLevel->AddObject(std::move(created));
        effect->ResolveDependencies();
        effect->Start(target, 0.0f);
    }
}
