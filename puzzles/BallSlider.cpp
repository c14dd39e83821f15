#include "puzzles/BallSlider.h"

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
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/BoardFile.h"
#include "puzzles/PuzzleSupport.h"
#include "puzzles/RotatingTiles.h"
#include "world/FxBlend.h"
#include "world/Level.h"

#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr int kFullVolume = 100;

struct Rect {
    float left, top, right, bottom;

    bool Contains(float x, float y) const {
        return left <= x && x <= right && top <= y && y <= bottom;
    }
};

// The backdrop's rectangle: the first frame of its "idle" animation where it stands.
std::optional<Rect> BackdropRect() {
    if (SceneBackground == nullptr) {
        return std::nullopt;
    }
    const PositionChunk* position = PositionOf(*SceneBackground);
    const SpriteRenderChunk* sprite = SpriteOf(*SceneBackground);
    if (position == nullptr || sprite == nullptr) {
        return std::nullopt;
    }
    const FrameRect frame = sprite->player.GetFrameRect("idle");
    return Rect{position->x + static_cast<float>(frame.left),
                position->y + static_cast<float>(frame.top),
                position->x + static_cast<float>(frame.right),
                position->y + static_cast<float>(frame.bottom)};
}

// Without a backdrop the game behaves as if one were shown.
bool BackdropShown() {
    const SpriteRenderChunk* sprite =
        SceneBackground != nullptr ? SpriteOf(*SceneBackground) : nullptr;
    return sprite == nullptr || sprite->alpha > SlyderMngr::kBackdropShown;
}

} // namespace

SlyderMngr::SlyderMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<SlyderMngr>*>(this), 0, 0);
}

void SlyderMngr::SetProperty(const ParconCursor& cursor) {
    // A manager whose definition and scene entry both carry "Data" makes its ball and fade once.
    if (built) {
        return;
    }
    std::string definition;
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "rollSound") {
            rollSound = key.NextString(true, "");
        } else if (name == "ballFileName") {
            ballFile = key.NextString(true, "");
        } else if (name == "arrowFileName") {
            arrowFile = key.NextString(true, "");
        } else if (name == "definition") {
            definition = key.NextString(true, "");
            ReadBoard(definition);
        }
    });
    if (definition.empty()) {
        return;
    }
    built = true;
    arrows.Load(arrowFile);
    MakeBalls(definition);
}

void SlyderMngr::ReadBoard(const std::string& path) {
    Board file;
    ReadBoardFile(path, BoardLayout{{}, true, "EOBDT"}, file);
    offsetX = file.offsetX;
    offsetY = file.offsetY;
    columns = file.columns;
    rows = file.rows;
    board.assign(static_cast<std::size_t>(columns),
                 std::vector<Cell>(static_cast<std::size_t>(rows)));
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            Cell& cell = board[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
            switch (file.Cell(column, row)) {
            case 'O':
                cell.open = false;
                cell.blocked = true;
                break;
            case 'B':
                cell.start = true;
                break;
            case 'D':
                cell.open = false;
                cell.drop = true;
                break;
            case 'T':
                cell.open = false;
                cell.target = true;
                break;
            default:
                break;
            }
        }
    }
}

void SlyderMngr::MakeBalls(const std::string& path) {
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (board[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)].drop) {
                goalColumn = static_cast<float>(column);
                goalRow = static_cast<float>(row);
            }
        }
    }
    if (owner == nullptr) {
        return;
    }
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (!board[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)].start) {
                continue;
            }
            std::unique_ptr<Object> created = owner->CreateObject("PuzzleChunk", true);
            auto* made = dynamic_cast<PuzzleChunk*>(created.get());
            if (made == nullptr) {
                throw Exception("%s: \"PuzzleChunk\" makes no ball", MessagePart(path).c_str());
            }
            // Without a definition of its own the ball still needs a place and a picture.
            for (const char* system : {"POSI", "SPRT"}) {
                if (made->GetChunk(FourCC(system), 0) == nullptr) {
                    if (System* found = owner->FindSystem(FourCC(system))) {
                        made->AddToSystem(found, 0);
                    }
                }
            }
            SpriteRenderChunk* sprite = SpriteOf(*made);
            if (sprite == nullptr) {
                throw Exception("%s: the ball has no sprite", MessagePart(path).c_str());
            }
            sprite->zOrder = kBallDepth;
            made->ResolveDependencies();
            if (PositionChunk* position = PositionOf(*made)) {
                const auto [x, y] = CellCentre(column, row);
                position->x = x;
                position->y = y;
            }
            sprite->player.Load(ballFile);
            sprite->player.Play("idle", true, false, true, 0.0f);
            sprite->scale = kBallScale;
            owner->AddObject(std::move(created));
            ball = made;
        }
    }
    // Nothing could be rolled or won without a ball.
    if (ball == nullptr) {
        throw Exception("%s: the ball slider's board has no start cell \"B\"",
                        MessagePart(path).c_str());
    }
    owner->AddRemovalListener(this);
    std::unique_ptr<Object> created = owner->CreateObject("FxBlendIn", true);
    auto* blend = dynamic_cast<FxBlendIn*>(created.get());
    if (blend == nullptr) {
        DebugLog("%s", "FxBlendIn is not a blend-in: the slider shows at once\n");
        return;
    }
    owner->AddObject(std::move(created));
    blend->ResolveDependencies();
    blend->Start("PUZZ", 0.0f, 2.0f);
}

