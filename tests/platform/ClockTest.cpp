#include "platform/os/Clock.h"

#include "platform/os/Seams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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

TEST(ClockTest, SleepWithTheSeamSetTellsItInsteadOfSleeping) {
    std::vector<uint32_t> slept;
    Seams().sleep = [&](uint32_t milliseconds) { slept.push_back(milliseconds); };
    const uint32_t before = Clock().Milliseconds();
    Sleep(60'000);
    Sleep(50);
    EXPECT_LT(Clock().Milliseconds() - before, 30'000u);
    EXPECT_EQ(slept, (std::vector<uint32_t>{60'000, 50}));
    ResetSeams();
}
