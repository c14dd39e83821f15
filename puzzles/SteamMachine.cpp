#include "puzzles/SteamMachine.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/BitmapFont.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kPuzzleCode = FourCC("PUZZ");
constexpr float kJamSlack = 5.0f;
constexpr float kMeshReach = 1.1f;
constexpr float kDegreesPerSpeed = 30.0f;
constexpr float kToolTipWidth = 300.0f;
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;
constexpr uint32_t kToolTipColour = 0xFFFFFFFF;
constexpr float kToolTipDepth = 590.0f;
constexpr const char* kFixedGearArt = "gfx\\objects\\gear_medium1.ani";

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

float Distance(SteamMachineWheel& a, SteamMachineWheel& b) {
    const PositionChunk* pa = PositionOf(a);
    const PositionChunk* pb = PositionOf(b);
    if (pa == nullptr || pb == nullptr) {
        return 0.0f;
    }
    return std::hypot(pa->x - pb->x, pa->y - pb->y);
}

// A new gear of the scene, placed at the slot with its picture playing "full".
SteamMachineWheel* MakeGear(ObjectsManager& scene, Object& slot, const std::string& art,
                            std::unique_ptr<Object>& created) {
    created = scene.CreateObject(std::string(SteamMachineWheel::kClassName), true);
    auto* gear = dynamic_cast<SteamMachineWheel*>(created.get());
    if (gear == nullptr) {
        throw Exception("%s", "SteamMachineWheel is not a gear");
    }
    gear->ResolveDependencies();
    gear->code = kPuzzleCode;
    const PositionChunk* at = PositionOf(slot);
    if (PositionChunk* position = PositionOf(*gear); position != nullptr && at != nullptr) {
        position->x = at->x;
        position->y = at->y;
    }
    if (SpriteRenderChunk* sprite = SpriteOf(*gear)) {
        sprite->player.Load(art);
        sprite->player.Play("full", true, false, true, 0.0f);
    }
    return gear;
}

// The text broken into lines at spaces so that no line is wider than the width (a single word
// wider than that stands alone).
std::vector<std::string> WrapText(BitmapFont& font, const std::string& text, float width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        const TextRectangle rect = font.TextRect(longer, 0.0f, 0.0f, 1.0f);
        if (!line.empty() && rect.right - rect.left > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

GearKind GearKindOf(std::string_view itemName) {
    if (StartsWith(itemName, "gear_small")) {
        return {40.0f, 2.0f};
    }
    if (StartsWith(itemName, "gear_medium")) {
        return {57.5f, 1.5f};
    }
    if (StartsWith(itemName, "gear_big")) {
        return {80.5f, 1.0f};
    }
    return {0.0f, 1.0f};
}

// ---------------------------------------------------------------------------------------------
// SteamMachineWheel

SteamMachineWheel::SteamMachineWheel(ObjectsManager* owner) : GameHiddenObject(owner) {
    Object::SetCreator(static_cast<OCreator<SteamMachineWheel>*>(this), 0, 0);
}

void SteamMachineWheel::SetProperty(const ParconCursor& cursor) {
    GameHiddenObject::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "radius") {
            radius = values.NextFloat(true, 0.0f);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// SteamMachineSlot

SteamMachineSlot::SteamMachineSlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<SteamMachineSlot>*>(this), 0, 0);
}

void SteamMachineSlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "index") {
            index = values.NextInt(true, 0);
        }
    });
}

void SteamMachineSlot::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    if (going == gear) {
        gear = nullptr;
    }
    GameButtonX::OnObjectGoing(going);
}

void SteamMachineSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel == nullptr || !open || manager.Get() == nullptr || manager.Finished() ||
        MiniGameManager::LeaveRequested() || id != kLeftDown ||
        param != KeyboardSystem::kPressed || !MouseOn(*this)) {
        return;
    }
    const std::string held = HeldItemName();
    if (held.empty()) {
        if (gear != nullptr && HoldItemBack(gear->visName)) {
            gear->dead = true;
            gear = nullptr;
        }
        return;
    }
    if (gear == nullptr) {
        PutGearIn(held);
    }
}

