#include "puzzles/WhackAMole.h"

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
#include "engine/Random.h"
#include "media/ParticleEmitter.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/BoardFile.h"
#include "puzzles/MiniGame.h"
#include "puzzles/PuzzleSupport.h"
#include "puzzles/SkillGameSupport.h"
#include "world/FxBlend.h"
#include "world/Level.h"

#include <memory>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr float kHammerTilt = -20.0f;

// r: a pseudo-random value in 0..1.
float Chance() {
    return static_cast<float>(Random()) / static_cast<float>(kRandomMax);
}

float Between(float from, float to) {
    return from + (to - from) * Chance();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// WhackAMoleCell

void WhackAMoleCell::Update(float dt) {
    if (!active) {
        progress = 0.0f;
        return;
    }
    progress = 1.0f - elapsed / duration;
    if (elapsed < duration) {
        elapsed += dt;
    } else {
        active = false;
    }
}

void WhackAMoleCell::Draw() {
    const float half = WhackAMoleMngr::kCellSize / 2.0f;
    player.Draw(static_cast<float>(x) + half, static_cast<float>(y) + half, 120.0f, 0.0f, progress,
                1.0f, 1.0f, 0.0f, 0xFFFFFFFF);
}

bool WhackAMoleCell::Contains(float px, float py) const {
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    return px > left && px < left + WhackAMoleMngr::kCellSize && py > top &&
           py < top + WhackAMoleMngr::kCellSize;
}

void WhackAMoleCell::UseTool(const std::string& tool, uint32_t id, uint32_t param) {
    if (manager == nullptr || manager->leaving || !spot || id != kLeftDown) {
        return;
    }
    if (tool == "water") {
        if (Contains(Mouse.x, Mouse.y) && !active) {
            active = true;
            // Watered, a spot stays lit up to twice its time.
            elapsed = -Between(0.0f, duration);
        }
        return;
    }
    if (tool != "hammer" || param != KeyboardSystem::kPressed || !active) {
        return;
    }
    if (progress > kScoreProgress) {
        active = false;
        --manager->spotsLeft;
        const float half = WhackAMoleMngr::kCellSize / 2.0f;
        SpawnParticles(manager->owner, "gfx/fx/green_glow_ring.prt", static_cast<float>(x) + half,
                       static_cast<float>(y) + half, 0.4f, 1.0f);
    }
    PlayFull("anvil_use");
}

// ---------------------------------------------------------------------------------------------
// WhackAMoleTool

WhackAMoleTool::WhackAMoleTool(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<WhackAMoleTool>*>(this), 0, 0);
}

WhackAMoleMngr* WhackAMoleTool::Manager() const {
    return static_cast<WhackAMoleMngr*>(manager.In(owner));
}

void WhackAMoleTool::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "clickSoundName") {
            SetClickSound(key.NextString(true, ""));
        } else if (name == "type") {
            type = key.NextString(true, "");
        } else if (name == "regionFromSprite") {
            const std::string animation = key.NextString(true, "");
            SpriteRenderChunk& sprite = RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
            auto& region = RequireChunk<CollisionChunk>(FourCC("COLI"));
            const FrameRect rect = sprite.player.GetFrameRect(animation);
            region.left = static_cast<float>(rect.left);
            region.right = static_cast<float>(rect.right);
            region.top = static_cast<float>(rect.top);
            region.bottom = static_cast<float>(rect.bottom);
        }
    });
}

void WhackAMoleTool::OnMessage(const void*, uint32_t id, uint32_t param) {
    WhackAMoleMngr* game = Manager();
    if (game == nullptr || MiniGameManager::LeaveRequested()) {
        return;
    }
    const bool selected = game->selectedTool == this;
    if (highlightEmitter != nullptr) {
        highlightEmitter->emitting =
            selected && id == kLeftDown && game->InBoard(Mouse.x, Mouse.y) && type == "water";
    }
    PositionChunk* position = PositionOf(*this);
    if (id != kLeftDown) {
        if (position != nullptr) {
            position->rotation = 0.0f;
        }
        return;
    }
    // The tool in hand stands under the mouse: only another tool can be picked.
    if (param == KeyboardSystem::kPressed && !selected && MouseOn(*this)) {
        game->selectedTool = this;
        game->playing = true;
    }
    if (game->selectedTool == this && type == "hammer" && position != nullptr) {
        position->rotation = kHammerTilt;
    }
}

