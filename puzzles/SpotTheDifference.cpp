#include "puzzles/SpotTheDifference.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/BitmapFont.h"
#include "media/ParticleRenderSystem.h"
#include "media/RenderChunk.h"
#include "media/SpriteRenderSystem.h"
#include "media/SoundManager.h"
#include "media/StringTable.h"
#include "world/FxParticles.h"
#include "world/Level.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr int kFullVolume = 100;
constexpr uint32_t kWhite = 0x00FFFFFFu;

bool LeftPressInside(BaseGameObject& object, uint32_t id, uint32_t param) {
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return false;
    }
    const auto* collision =
        dynamic_cast<const CollisionChunk*>(object.GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// SpotTheDifferenceGameChunk

SpotTheDifferenceGameChunk::SpotTheDifferenceGameChunk(ObjectsManager* owner)
    : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<SpotTheDifferenceGameChunk>*>(this), 0, 0);
    SetClickSound("pickup");
}

SpotTheDifferenceGameMngr* SpotTheDifferenceGameChunk::Manager() const {
    return dynamic_cast<SpotTheDifferenceGameMngr*>(manager.Get());
}

void SpotTheDifferenceGameChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    BaseGameObject::OnObjectGoing(going);
}

void SpotTheDifferenceGameChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    SpotTheDifferenceGameMngr* game = Manager();
    if (game == nullptr || manager.Finished() || MiniGameManager::LeaveRequested()) {
        return;
    }
    if (!LeftPressInside(*this, id, param) || game->heldObject != nullptr || dead) {
        return;
    }
    game->heldObject = this;
    if (RenderChunk* sprite = Sprite()) {
        sprite->zOrder = kCarriedDepth;
        sprite->visible = true;
    }
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
}

bool SpotTheDifferenceGameChunk::Update(float dt) {
    BaseGameObject::Update(dt);
    const SpotTheDifferenceGameMngr* game = Manager();
    if (game != nullptr && !game->finished && game->heldObject == this) {
        if (auto* position = dynamic_cast<PositionChunk*>(GetChunk(FourCC("POSI"), 0))) {
            position->x = Mouse.x;
            position->y = Mouse.y;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// SpotTheDifferenceGameSlot

SpotTheDifferenceGameSlot::SpotTheDifferenceGameSlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<SpotTheDifferenceGameSlot>*>(this), 0, 0);
    SetClickSound("push");
}

FrameRect SpotTheDifferenceGameSlot::FirstFrame() {
    const auto* sprite = dynamic_cast<const SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0));
    if (sprite == nullptr) {
        return {};
    }
    const std::string playing = sprite->player.CurrentAnimName();
    return sprite->player.GetFrameRect(playing.empty() ? "idle" : playing);
}

void SpotTheDifferenceGameSlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& /*values*/) {
        if (name != "regionFromCenter") {
            return;
        }
        CollisionChunk* collision = Collision();
        if (collision == nullptr) {
            throw Exception("%s: regionFromCenter needs its COLI chunk first", visName.c_str());
        }
        const FrameRect frame = FirstFrame();
        collision->left = static_cast<float>(frame.left);
        collision->top = static_cast<float>(frame.top);
        collision->right = static_cast<float>(frame.right);
        collision->bottom = static_cast<float>(frame.bottom);
    });
}

void SpotTheDifferenceGameSlot::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

void SpotTheDifferenceGameSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    auto* game = dynamic_cast<SpotTheDifferenceGameMngr*>(manager.Get());
    if (game == nullptr || manager.Finished() || found) {
        return;
    }
    if (!LeftPressInside(*this, id, param)) {
        return;
    }
    SpotTheDifferenceGameChunk* held = game->heldObject;
    if (held == nullptr || held->dead || held->visName != activator) {
        return;
    }
    --game->differencesLeft;
    const FrameRect frame = FirstFrame();
    const auto* position = dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    if (owner != nullptr && position != nullptr) {
        std::unique_ptr<Object> created = owner->CreateObject("FxParticles", true);
        auto* fx = dynamic_cast<FxParticles*>(created.get());
        if (fx == nullptr) {
            throw Exception("%s", "FxParticles is not a particle effect");
        }
        fx->Position().x = position->x + static_cast<float>(frame.left + frame.right) * 0.5f;
        fx->Position().y = position->y + static_cast<float>(frame.top + frame.bottom) * 0.5f;
        Parcon parser;
        parser.OpenFile(kFoundParticles, true);
        fx->Particles().emitter.Load(*parser.Root(), 0);
        fx->Particles().lifeTime = 0.4f;
        fx->life = 3.0f;
        fx->ResolveDependencies();
        owner->AddObject(std::move(created));
    }
    found = true;
    held->dead = true;
    game->heldObject = nullptr;
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
}

// ---------------------------------------------------------------------------------------------
// SpotTheDifferenceGameMngr

SpotTheDifferenceGameMngr::SpotTheDifferenceGameMngr(ObjectsManager* owner)
    : MiniGameManager(owner, 1.0f) {
    Object::SetCreator(static_cast<OCreator<SpotTheDifferenceGameMngr>*>(this), 0, 0);
}

void SpotTheDifferenceGameMngr::SetProperty(const ParconCursor&) {
    CollectPieces(SpotTheDifferenceGameSlot::kClassName);
    if (chunksTaken || owner == nullptr) {
        return;
    }
    chunksTaken = true;
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        if (slot == nullptr || slot->GetClassName() != SpotTheDifferenceGameChunk::kClassName) {
            continue;
        }
        if (auto* chunk = dynamic_cast<SpotTheDifferenceGameChunk*>(slot.get())) {
            chunk->manager.Attach(*chunk, *this);
        }
    }
}

ManagerLink* SpotTheDifferenceGameMngr::LinkOf(Object& piece) {
    auto* spot = dynamic_cast<SpotTheDifferenceGameSlot*>(&piece);
    return spot != nullptr ? &spot->manager : nullptr;
}

void SpotTheDifferenceGameMngr::OnObjectGoing(Object* going) {
    if (going == heldObject) {
        heldObject = nullptr;
    }
    MiniGameManager::OnObjectGoing(going);
}

bool SpotTheDifferenceGameMngr::WinTest() {
    const bool allFound = std::all_of(pieces.begin(), pieces.end(), [](const Object* spot) {
        return static_cast<const SpotTheDifferenceGameSlot*>(spot)->found;
    });
    if (allFound) {
        for (Object* spot : pieces) {
            spot->dead = true;
        }
    }
    return allFound;
}

bool SpotTheDifferenceGameMngr::AcceptsLeave() const {
    return MiniGameManager::AcceptsLeave() && ModalLevel != nullptr && ModalLevel->blendFinished;
}

std::string SpotTheDifferenceGameMngr::CounterText() const {
    return std::string(StringTable::Translate("str.differencesleft")) + ": " +
           std::to_string(differencesLeft);
}

uint32_t SpotTheDifferenceGameMngr::CounterAlpha(float alpha) {
    if (alpha >= 1.0f) {
        return 255;
    }
    if (alpha <= 0.0f) {
        return 0;
    }
    return static_cast<uint32_t>(alpha * 255.0f + 0.5f);
}

void SpotTheDifferenceGameMngr::Draw() {
    if (ModalLevel == nullptr || !ModalLevel->blendFinished) {
        return;
    }
    if (TooltipFont == nullptr) {
        DebugLog("%s", "No tool-tip font: the differences left are not shown\n");
        return;
    }
    const auto* sprite = dynamic_cast<const RenderChunk*>(GetChunk(FourCC("SPRT"), 0));
    const float alpha = sprite != nullptr ? sprite->alpha : 1.0f;
    TooltipFont->DrawText(CounterText(), kCounterX, kCounterY, kCounterDepth,
                          (CounterAlpha(alpha) << 24) | kWhite);
}
