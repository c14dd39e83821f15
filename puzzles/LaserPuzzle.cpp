#include "puzzles/LaserPuzzle.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/BoardFile.h"
#include "world/FxBlend.h"
#include "world/GameAnim.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr int kFullVolume = 100;
constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kRightDown = FourCC("RMBD");

// The reflections; any other pair of mirror angle and incoming direction makes no walk.
constexpr std::array<LaserReflection, 11> kReflections = {{
    {0.0f, 0.0f, 0, -1, false, 0.0f, {0.0f, 90.0f}},
    {0.0f, 90.0f, 0, -1, false, 0.0f, {0.0f, 90.0f}},
    {0.0f, 180.0f, -1, 0, true, 270.0f, {0.0f, 270.0f}},
    {90.0f, 90.0f, 0, -1, false, 0.0f, {0.0f, 90.0f}},
    {90.0f, 180.0f, 1, 0, true, 90.0f, {90.0f, 180.0f}},
    {90.0f, 270.0f, 0, -1, false, 0.0f, {0.0f, 90.0f}},
    {180.0f, 0.0f, 1, 0, true, 90.0f, {90.0f, 180.0f}},
    {180.0f, 90.0f, 1, 0, false, 270.0f, {180.0f, 270.0f}},
    {180.0f, 270.0f, 0, 1, false, 180.0f, {180.0f, 270.0f}},
    {270.0f, 0.0f, -1, 0, true, 270.0f, {0.0f, 270.0f}},
    {270.0f, 90.0f, 0, 1, false, 180.0f, {180.0f, 270.0f}},
}};

SpriteRenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

bool Pressed(uint32_t id, uint32_t param, uint32_t button) {
    return id == button && param == KeyboardSystem::kPressed;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// LaserPuzzleMirrorChunk

LaserPuzzleMirrorChunk::LaserPuzzleMirrorChunk(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<LaserPuzzleMirrorChunk>*>(this), 0, 0);
}

LaserPuzzleMngr* LaserPuzzleMirrorChunk::Manager() const {
    return dynamic_cast<LaserPuzzleMngr*>(manager.Get());
}

void LaserPuzzleMirrorChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

float LaserPuzzleMirrorChunk::Turn() const {
    const auto* position = dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    return position != nullptr ? position->rotation : 0.0f;
}

void LaserPuzzleMirrorChunk::SetDepth(float depth) {
    if (RenderChunk* sprite = Sprite()) {
        sprite->zOrder = depth;
    }
}

void LaserPuzzleMirrorChunk::MoveTo(float x, float y) {
    if (PositionChunk* position = PositionOf(*this)) {
        position->x = x;
        position->y = y;
    }
}

void LaserPuzzleMirrorChunk::Rotate() {
    LaserPuzzleMngr* game = Manager();
    if (game == nullptr || game->finished || game->carried != this) {
        return;
    }
    if (PositionChunk* position = PositionOf(*this)) {
        position->rotation = std::fmod(position->rotation + 90.0f, 360.0f);
    }
}

void LaserPuzzleMirrorChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    LaserPuzzleMngr* game = Manager();
    if (game == nullptr || manager.Finished() || MiniGameManager::LeaveRequested()) {
        return;
    }
    if (Pressed(id, param, kRightDown)) {
        Rotate();
        return;
    }
    if (!Pressed(id, param, kLeftDown)) {
        return;
    }
    const CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    const bool canPlace = game->CanPlaceMirror(Mouse.x, Mouse.y);
    float column = 0.0f;
    float row = 0.0f;
    game->CellFromPoint(Mouse.x, Mouse.y, column, row);
    const int c = static_cast<int>(column);
    const int r = static_cast<int>(row);
    if (game->carried == nullptr) {
        if (!placed) {
            game->carried = this;
            SetDepth(kCarriedDepth);
            return;
        }
        // The cell under the mouse may lie off the board when the click area reaches past it.
        LaserCell* cell = game->CellAt(c, r);
        if (cell == nullptr || !cell->mirror) {
            return;
        }
        cell->mirror = false;
        cell->mirrorAngle = 0.0f;
        placed = false;
        SetDepth(kLiftedDepth);
        game->carried = this;
        game->ClearBeam(c, r);
        game->ClearAllBeams();
        return;
    }
    if (game->carried != this) {
        return;
    }
    if (!canPlace) {
        SetDepth(kLyingDepth);
        game->carried = nullptr;
        return;
    }
    game->ClearBeam(c, r);
    game->ClearAllBeams();
    SetDepth(kLyingDepth);
    MoveTo(game->CentreX(c), game->CentreY(r));
    LaserCell* cell = game->CellAt(c, r);
    cell->mirror = true;
    cell->mirrorAngle = Turn();
    placed = true;
    game->carried = nullptr;
    Sounds.PlayByName("refract_light", false, kFullVolume, 0);
}