bool WhackAMoleTool::Update(float dt) {
    const WhackAMoleMngr* game = Manager();
    if (game == nullptr) {
        return true;
    }
    if (PositionChunk* position = PositionOf(*this)) {
        // A tool put down goes back to its place, so that it never lies over the board where the
        // next press would pick it up again.
        const bool inHand = game->selectedTool == this;
        position->x = inHand ? Mouse.x : position->initialX;
        position->y = inHand ? Mouse.y : position->initialY;
    }
    if (highlightEmitter != nullptr) {
        highlightEmitter->x = Mouse.x;
        highlightEmitter->y = Mouse.y;
        highlightEmitter->Update(dt);
    }
    return true;
}

void WhackAMoleTool::Draw() {
    if (highlightEmitter != nullptr) {
        highlightEmitter->Draw();
    }
}

// ---------------------------------------------------------------------------------------------
// WhackAMoleMngr

WhackAMoleMngr::WhackAMoleMngr(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<WhackAMoleMngr>*>(this), 0, 0);
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
    }
}

WhackAMoleMngr::~WhackAMoleMngr() = default;

void WhackAMoleMngr::OnObjectGoing(Object* going) {
    if (going == selectedTool) {
        selectedTool = nullptr;
    }
}

void WhackAMoleMngr::ReadBoard(const std::string& path) {
    // "offsetX:", "offsetY:", "Columns:", "Rows:", "MaxTime:" (minutes), "MaxSpots:", then
    // "BOARD_SHAPE:" and a row of letters for each row: "E" an empty cell, "S" a spot.
    Board board;
    board.offsetX = offsetX;
    board.offsetY = offsetY;
    float minutes = timeLimit / 60.0f;
    int32_t spots = spotsToScore;
    const BoardLayout layout{{{"MaxTime:", &minutes}, {"MaxSpots:", &spots}}, true, "ES"};
    ReadBoardFile(path, layout, board);
    // A game that needs no spot could never be played, and one below would never end.
    if (spots < 1) {
        throw Exception("%s: MaxSpots %d is below 1", MessagePart(path).c_str(), spots);
    }
    offsetX = board.offsetX;
    offsetY = board.offsetY;
    columns = board.columns;
    rows = board.rows;
    timeLimit = minutes * 60.0f;
    spotsToScore = spots;
    spotsLeft = spots;
    const auto size = static_cast<int32_t>(kCellSize);
    cells.assign(static_cast<std::size_t>(columns), std::vector<WhackAMoleCell>(
                                                        static_cast<std::size_t>(rows)));
    for (int32_t c = 0; c < columns; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            WhackAMoleCell& cell = Cell(c, r);
            cell.manager = this;
            cell.spot = board.Cell(c, r) == 'S';
            cell.empty = !cell.spot;
            cell.duration = Between(0.5f, 1.0f);
            cell.player.Load(WhackAMoleCell::kSpotArt);
            cell.x = offsetX + size * c;
            cell.y = offsetY + size * r;
        }
    }
}

WhackAMoleCell& WhackAMoleMngr::Cell(int32_t column, int32_t row) {
    return cells.at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row));
}

bool WhackAMoleMngr::InBoard(float px, float py) const {
    const auto left = static_cast<float>(offsetX);
    const auto top = static_cast<float>(offsetY);
    return px > left && px < left + static_cast<float>(columns) * kCellSize && py > top &&
           py < top + static_cast<float>(rows) * kCellSize;
}

