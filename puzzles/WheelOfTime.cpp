#include "puzzles/WheelOfTime.h"

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
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/FxPath.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/fx/FxReplace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr float kEighth = 45.0f;
constexpr float kSelectedAlpha = 0.5f;

struct Point {
    float x, y;
};
constexpr Point kSparkStart = {509.0f, 337.0f};
constexpr std::array<Point, 8> kSparkEnds = {{{375.0f, 336.0f},
                                              {413.0f, 240.0f},
                                              {512.0f, 198.0f},
                                              {607.0f, 237.0f},
                                              {649.0f, 335.0f},
                                              {607.0f, 433.0f},
                                              {509.0f, 474.0f},
                                              {416.0f, 433.0f}}};

} // namespace

// ---------------------------------------------------------------------------------------------
// WheelOfTimeSegment

WheelOfTimeSegment::WheelOfTimeSegment(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<WheelOfTimeSegment>*>(this), 0, 0);
}

void WheelOfTimeSegment::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "index") {
            value = values.NextInt(true, 0);
            place = value;
        }
    });
}

bool WheelOfTimeSegment::Update(float) {
    return !dead;
}

void WheelOfTimeSegment::OnObjectGoing(Object* going) {
    manager.ObjectGoing(going);
    GameAnim::OnObjectGoing(going);
}

FxPiece* WheelOfTimeSegment::BusyManager() {
    return static_cast<WheelOfTimeMngr*>(manager.Get());
}

void WheelOfTimeSegment::Turn(float degrees) {
    if (PositionChunk* position = PositionOf(*this)) {
        position->rotation += degrees;
    }
}

void WheelOfTimeSegment::SetAlpha(float alpha) {
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->alpha = alpha;
    }
}

// ---------------------------------------------------------------------------------------------
// WheelOfTimeMngr

WheelOfTimeMngr::WheelOfTimeMngr(ObjectsManager* owner) : MiniGameManager(owner, 2.0f) {
    Object::SetCreator(static_cast<OCreator<WheelOfTimeMngr>*>(this), 0, 0);
}

ManagerLink* WheelOfTimeMngr::LinkOf(Object& piece) {
    auto* segment = dynamic_cast<WheelOfTimeSegment*>(&piece);
    return segment != nullptr ? &segment->manager : nullptr;
}

void WheelOfTimeMngr::SetProperty(const ParconCursor&) {
    if (!pieces.empty()) {
        return;
    }
    CollectPieces(WheelOfTimeSegment::kClassName);
    for (int value = 0; value < kPlaces; ++value) {
        const bool found = std::any_of(pieces.begin(), pieces.end(), [value](const Object* piece) {
            return static_cast<const WheelOfTimeSegment*>(piece)->value == value;
        });
        if (!found) {
            throw Exception("%s: the wheel of time has no segment %d",
                            MessagePart(ReadingScene(owner)).c_str(), value);
        }
    }
}

void WheelOfTimeMngr::OnObjectGoing(Object* going) {
    std::erase(selection, going);
    MiniGameManager::OnObjectGoing(going);
}

int WheelOfTimeMngr::ClickedPlace(float x, float y) {
    const float a = std::atan2(-(x - kCentreX), y - kCentreY) * 180.0f / std::numbers::pi_v<float>;
    return static_cast<int>((180.0f + a) / kEighth);
}

WheelOfTimeSegment* WheelOfTimeMngr::SegmentAt(int place) const {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (Segment(i)->place == place) {
            return Segment(i);
        }
    }
    return nullptr;
}

void WheelOfTimeMngr::SwapPlaces(int a, int b) {
    WheelOfTimeSegment* first = SegmentAt(a);
    WheelOfTimeSegment* second = SegmentAt(b);
    if (first == nullptr || second == nullptr) {
        return;
    }
    float turn = -kEighth;
    if (first->place == 0 && second->place == kPlaces - 1) {
        turn = -kEighth;
    } else if ((first->place == kPlaces - 1 && second->place == 0) ||
               first->place < second->place) {
        turn = kEighth;
    }
    first->Turn(turn);
    second->Turn(-turn);
    std::swap(first->place, second->place);
}

void WheelOfTimeMngr::ClearSelection() {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (Segment(i)->selected) {
            Segment(i)->selected = false;
            Segment(i)->SetAlpha(1.0f);
        }
    }
    selection.clear();
}

