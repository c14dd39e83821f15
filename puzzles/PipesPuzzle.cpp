#include "puzzles/PipesPuzzle.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "world/FxBlend.h"
#include "world/Level.h"

#include <array>
#include <memory>
#include <optional>

namespace {

constexpr uint32_t kTurnEvent = FourCC("PROT");
constexpr int kFullVolume = 100;
constexpr uint32_t L = PipesPuzzleChunk::kLeft;
constexpr uint32_t R = PipesPuzzleChunk::kRight;
// Bit 8 leads up in versions 0 and 1 and down in version 2; bit 16 the other way.
constexpr uint32_t B8 = PipesPuzzleChunk::kUpInVersions01;
constexpr uint32_t B16 = PipesPuzzleChunk::kDownInVersions01;

// The ends of the elbow "A" at 0, 90, 180 and 270 degrees: as directions, up and left at 0 and
// down and right at 180 in every version.
constexpr std::array<uint32_t, 4> kElbow01 = {B8 | L, B8 | R, B16 | R, B16 | L};
constexpr std::array<uint32_t, 4> kElbow2 = {B16 | L, B8 | L, B8 | R, B16 | R};
// The straight pipe "B" at 0 (and 180) and at 90 (and 270).
constexpr std::array<uint32_t, 2> kStraight01 = {B8 | B16, L | R};
constexpr std::array<uint32_t, 2> kStraight2 = {L | R, B8 | B16};

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// PipesPuzzleChunk

PipesPuzzleChunk::PipesPuzzleChunk(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<PipesPuzzleChunk>*>(this), 0, 0);
}

uint32_t PipesPuzzleChunk::OpeningsOf(std::string_view type, int rotation, int version) {
    if (rotation % 90 != 0 || rotation < 0 || rotation > 270) {
        return 0;
    }
    const auto quarter = static_cast<std::size_t>(rotation / 90);
    const bool second = version == 2;
    if (type == "A") {
        return (second ? kElbow2 : kElbow01)[quarter];
    }
    if (type == "B") {
        return (second ? kStraight2 : kStraight01)[quarter % 2];
    }
    return 0;
}

float PipesPuzzleChunk::RotationDegrees() const {
    const auto* position = dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    return position != nullptr ? position->rotation : 0.0f;
}

int PipesPuzzleChunk::Rotation() const {
    return static_cast<int>(RotationDegrees());
}

void PipesPuzzleChunk::SetRotation(float degrees) {
    if (PositionChunk* position = PositionOf(*this)) {
        position->rotation = degrees;
    }
}

void PipesPuzzleChunk::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "type") {
            type = key.NextString(true, "");
        }
    });
}

void PipesPuzzleChunk::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameButtonX::OnObjectGoing(going);
}

bool PipesPuzzleChunk::Update(float dt) {
    GameButtonX::Update(dt);
    if (!manager.Collected()) {
        return true;
    }
    auto* sprite = dynamic_cast<SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0));
    if (index == 0 && sprite != nullptr) {
        sprite->alpha = 0.0f;
    }
    if (sprite != nullptr) {
        const std::string picture = watered && index != 0 ? type + "_connected" : type;
        sprite->player.Play(picture, true, false, true, 0.0f);
    }
    openings = OpeningsOf(type, Rotation(), version);
    return true;
}

void PipesPuzzleChunk::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (index == 0 || !manager.Collected() || manager.Finished() ||
        MiniGameManager::LeaveRequested() || clickEvent != kTurnEvent || turning) {
        return;
    }
    const int direction = MiniGameManager::PressOnPiece(*this, id, param);
    if (direction == 0 || ModalLevel == nullptr) {
        return;
    }
    if (StartPieceTurn("FxPipeRotate", *this, direction)) {
        Sounds.PlayByName("metal_scrape", false, kFullVolume, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// PipesPuzzleMngr

PipesPuzzleMngr::PipesPuzzleMngr(ObjectsManager* owner) : MiniGameManager(owner, 0.5f) {
    Object::SetCreator(static_cast<OCreator<PipesPuzzleMngr>*>(this), 0, 0);
}

void PipesPuzzleMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "version") {
            version = key.NextInt(true, 0);
        }
    });
    const bool first = pieces.empty();
    CollectPieces(PipesPuzzleChunk::kClassName);
    // The trace and the exit piece read the whole board by index.
    if (first && pieces.size() != kPieces) {
        const std::string scene = owner != nullptr ? owner->ReadingPath() : std::string();
        throw Exception("%s: the pipes board has %zu pieces instead of %d",
                        MessagePart(scene.empty() ? "a scene" : scene).c_str(), pieces.size(),
                        kPieces);
    }
}

