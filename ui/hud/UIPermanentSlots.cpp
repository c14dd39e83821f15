#include "ui/hud/UIPermanentSlots.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/ParticleEmitter.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "ui/UserInterface.h"
#include "ui/hud/HudSupport.h"
#include "ui/hud/UIFxFlyTo.h"
#include "ui/hud/UIMapPieceFx.h"
#include "world/BaseGameObject.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <cmath>

namespace {

constexpr const char* kLensParticles = "gfx/fx/chromatic_lens.prt";
constexpr const char* kLens = "chromatic_lens";
constexpr const char* kOrb = "scrying_orb";

void Play(const char* sound) {
    Sounds.PlayByName(sound, false, Hud::kFullVolume, 0);
}

NormalLevelSystem* GameLevelSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

bool ItemHeld() {
    NormalLevelSystem* system = GameLevelSystem();
    return system != nullptr && !system->heldItemName.empty();
}

int32_t Charges(int tool) {
    return CurrentPlayer != nullptr ? CurrentPlayer->GetPermanentCount(tool) : 0;
}

void SetGameLevelFlag(const std::string& name) {
    if (CurrentPlayer != nullptr && GameLevel != nullptr) {
        CurrentPlayer->SetFlag(GameLevel->name, name, 1);
    }
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The first live, enabled object of the scene of those classes whose name is set and is not the
// lens's own.
Object* FirstLensCandidate(const ObjectsManager& scene,
                           std::initializer_list<std::string_view> classes) {
    for (const std::unique_ptr<Object>& slot : scene.Objects()) {
        auto* object = dynamic_cast<BaseGameObject*>(slot.get());
        if (object == nullptr || object->dead || !object->enabled || object->visName.empty() ||
            StartsWith(object->visName, kLens)) {
            continue;
        }
        const std::string className = object->GetClassName();
        for (const std::string_view candidate : classes) {
            if (className == candidate) {
                return object;
            }
        }
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UIPermanentSlot

UIPermanentSlot::UIPermanentSlot(ObjectsManager* owner) : UIBitmapButton(owner) {
    SetCreator(static_cast<OCreator<UIPermanentSlot>*>(this), 0, 0);
    clickSound = "push";
    spriteSwitching = false;
}

void UIPermanentSlot::SetProperty(const ParconCursor& cursor) {
    UIBitmapButton::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key != "slotName") {
            return false;
        }
        toolName = values.NextString(true, "");
        return true;
    });
}

UIPermanentSlotMngr* UIPermanentSlot::Manager() const {
    return dynamic_cast<UIPermanentSlotMngr*>(manager.In(owner));
}

void UIPermanentSlot::SetManager(UIPermanentSlotMngr* slots) {
    manager = ObjectLink(slots);
}

void UIPermanentSlot::PlayToolAnim(const char* ending) {
    if (SpriteRenderChunk* sprite = Hud::Sprite(*this)) {
        sprite->player.Play(toolName + ending, true, false, true, 0.0f);
    }
}

void UIPermanentSlot::SetActive(bool on) {
    active = on;
    if (SpriteRenderChunk* sprite = Hud::Sprite(*this)) {
        sprite->visible = on;
    }
}

void UIPermanentSlot::Reveal(float delay) {
    revealPending = true;
    revealDelay = delay;
}

void UIPermanentSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if ((ModalLevel != nullptr && ModalLevel->name == "map_game") || !active || ItemHeld()) {
        return;
    }
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed || !MouseInside()) {
        return;
    }
    UIPermanentSlotMngr* slots = Manager();
    if (slots != nullptr) {
        slots->SelectTool(this);
    }
    if (ModalLevel == nullptr) {
        if (slots != nullptr && slots->selectedTool == kLens) {
            slots->LensUse();
        } else if (toolName == kOrb) {
            if (owner != nullptr) {
                Hud::OpenHint(*owner, "menus\\tutorials\\sorb.txt", "dialog1999", 0.0f);
            }
            if (slots != nullptr) {
                slots->ResetToolSlots();
            }
        }
        return;
    }
    const NormalLevelSystem* miniGame = ModalLevel->levelSystem;
    if (toolName == kOrb && TutorialUI == nullptr && !ModalLevel->returnFlag && !ModalLevel->won &&
        (miniGame == nullptr || !miniGame->leaveArmed)) {
        if (slots != nullptr) {
            slots->OrbUse();
        }
    } else if (ModalLevel->name == "telescope" && slots != nullptr &&
               slots->selectedTool == kLens) {
        slots->LensUse();
    }
}

