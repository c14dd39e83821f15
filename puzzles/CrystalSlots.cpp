#include "puzzles/CrystalSlots.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/FxPath.h"
#include "world/GameAnim.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr int kFullVolume = 100;

void SetShown(Object& object, bool shown) {
    if (RenderChunk* sprite = SpriteOf(object)) {
        sprite->visible = shown;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CrystalSlot

CrystalSlot::CrystalSlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<CrystalSlot>*>(this), 0, 0);
}

void CrystalSlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "sequenceId") {
            sequenceId = key.NextInt(true, 0);
        }
    });
    ShowCrystal(filled);
}

void CrystalSlot::ShowCrystal(bool shown) {
    crystalShown = shown;
    SetShown(*this, shown && enabled);
}

bool CrystalSlot::CrystalShown() {
    const RenderChunk* sprite = SpriteOf(*this);
    return sprite != nullptr && sprite->visible;
}

bool CrystalSlot::Update(float dt) {
    GameButtonX::Update(dt);
    if (!crystalShown) {
        SetShown(*this, false);
    }
    return true;
}

void CrystalSlot::PreDraw() {
    GameButtonX::PreDraw();
    if (!crystalShown) {
        SetShown(*this, false);
    }
}

void CrystalSlot::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

void CrystalSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel == nullptr || filled || manager.Finished() ||
        MiniGameManager::LeaveRequested()) {
        return;
    }
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    const CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    NormalLevelSystem* holder = GameSystem();
    if (holder == nullptr || holder->heldItemName.empty()) {
        return;
    }
    if (holder->heldItemName.starts_with(visName)) {
        Sounds.PlayByName("crystal_pick", false, kFullVolume, 0);
        filled = true;
        holder->DropHeldItem();
        ShowCrystal(true);
        ++ModalLevel->crystalsPlaced;
        return;
    }
    Sounds.PlayByName("warning", false, kFullVolume, 0);
    ShowCrystal(false);
    if (auto* slots = dynamic_cast<CrystalSlotsMngr*>(manager.Get())) {
        slots->Refuse();
    } else {
        // A slot no altar took still gives the items back and ends the game.
        RefreshInventorySlots();
        ModalLevel->returnFlag = true;
        if (ModalLevel->levelSystem != nullptr) {
            ModalLevel->levelSystem->leaveArmed = true;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// CrystalSlotsMngr

CrystalSlotsMngr::CrystalSlotsMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<CrystalSlotsMngr>*>(this), 0, 0);
}

void CrystalSlotsMngr::SetProperty(const ParconCursor&) {
    CollectPieces(CrystalSlot::kClassName);
}

ManagerLink* CrystalSlotsMngr::LinkOf(Object& piece) {
    auto* slot = dynamic_cast<CrystalSlot*>(&piece);
    return slot != nullptr ? &slot->manager : nullptr;
}

void CrystalSlotsMngr::SetUpPiece(Object& piece, int) {
    auto& slot = static_cast<CrystalSlot&>(piece);
    slot.ShowCrystal(slot.filled);
}

bool CrystalSlotsMngr::WinTest() {
    return std::all_of(pieces.begin(), pieces.end(),
                       [](const Object* slot) { return static_cast<const CrystalSlot*>(slot)->filled; });
}

bool CrystalSlotsMngr::InCrystalLeaveZone(float x, float y) {
    return y < 100.0f || (y < 700.0f && (x < 300.0f || x > 700.0f));
}

void CrystalSlotsMngr::HideCrystals() {
    for (Object* slot : pieces) {
        static_cast<CrystalSlot*>(slot)->ShowCrystal(false);
    }
}

void CrystalSlotsMngr::Leave() {
    HideCrystals();
    RestartLocationSequence();
    MiniGameManager::Leave();
    if (ModalLevel != nullptr && ModalLevel->levelSystem != nullptr) {
        ModalLevel->levelSystem->leaveArmed = true;
    }
}

void CrystalSlotsMngr::Refuse() {
    HideCrystals();
    RefreshInventorySlots();
    MiniGameManager::Leave();
    if (ModalLevel != nullptr && ModalLevel->levelSystem != nullptr) {
        ModalLevel->levelSystem->leaveArmed = true;
    }
}

bool CrystalSlotsMngr::Update(float dt) {
    if (ModalLevel == nullptr) {
        return false;
    }
    const bool wasFinished = finished;
    const bool alive = MiniGameManager::Update(dt);
    if (!wasFinished && finished && !CloseFlagSet()) {
        // The win's own light: one spark rising from the altar, and its sound.
        std::unique_ptr<Object> created = ModalLevel->CreateObject("FxPath", true);
        if (auto* spark = dynamic_cast<FxPath*>(created.get())) {
            spark->Start(kWinParticles, 519.0f, 545.0f, 522.0f, 369.0f, 0.5f, 0.0f);
            ModalLevel->AddObject(std::move(created));
            spark->ResolveDependencies();
        } else {
            DebugLog("%s", "FxPath is not a spark: the altar's win shows none\n");
        }
        Sounds.PlayByName("light", false, kFullVolume, 0);
    }
    return alive;
}

// ---------------------------------------------------------------------------------------------
// SequenceAnimMngr

SequenceAnimMngr::SequenceAnimMngr(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<SequenceAnimMngr>*>(this), 0, 0);
}

SequenceAnimMngr::~SequenceAnimMngr() = default;

void SequenceAnimMngr::SetProperty(const ParconCursor&) {
    if (collected || owner == nullptr) {
        return;
    }
    collected = true;
    owner->AddRemovalListener(this);
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object->GetClassName() != SequenceAnimObject::kClassName) {
            continue;
        }
        auto* step = dynamic_cast<SequenceAnimObject*>(object);
        if (step == nullptr) {
            continue;
        }
        SetShown(*step, false);
        objects.push_back(step);
    }
}

void SequenceAnimMngr::OnObjectGoing(Object* going) {
    std::erase(objects, going);
}

bool SequenceAnimMngr::Update(float dt) {
    if (wait != 0.0f) {
        wait -= dt;
    }
    if (wait <= 0.0f) {
        stepCountdown -= dt;
        if (stepCountdown <= 0.0f) {
            ++currentStep;
            stepCountdown = stepTime;
        }
        if (currentStep >= static_cast<int32_t>(objects.size())) {
            currentStep = 0;
            wait = pause;
        }
    }
    const bool showing = wait <= 0.0f && ModalLevel == nullptr;
    for (SequenceAnimObject* step : objects) {
        SetShown(*step, showing && step->sequenceId == currentStep);
    }
    return true;
}

void SequenceAnimMngr::Restart() {
    wait = 3.0f;
    pause = 3.0f;
    currentStep = 0;
    stepCountdown = 1.0f;
    stepTime = 1.0f;
    for (SequenceAnimObject* step : objects) {
        SetShown(*step, false);
    }
}

void RestartLocationSequence() {
    if (GameLevel == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : GameLevel->Objects()) {
        if (slot != nullptr && slot->GetClassName() == SequenceAnimMngr::kClassName) {
            if (auto* sequence = dynamic_cast<SequenceAnimMngr*>(slot.get())) {
                sequence->Restart();
                return;
            }
        }
    }
}