WhackAMoleCell* WhackAMoleMngr::CellAt(float px, float py) {
    if (!InBoard(px, py)) {
        return nullptr;
    }
    const auto column = static_cast<int32_t>((px - static_cast<float>(offsetX)) / kCellSize);
    const auto row = static_cast<int32_t>((py - static_cast<float>(offsetY)) / kCellSize);
    if (column >= columns || row >= rows) {
        return nullptr;
    }
    return &Cell(column, row);
}

void WhackAMoleMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "definition") {
            ReadBoard(key.NextString(true, ""));
        }
    });
    // The fade-in of the game's pieces, made in the location as the mini-games' frame makes it.
    if (GameLevel != nullptr) {
        std::unique_ptr<Object> created = GameLevel->CreateObject("FxBlendIn", true);
        if (auto* blend = dynamic_cast<FxBlendIn*>(created.get())) {
            GameLevel->AddObject(std::move(created));
            blend->ResolveDependencies();
            blend->Start("PUZZ", 0.0f, 0.0f);
        }
    }
    if (owner == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        if (slot != nullptr && slot->GetClassName() == WhackAMoleTool::kClassName) {
            static_cast<WhackAMoleTool&>(*slot).manager = ObjectLink(this);
        }
    }
}

void WhackAMoleMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (leaving || MiniGameManager::LeaveRequested()) {
        return;
    }
    if (LeaveByBackdrop(id, param)) {
        leaving = true;
        return;
    }
    if (selectedTool != nullptr) {
        if (WhackAMoleCell* cell = CellAt(Mouse.x, Mouse.y)) {
            cell->UseTool(selectedTool->type, id, param);
        }
    }
}

void WhackAMoleMngr::TrySpawn(float dt) {
    if (spawnTimer <= spawnInterval) {
        spawnTimer += dt;
        return;
    }
    if (columns < 1 || rows < 1) {
        return;
    }
    // Any cell may be drawn, empty or spot; a lit one is drawn again at the next step.
    WhackAMoleCell& cell = Cell(Random() % columns, Random() % rows);
    if (cell.active) {
        return;
    }
    cell.duration = Between(0.5f, 1.0f);
    cell.elapsed = -Between(0.0f, cell.duration);
    cell.progress = 1.0f;
    cell.active = true;
    spawnTimer = 0.0f;
    spawnInterval = Between(0.5f, 1.0f);
}

bool WhackAMoleMngr::Update(float dt) {
    if (playing && !leaving) {
        TrySpawn(dt);
    }
    for (std::vector<WhackAMoleCell>& column : cells) {
        for (WhackAMoleCell& cell : column) {
            cell.Update(dt);
        }
    }
    if (ModalLevel != nullptr) {
        if (Object* bar = FindNamed(ModalLevel, "progress_bar")) {
            if (SpriteRenderChunk* sprite = SpriteOf(*bar)) {
                // Full once every spot is scored, so that the won game shows it.
                const bool shown = playing || spotsLeft < 1;
                sprite->fill = shown ? 1.0f - static_cast<float>(spotsLeft) /
                                                  static_cast<float>(spotsToScore)
                                     : 0.0f;
                if (spotsLeft < 1) {
                    sprite->tint = static_cast<int32_t>(kDoneTint);
                }
            }
        }
    }
    if (!playing && !leaving) {
        return true;
    }
    if (spotsLeft < 1) {
        leaving = true;
    }
    if (leaving && playing && (ModalLevel == nullptr || !ModalLevel->returnFlag)) {
        SetCompletionFlag();
        PlayFull("game_won");
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
        timeLimitAtWin = timeLimit;
        playing = false;
    }
    if (!leaving) {
        return true;
    }
    if (endDelay > 0.0f) {
        endDelay -= dt;
        return true;
    }
    RequestLeave();
    return false;
}

void WhackAMoleMngr::Draw() {
    if (leaving) {
        return;
    }
    for (std::vector<WhackAMoleCell>& column : cells) {
        for (WhackAMoleCell& cell : column) {
            cell.Draw();
        }
    }
}