bool UIPermanentSlot::Update(float dt) {
    if (active) {
        UIBitmapButton::Update(dt);
    }
    if (revealPending) {
        if (revealDelay > 0.0f) {
            revealDelay -= dt;
            return true;
        }
        revealPending = false;
        SetActive(true);
        PlayToolAnim("_idle");
    }
    if (!active) {
        if (SpriteRenderChunk* sprite = Hud::Sprite(*this)) {
            sprite->visible = false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// UIPermanentSlotMngr

UIPermanentSlotMngr::UIPermanentSlotMngr(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<UIPermanentSlotMngr>*>(this), 0, 0);
}

UIPermanentSlotMngr::~UIPermanentSlotMngr() {
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->toolInUse = false;
    }
    ToolCursorShown = false;
    selectedTool.clear();
}

void UIPermanentSlotMngr::SetProperty(const ParconCursor&) {
    slots.clear(); // a definition and its screen entry may both hold a "Data" list
    if (owner != nullptr) {
        for (const std::unique_ptr<Object>& object : owner->Objects()) {
            auto* slot = dynamic_cast<UIPermanentSlot*>(object.get());
            if (slot == nullptr || slot->GetClassName() != UIPermanentSlot::kClassName) {
                continue;
            }
            slot->SetManager(this);
            slots.emplace_back(slot);
            slot->PlayToolAnim("_idle");
            slot->SetActive(Charges(static_cast<int>(slots.size()) - 1) != 0);
        }
    }
    lensParticles = Hud::LoadEmitter(kLensParticles, Mouse.x, Mouse.y);
    lensParticles->emitting = false;
    lensShown = false;
}

UIPermanentSlot* UIPermanentSlotMngr::Slot(int tool) const {
    if (tool < 0 || tool >= SlotCount()) {
        return nullptr;
    }
    return dynamic_cast<UIPermanentSlot*>(slots[static_cast<std::size_t>(tool)].In(owner));
}

Object* UIPermanentSlotMngr::LensTarget() const {
    if (Object* target = lensTarget.In(GameLevel)) {
        return target;
    }
    return lensTarget.In(ModalLevel);
}

void UIPermanentSlotMngr::ResetToolSlots() {
    for (int tool = 0; tool < SlotCount(); ++tool) {
        UIPermanentSlot* slot = Slot(tool);
        if (slot != nullptr && slot->toolName != kLens) {
            slot->PlayToolAnim("_idle");
        }
    }
    // A tool put back in its slot is no longer chosen: otherwise the next click on that slot
    // would only let go of it, and the lens element would refuse clicks for a tool not in hand.
    // The lens keeps its choice as it keeps its glow.
    if (selectedTool != kLens) {
        selectedTool.clear();
    }
}

void UIPermanentSlotMngr::SelectTool(UIPermanentSlot* slot) {
    NormalLevelSystem* system = GameLevelSystem();
    if (system != nullptr) {
        system->toolInUse = false;
    }
    CursorAnim.Play("idle", true, false, true, 0.0f);
    if (slot == nullptr) {
        return;
    }
    const std::string chosen = selectedTool;
    ResetToolSlots();
    const std::string& tool = slot->toolName;
    if (tool != chosen) {
        ToolCursorShown = false;
        selectedTool = tool;
        if (tool != kLens && tool != kOrb) {
            Hud::BindArt(ToolCursorAnim, Tools::kCursorFile, tool + "_cursor");
            ToolCursorShown = true;
            slot->PlayToolAnim("_active");
        }
        if (tool == "wand" && system != nullptr) {
            system->toolInUse = true;
        }
        if (tool == kLens) {
            Play("use_lens");
        } else if (tool == "wand" || tool == "multitool") {
            Play("pickup");
        }
        return;
    }
    selectedTool.clear();
    if (tool != kOrb) {
        slot->PlayToolAnim("_idle");
        ToolCursorShown = false;
    }
}

bool UIPermanentSlotMngr::UseLens() {
    Object* target = nullptr;
    if (ModalLevel != nullptr && ModalLevel->name == "telescope") {
        target = FirstLensCandidate(*ModalLevel, {"MapPiece"});
        if (target == nullptr) {
            return false;
        }
    } else if (GameLevel != nullptr && ModalLevel == nullptr) {
        target = FirstLensCandidate(*GameLevel,
                                    {"GameHiddenObject", "MapPiece", "GamePermanentObject"});
    }
    if (target == nullptr) {
        lensTime = 0.0f;
        lensTarget.Reset();
        return false;
    }
    float x = 0.0f;
    float y = 0.0f;
    if (PositionChunk* position = Hud::Position(*target)) {
        x = position->x;
        y = position->y;
    }
    if (SpriteRenderChunk* sprite = Hud::Sprite(*target)) {
        const std::string playing = sprite->player.CurrentAnimName();
        const FrameRect frame = sprite->player.GetFrameRect(playing.empty() ? "idle" : playing);
        // The frame's middle: half its size from its corner, wherever the picture is anchored.
        x += static_cast<float>((frame.left + frame.right) / 2);
        y += static_cast<float>((frame.top + frame.bottom) / 2);
    }
    if (lensParticles != nullptr) {
        lensParticles->x = x;
        lensParticles->y = y;
        lensParticles->emitting = true;
    }
    lensShown = true;
    lensTarget = ObjectLink(target);
    lensTime = kLensTime;
    return true;
}

void UIPermanentSlotMngr::LensUse() {
    if (LensTarget() != nullptr) {
        return;
    }
    if (!UseLens()) {
        if (owner != nullptr) {
            Hud::OpenHint(*owner, "menus\\tutorials\\itemsNotFound.txt", "dialog999", 0.0f);
        }
        ResetToolSlots();
        return;
    }
    UIPermanentSlot* slot = Slot(Tools::kLens);
    if (slot == nullptr) {
        return;
    }
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->RemovePermanentItem(1, Tools::kLens);
    }
    slot->PlayToolAnim("_active");
    if (Charges(Tools::kLens) <= 0) {
        slot->SetActive(false);
    }
    if (PositionChunk* position = Hud::Position(*slot)) {
        Hud::Burst(position->x + 48.0f, position->y + 48.0f, Hud::kHighlightParticles, 1.0f);
    }
}