void WheelOfTimeMngr::Shuffle() {
    for (const auto& [a, b] : {std::pair{0, 1}, {2, 3}, {4, 5}, {6, 7}, {7, 0}}) {
        SwapPlaces(a, b);
    }
    for (int pass = 0; pass < 5; ++pass) {
        for (const auto& [a, b] : {std::pair{1, 2}, {3, 4}, {5, 6}, {7, 0}}) {
            if (static_cast<float>(Random()) / static_cast<float>(kRandomMax) > 0.2f) {
                SwapPlaces(a, b);
            }
        }
    }
}

void WheelOfTimeMngr::Select(WheelOfTimeSegment* segment) {
    if (segment == nullptr || busy) {
        return;
    }
    if (selection.empty()) {
        segment->selected = true;
        segment->SetAlpha(kSelectedAlpha);
        selection.push_back(segment);
        return;
    }
    WheelOfTimeSegment* first = selection.front();
    const int apart = std::abs(first->place - segment->place);
    if (segment == first || (apart != 1 && apart != kPlaces - 1)) {
        ClearSelection();
        return;
    }
    segment->selected = true;
    selection.push_back(segment);
    if (owner == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("FxReplaceAngle", true);
    auto* swap = dynamic_cast<FxReplaceAngle*>(created.get());
    if (swap == nullptr) {
        DebugLog("%s", "FxReplaceAngle is not a swap: the segments stay\n");
        ClearSelection();
        return;
    }
    owner->AddObject(std::move(created));
    swap->Start(first, segment);
    swap->ResolveDependencies();
    ClearSelection();
    // Busy from now on, not only from the effect's first step: a click in between takes nothing.
    busy = true;
    PlayFull("divination_move");
}

void WheelOfTimeMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (ModalLevel == nullptr || finished || LeaveRequested()) {
        return;
    }
    if (id == kLeftDown && param == KeyboardSystem::kPressed) {
        const std::optional<bool> onBackground = MouseOnBackground("back", kBackgroundMargin);
        if (onBackground && !*onBackground && Mouse.y < kLeaveAboveY) {
            Leave();
            return;
        }
        Select(SegmentAt(ClickedPlace(Mouse.x, Mouse.y)));
    }
    if (Keyboard.KeyPressed(kEscape)) {
        Leave();
    }
}

bool WheelOfTimeMngr::Solved() const {
    int inOrder = 0;
    for (int i = 0; i + 1 < kPlaces; ++i) {
        const WheelOfTimeSegment* here = SegmentAt(i);
        const WheelOfTimeSegment* next = SegmentAt(i + 1);
        if (here != nullptr && next != nullptr && here->value + 1 == next->value) {
            ++inOrder;
        }
    }
    return inOrder >= 6;
}

void WheelOfTimeMngr::SpawnWinSparks() {
    if (ModalLevel == nullptr) {
        return;
    }
    // Made from the mini-game's own definitions (the same file as the game level's), so that
    // the spark's parts belong to the scene it runs in.
    for (const Point& end : kSparkEnds) {
        std::unique_ptr<Object> created = ModalLevel->CreateObject("FxPath", true);
        auto* spark = dynamic_cast<FxPath*>(created.get());
        if (spark == nullptr) {
            DebugLog("%s", "FxPath is not a spark: no sparks\n");
            return;
        }
        ModalLevel->AddObject(std::move(created));
        spark->Start(kSparkParticles, kSparkStart.x, kSparkStart.y, end.x, end.y, 1.0f, 0.0f);
        spark->ResolveDependencies();
    }
}

bool WheelOfTimeMngr::Update(float dt) {
    if (!shuffled) {
        Shuffle();
        shuffled = true;
    }
    if (!finished && !Solved()) {
        return true;
    }
    ClearSelection();
    if (!finished) {
        SpawnWinSparks();
        PlayFull("game_won");
        finished = true;
        if (ModalLevel != nullptr) {
            ModalLevel->won = true;
        }
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    if (!CloseFlagSet()) {
        SetCompletionFlag();
    }
    if (NormalLevelSystem* system = MiniGameSystem()) {
        system->leaveArmed = true;
    }
    return false;
}
