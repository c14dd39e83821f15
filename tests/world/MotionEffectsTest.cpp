#include "tests/world/EffectsFixture.h"
#include "world/fx/FxRotate.h"

#include <gtest/gtest.h>

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
        FxQuarterTurn& turn = c.pipe ? static_cast<FxQuarterTurn&>(AddEffect<FxPipeRotate>())
                                     : static_cast<FxQuarterTurn&>(AddEffect<FxRotate>());
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
    auto& turn = AddEffect<FxRotate>();
    turn.target = &piece;
    turn.duration = 0.0f;
    Run(1);
    EXPECT_EQ(Count("FxRotate"), 0);
    EXPECT_EQ(piece.Position().rotation, 90.0f);
}

TEST_F(Motion, ATargetThatLeavesOrDiesMidTurnEndsTheTurnAtTheNextStep) {
    for (const bool destroyed : {true, false}) {
        SCOPED_TRACE(destroyed ? "let go by the scene" : "marked dead");
        TestPiece& piece = AddPiece();
        TestPiece& other = AddPiece(0.0f, 0.0f, 10.0f);
        auto& turn = AddEffect<FxRotate>();
        turn.target = &piece;
        Run(5);
        if (destroyed) {
            gameLevel->DestroyObject(&piece);
        } else {
            piece.dead = true;
        }
        const std::size_t played = PlayedFiles().size();
        Run(1);
        EXPECT_EQ(Count("FxRotate"), 0);
        EXPECT_EQ(other.Position().rotation, 10.0f);
        EXPECT_EQ(PlayedFiles().size(), played);
    }
}

} // namespace