void UIPermanentSlotMngr::OrbUse() {
    if (ModalLevel == nullptr) {
        return;
    }
    Level& miniGame = *ModalLevel;
    const std::string name = miniGame.name;
    if (Charges(Tools::kOrb) <= 0 || name == "crystals") {
        Play("cannot");
        return;
    }
    if (name == "telescope" && MainUI != nullptr) {
        std::unique_ptr<Object> created =
            MainUI->CreateObject(std::string(UIAddMapPiece::kClassName), true);
        if (auto* counter = dynamic_cast<UIAddMapPiece*>(created.get())) {
            counter->Start(1, 0.0f);
            MainUI->AddObject(std::move(created));
        }
        SetGameLevelFlag("hermitage_mappiece1_killed");
    }
    if (name == "gestures" && (CurrentPlayer == nullptr ||
                               CurrentPlayer->GetFlag("global:tutorial_gesture_completed") == 0)) {
        Play("cannot");
        return;
    }
    if (name == "steam_machine") {
        if (CurrentPlayer != nullptr) {
            for (const char* gear : {"gear_small", "gear_medium", "gear_big"}) {
                CurrentPlayer->RemoveInventoryItem(gear);
            }
        }
        for (const char* flag : {"gear_small1_killed", "gear_small2_killed", "gear_medium1_killed",
                                 "gear_medium2_killed", "gear_medium3_killed",
                                 "gear_medium4_killed", "gear_big1_killed", "gear_big2_killed"}) {
            SetGameLevelFlag(flag);
        }
    }
    Play("scrying_orb");
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->RemovePermanentItem(1, Tools::kOrb);
    }
    Play("game_won");
    miniGame.won = true;
    SetGameLevelFlag(name + "_completed");
    if (name == "telescope") {
        ResetToolSlots();
    }
    if (NormalLevelSystem* system = miniGame.levelSystem) {
        system->active = true;
        system->leaveArmed = true;
    }
    if (Charges(Tools::kOrb) <= 0) {
        if (UIPermanentSlot* slot = Slot(Tools::kOrb)) {
            slot->SetActive(false);
        }
    }
}

