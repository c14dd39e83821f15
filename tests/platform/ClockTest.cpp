#include "platform/os/Clock.h"

#include <gtest/gtest.h>

TEST(ClockTest, SystemClockMovesForward) {
    const ClockSource& clock = Clock();
    EXPECT_GT(clock.Frequency(), 0);
    const int64_t first = clock.Counter();
    EXPECT_GE(clock.Counter(), first);
}

TEST(ClockTest, ReplacedClockIsUsedUntilRestored) {
    ManualClock manual;
    SetClockSource(&manual);
    manual.AdvanceSeconds(1.5);
    EXPECT_EQ(Clock().Counter(), 1'500'000);
    EXPECT_EQ(Clock().Milliseconds(), 1500u);
    SetClockSource(nullptr);
    EXPECT_NE(&Clock(), &manual);
}

TEST(ClockTest, ManualClockWithoutCounterMovesOnlyMilliseconds) {
    ManualClock manual(0);
    manual.AdvanceSeconds(0.25);
    EXPECT_EQ(manual.Frequency(), 0);
    EXPECT_EQ(manual.Counter(), 0);
    EXPECT_EQ(manual.Milliseconds(), 250u);
}
