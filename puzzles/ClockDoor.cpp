#include "puzzles/ClockDoor.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/GameAnim.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <string>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");

bool LeftPress(uint32_t id, uint32_t param) {
    return id == kLeftDown && param == KeyboardSystem::kPressed;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// ClockGameSlot

ClockGameSlot::ClockGameSlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<ClockGameSlot>*>(this), 0, 0);
}

void ClockGameSlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "goal") {
            goal = values.NextInt(true, 0) != 0;
        } else if (key == "regionFromCenter") {
            const auto r = static_cast<float>(static_cast<int32_t>(values.NextFloat(true, 0.0f)));
            if (auto* collision = dynamic_cast<CollisionChunk*>(GetChunk(FourCC("COLI"), 0))) {
                collision->left = collision->top = -r;
                collision->right = collision->bottom = r;
            }
        }
    });
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->visible = false;
    }
}

void ClockGameSlot::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

bool ClockGameSlot::Holding() {
    const SpriteRenderChunk* sprite = SpriteOf(*this);
    return sprite != nullptr && sprite->visible;
}

void ClockGameSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel == nullptr || manager.Get() == nullptr || manager.Finished() ||
        MiniGameManager::LeaveRequested() || !LeftPress(id, param)) {
        return;
    }
    const std::string held = HeldItemName();
    bool onHole = MouseOn(*this);
    if (!onHole && !held.empty()) {
        // A key on the cursor is drawn down and right of the mouse: the hole takes it there.
        const auto* collision = dynamic_cast<const CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
        onHole = collision != nullptr &&
                 collision->Contains(Mouse.x - kHeldSlack, Mouse.y - kHeldSlack);
    }
    if (!onHole) {
        return;
    }
    auto* door = static_cast<ClockDoorGameMngr*>(manager.Get());
    SpriteRenderChunk* sprite = SpriteOf(*this);
    if (!held.empty()) {
        if (held != activator) {
            PlayFull("warning");
            return;
        }
        PlayFull("key_unlock");
        if (NormalLevelSystem* system = GameSystem()) {
            system->DropHeldItem();
        }
        if (sprite != nullptr) {
            sprite->visible = true;
        }
        if (goal) {
            door->SetColour(activator, true);
        }
        return;
    }
    if (!Holding()) {
        return;
    }
    if (activator != "librarian_key_green" && activator != "librarian_key_red" &&
        activator != "librarian_key_blue") {
        return;
    }
    if (!HoldItemBack(activator)) {
        return;
    }
    door->SetColour(activator, false);
    sprite->visible = false;
}

// ---------------------------------------------------------------------------------------------
// ClockDoorGameMngr

ClockDoorGameMngr::ClockDoorGameMngr(ObjectsManager* owner) : MiniGameManager(owner, 0.0f) {
    Object::SetCreator(static_cast<OCreator<ClockDoorGameMngr>*>(this), 0, 0);
}

ManagerLink* ClockDoorGameMngr::LinkOf(Object& piece) {
    auto* hole = dynamic_cast<ClockGameSlot*>(&piece);
    return hole != nullptr ? &hole->manager : nullptr;
}

void ClockDoorGameMngr::SetProperty(const ParconCursor&) {
    CollectPieces(ClockGameSlot::kClassName);
    if (owner != nullptr) {
        for (const auto& object : owner->Objects()) {
            auto* circle = dynamic_cast<GameAnim*>(object.get());
            if (circle == nullptr || object->GetClassName() != GameAnim::kClassName) {
                continue;
            }
            if (circle->visName == "blue_circle") {
                blueCircle = circle;
            } else if (circle->visName == "red_circle") {
                redCircle = circle;
            } else if (circle->visName == "green_circle") {
                greenCircle = circle;
            }
        }
    }
    armed = true;
}

void ClockDoorGameMngr::OnObjectGoing(Object* going) {
    for (GameAnim** circle : {&blueCircle, &redCircle, &greenCircle}) {
        if (*circle == going) {
            *circle = nullptr;
        }
    }
    MiniGameManager::OnObjectGoing(going);
}

void ClockDoorGameMngr::SetColour(std::string_view key, bool on) {
    bool* colour = nullptr;
    GameAnim* circle = nullptr;
    if (key == "librarian_key_green") {
        colour = &greenOn;
        circle = greenCircle;
    } else if (key == "librarian_key_red") {
        colour = &redOn;
        circle = redCircle;
    } else if (key == "librarian_key_blue") {
        colour = &blueOn;
        circle = blueCircle;
    } else {
        return;
    }
    *colour = on;
    if (circle != nullptr) {
        circle->enabled = on;
    }
}

void ClockDoorGameMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel == nullptr || finished || LeaveRequested()) {
        return;
    }
    if (Keyboard.KeyPressed(kEscape)) {
        Leave();
        return;
    }
    if (!LeftPress(id, param)) {
        return;
    }
    const std::optional<bool> onBackground = MouseOnBackground("back", kBackgroundMargin);
    if (onBackground && !*onBackground && !(Mouse.y > kLeaveBelowY)) {
        Leave();
    }
}

bool ClockDoorGameMngr::Update(float dt) {
    if (!armed || !(WinTest() || finished)) {
        return true;
    }
    finished = true;
    if (!CloseFlagSet()) {
        armed = false;
        SetCompletionFlag();
        PlayFull("game_won");
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
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
