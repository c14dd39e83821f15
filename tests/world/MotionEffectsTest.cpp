#include "media/Renderer.h"
#include "platform/gfx/Matrix.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/world/EffectsFixture.h"
#include "world/fx/FxFlyTo.h"
#include "world/fx/FxLockRotate.h"
#include "world/fx/FxPulseScale.h"
#include "world/fx/FxReplace.h"
#include "world/fx/FxRotate.h"
#include "world/fx/FxZoom.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Motion = Effects;

TEST_F(Motion, AQuarterTurnSnapsToTheNearestQuarter) {
    struct Case {
        float angle;
        float snapped;
    };
    for (const Case& c :
         {Case{44.9f, 0.0f}, Case{45.0f, 90.0f}, Case{134.9f, 90.0f}, Case{224.9f, 180.0f},
          Case{314.9f, 270.0f}, Case{315.0f, 0.0f}, Case{360.0f, 0.0f}, Case{450.0f, 90.0f},
          Case{-90.0f, 270.0f}, Case{-360.0f, 0.0f}}) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(FxQuarterTurn::Snap(c.angle), c.snapped);
    }
}

TEST_F(Motion, TheTileTurnIsLiftedWithItsSoundAndThePipeTurnStaysInPlace) {
    struct Case {
        const char* name;
        bool pipe;
        float from;
        int direction;
        float end;
    };
    const Case cases[] = {
        {"tile, back from 0", false, 0.0f, -1, 270.0f},
        {"tile, on from 270 to upright", false, 270.0f, 1, 0.0f},
        {"pipe, on from 0", true, 0.0f, 1, 90.0f},
        {"pipe, on from 270 to upright", true, 270.0f, 1, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        MakeProfile(0, "Ann");
        InstallDialogueHook();
        Load("", "");
        TestPiece& piece = AddPiece(0.0f, 0.0f, c.from);
        piece.Sprite().zOrder = 7.0f;
        FxQuarterTurn& turn = c.pipe ? static_cast<FxQuarterTurn&>(Add<FxPipeRotate>())
                                     : static_cast<FxQuarterTurn&>(Add<FxRotate>());
        turn.target = &piece;
        turn.direction = c.direction;
        Run(17); // nearly half way: swelling all along
        EXPECT_TRUE(piece.busy);
        EXPECT_NEAR(piece.Position().rotation, c.from + 45.0f * static_cast<float>(c.direction),
                    3.0f);
        EXPECT_EQ(piece.Sprite().zOrder, c.pipe ? 7.0f : FxRotate::kLiftedDepth);
        EXPECT_NEAR(piece.Sprite().scale, c.pipe ? 1.0f : 1.0f + 17.0f * kStep, 0.001f);
        const std::size_t played = PlayedFiles().size();
        EXPECT_LE(RunOut(c.pipe ? "FxPipeRotate" : "FxRotate"), 20);
        EXPECT_EQ(piece.Position().rotation, c.end);
        EXPECT_FALSE(piece.busy);
        EXPECT_EQ(piece.Sprite().scale, 1.0f);
        EXPECT_EQ(piece.Sprite().zOrder, c.pipe ? 7.0f : FxRotate::kRestingDepth);
        EXPECT_EQ(PlayedFiles().size() - played, c.pipe ? 0u : 1u);
        if (!c.pipe) {
            EXPECT_EQ(PlayedFiles().back(), "pick1");
        }
    }
}

TEST_F(Motion, ATurnWithoutTimeEndsSnappedAtItsFirstStep) {
    TestPiece& piece = AddPiece(0.0f, 0.0f, 80.0f);
    auto& turn = Add<FxRotate>();
    turn.target = &piece;
    turn.duration = 0.0f;
    Run(1);
    EXPECT_EQ(Count("FxRotate"), 0);
    EXPECT_EQ(piece.Position().rotation, 90.0f);
}

// Each effect on two pieces, of which the first goes mid-way.
struct GoingCase {
    const char* className;
    std::function<void(Motion&, TestPiece& going, TestPiece& other)> start;
};

TEST_F(Motion, ATargetThatLeavesOrDiesMidWayEndsTheEffectWithoutTouchingTheOther) {
    const GoingCase cases[] = {
        {"FxRotate",
         [](Motion& t, TestPiece& going, TestPiece&) { t.Add<FxRotate>().target = &going; }},
        {"FxFlyTo",
         [](Motion& t, TestPiece& going, TestPiece&) {
             auto& fly = t.Add<FxFlyTo>();
             fly.target = &going;
             fly.endX = 300.0f;
         }},
        {"FxReplace",
         [](Motion& t, TestPiece& going, TestPiece& other) {
             auto& swap = t.Add<FxReplace>();
             swap.a = &other;
             swap.b = &going;
         }},
        {"FxReplaceAngle", [](Motion& t, TestPiece& going,
                              TestPiece& other) { t.Add<FxReplaceAngle>().Start(&going, &other); }},
        {"FxPulseScale",
         [](Motion& t, TestPiece& going, TestPiece&) { t.Add<FxPulseScale>().target = &going; }},
    };
    for (const GoingCase& c : cases) {
        for (const bool destroyed : {true, false}) {
            SCOPED_TRACE(std::string(c.className) + (destroyed ? ", let go" : ", marked dead"));
            TestPiece& going = AddPiece(10.0f, 10.0f);
            TestPiece& other = AddPiece(100.0f, 50.0f, 10.0f);
            c.start(*this, going, other);
            Run(5);
            const float x = other.Position().x;
            const float rotation = other.Position().rotation;
            if (destroyed) {
                gameLevel->DestroyObject(&going);
            } else {
                going.dead = true;
            }
            const std::size_t played = PlayedFiles().size();
            Run(1);
            EXPECT_EQ(Count(c.className), 0);
            EXPECT_EQ(other.Position().x, x);
            EXPECT_EQ(other.Position().rotation, rotation);
            EXPECT_EQ(PlayedFiles().size(), played);
            EXPECT_FALSE(other.busy);
        }
    }
}

TEST_F(Motion, TheLockHandlesEndByTheFloatingRemainderWithTheManagerBusyMeanwhile) {
    struct Case {
        const char* direction;
        float from1, from2, end1, end2;
    };
    for (const Case& c :
         {Case{"left", 0.0f, 0.0f, -90.0f, 45.0f}, Case{"right", 0.0f, 0.0f, 45.0f, -90.0f},
          Case{"left", -300.0f, 330.0f, -30.0f, 15.0f}, Case{"up", 10.0f, 20.0f, 0.0f, 0.0f}}) {
        SCOPED_TRACE(std::string(c.direction) + " from " + std::to_string(c.from1));
        TestPiece& handle1 = AddPiece(0.0f, 0.0f, c.from1);
        TestPiece& handle2 = AddPiece(0.0f, 0.0f, c.from2);
        TestPiece& lock = AddPiece();
        Add<FxLockRotate>().Start(&handle1, &handle2, &lock, c.direction);
        Run(15);
        EXPECT_TRUE(lock.busy);
        EXPECT_LE(RunOut("FxLockRotate"), 20);
        EXPECT_FALSE(lock.busy);
        EXPECT_EQ(handle1.Position().rotation, c.end1);
        EXPECT_EQ(handle2.Position().rotation, c.end2);
    }
}

TEST_F(Motion, TheLockWaitsWhileAHandleIsMissing) {
    TestPiece& handle1 = AddPiece();
    TestPiece& lock = AddPiece();
    Add<FxLockRotate>().Start(&handle1, nullptr, &lock, "left");
    Run(60);
    EXPECT_EQ(Count("FxLockRotate"), 1);
    EXPECT_EQ(handle1.Position().rotation, 0.0f);
    EXPECT_FALSE(lock.busy);
}

TEST_F(Motion, WheelSegmentsTurnTowardEachOthersPlaceTheRingWrapping) {
    struct Case {
        int32_t placeA, placeB;
        float deltaA;
    };
    for (const Case& c :
         {Case{7, 0, 45.0f}, Case{0, 7, -45.0f}, Case{3, 4, 45.0f}, Case{4, 3, -45.0f}}) {
        SCOPED_TRACE(std::to_string(c.placeA) + " and " + std::to_string(c.placeB));
        TestPiece& manager = AddPiece();
        TestPiece& a = AddPiece(0.0f, 0.0f, 90.0f);
        TestPiece& b = AddPiece(0.0f, 0.0f, 135.0f);
        a.manager = b.manager = &manager;
        a.ring = c.placeA;
        b.ring = c.placeB;
        Add<FxReplaceAngle>().Start(&a, &b);
        EXPECT_EQ(a.ring, c.placeB); // exchanged at once
        EXPECT_EQ(b.ring, c.placeA);
        Run(10);
        EXPECT_TRUE(manager.busy);
        EXPECT_LE(RunOut("FxReplaceAngle"), 30);
        EXPECT_FALSE(manager.busy);
        EXPECT_EQ(a.Position().rotation, 90.0f + c.deltaA);
        EXPECT_EQ(b.Position().rotation, 135.0f - c.deltaA);
    }
}

TEST_F(Motion, TwoTilesExchangePlacesThenSlotValuesWithTheirSound) {
    TestPiece& manager = AddPiece();
    TestPiece& a = AddPiece(10.0f, 20.0f);
    TestPiece& b = AddPiece(110.0f, 220.0f);
    a.manager = &manager;
    a.slot = 3;
    b.slot = 9;
    auto& swap = Add<FxReplace>();
    swap.a = &a;
    swap.b = &b;
    Run(18);
    EXPECT_TRUE(manager.busy);
    EXPECT_NEAR(a.Position().x, 60.0f, 2.0f);
    EXPECT_NEAR(b.Position().y, 120.0f, 4.0f);
    EXPECT_EQ(a.slot, 3); // not before the end
    EXPECT_LE(RunOut("FxReplace"), 20);
    EXPECT_FALSE(manager.busy);
    EXPECT_EQ(a.Position().x, 110.0f);
    EXPECT_EQ(a.Position().y, 220.0f);
    EXPECT_EQ(b.Position().x, 10.0f);
    EXPECT_EQ(b.Position().y, 20.0f);
    EXPECT_EQ(a.slot, 9);
    EXPECT_EQ(b.slot, 3);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"pick1"});
}

