#include "puzzles/MapPlacement.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"
#include "world/Player.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr int kFullVolume = 100;
constexpr const char* kPlaceParticles = "gfx/fx/collectible2.prt";

bool LeftPressInside(Object& object, uint32_t id, uint32_t param) {
    if (id != kLeftDown || param != KeyboardSystem::kPressed) {
        return false;
    }
    const auto* collision = dynamic_cast<const CollisionChunk*>(object.GetChunk(FourCC("COLI"), 0));
    return collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// PuzzleGameChunk

PuzzleGameChunk::PuzzleGameChunk(ObjectsManager* owner) : UIBitmapButton(owner) {
    Object::SetCreator(static_cast<OCreator<PuzzleGameChunk>*>(this), 0, 0);
    clickSound = "pick1";
}

void PuzzleGameChunk::SetProperty(const ParconCursor& cursor) {
    UIBitmapButton::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "vec") {
            ParconCursor entry = values;
            while (entry.Next()) {
                const std::optional<ParconList> list = entry.GetList();
                if (!list) {
                    continue;
                }
                ParconCursor axis(list, 0);
                const std::string name = axis.GetListName();
                if (name == "x") {
                    offsetX = axis.NextFloat(true, 0.0f);
                } else if (name == "y") {
                    offsetY = axis.NextFloat(true, 0.0f);
                }
            }
        } else if (key == "clickSoundName") {
            clickSound = values.NextString(true, "");
        } else {
            return false;
        }
        return true;
    });
}

PuzzleGameMngr* PuzzleGameChunk::Manager() const {
    return static_cast<PuzzleGameMngr*>(manager.Get());
}

void PuzzleGameChunk::SetGroupDepth(float depth) {
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->zOrder = depth;
    }
    for (PuzzleGameChunk* member : group) {
        if (SpriteRenderChunk* sprite = SpriteOf(*member)) {
            sprite->zOrder = depth;
        }
    }
}

void PuzzleGameChunk::Join(PuzzleGameChunk& first, PuzzleGameChunk& second) {
    std::vector<PuzzleGameChunk*> joined = {&first, &second};
    for (PuzzleGameChunk* side : {&first, &second}) {
        for (PuzzleGameChunk* member : side->group) {
            if (std::find(joined.begin(), joined.end(), member) == joined.end()) {
                joined.push_back(member);
            }
        }
    }
    for (PuzzleGameChunk* member : joined) {
        for (PuzzleGameChunk* other : joined) {
            if (other == member) {
                continue;
            }
            const bool named = std::any_of(
                member->group.begin(), member->group.end(),
                [other](const PuzzleGameChunk* kept) { return kept->visName == other->visName; });
            if (!named) {
                member->group.push_back(other);
            }
        }
    }
}

void PuzzleGameChunk::PutDown(PuzzleGameMngr& game) {
    const PositionChunk* mine = PositionOf(*this);
    if (mine != nullptr) {
        // Copied first: joining grows the lists being walked.
        const std::vector<Object*> pieces = game.Pieces();
        for (Object* object : pieces) {
            auto* other = static_cast<PuzzleGameChunk*>(object);
            const PositionChunk* theirs = PositionOf(*other);
            if (other == this || other->dead || theirs == nullptr) {
                continue;
            }
            const float fitX = mine->x - offsetX + other->offsetX;
            const float fitY = mine->y - offsetY + other->offsetY;
            if (std::hypot(theirs->x - fitX, theirs->y - fitY) < kJoinDistance) {
                Join(*this, *other);
            }
        }
    }
    SetGroupDepth(kLyingDepth);
    game.held = nullptr;
}

void PuzzleGameChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    PuzzleGameMngr* game = Manager();
    if (game == nullptr || game->finished || MiniGameManager::LeaveRequested() ||
        !LeftPressInside(*this, id, param)) {
        return;
    }
    if (game->held != this) {
        if (dead) {
            game->held = nullptr;
            return;
        }
        game->held = this;
        SetGroupDepth(kCarriedDepth);
        return;
    }
    PutDown(*game);
}

bool PuzzleGameChunk::Update(float dt) {
    UIBitmapButton::Update(dt);
    const PuzzleGameMngr* game = Manager();
    PositionChunk* mine = PositionOf(*this);
    if (game == nullptr || game->held != this || mine == nullptr) {
        return true;
    }
    mine->x = Mouse.x;
    mine->y = Mouse.y;
    for (PuzzleGameChunk* member : group) {
        PositionChunk* theirs = PositionOf(*member);
        if (member->dead || theirs == nullptr) {
            continue;
        }
        theirs->x = Mouse.x - offsetX + member->offsetX;
        theirs->y = Mouse.y - offsetY + member->offsetY;
    }
    return true;
}

void PuzzleGameChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    std::erase(group, going);
    UIBitmapButton::OnObjectGoing(going);
}

