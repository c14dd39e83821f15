#include "puzzles/LockDoor.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/fx/FxLockRotate.h"

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

float TurnOf(Object* handle) {
    const PositionChunk* position = handle != nullptr ? PositionOf(*handle) : nullptr;
    return position != nullptr ? position->rotation : 0.0f;
}

} // namespace

LockDoorMngr::LockDoorMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<LockDoorMngr>*>(this), 0, 0);
}

void LockDoorMngr::SetProperty(const ParconCursor&) {
    if (owner == nullptr || (handle1 != nullptr && handle2 != nullptr)) {
        return;
    }
    owner->AddRemovalListener(this);
    for (const auto& object : owner->Objects()) {
        if (object->visName == "handle1" && handle1 == nullptr) {
            handle1 = object.get();
        } else if (object->visName == "handle2" && handle2 == nullptr) {
            handle2 = object.get();
        }
    }
    for (const auto& [handle, name] : {std::pair{handle1, "handle1"}, {handle2, "handle2"}}) {
        if (handle == nullptr || PositionOf(*handle) == nullptr) {
            throw Exception("%s: the lock has no %s%s", MessagePart(ReadingScene(owner)).c_str(),
                            name, handle == nullptr ? "" : " position");
        }
    }
}

void LockDoorMngr::OnObjectGoing(Object* going) {
    if (going == handle1) {
        handle1 = nullptr;
    }
    if (going == handle2) {
        handle2 = nullptr;
    }
    MiniGameManager::OnObjectGoing(going);
}

void LockDoorMngr::Turn(const std::string& direction) {
    if (busy || owner == nullptr) {
        return;
    }
    PlayFull("metal_scrape");
    std::unique_ptr<Object> created = owner->CreateObject("FxLockRotate", true);
    auto* turn = dynamic_cast<FxLockRotate*>(created.get());
    if (turn == nullptr) {
        DebugLog("%s", "FxLockRotate is not a lock turn: the handles stay\n");
        return;
    }
    owner->AddObject(std::move(created));
    turn->Start(handle1, handle2, this, direction);
    turn->ResolveDependencies();
    // Busy from now on, not only from the turn's first step.
    busy = true;
}

void LockDoorMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished || LeaveRequested()) {
        return;
    }
    const bool press = id == FourCC("LMBD") && param == KeyboardSystem::kPressed;
    const bool escape = Keyboard.KeyPressed(kEscape);
    if (press || escape) {
        const SpriteRenderChunk* backdrop =
            SceneBackground != nullptr ? SpriteOf(*SceneBackground) : nullptr;
        std::string playing = backdrop != nullptr ? backdrop->player.CurrentAnimName() : "";
        if (playing.empty()) {
            playing = "idle";
        }
        const std::optional<bool> onBackground = MouseOnBackground(playing, kBackgroundMargin);
        if (onBackground && !*onBackground && Mouse.y < kLeaveAboveY) {
            Leave();
            return;
        }
        const std::optional<float> alpha = BackgroundAlpha();
        // Without a backdrop, Escape leaves at once.
        if (escape && (!alpha || *alpha > kReadyAlpha)) {
            Leave();
            return;
        }
    }
    if (press && ModalLevel != nullptr &&
        std::hypot(Mouse.x - kCentreX, Mouse.y - kCentreY) <= kReach) {
        Turn(kCentreX <= Mouse.x ? "right" : "left");
    }
}

bool LockDoorMngr::Open(float turn1, float turn2) {
    const int a1 = std::abs(static_cast<int>(turn1));
    const int a2 = static_cast<int>(turn2);
    return (a1 == 90 || a1 == 270) && (a2 == 0 || std::abs(a2) == 180);
}

bool LockDoorMngr::WinTest() {
    return Open(TurnOf(handle1), TurnOf(handle2));
}

bool LockDoorMngr::Update(float dt) {
    if (!finished) {
        if (!WinTest()) {
            return true;
        }
        finished = true;
        PlayFull("game_won");
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
        SetCompletionFlag();
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