void SlyderMngr::OnObjectGoing(Object* going) {
    MiniGameManager::OnObjectGoing(going);
    if (going == ball) {
        ball = nullptr;
    }
}

bool SlyderMngr::OnBoard(int32_t column, int32_t row) const {
    return column >= 0 && column < columns && row >= 0 && row < rows;
}

bool SlyderMngr::Blocked(int32_t column, int32_t row) const {
    return OnBoard(column, row) &&
           board[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)].blocked;
}

std::pair<int32_t, int32_t> SlyderMngr::CellAt(float x, float y) const {
    return {static_cast<int32_t>((x - static_cast<float>(offsetX)) / cellSize),
            static_cast<int32_t>((y - static_cast<float>(offsetY)) / cellSize)};
}

std::pair<float, float> SlyderMngr::CellCentre(int32_t column, int32_t row) const {
    return {static_cast<float>(offsetX) + static_cast<float>(column) * cellSize + kHalfCell,
            static_cast<float>(offsetY) + static_cast<float>(row) * cellSize + kHalfCell};
}

std::pair<int32_t, int32_t> SlyderMngr::BallCell() const {
    const PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    if (position == nullptr) {
        return {-1, -1};
    }
    return CellAt(position->x - kHalfCell, position->y - kHalfCell);
}

std::pair<float, float> SlyderMngr::RollTarget(float x, float y) const {
    const PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    if (position == nullptr) {
        return {x, y};
    }
    const auto [ballColumn, ballRow] = BallCell();
    const auto [column, row] = CellAt(x, y);
    if (row == ballRow && column > ballColumn) {
        int32_t stop = columns - 1;
        for (int32_t c = ballColumn; c < columns; ++c) {
            if (Blocked(c, row)) {
                stop = c - 1;
                break;
            }
        }
        return CellCentre(stop, row);
    }
    if (row == ballRow && column < ballColumn) {
        // Column 0 is never reached by rolling left: boards have their wall there.
        int32_t stop = 1;
        for (int32_t c = ballColumn; c >= 1; --c) {
            if (Blocked(c, row)) {
                stop = c + 1;
                break;
            }
        }
        return CellCentre(stop, row);
    }
    if (column == ballColumn && row > ballRow) {
        int32_t stop = rows - 1;
        for (int32_t r = ballRow; r < rows; ++r) {
            if (Blocked(column, r)) {
                stop = r - 1;
                break;
            }
        }
        return CellCentre(column, stop);
    }
    if (column == ballColumn && row < ballRow) {
        int32_t stop = 1;
        for (int32_t r = ballRow; r >= 1; --r) {
            if (Blocked(column, r)) {
                stop = r + 1;
                break;
            }
        }
        return CellCentre(column, stop);
    }
    return {position->x, position->y};
}

void SlyderMngr::PlayBall(const char* animation, bool loop) const {
    if (ball == nullptr) {
        return;
    }
    if (SpriteRenderChunk* sprite = SpriteOf(*ball)) {
        sprite->player.Play(animation, loop, false, true, 0.0f);
    }
}

bool SlyderMngr::BallNear(float x, float y) const {
    const PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    return position != nullptr && std::hypot(position->x - x, position->y - y) < kNear;
}

void SlyderMngr::Leave() {
    MiniGameManager::Leave();
    RequestLeave();
}

void SlyderMngr::Roll() {
    const PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    if (position == nullptr) {
        return;
    }
    const auto ballCell = BallCell();
    const auto mouseCell = CellAt(Mouse.x, Mouse.y);
    if (ballCell == mouseCell) {
        return;
    }
    const auto [x, y] = RollTarget(Mouse.x, Mouse.y);
    const bool inLine = ballCell.first == mouseCell.first || ballCell.second == mouseCell.second;
    if (x != position->x || y != position->y) {
        Sounds.PlayByName(rollSound, false, kFullVolume, 0);
    }
    if (inLine) {
        rollTargetX = x;
        rollTargetY = y;
        rolling = true;
    }
}

void SlyderMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished || LeaveRequested()) {
        return;
    }
    if (Keyboard.KeyPressed(kEscape)) {
        if (BackdropShown()) {
            Leave();
        }
        if (GameLevel != nullptr) {
            DropHeldTool();
        }
        return;
    }
    if (id != kLeftDown || param != KeyboardSystem::kPressed) {
        return;
    }
    // The whole screen is play without a backdrop; with one, a press well off it leaves, unless
    // the backdrop has faded or the press is on the HUD.
    if (const std::optional<Rect> backdrop = BackdropRect()) {
        const Rect widened{backdrop->left - kBackdropMargin, backdrop->top - kBackdropMargin,
                           backdrop->right + kBackdropMargin, backdrop->bottom + kBackdropMargin};
        if (auto* region =
                dynamic_cast<CollisionChunk*>(SceneBackground->GetChunk(FourCC("COLI"), 0))) {
            const PositionChunk& position = *PositionOf(*SceneBackground);
            region->left = widened.left - position.x;
            region->right = widened.right - position.x;
            region->top = widened.top - position.y;
            region->bottom = widened.bottom - position.y;
        }
        if (!widened.Contains(Mouse.x, Mouse.y) && BackdropShown() && Mouse.y < kHudTop) {
            Leave();
            return;
        }
    }
    if (!rolling) {
        Roll();
    }
}

void SlyderMngr::Hover() {
    arrowDirection.clear();
    const std::optional<Rect> backdrop = BackdropRect();
    if (rolling || finished || ball == nullptr || !backdrop ||
        !backdrop->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    const auto [ballColumn, ballRow] = BallCell();
    const auto [column, row] = CellAt(Mouse.x, Mouse.y);
    const auto open = [this](int32_t c, int32_t r) { return OnBoard(c, r) && !Blocked(c, r); };
    struct Way {
        bool taken;
        const char* direction;
        const char* animation;
    };
    const Way ways[] = {
        {column == ballColumn && row > ballRow && open(ballColumn, ballRow + 1), "Down",
         "exit_down"},
        {column == ballColumn && row < ballRow && open(ballColumn, ballRow - 1), "Up", "exit_up"},
        {row == ballRow && column > ballColumn && open(ballColumn + 1, ballRow), "Right",
         "exit_right"},
        {row == ballRow && column < ballColumn && open(ballColumn - 1, ballRow), "Left",
         "exit_left"},
    };
    for (const Way& way : ways) {
        if (way.taken) {
            arrowDirection = way.direction;
            arrows.Play(way.animation, true, false, true, 0.0f);
            return;
        }
    }
}

void SlyderMngr::CheckHoles() {
    if (ball == nullptr) {
        return;
    }
    if (goalColumn >= 0.0f) {
        const auto [x, y] =
            CellCentre(static_cast<int32_t>(goalColumn), static_cast<int32_t>(goalRow));
        if (BallNear(x, y)) {
            if (!fallen) {
                fallen = true;
                PlayBall("complete", false);
                Sounds.PlayByName("ball_fall", false, kFullVolume, 0);
                if (ModalLevel != nullptr) {
                    ModalLevel->won = true;
                }
            }
            finished = true;
            return;
        }
    }
    const auto [column, row] = BallCell();
    if (!OnBoard(column, row) ||
        !board[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)].target) {
        return;
    }
    const auto [x, y] = CellCentre(column, row);
    if (BallNear(x, y)) {
        if (!fallen) {
            fallen = true;
            PlayBall("complete", false);
            if (ModalLevel != nullptr) {
                ModalLevel->returnFlag = true;
            }
        }
        finished = true;
    }
}

void SlyderMngr::MoveBall(float dt) {
    PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    if (position == nullptr) {
        rolling = false;
        return;
    }
    if (!rolling) {
        PlayBall("idle", true);
        return;
    }
    PlayBall("roll", true);
    const float dx = rollTargetX - position->x;
    const float dy = rollTargetY - position->y;
    const float distance = std::hypot(dx, dy);
    const float step = kRollSpeed * dt;
    if (distance > step) {
        position->x += dx / distance * step;
        position->y += dy / distance * step;
    } else {
        position->x = rollTargetX;
        position->y = rollTargetY;
    }
    if (std::hypot(rollTargetX - position->x, rollTargetY - position->y) < kNear) {
        position->x = rollTargetX;
        position->y = rollTargetY;
        rolling = false;
        PlayBall("idle", true);
    }
}

bool SlyderMngr::Update(float dt) {
    Hover();
    arrows.Update(dt);
    if (!finished) {
        CheckHoles();
        if (!finished) {
            MoveBall(dt);
            return true;
        }
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (!CloseFlagSet()) {
        Sounds.PlayByName("game_won", false, kFullVolume, 0);
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
    }
    RequestLeave();
    return false;
}

void SlyderMngr::Draw() {
    const PositionChunk* position = ball != nullptr ? PositionOf(*ball) : nullptr;
    if (finished || LeaveRequested() || arrowDirection.empty() || position == nullptr) {
        return;
    }
    float x = position->x;
    float y = position->y;
    if (arrowDirection == "Up") {
        y -= kArrowReach;
    } else if (arrowDirection == "Down") {
        y += kArrowReach;
    } else if (arrowDirection == "Left") {
        x -= kArrowReach;
    } else {
        x += kArrowReach;
    }
    arrows.Draw(x, y, kBallDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
}
