#include "puzzles/SwitchPuzzle.h"

#include "engine/Exception.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/fx/FxReplace.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace {

constexpr std::string_view kGestureElement = "GestureGameElement";

} // namespace

// ---------------------------------------------------------------------------------------------
// SwitchPuzzleChunk

SwitchPuzzleChunk::SwitchPuzzleChunk(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<SwitchPuzzleChunk>*>(this), 0, 0);
}

void SwitchPuzzleChunk::SetProperty(const ParconCursor& cursor) {
    GameAnim::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "ID") {
            currentId = homeId = key.NextInt(true, 0);
        }
    });
}

FxPiece* SwitchPuzzleChunk::BusyManager() {
    return static_cast<SwitchPuzzleMngr*>(manager.Get());
}

void SwitchPuzzleChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    auto* game = static_cast<SwitchPuzzleMngr*>(manager.Get());
    if (game == nullptr || !game->started || game->finished || MiniGameManager::LeaveRequested() ||
        MiniGameManager::PressOnPiece(*this, id, param) != 1) {
        return;
    }
    game->TileClicked(*this);
}

bool SwitchPuzzleChunk::Update(float dt) {
    GameAnim::Update(dt);
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->alpha = selected != 0 ? 0.5f : 1.0f;
    }
    return true;
}

void SwitchPuzzleChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameAnim::OnObjectGoing(going);
}

// ---------------------------------------------------------------------------------------------
// SwitchPuzzleMngr

SwitchPuzzleMngr::SwitchPuzzleMngr(ObjectsManager* owner) : MiniGameManager(owner, 0.5f) {
    Object::SetCreator(static_cast<OCreator<SwitchPuzzleMngr>*>(this), 0, 0);
}

void SwitchPuzzleMngr::SetProperty(const ParconCursor&) {
    const bool first = pieces.empty();
    CollectPieces(SwitchPuzzleChunk::kClassName);
    if (!first || owner == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& object : owner->Objects()) {
        if (object != nullptr && object->GetClassName() == kGestureElement) {
            gestureElements.push_back(object.get());
        }
    }
    // Every swap and the win look tiles up by id: each place must have exactly one.
    const auto places = static_cast<std::size_t>(rows * columns);
    std::vector<int> seen(places, 0);
    bool whole = pieces.size() == places;
    for (const Object* piece : pieces) {
        const int32_t id = static_cast<const SwitchPuzzleChunk*>(piece)->homeId;
        if (id < 0 || static_cast<std::size_t>(id) >= places ||
            ++seen[static_cast<std::size_t>(id)] > 1) {
            whole = false;
        }
    }
    if (!whole) {
        const std::string scene = owner->ReadingPath();
        throw Exception("%s: the switch puzzle needs %zu tiles with the ids 0 to %zu, each once",
                        MessagePart(scene.empty() ? "a scene" : scene).c_str(), places, places - 1);
    }
}

ManagerLink* SwitchPuzzleMngr::LinkOf(Object& piece) {
    auto* tile = dynamic_cast<SwitchPuzzleChunk*>(&piece);
    return tile != nullptr ? &tile->manager : nullptr;
}

void SwitchPuzzleMngr::OnObjectGoing(Object* going) {
    MiniGameManager::OnObjectGoing(going);
    std::erase(gestureElements, going);
}

SwitchPuzzleChunk* SwitchPuzzleMngr::TileAt(int32_t id) const {
    for (Object* piece : pieces) {
        auto* tile = static_cast<SwitchPuzzleChunk*>(piece);
        if (tile->currentId == id) {
            return tile;
        }
    }
    return nullptr;
}

void SwitchPuzzleMngr::SwapDirectly(int32_t first, int32_t second) {
    SwitchPuzzleChunk* a = TileAt(first);
    SwitchPuzzleChunk* b = TileAt(second);
    if (a == nullptr || b == nullptr || a == b) {
        return;
    }
    PositionChunk* positionA = PositionOf(*a);
    PositionChunk* positionB = PositionOf(*b);
    if (positionA != nullptr && positionB != nullptr) {
        std::swap(positionA->x, positionB->x);
        std::swap(positionA->y, positionB->y);
    }
    std::swap(a->currentId, b->currentId);
}

void SwitchPuzzleMngr::Shuffle() {
    const int32_t last = rows * columns - 1;
    const auto draw = [last] { return Random() % last; };
    int32_t i = draw();
    SwapDirectly(i, i > columns ? i - columns : i);
    for (int n = 0; n < kShuffleSwaps; ++n) {
        i = draw();
        SwapDirectly(i, i < last - columns ? i + columns : i);
    }
    for (int n = 0; n < kShuffleSwaps; ++n) {
        i = draw();
        SwapDirectly(i, i < last - 1 ? i + 1 : i);
    }
}

void SwitchPuzzleMngr::BeforeWinTest(float dt) {
    elapsed += dt;
    if (!started && elapsed >= kShuffleTime) {
        Shuffle();
        started = true;
    }
}

bool SwitchPuzzleMngr::WinTest() {
    return started && std::all_of(pieces.begin(), pieces.end(), [](const Object* piece) {
               const auto* tile = static_cast<const SwitchPuzzleChunk*>(piece);
               return tile->currentId == tile->homeId;
           });
}

bool SwitchPuzzleMngr::Update(float dt) {
    // The sparks come at the end of the delay, not with the win; a game left has none.
    if (finished && winDelay <= 0.0f && !sparked && !CloseFlagSet()) {
        sparked = true;
        SpawnBorderSparks();
    }
    return MiniGameManager::Update(dt);
}

void SwitchPuzzleMngr::ClearSelection() {
    for (Object* piece : pieces) {
        static_cast<SwitchPuzzleChunk*>(piece)->selected = 0;
    }
    selection.clear();
}

void SwitchPuzzleMngr::TileClicked(SwitchPuzzleChunk& tile) {
    if (swapping) {
        return;
    }
    const int32_t clicked = tile.currentId;
    if (selection.empty()) {
        tile.selected = 1;
        selection.push_back(clicked);
        return;
    }
    const int32_t first = selection.front();
    // Rows are told apart by whole division by the columns, so the end of one row and the start
    // of the next are not neighbours.
    const bool inLine =
        first % columns == clicked % columns || first / columns == clicked / columns;
    const bool beside = clicked == first - 1 || clicked == first + 1 ||
                        clicked == first - columns || clicked == first + columns;
    if (!inLine || !beside) {
        ClearSelection();
        return;
    }
    tile.selected = 1;
    selection.push_back(clicked);
    SwitchPuzzleChunk* a = TileAt(selection[0]);
    SwitchPuzzleChunk* b = TileAt(selection[1]);
    ClearSelection();
    if (owner == nullptr || a == nullptr || b == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("FxReplace", true);
    auto* exchange = dynamic_cast<FxReplace*>(created.get());
    if (exchange == nullptr) {
        return;
    }
    exchange->a = a;
    exchange->b = b;
    owner->AddObject(std::move(created));
    exchange->ResolveDependencies();
}

bool SwitchPuzzleMngr::AcceptsLeave() const {
    const bool itemHeld = GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
                          !GameLevel->levelSystem->heldItemName.empty();
    return MiniGameManager::AcceptsLeave() && started && !itemHeld && ModalLevel != nullptr &&
           ModalLevel->blendFinished;
}

void SwitchPuzzleMngr::Leave() {
    MiniGameManager::Leave();
    DropHeldTool();
}
