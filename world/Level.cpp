#include "world/Level.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "media/ParticleRenderSystem.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "world/BaseGameObject.h"
#include "world/FxPath.h"
#include "world/MouseGestureSystem.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/WorldServices.h"

#include <memory>

Level* GameLevel = nullptr;
Level* ModalLevel = nullptr;

Level& EnsureLevel(Level*& global) {
    if (global == nullptr) {
        auto level = std::make_unique<Level>();
        level->Load();
        global = level.release();
    }
    return *global;
}

Level::Level() = default;

Level::~Level() {
    Level::Clear();
}

void Level::SetProperty(const std::string& key, const std::string& value) {
    if (key == "Name") {
        name = value;
    }
    if (key == "levelPath") {
        levelPath = value;
    }
    if (key == "levelId") {
        levelId = value;
    }
    if (key == "Type") {
        type = value;
    }
    if (key == "exitForward") {
        exitForward = value;
    }
    if (key == "exitBack") {
        exitBack = value;
    }
    for (int i = 0; i < kMiniGames; ++i) {
        if (key == "miniGame" + std::to_string(i + 1) + "Path") {
            miniGamePaths[static_cast<std::size_t>(i)] = value;
        }
    }
    if (key == "renderBluredBackground") {
        renderBluredBackground = true;
    }
}

void Level::Load() {
    DebugLog("level load\n");
    state = kResultNone;
    // The order of adding is the order of updating and drawing: input first, so that the
    // level's own logic and its objects see this step's keys; the texts over the sprites and
    // particles; the mouse-gesture system last, so that its trail is drawn over the rest.
    auto keyboard = std::make_unique<KeyboardSystem>(this);
    keyboard->AddReceiver(this);
    AddSystem(std::move(keyboard));
    auto system = std::make_unique<NormalLevelSystem>(this);
    levelSystem = system.get();
    levelSystem->active = true;
    AddSystem(std::move(system));
    AddSystem(std::make_unique<PositionSystem>(this));
    AddSystem(std::make_unique<MessageSystem>(this));
    AddSystem(std::make_unique<SpriteRenderSystem>(this));
    AddSystem(std::make_unique<ParticleRenderSystem>(this));
    AddSystem(std::make_unique<TextRenderSystem>(this));
    AddSystem(std::make_unique<CollisionsSystem>(this));
    AddSystem(std::make_unique<MouseGestureSystem>(this));
    LoadDefinitions("scripts/objects.txt");
    loadMark = 0;
    DebugLog("level loaded\n");
    blurredBackgroundAlpha = 0.0f;
    blendFinished = true;
    returnFlag = false;
    won = false;
    crystalsPlaced = 0;
    blendOutPending = false;
}

void Level::OnMessage(const void* sender, uint32_t id, uint32_t param) {
    if (levelSystem != nullptr) {
        levelSystem->OnMessage(sender, id, param);
    }
}

void Level::Clear() {
    ObjectsManager::Clear();
    if (levelSystem != nullptr) {
        levelSystem->Clear();
    }
    levelId.clear();
    // The next scene may leave these keys out: what it does not give must not be the last
    // scene's (a back arrow to a location it does not lead to, its mini-games, its map type).
    type = "normal";
    exitForward.clear();
    exitBack.clear();
    for (std::string& path : miniGamePaths) {
        path.clear();
    }
    World().DeleteLevelLayers();
}

void Level::OnSceneLoaded() {
    // A mini-game that the level system cannot lead back would never end: refuse its scene.
    if (this == ModalLevel && !NormalLevelSystem::KnowsMiniGameType(type)) {
        throw Exception("%s: the mini-game Type \"%s\" has no way back to the game",
                        ScenePath().c_str(), type.c_str());
    }
    World().ClearOverlay();
    if (CurrentPlayer != nullptr) {
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            const InventorySlot slot = CurrentPlayer->GetInventorySlot(i);
            CurrentPlayer->SetInventoryBackSlot(slot.item, slot.count, i);
        }
        // The world map writes the save game but is never the last level; nothing is written
        // while a mini-game runs over the location.
        if (ModalLevel == nullptr) {
            if (type != "map") {
                CurrentPlayer->SetLastLevelId(name);
            }
            SaveGameState(
                PlayerFilePath(std::to_string(CurrentPlayer->GetProfileNumber()) + ".sav"));
        }
    }
    sceneLoaded = true;
    blendOutPending = false;
}