ManagerLink* PipesPuzzleMngr::LinkOf(Object& piece) {
    auto* pipe = dynamic_cast<PipesPuzzleChunk*>(&piece);
    return pipe != nullptr ? &pipe->manager : nullptr;
}

void PipesPuzzleMngr::SetUpPiece(Object& piece, int index) {
    auto& pipe = static_cast<PipesPuzzleChunk&>(piece);
    pipe.SetRotation(RandomQuarterTurn());
    pipe.index = index;
    pipe.version = version;
    if (index == 0) {
        if (auto* sprite = dynamic_cast<RenderChunk*>(pipe.GetChunk(FourCC("SPRT"), 0))) {
            sprite->alpha = 0.0f;
        }
    }
}

PipesPuzzleChunk* PipesPuzzleMngr::Piece(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= pieces.size()) {
        return nullptr;
    }
    return static_cast<PipesPuzzleChunk*>(pieces[static_cast<std::size_t>(index)]);
}

void PipesPuzzleMngr::Trace(int index) {
    PipesPuzzleChunk* pipe = Piece(index);
    if (pipe == nullptr || pipe->watered) {
        return;
    }
    const uint32_t down = version == 2 ? B8 : B16;
    const uint32_t up = version == 2 ? B16 : B8;
    // A neighbour is taken when both have the end towards each other; it never wraps across
    // rows.
    const auto take = [this, pipe](int neighbour, uint32_t mine, uint32_t theirs) {
        const PipesPuzzleChunk* other = Piece(neighbour);
        if (other != nullptr && (pipe->openings & mine) != 0 && (other->openings & theirs) != 0) {
            pipe->watered = true;
            Trace(neighbour);
        }
    };
    const bool right = index < kPieces - 1 && (index + 1) % kColumns != 0;
    const bool left = index >= 1 && index % kColumns != 0;
    const bool below = index < kPieces - kColumns;
    const bool above = index >= kColumns;
    if (right) {
        take(index + 1, R, L);
    }
    if (version == 2) {
        if (left) {
            take(index - 1, L, R);
        }
        if (below) {
            take(index + kColumns, down, up);
        }
    } else {
        if (below) {
            take(index + kColumns, down, up);
        }
        if (left) {
            take(index - 1, L, R);
        }
    }
    if (above) {
        take(index - kColumns, up, down);
    }
}

bool PipesPuzzleMngr::TraceWater() {
    for (int i = 0; i < kPieces; ++i) {
        if (PipesPuzzleChunk* pipe = Piece(i)) {
            pipe->watered = false;
        }
    }
    if (PipesPuzzleChunk* source = Piece(0)) {
        // The player cannot change the source: it is held at its angle every step.
        source->SetRotation(version == 2 ? 270.0f : 90.0f);
        source->openings =
            PipesPuzzleChunk::OpeningsOf(source->type, source->Rotation(), source->version);
    }
    Trace(0);
    for (const Object* piece : pieces) {
        if (!static_cast<const PipesPuzzleChunk*>(piece)->watered) {
            return false;
        }
    }
    return true;
}

void PipesPuzzleMngr::BeforeWinTest(float) {
    lastTrace = TraceWater();
}

bool PipesPuzzleMngr::WinTest() {
    if (!lastTrace) {
        return false;
    }
    if (version == 0) {
        const PipesPuzzleChunk* exit = Piece(kExitPiece);
        return exit != nullptr && exit->RotationDegrees() == 180.0f;
    }
    return true;
}

WinSteps PipesPuzzleMngr::WinStepsOfGame() const {
    WinSteps steps;
    steps.sound = "waterflow";
    steps.wonFlag = false;
    return steps;
}

bool PipesPuzzleMngr::AcceptsLeave() const {
    return MiniGameManager::AcceptsLeave() && ModalLevel != nullptr && ModalLevel->blendFinished;
}

void PipesPuzzleMngr::Leave() {
    if (ModalLevel == nullptr) {
        MiniGameManager::Leave();
        return;
    }
    Level& miniGame = *ModalLevel;
    std::unique_ptr<Object> created = miniGame.CreateObject("FxBlendOut", true);
    auto* blend = dynamic_cast<FxBlendOut*>(created.get());
    if (blend != nullptr) {
        miniGame.AddObject(std::move(created));
    }
    miniGame.returnFlag = true;
    finished = true;
    if (blend != nullptr) {
        blend->ResolveDependencies();
        for (const char* label : {"PUZZ", "BACK", "FINN"}) {
            blend->Start(label, 0, 0.0f);
        }
    } else {
        DebugLog("%s", "FxBlendOut is not a blend-out: the pipes fade out with the level\n");
    }
    if (GameLevel != nullptr) {
        DropHeldTool();
    }
}
