#include "world/SmartUI.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/BitmapFont.h"
#include "media/ParticleRenderSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"
#include "world/fx/FxBackpack.h"
#include "world/fx/FxContainerOpenClose.h"

#include <cmath>
#include <optional>

namespace {

constexpr int kFullVolume = 100;
constexpr int kWand = 0;
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;

void Play(const std::string& sound) {
    Sounds.PlayByName(sound, false, kFullVolume, 0);
}

NormalLevelSystem* Holder() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

std::string HeldItem() {
    NormalLevelSystem* holder = Holder();
    return holder != nullptr ? holder->heldItemName : std::string();
}

void DropHeldItem() {
    if (NormalLevelSystem* holder = Holder()) {
        holder->DropHeldItem();
    }
}

bool MouseIn(Object& object) {
    const auto* collision = dynamic_cast<CollisionChunk*>(object.GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

bool OnQuicksand() {
    return GameLevel != nullptr && GameLevel->levelId == "z1-quicksand";
}

} // namespace

// ---------------------------------------------------------------------------------------------
// SmartUISlot

SmartUISlot::SmartUISlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<SmartUISlot>*>(this), 0, 0);
    clickSoundName = "push";
}

void SmartUISlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    if (!item.empty() && GetLevelFlag(item + "_filled") > 0) {
        filled = true;
    }
}

SmartUI* SmartUISlot::Container() const {
    return dynamic_cast<SmartUI*>(container.In(owner));
}

void SmartUISlot::SetContainer(SmartUI* owning) {
    container = ObjectLink(owning);
}

void SmartUISlot::SetItem(const std::string& name) {
    item = name;
    // A missing picture leaves the slot without one; it still takes its item.
    try {
        itemAnim.Load("gfx/objects/" + name + ".ani");
    } catch (const Exception& error) {
        DebugLog("%s\n", error.Text());
    }
}

void SmartUISlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!ready || Container() == nullptr || id != FourCC("LMBD") ||
        param != KeyboardSystem::kPressed || !MouseIn(*this)) {
        return;
    }
    const std::string held = HeldItem();
    if (!held.empty() && !item.empty() && held == item) {
        Fill(false);
    }
}

void SmartUISlot::Fill(bool fromProfile) {
    if (!fromProfile && !ready) {
        return;
    }
    filled = true;
    SetLevelFlag(item + "_filled", 1);
    if (!fromProfile) {
        Play(clickSoundName);
        DropHeldItem();
    }
}

bool SmartUISlot::Update(float dt) {
    itemAnim.Play(filled ? "cursor" : "empty", true, false, true, 0.0f);
    itemAnim.Update(dt);
    hovered = MouseIn(*this);
    return true;
}

void SmartUISlot::Draw() {
    const PositionChunk* position = PositionOf(*this);
    const RenderChunk* sprite = Sprite();
    if (position == nullptr) {
        return;
    }
    const float alpha = sprite != nullptr ? sprite->alpha : 1.0f;
    const float scale = sprite != nullptr ? sprite->scale : 1.0f;
    itemAnim.Draw(position->x, position->y, kDepth, 0.0f, alpha, 0.8f * scale, 1.0f, 0.0f,
                  0xFFFFFFFFu);
}

void SmartUISlot::PostDraw() {
    if (hovered && ready && TooltipFont != nullptr) {
        const std::string text = "str." + item;
        const TextRectangle rect = TooltipFont->TextRect(text, 0.0f, 0.0f, 1.0f);
        const float w = rect.right - rect.left;
        const float h = rect.bottom - rect.top;
        float x = Mouse.x + 10.0f;
        float y = Mouse.y + 30.0f;
        x = std::fmin(x, kScreenWidth - w);
        if (y > kScreenHeight - h - 30.0f) {
            y = kScreenHeight - h;
        }
        x = std::fmax(x, 0.0f);
        TooltipFont->DrawText(text, x, y, kToolTipDepth, 0xFFFFFFFFu);
    }
    hovered = false;
}

// ---------------------------------------------------------------------------------------------
// SmartUI

SmartUI::SmartUI(ObjectsManager* owner) : GameHiddenObject(owner) {
    Object::SetCreator(static_cast<OCreator<SmartUI>*>(this), 0, 0);
}

void SmartUI::SetProperty(const ParconCursor& cursor) {
    GameHiddenObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "slots") {
            while (key.HasNextValue()) {
                slotNames.push_back(key.NextString(true, ""));
            }
        } else if (k == "finalObject") {
            finalObject = key.NextString(true, "");
        } else if (k == "offsetX") {
            offsetX = key.NextInt(true, 0);
        } else if (k == "offsetY") {
            offsetY = key.NextInt(true, 0);
        } else if (k == "KillOnEnd") {
            killOnEnd = key.NextInt(true, 0) != 0;
        } else if (k == "clickMessage") {
            clickMessage = key.NextString(true, "");
        }
    }
    if (slotNames.size() > kMostSlots) {
        const ParconList* list = cursor.List();
        throw Exception("Container %s has %zu slots, more than %zu, in %s", visName.c_str(),
                        slotNames.size(), kMostSlots,
                        list != nullptr ? list->FileName().c_str() : "its definition");
    }
    if (!visName.empty() && GetLevelFlag(visName + "_toTake") > 0) {
        toTake = true;
    }
}