// ---------------------------------------------------------------------------------------------
// PuzzleGameSlot

PuzzleGameSlot::PuzzleGameSlot(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<PuzzleGameSlot>*>(this), 0, 0);
    SetClickSound("pick1");
}

void PuzzleGameSlot::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "requires") {
            requiredPiece = key.NextString(true, "");
        } else if (name == "regionFromCenter") {
            auto& region = RequireChunk<CollisionChunk>(FourCC("COLI"));
            region.left = -kHalfRegion;
            region.right = kHalfRegion;
            region.top = -kHalfRegion;
            region.bottom = kHalfRegion;
        }
    });
}

void PuzzleGameSlot::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

void PuzzleGameSlot::Fill() {
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->alpha = 1.0f;
        sprite->visible = true;
    }
    filled = true;
}

void PuzzleGameSlot::OnMessage(const void*, uint32_t id, uint32_t param) {
    auto* game = static_cast<PuzzleGameMngr*>(manager.Get());
    if (game == nullptr || game->finished || filled || MiniGameManager::LeaveRequested() ||
        !LeftPressInside(*this, id, param)) {
        return;
    }
    const PuzzleGameChunk* held = game->held;
    if (held == nullptr || held->dead || held->visName.empty() || held->visName != requiredPiece) {
        return;
    }
    game->PlaceHeld(*this);
}

// ---------------------------------------------------------------------------------------------
// PuzzleGameMngr

PuzzleGameMngr::PuzzleGameMngr(ObjectsManager* owner) : MiniGameManager(owner, 1.0f) {
    Object::SetCreator(static_cast<OCreator<PuzzleGameMngr>*>(this), 0, 0);
}

void PuzzleGameMngr::SetProperty(const ParconCursor&) {
    // A manager whose definition and scene entry both carry "Data" is read twice.
    if (collected || owner == nullptr) {
        return;
    }
    collected = true;
    owner->AddRemovalListener(this);
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object == this) {
            continue;
        }
        const std::string className = object->GetClassName();
        if (className == PuzzleGameChunk::kClassName) {
            auto& piece = static_cast<PuzzleGameChunk&>(*object);
            piece.manager.Attach(piece, *this);
            pieces.push_back(&piece);
        } else if (className == PuzzleGameSlot::kClassName) {
            auto& place = static_cast<PuzzleGameSlot&>(*object);
            place.manager.Attach(place, *this);
            slots.push_back(&place);
        }
    }
}

ManagerLink* PuzzleGameMngr::LinkOf(Object& piece) {
    auto* chunk = dynamic_cast<PuzzleGameChunk*>(&piece);
    return chunk != nullptr ? &chunk->manager : nullptr;
}

bool PuzzleGameMngr::WinTest() {
    return std::all_of(slots.begin(), slots.end(),
                       [](const PuzzleGameSlot* slot) { return slot->filled; });
}

bool PuzzleGameMngr::Update(float dt) {
    if (finished) {
        return false;
    }
    if (!WinTest()) {
        return true;
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (GameLevel == nullptr || ModalLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("%s", "The map is complete without a game level, mini-game or profile: no flag "
                       "and no map pieces taken\n");
    } else {
        CurrentPlayer->SetFlag(GameLevel->GetName(), ModalLevel->GetName() + "_completed", 1);
        // A map won with fewer than ten pieces leaves none, never a debt.
        const int32_t taken = std::clamp(CurrentPlayer->GetMapPieces(), 0, kMapPieces);
        CurrentPlayer->AddMapPieces(-taken, true);
    }
    Sounds.PlayByName("map_complete", false, kFullVolume, 0);
    finished = true;
    RequestLeave();
    return false;
}

void PuzzleGameMngr::OnObjectGoing(Object* going) {
    MiniGameManager::OnObjectGoing(going);
    std::erase(slots, going);
    if (held == going) {
        held = nullptr;
    }
}

void PuzzleGameMngr::PlaceName(const std::string& name) {
    for (PuzzleGameSlot* slot : slots) {
        if (slot->visName == name && !slot->dead) {
            slot->Fill();
        }
    }
    std::erase_if(pieces,
                  [&name](const Object* piece) { return piece->visName == name && piece->dead; });
}

void PuzzleGameMngr::PlaceHeld(PuzzleGameSlot& slot) {
    PuzzleGameChunk& carried = *held;
    for (PuzzleGameChunk* member : carried.group) {
        if (!member->dead) {
            member->dead = true;
            PlaceName(member->visName);
        }
    }
    carried.dead = true;
    PlaceName(carried.visName);
    held = nullptr;
    Sounds.PlayByName("paper_place", false, kFullVolume, 0);
    slot.Fill();
    if (const PositionChunk* position = PositionOf(slot)) {
        SpawnParticles(slot.owner, kPlaceParticles, position->x, position->y, 0.1f, 3.0f);
    }
}
