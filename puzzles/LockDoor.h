#pragma once

#include "engine/ClassFactory.h"
#include "puzzles/MiniGame.h"
#include "world/fx/FxPiece.h"

#include <string>
#include <string_view>

// The lock door: a press near the lock's centre turns both handles, to the left of the centre
// one way and from it on the other; the lock opens with the first handle across and the second
// upright.
class LockDoorMngr : public MiniGameManager, public FxPiece, public OCreator<LockDoorMngr> {
public:
    static constexpr std::string_view kClassName = "LockDoorMngr";
    static constexpr float kCentreX = 488.0f;
    static constexpr float kCentreY = 385.0f;
    static constexpr float kReach = 150.0f;
    static constexpr float kLeaveAboveY = 700.0f;
    static constexpr float kBackgroundMargin = 100.0f;
    static constexpr float kReadyAlpha = 0.8f;

    explicit LockDoorMngr(ObjectsManager* owner);

    // The scene objects named "handle1" and "handle2", each with a position; either missing
    // throws, naming the scene file.
    void SetProperty(const ParconCursor& cursor) override;
    // Leaving (a press outside the backdrop widened by 100 above y 700; Escape once the backdrop
    // is shown), then a press within 150 of the centre turns the handles.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The open test, the win, the delay and the leave request.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    void SetBusy(bool isBusy) override { busy = isBusy; }

    // Both handles turn that way ("left" or "right"), unless a turn runs.
    void Turn(const std::string& direction);
    // The turns cut to whole degrees: the first across, the second upright.
    static bool Open(float turn1, float turn2);

    bool busy = false;
    Object* handle1 = nullptr;
    Object* handle2 = nullptr;

protected:
    ManagerLink* LinkOf(Object&) override { return nullptr; }
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override;
};