void SteamMachineSlot::PutGearIn(const std::string& item) {
    const std::string art = "gfx/objects/" + item + ".ani";
    if (owner == nullptr || item.find("..") != std::string::npos ||
        item.find_first_of("/\\") != std::string::npos || !Files.Exists(art)) {
        DebugLog("%s has no gear picture: it stays on the cursor\n", item.c_str());
        return;
    }
    std::unique_ptr<Object> created;
    SteamMachineWheel* wheel = MakeGear(*owner, *this, art, created);
    const bool big = StartsWith(item, "gear_big");
    const bool medium = StartsWith(item, "gear_medium");
    // The gears of slots 5 and 6 lie over their neighbours.
    const bool over = (index == 5 && big) || (index == 6 && (big || medium));
    if (SpriteRenderChunk* sprite = SpriteOf(*wheel)) {
        sprite->zOrder = over ? 200.0f : 102.0f;
    }
    const GearKind kind = GearKindOf(item);
    wheel->radius = kind.radius;
    wheel->speed = kind.speed;
    wheel->visName = item;
    owner->AddObject(std::move(created));
    gear = wheel;
    if (NormalLevelSystem* system = GameSystem()) {
        system->DropHeldItem();
    }
    auto* machine = static_cast<SteamMachineMngr*>(manager.Get());
    SteamMachineSlot* before =
        index >= 1 ? machine->Slot(static_cast<std::size_t>(index - 1)) : nullptr;
    if (before == nullptr || before->gear == nullptr) {
        return;
    }
    if (SteamMachineMngr::Jammed(*before->gear, *wheel)) {
        PlayFull("gear_nomoving");
    } else if (SteamMachineMngr::Meshes(*before->gear, *wheel) && index == machine->reach) {
        PlayFull("gear_moving");
    }
}

bool SteamMachineSlot::Update(float) {
    hovered = MouseOn(*this);
    return true;
}

void SteamMachineSlot::Draw() {
    if (hovered && enabled && !toolTip.empty() && TooltipFont != nullptr) {
        const std::vector<std::string> lines = WrapText(*TooltipFont, toolTip, kToolTipWidth);
        float width = 0.0f;
        for (const std::string& line : lines) {
            const TextRectangle rect = TooltipFont->TextRect(line, 0.0f, 0.0f, 1.0f);
            width = std::max(width, rect.right - rect.left);
        }
        const float lineHeight = static_cast<float>(TooltipFont->LineHeight());
        const float height = lineHeight * static_cast<float>(lines.size());
        float x = Mouse.x + 20.0f;
        if (x > kScreenWidth - width) {
            x = kScreenWidth - width;
        }
        x = std::max(x, 0.0f);
        float y = Mouse.y + 30.0f;
        if (Mouse.y > kScreenHeight - height - 30.0f) {
            y = kScreenHeight - height;
        }
        for (const std::string& line : lines) {
            TooltipFont->DrawText(line, x, y, kToolTipDepth, kToolTipColour);
            y += lineHeight;
        }
    }
    hovered = false;
}

// ---------------------------------------------------------------------------------------------
// SteamMachineMngr

SteamMachineMngr::SteamMachineMngr(ObjectsManager* owner) : MiniGameManager(owner, 1.5f) {
    Object::SetCreator(static_cast<OCreator<SteamMachineMngr>*>(this), 0, 0);
}

ManagerLink* SteamMachineMngr::LinkOf(Object& piece) {
    auto* slot = dynamic_cast<SteamMachineSlot*>(&piece);
    return slot != nullptr ? &slot->manager : nullptr;
}

SteamMachineSlot* SteamMachineMngr::Slot(std::size_t position) const {
    return position < pieces.size() ? static_cast<SteamMachineSlot*>(pieces[position]) : nullptr;
}

bool SteamMachineMngr::Jammed(const SteamMachineWheel& a, const SteamMachineWheel& b) {
    const float d = Distance(const_cast<SteamMachineWheel&>(a), const_cast<SteamMachineWheel&>(b));
    return d - (a.radius + b.radius) < -kJamSlack;
}

bool SteamMachineMngr::Meshes(const SteamMachineWheel& a, const SteamMachineWheel& b) {
    const float d = Distance(const_cast<SteamMachineWheel&>(a), const_cast<SteamMachineWheel&>(b));
    const float r = a.radius + b.radius;
    return !(d > kMeshReach * r) && !(d - r < -kJamSlack);
}

