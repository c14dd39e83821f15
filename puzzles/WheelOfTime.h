#pragma once

#include "engine/ClassFactory.h"
#include "puzzles/MiniGame.h"
#include "world/GameAnim.h"
#include "world/fx/FxPiece.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The wheel of time: eight segments on a ring around (512, 336), shuffled at the start; the
// player swaps neighbours until the values follow each other around the ring, from any place.

class WheelOfTimeMngr;

class WheelOfTimeSegment : public GameAnim, public FxPiece, public OCreator<WheelOfTimeSegment> {
public:
    static constexpr std::string_view kClassName = "WheelOfTimeSegment";

    explicit WheelOfTimeSegment(ObjectsManager* owner);

    // Only "index", into both value and place.
    void SetProperty(const ParconCursor& cursor) override;
    // Alive; the picture only turns with its position.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    // The swap effect exchanges places through these and marks the manager busy.
    void SetBusy(bool) override {}
    FxPiece* BusyManager() override;
    int32_t RingIndex() const override { return place; }
    void SetRingIndex(int32_t index) override { place = index; }

    void Turn(float degrees);
    void SetAlpha(float alpha);

    int32_t place = 0;
    int32_t value = 0;
    bool selected = false;
    ManagerLink manager;
};

class WheelOfTimeMngr : public MiniGameManager, public FxPiece, public OCreator<WheelOfTimeMngr> {
public:
    static constexpr std::string_view kClassName = "WheelOfTimeMngr";
    static constexpr int kPlaces = 8;
    static constexpr float kCentreX = 512.0f;
    static constexpr float kCentreY = 336.0f;
    static constexpr float kLeaveAboveY = 512.0f;
    static constexpr float kBackgroundMargin = 30.0f;
    static constexpr const char* kSparkParticles = "gfx/fx/hiddenObject_hili2.prt";

    explicit WheelOfTimeMngr(ObjectsManager* owner);

    // The segments of the scene read so far (once); a wheel without the values 0 to 7 throws,
    // naming the scene file.
    void SetProperty(const ParconCursor& cursor) override;
    // Leaving by a press outside the widened backdrop above y 512, or Escape; otherwise the
    // press selects or swaps the segment under the mouse.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The shuffle first; the win with its sparks; the delay, the completion flag and the leave
    // request.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    void SetBusy(bool isBusy) override { busy = isBusy; }

    // The place of the ring under the mouse.
    static int ClickedPlace(float x, float y);
    WheelOfTimeSegment* SegmentAt(int place) const;
    void SwapPlaces(int a, int b);
    void ClearSelection();
    void Select(WheelOfTimeSegment* segment);
    void Shuffle();
    // At most one pair of neighbours around the ring out of order.
    bool Solved() const;

    bool busy = false;
    bool shuffled = false;
    std::vector<WheelOfTimeSegment*> selection;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override { return Solved(); }

private:
    WheelOfTimeSegment* Segment(std::size_t i) const {
        return static_cast<WheelOfTimeSegment*>(pieces[i]);
    }
    void SpawnWinSparks();
};
