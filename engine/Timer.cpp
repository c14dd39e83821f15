#include "engine/Timer.h"

#include "engine/Log.h"
#include "platform/os/Clock.h"

#include <cstdint>

Timer FrameTimer(60.0);

namespace {

constexpr double kMinFrameTime = 0.001;

// Whole steps at a time; a clock that moved backwards counts no steps rather than wrapping.
uint32_t WholeSteps(double rate, double seconds) {
    const double steps = rate * seconds;
    if (!(steps > 0.0)) {
        return 0;
    }
    return steps >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(steps);
}

} // namespace

Timer::Timer(double rate) : rate(rate) {}

double Timer::GetTime() const {
    const ClockSource& clock = Clock();
    if (hasCounter) {
        return static_cast<double>(clock.Counter() - counterStart) /
               static_cast<double>(counterFrequency);
    }
    return (static_cast<double>(clock.Milliseconds()) - startMilliseconds) / millisecondsPerSecond;
}

double Timer::SecondsToNextStep() const {
    return (static_cast<double>(totalSteps) + 1.0) / rate - GetTime();
}

void Timer::SetRate(double stepsPerSecond) {
    rate = stepsPerSecond;
    counterFrequency = Clock().Frequency();
    hasCounter = counterFrequency > 0;
    Reset();
}

void Timer::Reset() {
    const ClockSource& clock = Clock();
    if (hasCounter) {
        counterStart = clock.Counter();
    } else {
        startMilliseconds = static_cast<double>(clock.Milliseconds());
    }
    totalSteps = 0;
    averageFrameTime = kMinFrameTime;
    stepsDue = 0;
    ringIndex = 0;
    previousTime = 0.0;
    for (double& frameTime : lastFrameTimes) {
        frameTime = 1.0 / 60.0;
    }
    startTime = GetTime();
    started = true;
}

void Timer::Start() {
    const double now = GetTime();
    averageFrameTime = kMinFrameTime;
    stepsDue = 0;
    totalSteps = WholeSteps(rate, now);
    previousTime = now - 0.01;
}

void Timer::Update() {
    const double now = GetTime();
    const uint32_t steps = WholeSteps(rate, now);
    stepsDue = static_cast<int32_t>(steps - totalSteps);
    totalSteps = steps;
    lastFrameTimes[ringIndex] = now - previousTime;
    previousTime = now;
    ringIndex = (ringIndex + 1) % kRingSize;
    double sum = 0.0;
    for (const double frameTime : lastFrameTimes) {
        sum += frameTime;
    }
    averageFrameTime = sum / kRingSize;
    if (averageFrameTime < kMinFrameTime) {
        averageFrameTime = kMinFrameTime;
    }
}

bool Timer::TickFrameRate() {
    const double now = GetTime();
    ++framesCounted;
    if (lastRateTime == 0.0) {
        lastRateTime = now;
    }
    if (now - lastRateTime < 1.0) {
        return false;
    }
    framesPerSecond = static_cast<float>(framesCounted / (now - lastRateTime));
    framesCounted = 0;
    lastRateTime = now;
    return true;
}

// A slow call is only ever told in the log: without it, nothing is timed, which spares every draw
// of a frame its clock reads.
void CallTimer::Start(const char* callName) {
    if (!LogEnabled) {
        timed = false;
        return;
    }
    Start(callName, FrameTimer.GetTime());
}

void CallTimer::Start(const char* callName, double startTime) {
    timed = LogEnabled;
    if (timed) {
        name = callName;
        start = startTime;
    }
}

double CallTimer::Stop() {
    if (!timed) {
        return 0.0;
    }
    timed = false;
    const double now = FrameTimer.GetTime();
    const double seconds = now - start;
    if (seconds > kSlowCallSeconds) {
        DebugLog("%s took %lf seconds.\n", name.c_str(), seconds);
    }
    name.clear();
    return now;
}
