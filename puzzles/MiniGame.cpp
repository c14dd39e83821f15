#include "puzzles/MiniGame.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"
#include "media/AnimPlayer.h"
#include "media/SoundManager.h"
#include "ui/HudParts.h"
#include "world/BaseGameObject.h"
#include "world/FxPath.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/fx/FxRotate.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kRightDown = FourCC("RMBD");
constexpr int kFullVolume = 100;

struct SparkLeg {
    float startX, startY, endX, endY;
};

// The border of the board, clockwise from the top left.
constexpr std::array<SparkLeg, 4> kBorder = {{
    {253.0f, 121.0f, 775.0f, 119.0f},
    {775.0f, 119.0f, 775.0f, 646.0f},
    {775.0f, 646.0f, 253.0f, 646.0f},
    {253.0f, 646.0f, 253.0f, 121.0f},
}};

NormalLevelSystem* MiniGameSystem() {
    return ModalLevel != nullptr ? ModalLevel->levelSystem : nullptr;
}

} // namespace

float RandomQuarterTurn() {
    const int32_t quarter = Random() % 10;
    return quarter >= 3 ? 270.0f : static_cast<float>(quarter * 90);
}

bool StartPieceTurn(const char* effectClass, Object& piece, int direction) {
    if (ModalLevel == nullptr || piece.owner == nullptr) {
        return false;
    }
    std::unique_ptr<Object> created = piece.owner->CreateObject(effectClass, true);
    auto* turn = dynamic_cast<FxQuarterTurn*>(created.get());
    if (turn == nullptr) {
        DebugLog("%s is not a quarter turn: the piece stays\n", effectClass);
        return false;
    }
    turn->direction = direction;
    ModalLevel->AddObject(std::move(created));
    turn->target = &piece;
    turn->ResolveDependencies();
    return true;
}

// ---------------------------------------------------------------------------------------------
// ManagerLink

void ManagerLink::Attach(Object& piece, MiniGameManager& newManager) {
    manager = &newManager;
    managerGone = false;
    if (piece.owner != nullptr) {
        piece.owner->AddRemovalListener(&piece);
    }
}

void ManagerLink::ObjectGoing(const Object* going) {
    if (going != nullptr && going == manager) {
        manager = nullptr;
        managerGone = true;
    }
}

bool ManagerLink::Finished() const {
    return managerGone || (manager != nullptr && manager->finished);
}

// ---------------------------------------------------------------------------------------------
// MiniGameManager

MiniGameManager::MiniGameManager(ObjectsManager* owner, float winDelay)
    : Object(owner), winDelay(winDelay) {}

MiniGameManager::~MiniGameManager() = default;

bool MiniGameManager::InBoardLeaveZone(float x, float y) {
    return y < 100.0f || (y < 700.0f && (x < 200.0f || x > 800.0f));
}

bool MiniGameManager::ItemHeld() {
    return HeldItemShown && !HeldItemAnim.GetFileName().empty();
}

int MiniGameManager::PressOnPiece(BaseGameObject& piece, uint32_t id, uint32_t param) {
    if (param != KeyboardSystem::kPressed || (id != kLeftDown && id != kRightDown) || ItemHeld()) {
        return 0;
    }
    const auto* collision = dynamic_cast<const CollisionChunk*>(piece.GetChunk(FourCC("COLI"), 0));
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return 0;
    }
    return id == kLeftDown ? 1 : -1;
}

bool MiniGameManager::LeaveRequested() {
    const NormalLevelSystem* system = MiniGameSystem();
    return system != nullptr && system->leaveArmed;
}

bool MiniGameManager::CloseFlagSet() {
    return ModalLevel != nullptr && ModalLevel->returnFlag;
}

void MiniGameManager::DropHeldTool() {
    if (GameLevel == nullptr || GameLevel->levelSystem == nullptr) {
        DebugLog("%s", "No game level: no tool to drop\n");
        return;
    }
    GameLevel->levelSystem->toolInUse = false;
    ToolCursorShown = false;
    ToolSlotsPart* slots = FindHudPart<ToolSlotsPart>("UIPermanentSlotMngr");
    if (slots == nullptr) {
        DebugLog("%s", "The HUD has no tool slots to reset\n");
        return;
    }
    slots->ResetToolSlots();
}