std::vector<SmartUISlot*> SmartUI::Slots() const {
    std::vector<SmartUISlot*> live;
    for (const ObjectLink& link : slots) {
        if (auto* slot = dynamic_cast<SmartUISlot*>(link.In(owner))) {
            live.push_back(slot);
        }
    }
    return live;
}

std::pair<float, float> SmartUI::Centre() {
    float x = 0.0f;
    float y = 0.0f;
    if (const PositionChunk* position = PositionOf(*this)) {
        x = position->x;
        y = position->y;
    }
    if (const CollisionChunk* collision = Collision()) {
        x += std::trunc((collision->right - collision->left) / 2.0f);
        y += std::trunc((collision->bottom - collision->top) / 2.0f);
    }
    return {x + static_cast<float>(offsetX), y + static_cast<float>(offsetY)};
}

void SmartUI::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!enabled || dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed ||
        !MouseIn(*this)) {
        return;
    }
    const std::string held = HeldItem();
    for (const std::string& flag : enableClickFlags) {
        if (GetLevelFlag(flag) == 0) {
            Play("cannot");
            if (!cantClickMessage.empty()) {
                OpenDialog(cantClickMessage, false, 0.0f);
            }
            return;
        }
    }
    if (!toTake) {
        if (open) {
            if (held.empty()) {
                Close();
            }
        } else if (!opening) {
            CloseOthers();
            Open();
        }
        return;
    }
    if (held.empty() ? !activator.empty() : (activator.empty() || activator != held)) {
        return;
    }
    if (!killOnEnd) {
        SetLevelFlag(visName + "_pickedUp", 1);
        if (NormalLevelSystem* holder = Holder()) {
            holder->HoldItem(visName);
        }
    }
    PlayTakeEffects();
    Play("light");
    Kill();
}

void SmartUI::CloseOthers() {
    if (owner == nullptr) {
        return;
    }
    for (const auto& object : owner->Objects()) {
        auto* other = dynamic_cast<SmartUI*>(object.get());
        if (other != nullptr && other != this && other->GetClassName() == kClassName) {
            other->Close();
        }
    }
}

void SmartUI::Open() {
    opening = true;
    Play("backpack_open");
    if (GameLevel == nullptr) {
        return;
    }
    std::unique_ptr<Object> created =
        GameLevel->CreateObject(std::string(FxContainerOpenClose::kClassName), true);
    auto* effect = dynamic_cast<FxContainerOpenClose*>(created.get());
    if (effect == nullptr) {
        return;
    }
    GameLevel->AddObject(std::move(created));
    effect->ResolveDependencies();
    const auto [x, y] = Centre();
    slots.clear();
    for (std::size_t i = 0; i < slotNames.size() && i < kMostSlots; ++i) {
        std::unique_ptr<Object> made =
            GameLevel->CreateObject(std::string(SmartUISlot::kClassName), true);
        auto* slot = dynamic_cast<SmartUISlot*>(made.get());
        if (slot == nullptr) {
            continue;
        }
        if (PositionChunk* position = PositionOf(*slot)) {
            position->x = x + kRingOffsets[i].first;
            position->y = y + kRingOffsets[i].second;
        }
        slot->SetContainer(this);
        GameLevel->AddObject(std::move(made));
        slot->SetItem(slotNames[i]);
        slot->ResolveDependencies();
        if (CurrentPlayer != nullptr && GetLevelFlag(slotNames[i] + "_filled") > 0) {
            slot->Fill(true);
        }
        slot->ready = false;
        slots.emplace_back(slot);
        effect->AddItem(slot, false);
    }
    effect->Setup(x, y, false, 0);
    open = true;
}

void SmartUI::Close() {
    if (opening) {
        return;
    }
    open = false;
    Play("backpack_open");
    if (GameLevel == nullptr) {
        return;
    }
    std::unique_ptr<Object> created =
        GameLevel->CreateObject(std::string(FxContainerOpenClose::kClassName), true);
    auto* effect = dynamic_cast<FxContainerOpenClose*>(created.get());
    if (effect == nullptr) {
        return;
    }
    GameLevel->AddObject(std::move(created));
    effect->ResolveDependencies();
    for (SmartUISlot* slot : Slots()) {
        slot->ready = false;
        effect->AddItem(slot, true);
    }
    const auto [x, y] = Centre();
    effect->Setup(x, y, true, 0);
    slots.clear();
}

