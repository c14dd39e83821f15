#pragma once

#include <cstdint>

// The high-resolution clock of the platform: a counter with a fixed frequency, and a coarse
// millisecond clock. The game reads time only through these, so tests and scripted runs can
// put a clock of their own in place.
class ClockSource {
public:
    virtual ~ClockSource() = default;

    // Counts per second of Counter(); 0 when the platform has no high-resolution counter.
    virtual int64_t Frequency() const = 0;
    virtual int64_t Counter() const = 0;
    // Milliseconds since an arbitrary start; wraps around after 49.7 days.
    virtual uint32_t Milliseconds() const = 0;
};

// The clock in use: the system's steady clock unless SetClockSource gave another.
const ClockSource& Clock();

// Waits that long (the seam's sleep, when set, is told instead).
void Sleep(uint32_t milliseconds);

// True while the system's own clock is in use (no replacement set).
bool UsingSystemClock();

// Replaces the clock; null restores the system clock. The caller keeps ownership and must
// restore the system clock before the replacement is destroyed.
void SetClockSource(const ClockSource* source);

// A clock that moves only when told: for tests and scripted runs.
class ManualClock : public ClockSource {
public:
    // A frequency of 0 gives a clock without a counter (only Milliseconds moves).
    explicit ManualClock(int64_t frequency = 1'000'000) : frequency(frequency) {}

    int64_t Frequency() const override { return frequency; }
    int64_t Counter() const override { return counter; }
    uint32_t Milliseconds() const override;

    void AdvanceSeconds(double seconds);

private:
    int64_t frequency;
    int64_t counter = 0;
    double seconds = 0.0;
};
