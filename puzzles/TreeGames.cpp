#include "puzzles/TreeGames.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/ObjectLink.h"
#include "engine/Parcon.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "media/AnimPlayer.h"
#include "media/SoundManager.h"
#include "ui/InGameFlow.h"
#include "ui/ModalProcesses.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/fx/FxPillar.h"

#include <memory>
#include <utility>

namespace {

constexpr int kFullVolume = 100;
constexpr float kMemberAnimTime = 0.6f;
constexpr float kHandleAnimTime = 0.5f;
constexpr float kFourthPillarDelay = 0.5f;
constexpr const char* kPlatform = "PlatformGamesManager";
constexpr const char* kPillars = "PillarsGamesManager";
constexpr const char* kHermitage = "z1-hermitage-out";

// "<name>_<n>_completed": game n of the chain was won.
std::string GameFlag(const std::string& name, int32_t n) {
    return name + "_" + std::to_string(n) + "_completed";
}

std::string PillarName(int32_t n) {
    return "pillar_" + std::to_string(n);
}

// The hermitage's own targets that rise after game n.
std::vector<std::string> HermitageTargets(int32_t n) {
    switch (n) {
    case 1:
        return {"wheel_partA"};
    case 2:
        return {"hermitageout_crystalA", "hermitage_out_mappiece1"};
    case 3:
        return {"hermitageout_crystalC"};
    default:
        return {};
    }
}

// A new pillar effect in the game level, added and resolved.
FxPillar& NewPillar() {
    std::unique_ptr<Object> created = GameLevel->CreateObject(std::string(FxPillar::kClassName), true);
    auto* pillar = dynamic_cast<FxPillar*>(created.get());
    if (pillar == nullptr) {
        throw Exception("%s", "FxPillar is not a pillar effect");
    }
    GameLevel->AddObject(std::move(created));
    pillar->ResolveDependencies();
    return *pillar;
}

bool HasLevelSystem() {
    return GameLevel != nullptr && GameLevel->levelSystem != nullptr;
}

} // namespace

TreeGamesManager::TreeGamesManager(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<TreeGamesManager>*>(this), 0, 0);
    SetClickSound("push");
}

void TreeGamesManager::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    if (dead) {
        return;
    }
    // The flag lists and "enableClickEnergy" were read by the object's keys already.
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& value) {
        if (key == "maxGames") {
            gameCount = value.NextInt(true, 0);
        } else if (key == "minigame") {
            while (value.HasNextValue()) {
                miniGames.push_back(value.NextString(true, ""));
            }
        } else if (key == "memberAnimPrefix") {
            memberAnimPrefix = value.NextString(true, "");
        } else if (key == "fxPillar") {
            fxPillar = value.NextInt(true, 0) != 0;
        } else if (key == "executeGameDelay") {
            executeDelay = value.NextFloat(true, 0.0f);
        }
    });
    gameCount = static_cast<int32_t>(miniGames.size());
    gamesWon = 0;
    for (int32_t n = 1; n <= kMaxBookedGames; ++n) {
        if (GetLevelFlag(GameFlag(visName, n)) > 0) {
            gamesWon = n;
        }
    }
    // Keys read before the object's name (a definition's Data) have no flags to go by yet.
    if (!visName.empty() && gameCount <= gamesWon) {
        dead = true;
    }
}

void TreeGamesManager::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (allDone || !enabled || dead) {
        return;
    }
    if (ModalLevel != nullptr &&
        (ModalLevel->levelSystem == nullptr || !ModalLevel->levelSystem->leaveArmed)) {
        return;
    }
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed || triggered) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    if (!HasLevelSystem() || !GameLevel->levelSystem->heldItemName.empty()) {
        return;
    }
    if (visName == kPlatform) {
        Sounds.PlayByName("door_open", false, kFullVolume, 0);
        Level::PlayObjectAnim("handle", "idle2", kHandleAnimTime);
    }
    triggered = true;
    countdown = executeDelay;
}

bool TreeGamesManager::Update(float dt) {
    if (allDone) {
        return false;
    }
    GameButtonX::Update(dt);
    if (CollisionChunk* collision = Collision();
        collision != nullptr && collision->Contains(Mouse.x, Mouse.y)) {
        CursorAnim.Play("idle", true, false, true, 0.0f);
    }
    if (triggered) {
        if (countdown <= 0.0f) {
            triggered = false;
            OpenNextGame();
        } else {
            countdown -= dt;
        }
    }
    return true;
}

void TreeGamesManager::OpenNextGame() {
    if (!enabled || allDone || ModalLevel != nullptr || miniGames.empty()) {
        return;
    }
    Sounds.PlayByName("game_appear", false, kFullVolume, 0);
    const auto count = static_cast<int32_t>(miniGames.size());
    const int32_t index = count < 2 || gamesWon >= count ? 0 : gamesWon;
    const ObjectLink self(this);
    ObjectsManager* const scene = owner;
    const int32_t result = RunInGameProcess(GameModalProc::Create(
        miniGames[static_cast<std::size_t>(index)], {.drawBeneath = true, .drawOnce = false}));
    DeleteModalLevel();
    // The run may have ended the location itself (the program quit, another location loaded):
    // then there is nothing left to book on.
    if (GameLevel == nullptr || scene != GameLevel || self.In(GameLevel) == nullptr) {
        return;
    }
    // Only a game left normally was won; every other word (left back, closed, ended with its
    // scene) books nothing.
    if (result == kResultLeft) {
        ++gamesWon;
        if (gamesWon >= gameCount) {
            allDone = true;
        }
        SetLevelFlag(GameFlag(visName, gamesWon), 1);
        ShowGameWon();
        if (gamesWon >= gameCount) {
            SetLevelFlag(visName + "_completed", 1);
            dead = true;
        }
    }
    if (visName == kPlatform && HasLevelSystem()) {
        Level::PlayObjectAnim("handle", "idle", kHandleAnimTime);
    }
    // The time spent in the game is not made up in catch-up steps.
    FrameTimer.Start();
}

void TreeGamesManager::ShowGameWon() {
    if (HasLevelSystem()) {
        Level::PlayObjectAnim(memberAnimPrefix + std::to_string(gamesWon), "idle",
                              kMemberAnimTime);
        if (visName == kPillars && gamesWon == 3) {
            Level::PlayObjectAnim(memberAnimPrefix + std::to_string(4), "idle", kMemberAnimTime);
        }
    }
    if (!fxPillar) {
        Sounds.PlayByName("stairs_build", false, kFullVolume, 0);
        return;
    }
    RaisePillars();
}

void TreeGamesManager::RaisePillars() {
    FxPillar& pillar = NewPillar();
    // The targets are found first: the effects made for them join the level's object list.
    std::vector<std::pair<Object*, std::string>> targets;
    for (const auto& object : GameLevel->Objects()) {
        if (object != nullptr) {
            targets.emplace_back(object.get(), object->visName);
        }
    }
    const bool hermitage = GameLevel->GetName() == kHermitage;
    const std::vector<std::string> hermitageTargets = HermitageTargets(gamesWon);
    for (const auto& [object, name] : targets) {
        if (name == PillarName(gamesWon)) {
            pillar.Start(object, 0.0f);
        }
        if (visName == kPillars && gamesWon == 3 && name == PillarName(4)) {
            NewPillar().Start(object, kFourthPillarDelay);
        }
        if (hermitage) {
            for (const std::string& target : hermitageTargets) {
                if (name == target) {
                    NewPillar().Start(object, 0.0f);
                }
            }
        }
    }
}
