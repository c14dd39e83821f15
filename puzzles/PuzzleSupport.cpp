#include "puzzles/PuzzleSupport.h"

#include "engine/CollisionsSystem.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <memory>

NormalLevelSystem* GameSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

NormalLevelSystem* MiniGameSystem() {
    return ModalLevel != nullptr ? ModalLevel->levelSystem : nullptr;
}

std::string HeldItemName() {
    const NormalLevelSystem* system = GameSystem();
    return system != nullptr ? system->heldItemName : std::string();
}

void PlayFull(const std::string& soundSet) {
    Sounds.PlayByName(soundSet, false, 100, 0);
}

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

SpriteRenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y, float seconds,
                    float life) {
    if (scene == nullptr) {
        return;
    }
    if (!Files.Exists(file)) {
        DebugLog("%s is missing: no particles\n", file.c_str());
        return;
    }
    std::unique_ptr<Object> created = scene->CreateObject("FxParticles", true);
    auto* fx = dynamic_cast<FxParticles*>(created.get());
    if (fx == nullptr) {
        DebugLog("%s", "FxParticles is not a particle effect: no particles\n");
        return;
    }
    fx->Position().x = x;
    fx->Position().y = y;
    Parcon parser;
    parser.OpenFile(file, true);
    fx->Particles().emitter.Load(*parser.Root(), 0);
    fx->Particles().lifeTime = seconds;
    fx->life = life;
    scene->AddObject(std::move(created));
    fx->ResolveDependencies();
}

void RequestLeave() {
    if (ModalLevel == nullptr || ModalLevel->levelSystem == nullptr) {
        DebugLog("%s", "No mini-game level: the leave request is not set\n");
        return;
    }
    ModalLevel->levelSystem->leaveArmed = true;
}

bool MouseOn(Object& object) {
    const auto* collision = dynamic_cast<const CollisionChunk*>(object.GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

std::optional<bool> MouseOnBackground(const std::string& animation, float widen) {
    if (SceneBackground == nullptr) {
        return std::nullopt;
    }
    SpriteRenderChunk* sprite = SpriteOf(*SceneBackground);
    auto* collision =
        dynamic_cast<CollisionChunk*>(SceneBackground->GetChunk(FourCC("COLI"), 0));
    if (sprite == nullptr || collision == nullptr) {
        return std::nullopt;
    }
    const FrameRect frame = sprite->player.GetFrameRect(animation);
    collision->left = static_cast<float>(frame.left) - widen;
    collision->top = static_cast<float>(frame.top) - widen;
    collision->right = static_cast<float>(frame.right) + widen;
    collision->bottom = static_cast<float>(frame.bottom) + widen;
    return collision->Contains(Mouse.x, Mouse.y);
}

std::optional<float> BackgroundAlpha() {
    if (SceneBackground == nullptr) {
        return std::nullopt;
    }
    const SpriteRenderChunk* sprite = SpriteOf(*SceneBackground);
    if (sprite == nullptr) {
        return std::nullopt;
    }
    return sprite->alpha;
}

void SetCompletionFlag() {
    if (GameLevel == nullptr || ModalLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("%s", "The completion flag is not set: no levels or no profile\n");
        return;
    }
    CurrentPlayer->SetFlag(GameLevel->GetName(), ModalLevel->GetName() + "_completed", 1);
}

bool HoldItemBack(const std::string& item) {
    NormalLevelSystem* system = GameSystem();
    if (system == nullptr) {
        DebugLog("No game level: %s stays where it is\n", item.c_str());
        return false;
    }
    const std::string file = "gfx/objects/" + item + ".ani";
    if (item.empty() || item.find("..") != std::string::npos ||
        item.find_first_of("/\\") != std::string::npos || !Files.Exists(file)) {
        DebugLog("%s has no picture to hold: it stays where it is\n", item.c_str());
        return false;
    }
    system->HoldItem(item);
    return true;
}

std::string ReadingScene(const ObjectsManager* scene) {
    const std::string path = scene != nullptr ? scene->ReadingPath() : std::string();
    return path.empty() ? std::string("a scene") : path;
}