bool LaserPuzzleMirrorChunk::Update(float) {
    const LaserPuzzleMngr* game = Manager();
    if (game != nullptr && !game->finished && game->carried == this) {
        MoveTo(Mouse.x, Mouse.y);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// LaserPuzzleMngr

LaserPuzzleMngr::LaserPuzzleMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<LaserPuzzleMngr>*>(this), 0, 0);
}

LaserPuzzleMngr::~LaserPuzzleMngr() = default;

void LaserPuzzleMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "definition" && !boardRead) {
            ReadBoard(key.NextString(true, ""));
        }
    });
    CollectPieces(LaserPuzzleMirrorChunk::kClassName);
    if (fadeStarted) {
        return;
    }
    fadeStarted = true;
    // The scene's pieces fade in from the game level, as the other mini-game screens do theirs.
    if (GameLevel == nullptr) {
        DebugLog("%s", "No game level: the mirrors start without their fade-in\n");
        return;
    }
    std::unique_ptr<Object> created = GameLevel->CreateObject("FxBlendIn", true);
    auto* blend = dynamic_cast<FxBlendIn*>(created.get());
    if (blend == nullptr) {
        DebugLog("%s", "FxBlendIn is not a blend: the mirrors start without their fade-in\n");
        return;
    }
    GameLevel->AddObject(std::move(created));
    blend->Start("PUZZ", 0.0f, 2.0f);
}

ManagerLink* LaserPuzzleMngr::LinkOf(Object& piece) {
    auto* mirror = dynamic_cast<LaserPuzzleMirrorChunk*>(&piece);
    return mirror != nullptr ? &mirror->manager : nullptr;
}

void LaserPuzzleMngr::OnObjectGoing(Object* going) {
    if (going == carried) {
        carried = nullptr;
    }
    if (boardObjects.contains(going)) {
        boardObjectGone = true;
    }
    MiniGameManager::OnObjectGoing(going);
}

float LaserPuzzleMngr::CentreX(int column) const {
    const int32_t size = static_cast<int32_t>(cellSize);
    return static_cast<float>(offsetX + column * size) + cellSize * 0.5f;
}

float LaserPuzzleMngr::CentreY(int row) const {
    const int32_t size = static_cast<int32_t>(cellSize);
    return static_cast<float>(offsetY + row * size) + cellSize * 0.5f;
}

GameAnim* LaserPuzzleMngr::MakeBoardAnim(int column, int row) {
    std::unique_ptr<Object> created = owner->CreateObject("GameAnim", true);
    auto* anim = dynamic_cast<GameAnim*>(created.get());
    if (anim == nullptr) {
        throw Exception("%s", "GameAnim is not a scene animation: the mirror board cannot be built");
    }
    // The class alone brings no chunks; a definition of that name may.
    for (const char* system : {"POSI", "SPRT"}) {
        if (anim->GetChunk(FourCC(system), 0) == nullptr) {
            anim->AddToSystem(owner->FindSystem(FourCC(system)), 0);
        }
    }
    anim->ResolveDependencies();
    anim->code = FourCC("PUZZ");
    // The manager alone shows and hides the board's pictures: no flags decide them.
    anim->stateTimer = std::numeric_limits<float>::infinity();
    boardObjects.insert(anim);
    owner->AddObject(std::move(created));
    if (PositionChunk* position = PositionOf(*anim)) {
        position->x = CentreX(column);
        position->y = CentreY(row);
    }
    return anim;
}

void LaserPuzzleMngr::ReadBoard(const std::string& fileName) {
    static const BoardLayout kLayout{{}, true, "EWGL"};
    Board board;
    board.offsetX = offsetX;
    board.offsetY = offsetY;
    ReadBoardFile(fileName, kLayout, board);
    if (owner == nullptr) {
        throw Exception("%s: the mirror board has no scene", fileName.c_str());
    }
    boardRead = true;
    offsetX = board.offsetX;
    offsetY = board.offsetY;
    columns = board.columns;
    rows = board.rows;
    const auto width = static_cast<std::size_t>(columns);
    const auto height = static_cast<std::size_t>(rows);
    cells.assign(width, std::vector<LaserCell>(height));
    beamPieces.assign(width, std::vector<GameAnim*>(height, nullptr));
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < columns; ++column) {
            LaserCell& cell = cells[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
            switch (board.Cell(column, row)) {
            case 'W':
                cell.wall = true;
                break;
            case 'G':
                cell.crystal = true;
                break;
            case 'L':
                cell.source = true;
                sourceColumn = column;
                sourceRow = row;
                break;
            default:
                break;
            }
        }
    }
    const auto size = static_cast<int32_t>(cellSize);
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            LaserCell& cell = cells[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
            GameAnim* anim = MakeBoardAnim(column, row);
            if (cell.crystal) {
                if (SpriteRenderChunk* sprite = SpriteOf(*anim)) {
                    sprite->player.Load(kObjectsFile);
                    sprite->player.Play("crystal_off", true, true, true, 0.0f);
                    sprite->zOrder = kCrystalDepth;
                }
            }
            cell.object = anim;
            cell.left = offsetX + column * size;
            cell.top = offsetY + row * size;
        }
    }
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            GameAnim* piece = MakeBoardAnim(column, row);
            if (SpriteRenderChunk* sprite = SpriteOf(*piece)) {
                sprite->player.Load(kObjectsFile);
                sprite->player.Play("idle", false, true, true, 0.0f);
                sprite->visible = false;
                sprite->zOrder = kBeamDepth;
            }
            beamPieces[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = piece;
        }
    }
    if (GameAnim* source = BeamPiece(sourceColumn, sourceRow)) {
        source->code = FourCC("DDDD");
        if (SpriteRenderChunk* sprite = SpriteOf(*source)) {
            sprite->alpha = 0.0f;
        }
    }
}

