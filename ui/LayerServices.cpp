#include "ui/LayerServices.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "media/AnimPlayer.h"
#include "ui/GameFlow.h"
#include "ui/HudParts.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UIObject.h"
#include "ui/UserInterface.h"
#include "world/Player.h"

namespace {

constexpr const char* kInventorySlot = "UIInventorySlot";
constexpr const char* kToolSlots = "UIPermanentSlotMngr";
constexpr const char* kParticleFx = "UIPartFx";
constexpr float kSparkTime = 1.0f;
constexpr const char* kMapPieceCounter = "UIAddMapPiece";
constexpr const char* kMapPieceFlight = "UIFxMapPieceFly";
// A collected piece lands in the HUD's map-piece display; the display glows once it is there.
constexpr float kMapPieceLandX = 50.0f;
constexpr float kMapPieceLandY = 700.0f;
constexpr float kMapPieceGlowDelay = 1.0f;

} // namespace

void LayerServices::ShowHeldItem(const std::string& animationFile) {
    // A missing picture leaves the cursor without one; the item is held all the same.
    try {
        HeldItemAnim.Load(animationFile);
    } catch (const Exception& error) {
        DebugLog("%s\n", error.Text());
    }
    HeldItemAnim.Play("cursor", true, false, true, 0.0f);
    HeldItemShown = true;
}

void LayerServices::HideHeldItem() {
    HeldItemShown = false;
}

void LayerServices::InventorySlotEmptied(int slot) {
    ForEachHudPart<InventorySlotPart>(kInventorySlot, [slot](InventorySlotPart& part) {
        if (part.SlotIndex() == slot) {
            part.MarkEmpty();
        }
        return true;
    });
}

void LayerServices::RefillInventorySlots() {
    if (CurrentPlayer == nullptr) {
        return;
    }
    int index = 0;
    ForEachHudPart<InventorySlotPart>(kInventorySlot, [&index](InventorySlotPart& part) {
        if (index >= Player::kInventorySlots) {
            return false;
        }
        const InventorySlot record = CurrentPlayer->GetInventorySlot(index);
        part.PutItem(record.item, index, true, false, false);
        ++index;
        return true;
    });
}

void LayerServices::RewardSpark(const std::string& particleFile, float x, float y) {
    ParticleFxPart* spark = nullptr;
    std::unique_ptr<Object> created = MakeHudPart(kParticleFx, spark);
    if (spark != nullptr) {
        spark->Start(x, y, particleFile, kSparkTime);
        MainUI->AddObject(std::move(created));
    }
}

std::optional<std::string> LayerServices::PermanentToolInUse() const {
    if (const ToolSlotsPart* tools = FindHudPart<ToolSlotsPart>(kToolSlots)) {
        return tools->HeldTool();
    }
    return std::nullopt;
}

void LayerServices::ResetToolSlots() {
    ForEachHudPart<ToolSlotsPart>(kToolSlots, [](ToolSlotsPart& tools) {
        tools.ResetToolSlots();
        return true;
    });
}

bool LayerServices::LaunchTool(int tool) {
    ToolSlotsPart* tools = FindHudPart<ToolSlotsPart>(kToolSlots);
    if (tools == nullptr) {
        return false;
    }
    tools->LaunchTool(tool);
    return true;
}

bool LayerServices::GiveItemToFirstSlot(const std::string& item) {
    InventorySlotPart* first = FindHudPart<InventorySlotPart>(kInventorySlot);
    return first != nullptr && first->SlotIndex() == 0 && first->PutItem(item, 0, false, true, true);
}

bool LayerServices::CollectMapPiece(float x, float y) {
    MapPieceCounterPart* counter = nullptr;
    std::unique_ptr<Object> created = MakeHudPart(kMapPieceCounter, counter);
    if (counter == nullptr) {
        return false;
    }
    counter->Start(1, kMapPieceGlowDelay);
    MainUI->AddObject(std::move(created));
    MapPieceFlightPart* flight = nullptr;
    created = MakeHudPart(kMapPieceFlight, flight);
    if (flight != nullptr) {
        created->ResolveDependencies();
        flight->Start(x, y, kMapPieceLandX, kMapPieceLandY, "gfx\\interface\\gui_buttons.ani",
                      "map_piece");
        MainUI->AddObject(std::move(created));
    }
    return true;
}

ObjectsManager* LayerServices::HudScene() const {
    return MainUI;
}

void LayerServices::OpenDialogue(const std::string& file, int flag, const std::string& text) {
    // The flag is the dialogue's drawBeneath: the location stays drawn under the dialogue.
    Flow().Run(DialogUiProc::Create(file, text, {.drawBeneath = flag != 0}), App.maxFps);
}

bool LayerServices::DialogueShown() const {
    return DialogueUI != nullptr;
}

void LayerServices::ClearOverlay() {
    ClearLayer(OverlayUI);
}

void LayerServices::DeleteLevelLayers() {
    ::DeleteLevelLayers();
}

void LayerServices::ClearLayers() {
    for (UserInterface* layer : {MainUI, MapGameUI, DialogueUI, OverlayUI, LevelOverlayUI}) {
        ClearLayer(layer);
    }
}

MessageReceiver* LayerServices::MainUiReceiver() const {
    return MainUI;
}

MessageReceiver* LayerServices::MuiReceiver() const {
    return mui;
}

void LayerServices::BindWidgetToMainUi(Object& widget) {
    MessageReceiver* const receiver = MainUI;
    if (auto* button = dynamic_cast<UIButton*>(&widget)) {
        button->receiver = receiver;
    } else if (auto* bound = dynamic_cast<ReceiverBound*>(&widget)) {
        bound->receiver = receiver;
    }
}

void LayerServices::PostToMainUi(uint32_t id) {
    if (MainUI == nullptr) {
        return;
    }
    if (auto* messages = dynamic_cast<MessageSystem*>(MainUI->FindSystem(FourCC("MSGS")))) {
        messages->Post(MainUI, id, 0);
    }
}

void LayerServices::SetTutorialResult(int32_t result) {
    if (TutorialUI != nullptr) {
        TutorialUI->state = result;
    }
}