void MiniGameManager::SpawnBorderSparks() {
    if (ModalLevel == nullptr) {
        DebugLog("%s", "No mini-game level: no sparks\n");
        return;
    }
    for (const SparkLeg& leg : kBorder) {
        std::unique_ptr<Object> created = ModalLevel->CreateObject("FxPath", true);
        auto* spark = dynamic_cast<FxPath*>(created.get());
        if (spark == nullptr) {
            DebugLog("%s", "FxPath is not a spark: no sparks\n");
            return;
        }
        spark->Start(kSparkParticles, leg.startX, leg.startY, leg.endX, leg.endY, 1.0f, 0.0f);
        ModalLevel->AddObject(std::move(created));
        spark->ResolveDependencies();
    }
}

void MiniGameManager::CollectPieces(std::string_view pieceClass) {
    if (collected || owner == nullptr) {
        return;
    }
    collected = true;
    owner->AddRemovalListener(this);
    int index = 0;
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object == this || object->GetClassName() != pieceClass) {
            continue;
        }
        ManagerLink* link = LinkOf(*object);
        if (link == nullptr) {
            continue;
        }
        link->Attach(*object, *this);
        SetUpPiece(*object, index++);
        pieces.push_back(object);
    }
    // The random start, so that a run can be followed (and a scripted one planned) from the log.
    std::string start;
    for (Object* piece : pieces) {
        const auto* position =
            dynamic_cast<const PositionChunk*>(piece->GetChunk(FourCC("POSI"), 0));
        start +=
            " " + std::to_string(position != nullptr ? static_cast<int>(position->rotation) : 0);
    }
    DebugLog("%s: %zu pieces, starting at%s\n", GetClassName().c_str(), pieces.size(),
             start.c_str());
}

void MiniGameManager::OnObjectGoing(Object* going) {
    std::erase(pieces, going);
}

bool MiniGameManager::AcceptsLeave() const {
    return !finished && !LeaveRequested();
}

bool MiniGameManager::WantsToLeave(uint32_t id, uint32_t param) const {
    if (Keyboard.KeyPressed(kEscape)) {
        return true;
    }
    return id == kLeftDown && param == KeyboardSystem::kPressed && InLeaveZone(Mouse.x, Mouse.y);
}

void MiniGameManager::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (AcceptsLeave() && WantsToLeave(id, param)) {
        Leave();
    }
}

void MiniGameManager::Leave() {
    if (ModalLevel != nullptr) {
        ModalLevel->returnFlag = true;
    } else {
        DebugLog("%s", "No mini-game level: the close flag is not set\n");
    }
    finished = true;
}

void MiniGameManager::Win() {
    const WinSteps steps = WinStepsOfGame();
    if (steps.completionFlag) {
        if (GameLevel == nullptr || ModalLevel == nullptr || CurrentPlayer == nullptr) {
            DebugLog("The completion flag is not set: %s\n",
                     CurrentPlayer == nullptr ? "no profile" : "no game or mini-game level");
        } else {
            CurrentPlayer->SetFlag(GameLevel->GetName(), ModalLevel->GetName() + "_completed", 1);
        }
    }
    if (!steps.sound.empty()) {
        Sounds.PlayByName(steps.sound, false, kFullVolume, 0);
    }
    if (steps.wonFlag && ModalLevel != nullptr) {
        ModalLevel->won = true;
    }
    if (steps.borderSparks) {
        SpawnBorderSparks();
    }
}

bool MiniGameManager::Update(float dt) {
    BeforeWinTest(dt);
    if (!finished) {
        if (!WinTest()) {
            return true;
        }
        if (!CloseFlagSet()) {
            Win();
        }
        finished = true;
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (NormalLevelSystem* system = MiniGameSystem()) {
        system->leaveArmed = true;
    } else {
        DebugLog("%s", "No mini-game level: the leave request is not set\n");
    }
    return false;
}