void UIPermanentSlotMngr::LaunchTool(int tool) {
    if (tool < 0 || tool >= Tools::kCount) {
        DebugLog("Tool %d not launched: there is no such tool\n", tool);
        return;
    }
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->AddPermanentItem(1, tool);
    }
    UIPermanentSlot* slot = Slot(tool);
    if (slot == nullptr) {
        return; // counted; no slot to fly to
    }
    slot->Reveal(UIPermanentSlot::kRevealDelay);
    if (MainUI == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = MainUI->CreateObject(std::string(UIFxFlyTo::kClassName), true);
    auto* fly = dynamic_cast<UIFxFlyTo*>(created.get());
    if (fly == nullptr) {
        return;
    }
    created->ResolveDependencies();
    const Tools::Tool& entry = Tools::kTools[static_cast<std::size_t>(tool)];
    fly->Start(Mouse.x, Mouse.y, entry.flyToX, entry.flyToY, Tools::kCursorFile,
               std::string(entry.name) + "_cursor");
    MainUI->AddObject(std::move(created));
}

void UIPermanentSlotMngr::EndLens() {
    lensTime = 0.0f;
    lensShown = false;
    if (lensParticles != nullptr) {
        lensParticles->emitting = false;
    }
    lensTarget.Reset();
    UIPermanentSlot* slot = Slot(Tools::kLens);
    if (slot != nullptr && slot->active) {
        slot->PlayToolAnim("_idle");
    }
}

bool UIPermanentSlotMngr::Update(float dt) {
    if (lensTime <= 0.0f || LensTarget() == nullptr) {
        if (lensShown || !lensTarget.Empty()) {
            EndLens();
        }
        lensTime = 0.0f;
    }
    if (lensParticles != nullptr) {
        lensParticles->Update(dt);
    }
    if (lensTime > 0.0f) {
        lensTime -= dt;
        lensShown = std::sin(lensTime) >= -0.5f;
        if (lensParticles != nullptr) {
            lensParticles->emitting = lensShown;
        }
    }
    return true;
}

void UIPermanentSlotMngr::PostDraw() {
    if (MainFont != nullptr) {
        for (int tool = 0; tool < Tools::kCount; ++tool) {
            const Tools::Tool& entry = Tools::kTools[static_cast<std::size_t>(tool)];
            UIPermanentSlot* slot = Slot(tool);
            if (!entry.countDrawn || slot == nullptr || slot->revealPending ||
                Charges(tool) <= 0) {
                continue;
            }
            MainFont->DrawText(std::to_string(Charges(tool)), entry.countX, entry.countY,
                               kCountDepth, 0xFFFFFFFFu);
        }
    }
    if (lensParticles != nullptr && lensShown) {
        lensParticles->Draw();
    }
}