TEST_F(Motion, AFlightEndsOnItsEndPointAndAPulseBackAtScaleOne) {
    TestPiece& piece = AddPiece();
    auto& fly = Add<FxFlyTo>();
    fly.target = &piece;
    fly.x = 0.0f;
    fly.y = 0.0f;
    fly.endX = 200.0f;
    fly.endY = 100.0f;
    fly.duration = 0.5f;
    Run(1);
    EXPECT_NEAR(piece.Sprite().alpha, kStep / 0.5f, 1e-4f);
    EXPECT_NEAR(piece.Sprite().scale, 0.5f - kStep, 1e-4f);
    EXPECT_LE(RunOut("FxFlyTo"), 40);
    EXPECT_NEAR(piece.Position().x, 200.0f, 0.01f);
    EXPECT_NEAR(piece.Position().y, 100.0f, 0.01f);
    EXPECT_EQ(piece.Sprite().scale, FxFlyTo::kSmallestScale);

    for (const float duration : {0.6f, 0.0f}) {
        SCOPED_TRACE(duration);
        TestPiece& pulsed = AddPiece();
        auto& pulse = Add<FxPulseScale>();
        pulse.target = &pulsed;
        pulse.duration = duration;
        pulse.remaining = duration;
        if (duration > 0.0f) {
            Run(18);
            EXPECT_NEAR(pulsed.Sprite().scale, 1.5f, 0.01f);
        }
        EXPECT_LE(RunOut("FxPulseScale"), 19);
        EXPECT_EQ(pulsed.Sprite().scale, 1.0f);
    }
}

