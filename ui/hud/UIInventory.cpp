#include "ui/hud/UIInventory.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "media/BitmapFont.h"
#include "media/SoundManager.h"
#include "ui/UserInterface.h"
#include "ui/hud/HudSupport.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <memory>
#include <optional>

namespace {

constexpr const char* kStackHint = "menus\\tutorials\\stack.txt";
constexpr const char* kStackHintFlag = "stackDialogShown";

NormalLevelSystem* Holder() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

std::string HeldItem() {
    NormalLevelSystem* holder = Holder();
    return holder != nullptr ? holder->heldItemName : std::string();
}

InventorySlot Record(int index) {
    return CurrentPlayer != nullptr ? CurrentPlayer->GetInventorySlot(index) : InventorySlot{};
}

// The current item is another kind than the new one: it differs within the new item's base
// name and is not the same name.
bool OtherKind(const std::string& current, const std::string& item) {
    const std::size_t base = ItemBaseName(item).size();
    return current.compare(0, base, item, 0, base) != 0 && current != item;
}

// The record a grant goes to: the slot's own when free or of the item's kind, else the first
// free one, else the first of the item's kind; none when the bar is full of other things.
std::optional<int> GrantRecord(int own, const std::string& item) {
    const auto takes = [&item](int i, bool freeOnly) {
        const std::string current = Record(i).item;
        return IsFreeItem(current) || (!freeOnly && !OtherKind(current, item));
    };
    if (own >= 0 && own < Player::kInventorySlots && takes(own, false)) {
        return own;
    }
    for (const bool freeOnly : {true, false}) {
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            if (takes(i, freeOnly)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

// Every slot of the scene's inventory bar, in list order.
template <typename F>
void ForEachSlot(ObjectsManager* scene, F f) {
    if (scene == nullptr) {
        return;
    }
    const ObjectsManager::WalkScope walk(*scene);
    for (std::size_t i = 0; i < scene->Objects().size(); ++i) {
        if (auto* slot = dynamic_cast<UIInventorySlot*>(scene->Objects()[i].get())) {
            f(*slot);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UIInventorySlot

UIInventorySlot::UIInventorySlot(ObjectsManager* owner) : UIButton(owner) {
    SetCreator(static_cast<OCreator<UIInventorySlot>*>(this), 0, 0);
    clickSound = "push";
}

bool UIInventorySlot::OutOfRange() const {
    return slotIndex < 0 || slotIndex >= Player::kInventorySlots;
}

void UIInventorySlot::SetSlotIndex(int index) {
    slotIndex = index;
    if (OutOfRange()) {
        enabled = false;
        artShown = false;
    }
}

void UIInventorySlot::ShowItem(const std::string& item) {
    const std::string file = Hud::ItemArtFile(item);
    if (file.empty()) {
        artShown = false;
        return;
    }
    Hud::BindArt(itemArt, file, "cursor");
    artShown = true;
}

void UIInventorySlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (DialogueUI != nullptr || (GameLevel != nullptr && (GameLevel->busy ||
                                                            GameLevel->blendOutPending))) {
        return;
    }
    if ((ModalLevel != nullptr && ModalLevel->name == "map_game") || receiver == nullptr ||
        !enabled || OutOfRange()) {
        return;
    }
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed || !MouseInside()) {
        return;
    }
    const std::string held = HeldItem();
    if (!held.empty()) {
        PutItem(held, slotIndex, false, false, false);
    } else {
        PickUp();
    }
}

void UIInventorySlot::PickUp() {
    if (CurrentPlayer == nullptr || OutOfRange() || IsFreeItem(Record(slotIndex).item)) {
        return;
    }
    NormalLevelSystem* holder = Holder();
    if (holder == nullptr) {
        DebugLog("Slot %d not emptied: no game level holds the item\n", slotIndex);
        return;
    }
    const std::string item = CurrentPlayer->TakeOneFromSlot(slotIndex);
    holder->HoldItem(item);
    if (Record(slotIndex).count < 1) {
        artShown = false;
    }
    Sounds.PlayByName(clickSound, false, Hud::kFullVolume, 0);
}

bool UIInventorySlot::PutItem(const std::string& item, int index, bool refreshOnly,
                              bool highlight, bool silentAdd) {
    if (CurrentPlayer == nullptr || OutOfRange()) {
        return false;
    }
    const int32_t sameKindBefore = CurrentPlayer->CountItem(item);
    const bool anItem = !IsFreeItem(item);
    bool placed = false;
    int shownIndex = slotIndex;
    if (anItem && silentAdd) {
        const std::optional<int> record = IsSafeItemName(item) ? GrantRecord(index, item)
                                                               : std::nullopt;
        if (record) {
            CurrentPlayer->AddItemToSlot(item, *record);
            shownIndex = *record;
            ForEachSlot(owner, [&](UIInventorySlot& slot) {
                if (slot.slotIndex == *record) {
                    slot.ShowItem(Record(*record).item);
                }
            });
            placed = true;
        } else {
            DebugLog("Item %s not granted: no inventory slot takes it\n", item.c_str());
        }
    } else if (anItem) {
        const InventorySlot current = Record(slotIndex);
        if (IsFreeItem(current.item) || !OtherKind(current.item, item)) {
            if (refreshOnly) {
                placed = true;
            } else if (IsSafeItemName(item)) {
                ShowItem(item);
                Sounds.PlayByName(clickSound, false, Hud::kFullVolume, 0);
                CurrentPlayer->AddItemToSlot(item, index);
                if (NormalLevelSystem* holder = Holder()) {
                    holder->DropHeldItem();
                }
                placed = true;
            } else {
                DebugLog("Item %s not put down: it is no inventory item\n", item.c_str());
            }
        } else if (current.count == 1 && !refreshOnly && Holder() != nullptr &&
                   IsSafeItemName(item)) {
            PickUp();
            placed = PutItem(item, slotIndex, false, false, false);
            if (placed) {
                Holder()->HoldItem(current.item);
                Sounds.PlayByName(clickSound, false, Hud::kFullVolume, 0);
            }
        }
    }
    if (highlight && MainUI != nullptr && GameLevel != nullptr) {
        ForEachSlot(MainUI, [&](UIInventorySlot& slot) {
            PositionChunk* position = Hud::Position(slot);
            if (slot.slotIndex == shownIndex && position != nullptr) {
                Hud::Burst(position->x, position->y, Hud::kHighlightParticles, 1.0f);
            }
        });
        if (!Sounds.IsPlaying("crystal_pick")) {
            Sounds.PlayByName("crystal_pick", false, Hud::kFullVolume, 0);
        }
    }
    if (anItem && sameKindBefore > 0 && owner != nullptr &&
        CurrentPlayer->GetFlag(std::string("global:") + kStackHintFlag) == 0) {
        CurrentPlayer->SetFlag("global", kStackHintFlag, 1);
        Hud::OpenHint(*owner, kStackHint, "GameModalDialog", 1.0f);
    }
    if (refreshOnly && anItem && !silentAdd) {
        ShowItem(Record(slotIndex).item.empty() ? item : Record(slotIndex).item);
    }
    return placed;
}

bool UIInventorySlot::Update(float dt) {
    UIButton::Update(dt);
    if (OutOfRange()) {
        enabled = false;
    }
    if (enabled) {
        hovered = MouseInside();
    }
    itemArt.Update(dt);
    return true;
}

void UIInventorySlot::PostDraw() {
    UIButton::PostDraw();
    PositionChunk* position = Hud::Position(*this);
    if (!enabled || position == nullptr) {
        return;
    }
    if (artShown) {
        itemArt.Draw(position->x, position->y, kDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
    }
    const InventorySlot record = Record(slotIndex);
    if (record.count > 1 && MainFont != nullptr) {
        const std::string count = std::to_string(record.count);
        const TextRectangle rect = MainFont->TextRect(count, 0.0f, 0.0f, 1.0f);
        MainFont->DrawText(count, position->x + 28.0f - (rect.right - rect.left),
                           position->y - 40.0f, kDepth, 0xFFFFFFFFu);
    }
}

void UIInventorySlot::TopDraw() {
    UIButton::TopDraw();
    const InventorySlot record = Record(slotIndex);
    if (hovered && !IsFreeItem(record.item) && TooltipFont != nullptr) {
        const std::string text = Hud::ItemToolTip(record.item);
        const TextRectangle rect = TooltipFont->TextRect(text, 0.0f, 0.0f, 1.0f);
        float x = 0.0f;
        float y = 0.0f;
        PlaceToolTip(Mouse.x, Mouse.y, rect.right - rect.left, rect.bottom - rect.top, x, y);
        TooltipFont->DrawText(text, x, y, kToolTipDepth, 0xFFFFFFFFu);
    }
    hovered = false;
}

// ---------------------------------------------------------------------------------------------
// UIInventoryMngr

UIInventoryMngr::UIInventoryMngr(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<UIInventoryMngr>*>(this), 0, 0);
}

void UIInventoryMngr::SetProperty(const ParconCursor&) {
    if (owner == nullptr) {
        return;
    }
    int next = 0;
    // By class name: what the event table and the world look up under that name.
    ForEachSlot(owner, [&next](UIInventorySlot& slot) {
        if (slot.GetClassName() != UIInventorySlot::kClassName) {
            return;
        }
        slot.SetSlotIndex(next++);
        const std::string item = Record(slot.slotIndex).item;
        if (!IsFreeItem(item)) {
            slot.PutItem(item, slot.slotIndex, true, false, false);
        }
    });
}