bool SmartUI::AllSlotsFilled() const {
    if (!open) {
        return false;
    }
    for (const SmartUISlot* slot : Slots()) {
        if (!slot->filled) {
            return false;
        }
    }
    return true;
}

void SmartUI::Sparks(const std::string& file, float x, float y, float seconds, float life) {
    if (owner == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("FxParticles", true);
    auto* fx = dynamic_cast<FxParticles*>(created.get());
    if (fx == nullptr) {
        return;
    }
    fx->Position().x = x;
    fx->Position().y = y;
    Parcon parser;
    parser.OpenFile(file, true);
    fx->Particles().emitter.Load(*parser.Root(), 0);
    fx->Particles().lifeTime = seconds;
    fx->life = life;
    fx->ResolveDependencies();
    owner->AddObject(std::move(created));
}

void SmartUI::PlayTakeEffects() {
    if (OnQuicksand() && GameLevel != nullptr) {
        std::unique_ptr<Object> created =
            GameLevel->CreateObject(std::string(FxBackpack::kClassName), true);
        auto* backpack = dynamic_cast<FxBackpack*>(created.get());
        if (backpack != nullptr) {
            GameLevel->AddObject(std::move(created));
            backpack->ResolveDependencies();
            if (ObjectsManager* hud = World().HudScene()) {
                for (const auto& object : hud->Objects()) {
                    if (object == nullptr || object->code != FourCC("BPAK")) {
                        continue;
                    }
                    if (auto* sprite =
                            dynamic_cast<RenderChunk*>(object->GetChunk(FourCC("SPRT"), 0))) {
                        sprite->visible = false;
                    }
                    backpack->SetItem(object.get());
                }
            }
        }
        DropHeldItem();
    }
    const auto [x, y] = Centre();
    if (visName == "wand") {
        DropHeldItem();
        // A HUD without its tool slots would lose the wand: it is counted here instead.
        if (!World().LaunchTool(kWand) && CurrentPlayer != nullptr) {
            CurrentPlayer->AddPermanentItem(1, kWand);
        }
        Play("special_item_pick");
        float wandX = x;
        float wandY = y;
        if (const auto* sprite = dynamic_cast<const RenderChunk*>(Sprite())) {
            if (const std::optional<FrameRect> frame = sprite->FirstFrameRect("idle")) {
                const PositionChunk* position = PositionOf(*this);
                wandX = (position != nullptr ? position->x : 0.0f) +
                        static_cast<float>((frame->left + frame->right) / 2);
                wandY = (position != nullptr ? position->y : 0.0f) +
                        static_cast<float>((frame->top + frame->bottom) / 2);
            }
        }
        Sparks("gfx/fx/wand_fx.prt", wandX, wandY, 0.1f, 3.0f);
    }
    Sparks("gfx/fx/collectible3.prt", x - static_cast<float>(offsetX),
           y - static_cast<float>(offsetY), 0.1f, 3.0f);
    Sparks("gfx/fx/object_hili2.prt", x - static_cast<float>(offsetX),
           y - static_cast<float>(offsetY), 0.4f, 10.0f);
}

bool SmartUI::Update(float dt) {
    if (opening) {
        bool allOut = true;
        for (const SmartUISlot* slot : Slots()) {
            allOut = allOut && slot->ready;
        }
        if (allOut) {
            if (OnQuicksand() && CurrentPlayer != nullptr &&
                CurrentPlayer->GetFlag("z1-quicksand:dialog3_killed") == 0) {
                OpenDialog("menus\\tutorials\\BackpackRoom\\msg3.txt", false, 0.0f, "dialog3");
            }
            if (!clickMessage.empty() && !World().DialogueShown()) {
                OpenDialog(clickMessage, false, 0.0f);
            }
            opening = false;
        }
    }
    if (!(toTake && !killOnEnd) && AllSlotsFilled()) {
        toTake = true;
        if (GetLevelFlag(visName + "_toTake") == 0 && CurrentPlayer != nullptr) {
            CurrentPlayer->AddEnergy(1, true);
        }
        SetLevelFlag(visName + "_toTake", 1);
        opening = false;
        Close();
        if (!finalObject.empty()) {
            if (NormalLevelSystem* holder = Holder()) {
                holder->HoldItem(finalObject);
            }
        }
        const auto [x, y] = Centre();
        Sparks("gfx/fx/collectible2.prt", x, y, 0.1f, 3.0f);
        Sparks("gfx/fx/object_hili2.prt", x, y, 0.4f, 3.0f);
        if (killOnEnd) {
            Kill();
        }
        if (visName == "wand") {
            PlayTakeEffects();
        }
    }
    BaseGameObject::Update(dt);
    return true;
}