namespace {

void FinishBlendOut(Level& level, int32_t state) {
    if (ModalLevel != nullptr && ModalLevel->levelSystem != nullptr) {
        ModalLevel->levelSystem->leaveArmed = true;
    }
    FrameTimer.Start();
    level.blendOutPending = false;
    level.state = state;
}

} // namespace

void Level::CompleteBlendOut() {
    FinishBlendOut(*this, kResultLeftBack);
}

void Level::CompleteBlendOutAndLeave() {
    FinishBlendOut(*this, kResultLeft);
}

void Level::UpdateUnderDialogue(float dt) {
    if (GameLevel == nullptr) {
        return;
    }
    Level& level = *GameLevel;
    const WalkScope walk(level);
    // Indexed: an update may add objects, which the walk then reaches too.
    for (std::size_t i = 0; i < level.Objects().size() && !level.IsBeingDeleted(); ++i) {
        Object* object = level.Objects()[i].get();
        if (object == nullptr) {
            continue;
        }
        if (object->name == "GameAnim" || object->name == "FxPulseAlpha2") {
            if (!object->Update(dt)) {
                object->dead = true;
            }
        } else if (object->name == "GameButtonX") {
            if (auto* button = dynamic_cast<BaseGameObject*>(object)) {
                button->UpdateHoverHighlight(dt);
            }
        }
    }
    level.UpdateParticles(dt);
}

namespace {

// The sprite of the first object of the game level that matches, or null.
template <typename Match>
SpriteRenderChunk* FirstSprite(Match match) {
    if (GameLevel == nullptr) {
        return nullptr;
    }
    for (const auto& object : GameLevel->Objects()) {
        if (object != nullptr && match(*object)) {
            return dynamic_cast<SpriteRenderChunk*>(object->GetChunk(FourCC("SPRT"), 0));
        }
    }
    return nullptr;
}

} // namespace

void Level::PlayAnimByLabel(const std::string& label, const std::string& animName, float duration) {
    const uint32_t code = FourCC(label.substr(0, 4));
    if (SpriteRenderChunk* sprite =
            FirstSprite([code](const Object& o) { return o.code == code; })) {
        sprite->player.Play(animName, false, true, true, duration);
    }
}

void Level::PlayObjectAnim(const std::string& objectName, const std::string& animName,
                           float duration) {
    if (SpriteRenderChunk* sprite =
            FirstSprite([&objectName](const Object& o) { return o.visName == objectName; })) {
        sprite->player.Play(animName, false, true, true, duration);
    }
}

void Level::SpawnHintPath() {
    // The frame runs over the mini-game; without one there is nothing to frame.
    if (ModalLevel == nullptr) {
        return;
    }
    struct Leg {
        float fromX, fromY, toX, toY, delay;
    };
    static constexpr Leg kLegs[] = {
        {253.0f, 121.0f, 775.0f, 119.0f, 0.0f},
        {775.0f, 119.0f, 775.0f, 646.0f, 2.0f},
        {775.0f, 646.0f, 253.0f, 646.0f, 4.0f},
        {253.0f, 646.0f, 253.0f, 121.0f, 6.0f},
    };
    for (const Leg& leg : kLegs) {
        std::unique_ptr<Object> created = ModalLevel->CreateObject("FxPath", true);
        auto* path = dynamic_cast<FxPath*>(created.get());
        if (path == nullptr) {
            DebugLog("%s", "FxPath is not a path effect: no hint path\n");
            return;
        }
        path->Start(kHintParticles, leg.fromX, leg.fromY, leg.toX, leg.toY, kHintLegTime,
                    leg.delay);
        ModalLevel->AddObject(std::move(created));
        path->ResolveDependencies();
    }
}