void SteamMachineMngr::SetProperty(const ParconCursor&) {
    if (!pieces.empty()) {
        return;
    }
    CollectPieces(SteamMachineSlot::kClassName);
    const std::string scene = ReadingScene(owner);
    if (pieces.size() < kLeastSlots) {
        throw Exception("%s: the steam machine has %zu slots instead of at least %zu",
                        MessagePart(scene).c_str(), pieces.size(), kLeastSlots);
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (Slot(i)->index != static_cast<int32_t>(i)) {
            throw Exception("%s: steam machine slot %zu has the index %d", MessagePart(scene).c_str(),
                            i, Slot(i)->index);
        }
    }
    PlaceFixedGears();
}

void SteamMachineMngr::PlaceFixedGears() {
    for (const std::size_t position : {std::size_t{0}, kLastFixed}) {
        SteamMachineSlot* slot = Slot(position);
        slot->open = false;
        std::unique_ptr<Object> created;
        SteamMachineWheel* gear = MakeGear(*owner, *slot, kFixedGearArt, created);
        if (SpriteRenderChunk* sprite = SpriteOf(*gear)) {
            sprite->zOrder = 100.0f;
            sprite->alpha = 0.0f;
        }
        gear->radius = kFixedRadius;
        gear->speed = kFixedSpeed;
        slot->gear = gear;
        owner->AddObject(std::move(created));
    }
}

void SteamMachineMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished) {
        return;
    }
    const bool escape = Keyboard.KeyPressed(kEscape);
    bool leave = escape;
    if (!escape && id == FourCC("LMBD") && param == KeyboardSystem::kPressed) {
        const std::optional<bool> onBackground = MouseOnBackground("idle", kBackgroundMargin);
        // Without a backdrop a press never leaves; Escape does.
        leave = onBackground && !*onBackground && !(Mouse.y > kLeaveBelowY);
    }
    if (!leave) {
        return;
    }
    const std::optional<float> alpha = BackgroundAlpha();
    // The machine leaves only once its backdrop is shown; without one, Escape still leaves.
    if (alpha && !(*alpha > kReadyAlpha)) {
        return;
    }
    Leave();
}

bool SteamMachineMngr::Update(float dt) {
    if (ModalLevel == nullptr) {
        return true;
    }
    time += dt;
    if (!finished) {
        if (time > 0.1f && SceneBackground != nullptr && SpriteOf(*SceneBackground) != nullptr) {
            for (const std::size_t position : {std::size_t{0}, kLastFixed}) {
                SteamMachineSlot* slot = Slot(position);
                SpriteRenderChunk* sprite =
                    slot != nullptr && slot->gear != nullptr ? SpriteOf(*slot->gear) : nullptr;
                if (sprite != nullptr) {
                    sprite->alpha = 1.0f;
                }
            }
        }
        reach = static_cast<int32_t>(pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (Slot(i)->gear == nullptr) {
                reach = Slot(i)->index;
                break;
            }
        }
        bool full = true;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            SteamMachineSlot* slot = Slot(i);
            if (slot->gear == nullptr) {
                full = false;
                continue;
            }
            if (slot->index > reach) {
                continue;
            }
            SteamMachineSlot* before = i > 0 ? Slot(i - 1) : nullptr;
            if (before != nullptr && before->gear != nullptr) {
                if (Jammed(*before->gear, *slot->gear)) {
                    time = 0.0f; // the train stands still
                    return true;
                }
                if (!Meshes(*before->gear, *slot->gear)) {
                    return true;
                }
            }
            if (PositionChunk* position = PositionOf(*slot->gear)) {
                const float turn = std::fmod(slot->gear->speed * time * kDegreesPerSpeed, 360.0f);
                position->rotation = slot->index % 2 != 0 ? -turn : turn;
            }
        }
        if (!full) {
            return true;
        }
        SetCompletionFlag();
        PlayFull("game_won");
        ModalLevel->won = true;
        finished = true;
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (NormalLevelSystem* system = MiniGameSystem()) {
        system->leaveArmed = true;
    }
    return false;
}
