// The wheel of time: the place under the mouse, neighbour swaps through the angle exchange, clicks
// ignored while it runs, the win in any rotation with its sparks, the flag after the delay, and
// leaving.

#include "puzzles/WheelOfTime.h"

#include "engine/Exception.h"
#include "tests/puzzles/PlacingFixture.h"
#include "world/FxPath.h"
#include "world/fx/FxReplace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kWheelDefinitions =
    std::string(PlacingTest::kBackdrop) + "(Segment WheelOfTimeSegment (POSI) (SPRT))\n"
                                          "(Wheel WheelOfTimeMngr (KEYB) (Data))\n";

// A point of each place of the ring, 100 from the centre in the middle of its eighth.
struct Point {
    float x, y;
};
constexpr Point kPlaces[8] = {{550, 244}, {604, 298}, {604, 374}, {550, 428},
                              {474, 428}, {420, 374}, {420, 298}, {474, 244}};

class WheelOfTimeTest : public PlacingTest {
protected:
    void LoadWheel(int segments = 8, bool backdrop = true) {
        std::string objects = backdrop ? kBackdropEntry : "";
        for (int i = 0; i < segments; ++i) {
            objects += "(Segment (POSI (position 512 336)) (Data (index " + std::to_string(i) +
                       ")))\n";
        }
        LoadGame(kWheelDefinitions, objects + "(Wheel)");
    }
    WheelOfTimeMngr& Wheel() { return *All<WheelOfTimeMngr>().at(0); }
    WheelOfTimeSegment& Segment(int value) { return *All<WheelOfTimeSegment>().at(value); }
    // Every segment's value at its place: segment v at place (v + start) mod 8, turned upright.
    void Arrange(int start) {
        for (int v = 0; v < 8; ++v) {
            Segment(v).place = (v + start) % 8;
        }
    }
    void ClickPlace(int place) { Press(kPlaces[place].x, kPlaces[place].y); }
};

TEST_F(WheelOfTimeTest, EachEighthOfTheRingIsItsPlace) {
    for (int place = 0; place < 8; ++place) {
        SCOPED_TRACE(place);
        EXPECT_EQ(WheelOfTimeMngr::ClickedPlace(kPlaces[place].x, kPlaces[place].y), place);
    }
    EXPECT_EQ(WheelOfTimeMngr::ClickedPlace(512, 436), 4) << "straight below the centre";
}

TEST_F(WheelOfTimeTest, TheRingInOrderFromAnyPlaceIsSolved) {
    LoadWheel();
    Step(); // the shuffle
    for (int start = 0; start < 8; ++start) {
        SCOPED_TRACE(start);
        Arrange(start);
        EXPECT_TRUE(Wheel().Solved());
        // One swap more puts two pairs out of order.
        std::swap(Segment(2).place, Segment(3).place);
        EXPECT_FALSE(Wheel().Solved());
    }
}

TEST_F(WheelOfTimeTest, NeighboursSwapThroughTheAngleExchangeOthersDropTheSelection) {
    struct Case {
        const char* name;
        int first, second;
        bool swaps;
    };
    const std::vector<Case> cases = {
        {"next", 2, 3, true},        {"previous", 3, 2, true}, {"7 and 0", 7, 0, true},
        {"0 and 7", 0, 7, true},     {"two apart", 1, 3, false}, {"the same twice", 4, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeedRandom(3);
        LoadWheel();
        Step();
        Arrange(1); // solved would win: one pair out instead
        std::swap(Segment(0).place, Segment(4).place);
        const std::size_t sounds = PlayedFiles().size();
        WheelOfTimeSegment* a = Wheel().SegmentAt(c.first);
        WheelOfTimeSegment* b = Wheel().SegmentAt(c.second);
        ClickPlace(c.first);
        EXPECT_TRUE(a->selected);
        EXPECT_EQ(Sprite(*a).alpha, 0.5f);
        ClickPlace(c.second);
        EXPECT_EQ(All<FxReplaceAngle>().size(), c.swaps ? 1u : 0u);
        EXPECT_FALSE(a->selected);
        EXPECT_EQ(Sprite(*a).alpha, 1.0f);
        EXPECT_TRUE(Wheel().selection.empty());
        EXPECT_EQ(PlayedFiles().size() - sounds, c.swaps ? 1u : 0u);
        if (c.swaps) {
            EXPECT_EQ(a->place, c.second) << "the places are exchanged at once";
            EXPECT_EQ(b->place, c.first);
            // Clicks while the segments turn select nothing.
            ClickPlace(5);
            EXPECT_TRUE(Wheel().selection.empty());
            Step(60);
            EXPECT_TRUE(All<FxReplaceAngle>().empty());
            EXPECT_FALSE(Wheel().busy);
            ClickPlace(5);
            EXPECT_EQ(Wheel().selection.size(), 1u);
        }
    }
}

TEST_F(WheelOfTimeTest, TheWinSparksAtOnceAndSetsTheFlagAfterTwoSeconds) {
    LoadWheel();
    Step();
    Arrange(5);
    Step();
    EXPECT_TRUE(Wheel().finished);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(All<FxPath>().size(), 8u);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"game_won"});
    EXPECT_EQ(CompletionFlag(), 0);
    StepSeconds(1.9f);
    EXPECT_EQ(CompletionFlag(), 0) << "not before the delay";
    StepSeconds(0.2f);
    EXPECT_EQ(CompletionFlag(), 1);
    EXPECT_TRUE(All<WheelOfTimeMngr>().empty());
}

TEST_F(WheelOfTimeTest, APressLeavesOutsideTheBackdropAboveY512AndEscapeAlways) {
    struct Case {
        const char* name;
        bool backdrop;
        float x, y;
        bool escape;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {"outside at 511", true, 100, 511, false, true},
        {"outside at 512", true, 100, 512, false, false},
        {"Escape", true, 500, 300, true, true},
        {"no backdrop: a press stays", false, 100, 300, false, false},
        {"no backdrop: Escape leaves", false, 100, 300, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeedRandom(3);
        LoadWheel(8, c.backdrop);
        Step();
        Arrange(1);
        std::swap(Segment(0).place, Segment(4).place);
        Mouse.x = c.x;
        Mouse.y = c.y;
        if (c.escape) {
            PressEscape();
        } else {
            Press(c.x, c.y);
        }
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Wheel().finished, c.leaves);
        if (c.leaves) {
            StepSeconds(2.1f);
            EXPECT_TRUE(All<WheelOfTimeMngr>().empty());
            EXPECT_EQ(CompletionFlag(), 0);
            EXPECT_FALSE(ModalLevel->won);
        }
    }
}

TEST_F(WheelOfTimeTest, TheShuffleIsTheSameForTheSameSeed) {
    std::vector<int> first;
    for (int run = 0; run < 2; ++run) {
        SeedRandom(11);
        LoadWheel();
        Step();
        std::vector<int> places;
        for (int v = 0; v < 8; ++v) {
            places.push_back(Segment(v).place);
        }
        if (run == 0) {
            first = places;
        } else {
            EXPECT_EQ(places, first);
        }
    }
}

TEST_F(WheelOfTimeTest, AWheelWithoutItsEightSegmentsIsRefusedNamingItsFile) {
    try {
        LoadWheel(7);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "levels/board.txt: the wheel of time has no segment 7");
    }
}

} // namespace
