#include "engine/Timer.h"

#include "engine/Log.h"
#include "platform/os/Clock.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A timer on a clock that moves only when the test says so.
class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { SetClockSource(&clock); }
    void TearDown() override { SetClockSource(nullptr); }

    ManualClock clock;
};

} // namespace

TEST_F(TimerTest, FirstUpdateAfterStartReportsTheWholeStepsDue) {
    struct Case {
        double secondsAfterStart;
        int stepsDue;
    };
    const Case cases[] = {{0.0, 0}, {0.5 / 60.0, 0}, {1.0 / 60.0 + 1e-9, 1}, {0.1, 6}, {1.0, 60}};
    for (const Case& c : cases) {
        Timer timer(60.0);
        timer.SetRate(60.0);
        clock.AdvanceSeconds(3.25); // time the loop spent elsewhere is not made up
        timer.Start();
        clock.AdvanceSeconds(c.secondsAfterStart);
        timer.Update();
        EXPECT_EQ(timer.StepsDue(), c.stepsDue) << c.secondsAfterStart << " s after the start";
    }
}

TEST_F(TimerTest, UpdateCountsStepsOnceEach) {
    Timer timer(60.0);
    timer.SetRate(60.0);
    int total = 0;
    for (int pass = 0; pass < 100; ++pass) {
        clock.AdvanceSeconds(0.007);
        timer.Update();
        total += timer.StepsDue();
    }
    EXPECT_EQ(total, 42); // 0.7 s at 60 steps a second
    EXPECT_EQ(timer.TotalSteps(), 42u);
}

TEST_F(TimerTest, AverageFrameTimeIsTheRingMeanAndNeverBelowAMillisecond) {
    Timer timer(60.0);
    timer.SetRate(60.0);
    for (int pass = 0; pass < Timer::kRingSize; ++pass) {
        clock.AdvanceSeconds(0.0001);
        timer.Update();
    }
    EXPECT_DOUBLE_EQ(timer.AverageFrameTime(), 0.001);

    for (int pass = 0; pass < Timer::kRingSize; ++pass) {
        clock.AdvanceSeconds(0.02);
        timer.Update();
    }
    EXPECT_NEAR(timer.AverageFrameTime(), 0.02, 1e-9);
}

TEST_F(TimerTest, WorksWithoutAHighResolutionCounter) {
    ManualClock coarse(0);
    SetClockSource(&coarse);
    Timer timer(60.0);
    timer.SetRate(60.0);
    EXPECT_FALSE(timer.HasCounter());
    coarse.AdvanceSeconds(0.5);
    EXPECT_DOUBLE_EQ(timer.GetTime(), 0.5);
    timer.Update();
    EXPECT_EQ(timer.StepsDue(), 30);
}

TEST_F(TimerTest, FrameRateIsMeasuredOncePerSecond) {
    Timer timer(60.0);
    timer.SetRate(60.0);
    clock.AdvanceSeconds(0.1);
    EXPECT_FALSE(timer.TickFrameRate()); // the first frame starts the measurement
    for (int frame = 0; frame < 49; ++frame) {
        clock.AdvanceSeconds(0.02);
        EXPECT_FALSE(timer.TickFrameRate());
    }
    clock.AdvanceSeconds(0.02);
    EXPECT_TRUE(timer.TickFrameRate());
    EXPECT_NEAR(timer.FramesPerSecond(), 51.0f, 1e-3f);
}

TEST_F(TimerTest, CallTimerLogsOnlySlowCalls) {
    FrameTimer.SetRate(60.0);
    LogCapture log;
    CallTimer timer;
    timer.Start("CreateDevice");
    clock.AdvanceSeconds(0.4);
    timer.Stop();
    EXPECT_EQ(log.Text(), "");

    timer.Start("Reset");
    clock.AdvanceSeconds(0.75);
    timer.Stop();
    EXPECT_EQ(log.Text(), "Reset took 0.750000 seconds.\n");

    // Without the log a call is not timed, nor told once the log is on by its end.
    LogEnabled = false;
    timer.Start("Present");
    LogEnabled = true;
    clock.AdvanceSeconds(0.75);
    EXPECT_EQ(timer.Stop(), 0.0);
    EXPECT_EQ(log.Text(), "Reset took 0.750000 seconds.\n");
}
