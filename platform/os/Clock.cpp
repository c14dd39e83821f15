#include "platform/os/Clock.h"

#include "platform/os/Seams.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

class SystemClock : public ClockSource {
public:
    int64_t Frequency() const override { return 1'000'000'000; }

    int64_t Counter() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    uint32_t Milliseconds() const override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
};

const SystemClock systemClock;
const ClockSource* currentClock = &systemClock;

} // namespace

const ClockSource& Clock() {
    return *currentClock;
}

void Sleep(uint32_t milliseconds) {
    if (Seams().sleep) {
        Seams().sleep(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool UsingSystemClock() {
    return currentClock == &systemClock;
}

void SetClockSource(const ClockSource* source) {
    currentClock = source != nullptr ? source : &systemClock;
}

uint32_t ManualClock::Milliseconds() const {
    return static_cast<uint32_t>(static_cast<uint64_t>(std::floor(seconds * 1000.0)));
}

void ManualClock::AdvanceSeconds(double delta) {
    seconds += delta;
    if (frequency > 0) {
        counter = static_cast<int64_t>(std::llround(seconds * static_cast<double>(frequency)));
    }
}