void LaserPuzzleMngr::CellFromPoint(float x, float y, float& column, float& row) const {
    column = std::trunc((x - static_cast<float>(offsetX)) / cellSize);
    row = std::trunc((y - static_cast<float>(offsetY)) / cellSize);
}

LaserCell* LaserPuzzleMngr::CellAt(int column, int row) {
    if (column < 0 || row < 0 || column >= columns || row >= rows) {
        return nullptr;
    }
    return &cells[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

const LaserCell* LaserPuzzleMngr::CellAt(int column, int row) const {
    return const_cast<LaserPuzzleMngr*>(this)->CellAt(column, row);
}

GameAnim* LaserPuzzleMngr::BeamPiece(int column, int row) const {
    if (boardObjectGone || column < 0 || row < 0 || column >= columns || row >= rows) {
        return nullptr;
    }
    return beamPieces[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

bool LaserPuzzleMngr::CanPlaceMirror(float x, float y) const {
    float column = 0.0f;
    float row = 0.0f;
    CellFromPoint(x, y, column, row);
    const LaserCell* cell = CellAt(static_cast<int>(column), static_cast<int>(row));
    return cell != nullptr && !cell->source && !cell->crystal && !cell->mirror && !cell->wall;
}

void LaserPuzzleMngr::ClearBeam(int column, int row) {
    LaserCell* cell = CellAt(column, row);
    if (cell == nullptr) {
        return;
    }
    if (GameAnim* piece = BeamPiece(column, row)) {
        if (SpriteRenderChunk* sprite = SpriteOf(*piece)) {
            sprite->visible = false;
        }
    }
    cell->lit = false;
    cell->beamCount = 0;
    cell->beamDirection = -1.0f;
}

void LaserPuzzleMngr::ClearAllBeams() {
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            ClearBeam(column, row);
        }
    }
}

const LaserReflection* LaserPuzzleMngr::FindReflection(float mirrorAngle, float incoming) {
    for (const LaserReflection& reflection : kReflections) {
        if (reflection.angle == mirrorAngle && reflection.incoming == incoming) {
            return &reflection;
        }
    }
    return nullptr;
}

void LaserPuzzleMngr::traceBeam(int column, int row, float mirrorAngle) {
    const LaserCell* start = CellAt(column, row);
    const LaserReflection* walk =
        start != nullptr ? FindReflection(mirrorAngle, start->beamDirection) : nullptr;
    if (walk != nullptr) {
        bool stopped = false;
        for (int c = column, r = row; CellAt(c, r) != nullptr; c += walk->dx, r += walk->dy) {
            LaserCell& cell = *CellAt(c, r);
            if (cell.wall || (walk->stopsAtSource && cell.source)) {
                break;
            }
            if (stopped) {
                continue;
            }
            cell.lit = true;
            ++cell.beamCount;
            if (cell.beamDirection < 0.0f) {
                cell.beamDirection = walk->direction;
            }
            if ((c != column || r != row) && cell.mirror) {
                const bool blocked = cell.mirrorAngle == walk->blocking[0] ||
                                     cell.mirrorAngle == walk->blocking[1];
                if (blocked && cell.beamCount < 2) {
                    cell.lit = false;
                }
                stopped = true;
            }
        }
    }
    for (std::vector<LaserCell>& line : cells) {
        for (LaserCell& cell : line) {
            cell.drawnAngle = cell.mirror ? cell.mirrorAngle : cell.beamDirection;
        }
    }
}

void LaserPuzzleMngr::UpdateBeams() {
    for (std::vector<LaserCell>& line : cells) {
        for (LaserCell& cell : line) {
            if (cell.crystal && cell.object != nullptr && !boardObjectGone) {
                if (SpriteRenderChunk* sprite = SpriteOf(*cell.object)) {
                    sprite->player.Play(cell.lit ? "crystal_on" : "crystal_off", true, true, true,
                                        0.0f);
                }
            }
            cell.beamCount = 0;
        }
    }
    if (CellAt(sourceColumn, sourceRow) == nullptr) {
        return;
    }
    // The source beam, straight up.
    bool stopped = false;
    for (int row = sourceRow; row >= 0; --row) {
        LaserCell& cell = *CellAt(sourceColumn, row);
        if (cell.wall || (cell.lit && cell.mirrorAngle == 90.0f && cell.beamDirection == 270.0f)) {
            break;
        }
        if (!stopped) {
            cell.lit = true;
            ++cell.beamCount;
            cell.beamDirection = 0.0f;
            cell.drawnAngle = 0.0f;
        }
        if (row != sourceRow && cell.mirror) {
            if (cell.mirrorAngle == 0.0f || cell.mirrorAngle == 90.0f) {
                cell.lit = false;
                cell.beamCount = 0;
            }
            stopped = true;
        }
    }
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            const LaserCell& cell = *CellAt(column, row);
            if (cell.mirror && cell.lit) {
                traceBeam(column, row, cell.mirrorAngle);
            }
        }
    }
    const float pulse = 0.8f + 0.2f * std::sin(10.0f * elapsed);
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            const LaserCell& cell = *CellAt(column, row);
            GameAnim* piece = BeamPiece(column, row);
            if (!cell.lit || piece == nullptr) {
                continue;
            }
            SpriteRenderChunk* sprite = SpriteOf(*piece);
            PositionChunk* position = PositionOf(*piece);
            if (sprite == nullptr || position == nullptr) {
                continue;
            }
            sprite->visible = true;
            if (cell.mirror) {
                position->rotation = cell.drawnAngle + 180.0f;
                sprite->player.Play("idle2", true, false, true, 0.0f);
            } else {
                position->rotation = cell.drawnAngle;
                sprite->player.Play(cell.beamCount < 2 ? "idle" : "cross", true, false, true, 0.0f);
            }
            sprite->alpha = cell.source ? 0.0f : pulse;
        }
    }
}

