#include "puzzles/Rockband.h"

#include "engine/Application.h"
#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "engine/Random.h"
#include "media/ParticleRenderSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/BoardFile.h"
#include "puzzles/MiniGame.h"
#include "puzzles/PuzzleSupport.h"
#include "puzzles/SkillGameSupport.h"
#include "ui/InGameFlow.h"
#include "ui/ModalProcesses.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr const char* kNoteSparks = "gfx/fx/collectible3.prt";
constexpr const char* kNoteArt = "gfx\\puzzles\\rockband_object.ani";
constexpr const char* kNoteArt2 = "gfx\\puzzles\\rockband2\\objects.ani";
constexpr float kNoteSparkEmission = 0.1f;
constexpr float kNoteSparkLife = 3.0f;

} // namespace

// ---------------------------------------------------------------------------------------------
// RockbandLink

void RockbandLink::Set(RockbandMngr* manager) {
    link = ObjectLink(manager);
}

RockbandMngr* RockbandLink::In(const ObjectsManager* scene) const {
    return static_cast<RockbandMngr*>(link.In(scene));
}

bool RockbandLink::Finished(const ObjectsManager* scene) const {
    if (!Given()) {
        return false;
    }
    const RockbandMngr* manager = In(scene);
    return manager == nullptr || manager->finished;
}

// ---------------------------------------------------------------------------------------------
// RockbandObject

RockbandObject::RockbandObject(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<RockbandObject>*>(this), 0, 0);
}

bool RockbandObject::Update(float dt) {
    GameAnim::Update(dt);
    RockbandMngr* game = manager.In(owner);
    if (game == nullptr || game->finished) {
        return false;
    }
    PositionChunk* position = PositionOf(*this);
    if (position == nullptr) {
        return false;
    }
    const float row =
        (position->y - static_cast<float>(game->offsetY)) / static_cast<float>(RockbandMngr::kCellSize);
    if (row > static_cast<float>(game->rows - 2)) {
        hittable = true;
    }
    const float dx = targetX - position->x;
    const float dy = targetY - position->y;
    if (dx == 0.0f && dy == 0.0f) {
        return true;
    }
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance <= kReachedDistance) {
        PlayFull("warning");
        position->x = targetX;
        position->y = targetY;
        game->failed = true;
        return false;
    }
    // A fast note never steps onto or past its target, where it would stand for ever: it stops a
    // pixel short, and its next step finds it within reach of the bottom.
    const float step = std::min(speed * dt, distance - 1.0f);
    position->x += dx / distance * step;
    position->y += dy / distance * step;
    return true;
}

// ---------------------------------------------------------------------------------------------
// RockbandKey

RockbandKey::RockbandKey(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<RockbandKey>*>(this), 0, 0);
}

void RockbandKey::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "columnId") {
            column = key.NextInt(true, -1);
        }
    });
}

void RockbandKey::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (manager.Finished(owner) || MiniGameManager::LeaveRequested()) {
        return;
    }
    pressedLook = false;
    if (id != kLeftDown) {
        return;
    }
    const bool inside = MouseOn(*this);
    if (param == KeyboardSystem::kPressed && inside) {
        if (RockbandMngr* game = manager.In(owner)) {
            game->pendingColumn = column;
        }
    }
    pressedLook = inside;
}

bool RockbandKey::Update(float) {
    const RockbandMngr* game = manager.In(owner);
    SpriteRenderChunk* sprite = SpriteOf(*this);
    if (game == nullptr || sprite == nullptr) {
        return true;
    }
    if (game->version == 2) {
        const std::string look = "key" + std::to_string(column);
        sprite->player.Play(pressedLook ? look : look + "_pressed", true, false, true, 0.0f);
    } else {
        sprite->visible = pressedLook;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// RockbandMngr

RockbandMngr::RockbandMngr(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<RockbandMngr>*>(this), 0, 0);
    if (owner != nullptr) {
        owner->AddRemovalListener(this);
    }
}

void RockbandMngr::OnMessage(const void*, uint32_t, uint32_t) {}

void RockbandMngr::ReadBoard(const std::string& path) {
    // The board file: "offsetX:", "offsetY:", "Columns:", "Rows:", "PatternSize:" (the notes of
    // the game) and "Speed:" (pixels a second), then one word nothing reads; no shape.
    Board board;
    board.offsetX = offsetX;
    board.offsetY = offsetY;
    board.columns = columns;
    board.rows = rows;
    int32_t patternSize = notesToCreate;
    float boardSpeed = speed;
    const BoardLayout layout{
        {{"PatternSize:", &patternSize}, {"Speed:", &boardSpeed}}, false, {}};
    ReadBoardFile(path, layout, board);
    // A note that never moves, or moves away, would never end the game.
    if (!std::isfinite(boardSpeed) || boardSpeed <= 0.0f) {
        throw Exception("%s: Speed %g is not above 0", MessagePart(path).c_str(),
                        static_cast<double>(boardSpeed));
    }
    offsetX = board.offsetX;
    offsetY = board.offsetY;
    columns = board.columns;
    rows = board.rows;
    notesToCreate = patternSize;
    notesLeft = patternSize;
    speed = boardSpeed;
    cells.assign(static_cast<std::size_t>(columns), {});
    for (int32_t c = 0; c < columns; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            cells[static_cast<std::size_t>(c)].push_back(
                {offsetX + kCellSize * c, offsetY + kCellSize * r});
        }
    }
}

const RockbandMngr::Cell& RockbandMngr::CellAt(int32_t column, int32_t row) const {
    return cells.at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row));
}

void RockbandMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "definition") {
            ReadBoard(key.NextString(true, ""));
        } else if (name == "version") {
            version = key.NextInt(true, 1);
        }
    });
    if (owner == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        if (slot != nullptr && slot->GetClassName() == RockbandKey::kClassName) {
            static_cast<RockbandKey&>(*slot).manager.Set(this);
        }
    }
}

void RockbandMngr::OnObjectGoing(Object* going) {
    std::erase(notes, going);
    GameButtonX::OnObjectGoing(going);
}

void RockbandMngr::SpawnNote() {
    if (notesToCreate <= 0 || owner == nullptr || columns < 1) {
        return;
    }
    --notesToCreate;
    const int32_t column = Random() % columns;
    const Cell& start = CellAt(column, 0);
    const Cell& last = CellAt(column, rows - 1);
    std::unique_ptr<Object> created = owner->CreateObject(std::string(RockbandObject::kClassName), true);
    auto* note = dynamic_cast<RockbandObject*>(created.get());
    if (note == nullptr) {
        DebugLog("%s", "RockbandObject is not a note: no note falls\n");
        return;
    }
    note->ResolveDependencies();
    auto& position = note->RequireChunk<PositionChunk>(FourCC("POSI"));
    auto& sprite = note->RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
    sprite.zOrder = kNoteDepth;
    note->speed = speed;
    position.x = static_cast<float>(start.x);
    position.y = static_cast<float>(start.y);
    note->targetX = static_cast<float>(start.x);
    note->targetY = static_cast<float>(last.y + kCellSize);
    if (version == 2) {
        sprite.player.Load(kNoteArt2);
        sprite.player.Play("note", true, false, true, 0.0f);
    } else {
        sprite.player.Load(kNoteArt);
    }
    notes.push_back(note);
    note->code = FourCC("PUZZ");
    owner->AddObject(std::move(created));
    note->manager.Set(this);
    note->column = column;
}

void RockbandMngr::PressColumn(int32_t column, bool quiet) {
    const int32_t before = notesLeft;
    // Hitting a note takes it out of the list: the walk is over a copy.
    const std::vector<RockbandObject*> living = notes;
    for (RockbandObject* note : living) {
        if (note->dead || !note->hittable || note->column != column) {
            continue;
        }
        --notesLeft;
        if (const PositionChunk* position = PositionOf(*note)) {
            SpawnParticles(owner, kNoteSparks, position->x, position->y, kNoteSparkEmission,
                           kNoteSparkLife);
        }
        if (!quiet) {
            PlayFull("note" + std::to_string(column + 1));
        }
        note->dead = true;
        std::erase(notes, note);
    }
    if (notesLeft == before) {
        PlayFull("cannot");
    }
}

bool RockbandMngr::Update(float dt) {
    const bool leaveRequested = MiniGameManager::LeaveRequested();
    if (failed || (notesLeft < 1 && (ModalLevel == nullptr || !leaveRequested))) {
        finished = true;
    }
    if (finished) {
        if (endDelay > 0.0f) {
            endDelay -= dt;
            return true;
        }
        if (ModalLevel != nullptr) {
            if (failed) {
                ModalLevel->returnFlag = true;
            }
            if (notesLeft < 1) {
                ModalLevel->returnFlag = false;
                ModalLevel->won = true;
            }
        }
        RequestLeave();
        return false;
    }
    if (!leaveRequested) {
        if (pendingColumn >= 0) {
            PressColumn(pendingColumn, false);
            pendingColumn = -1;
        }
        if (spawnTimer > 0.0f) {
            spawnTimer -= dt;
        } else {
            spawnTimer = kSpawnInterval;
            SpawnNote();
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Organ

Organ::Organ(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<Organ>*>(this), 0, 0);
    SetClickSound("push");
}

void Organ::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name != "activators") {
            return;
        }
        activators.clear();
        while (key.HasNextValue()) {
            activators.push_back(key.NextString(true, ""));
        }
    });
    gamesWon = GameLevel != nullptr && CurrentPlayer != nullptr
                   ? CurrentPlayer->GetFlag(GameLevel->GetName() + ":OrganGame")
                   : 0;
}

void Organ::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel != nullptr || !enabled || dead || id != kLeftDown ||
        param != KeyboardSystem::kPressed || !MouseOn(*this)) {
        return;
    }
    const std::string held = HeldItemName();
    if (!held.empty() && std::find(activators.begin(), activators.end(), held) != activators.end()) {
        UseItem(held);
        return;
    }
    // A refusal is told every time: the dialogue repeats.
    OpenDialog(kRefusal, true, 0.0f, "dialog99");
}

void Organ::UseItem(const std::string& item) {
    if (ModalLevel != nullptr) {
        return;
    }
    PlayFull("game_appear");
    Sounds.StopMusic();
    const int32_t result =
        RunInGameProcess(GameModalProc::Create(kGameScene, {.drawBeneath = true, .drawOnce = false}));
    if (result == kResultLeft) {
        SetLocationFlag("organ_game_" + item + "_completed", 1);
        ++gamesWon;
        SetLocationFlag("OrganGame", gamesWon);
        if (gamesWon > kWinsToComplete) {
            SetLocationFlag("OrganGame_completed", 1);
        }
    } else if (result == kResultLeftBack) {
        OpenDialog(kLoss, true, 0.0f, "dialog10");
        // The save game written when the game opened brings the activator back.
        World().PostToMainUi(FourCC("LOAQ"));
    }
    DeleteModalLevel();
}