// The view transform, on the recording renderer.
class Zoom : public Effects {
protected:
    void SetUp() override {
        Effects::SetUp();
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
    }
    void TearDown() override {
        Effects::TearDown();
        ResetMedia();
    }
    static Matrix View() {
        Matrix view{};
        Renderer::State().device->GetTransform(TransformType::View, view);
        return view;
    }

    RecordingScript script;
};

TEST_F(Zoom, TheViewBumpsAndIsIdentityAgainAtTheEndOrWhenTheZoomGoesEarly) {
    auto& zoom = Add<FxZoom>();
    zoom.time = 1.0f;
    Run(30);
    EXPECT_NE(View(), MatrixIdentity());
    float centre[3];
    TransformPoint(View(), 0.0f, 0.0f, 0.0f, centre); // the default centre
    EXPECT_NEAR(centre[0], 400.0f, 1.0f);             // k is 1 at half time: the whole drift
    EXPECT_NEAR(centre[1], 300.0f, 1.0f);
    EXPECT_LE(RunOut("FxZoom"), 32);
    EXPECT_EQ(View(), MatrixIdentity());

    Add<FxZoom>();
    Run(10);
    EXPECT_NE(View(), MatrixIdentity());
    gameLevel->Clear(); // the scene goes mid-zoom
    EXPECT_EQ(View(), MatrixIdentity());

    gameLevel->LoadScene("levels/room.txt", true);
    Add<FxZoom>().time = 0.0f;
    Run(1);
    EXPECT_EQ(Count("FxZoom"), 0);
    EXPECT_EQ(View(), MatrixIdentity());
}
} // namespace
