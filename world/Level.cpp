#include "world/Level.h"

#include "engine/CollisionsSystem.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/PositionSystem.h"
#include "engine/Timer.h"
#include "media/SpriteRenderSystem.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/WorldHooks.h"

#include <memory>

Level* GameLevel = nullptr;
Level* ModalLevel = nullptr;

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
    state = 0;
    // Update and drawing order. The keyboard system goes first (with the level among its
    // receivers), the sprite, particle and text systems after the message system, and the
    // gesture system last, as each of them is built.
    auto system = std::make_unique<NormalLevelSystem>(this);
    levelSystem = system.get();
    levelSystem->active = true;
    AddSystem(std::move(system));
    AddSystem(std::make_unique<PositionSystem>(this));
    AddSystem(std::make_unique<MessageSystem>(this));
    AddSystem(std::make_unique<SpriteRenderSystem>(this));
    AddSystem(std::make_unique<CollisionsSystem>(this));
    LoadDefinitions("scripts/objects.txt");
    loadMark = 0;
    DebugLog("level loaded\n");
    blurredBackgroundAlpha = 0.0f;
    blendFinished = true;
    returnFlag = false;
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
    if (const auto& deleteLayers = GetWorldHooks().deleteLevelLayers) {
        deleteLayers();
    }
}

void Level::OnSceneLoaded() {
    if (const auto& clearOverlay = GetWorldHooks().clearOverlay) {
        clearOverlay();
    }
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
    FinishBlendOut(*this, 5);
}

void Level::CompleteBlendOutAndLeave() {
    FinishBlendOut(*this, 6);
}