void LaserPuzzleMngr::BeforeWinTest(float dt) {
    UpdateBeams();
    elapsed += dt;
}

bool LaserPuzzleMngr::WinTest() {
    for (const std::vector<LaserCell>& line : cells) {
        for (const LaserCell& cell : line) {
            if (cell.crystal && !cell.lit) {
                return false;
            }
        }
    }
    return true;
}

void LaserPuzzleMngr::Leave() {
    MiniGameManager::Leave();
    if (ModalLevel != nullptr && ModalLevel->levelSystem != nullptr) {
        ModalLevel->levelSystem->leaveArmed = true;
    }
}

bool LaserPuzzleMngr::PressLeaves(float x, float y) const {
    if (y > kLowestLeave) {
        return false;
    }
    auto* sprite = dynamic_cast<const SpriteRenderChunk*>(SceneBackground->GetChunk(FourCC("SPRT"), 0));
    const FrameRect frame = sprite != nullptr ? sprite->player.GetFrameRect("idle") : FrameRect{};
    const float left = static_cast<float>(frame.left) - kBesideBackdrop;
    const float right = static_cast<float>(frame.right) + kBesideBackdrop;
    const float top = static_cast<float>(frame.top) - kAroundBackdrop;
    const float bottom = static_cast<float>(frame.bottom) + kAroundBackdrop;
    if (auto* collision =
            dynamic_cast<CollisionChunk*>(SceneBackground->GetChunk(FourCC("COLI"), 0))) {
        collision->left = left;
        collision->right = right;
        collision->top = top;
        collision->bottom = bottom;
    }
    const auto* position =
        dynamic_cast<const PositionChunk*>(SceneBackground->GetChunk(FourCC("POSI"), 0));
    const float originX = position != nullptr ? position->x : 0.0f;
    const float originY = position != nullptr ? position->y : 0.0f;
    const bool inside = x >= originX + left && x <= originX + right && y >= originY + top &&
                        y <= originY + bottom;
    return !inside;
}

void LaserPuzzleMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished || LeaveRequested()) {
        return;
    }
    // Without a backdrop no press leaves; Escape still does.
    if (Pressed(id, param, kLeftDown) && SceneBackground != nullptr) {
        if (PressLeaves(Mouse.x, Mouse.y)) {
            Leave();
        }
        return;
    }
    if (Keyboard.KeyPressed(kEscape)) {
        Leave();
        DropHeldTool();
    }
}
