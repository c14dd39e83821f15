#pragma once

#include <cstdint>
#include <string>

// The clock of the fixed-step main loop: counts whole steps at its rate, the steps due since the
// last update, the average frame time and the frame rate. Reads time through the platform clock,
// so tests can drive it.
class Timer {
public:
    static constexpr int kRingSize = 10;

    explicit Timer(double rate);

    // Seconds since the last Reset.
    double GetTime() const;
    // Time until the step after the last counted one is due; 0 or less when it is due already.
    double SecondsToNextStep() const;
    // Sets the rate, learns whether the clock has a high-resolution counter, and resets.
    void SetRate(double stepsPerSecond);
    void Reset();
    // Restarts from now so that lost time is not made up in catch-up steps.
    void Start();
    // Once per pass of the main loop: finds the steps due and the frame time.
    void Update();
    // Once per drawn frame while the frame rate is shown; true when the rate was measured anew.
    bool TickFrameRate();

    double Rate() const { return rate; }
    uint32_t TotalSteps() const { return totalSteps; }
    int32_t StepsDue() const { return stepsDue; }
    double AverageFrameTime() const { return averageFrameTime; }
    float FramesPerSecond() const { return framesPerSecond; }
    bool Started() const { return started; }
    bool HasCounter() const { return hasCounter; }

private:
    double rate;
    uint32_t totalSteps = 0;
    bool hasCounter = false;
    double millisecondsPerSecond = 1000.0;
    double startMilliseconds = 0.0;
    int64_t counterFrequency = 0;
    int64_t counterStart = 0;
    double averageFrameTime = 0.001;
    double lastFrameTimes[kRingSize] = {};
    double previousTime = 0.0;
    int32_t ringIndex = 0;
    float framesPerSecond = 0.0f;
    int32_t framesCounted = 0;
    double lastRateTime = 0.0;
    int32_t stepsDue = 0;
    bool started = false;
    double startTime = 0.0;
};

// The main loop's clock, 60 steps a second.
extern Timer FrameTimer;

// Logs device calls that take longer than half a second.
class CallTimer {
public:
    static constexpr double kSlowCallSeconds = 0.5;

    void Start(const char* callName);
    // Starts at a time already read: a call that follows another at once starts when it stopped.
    void Start(const char* callName, double startTime);
    // Returns the time it stopped at; 0 when the call was not timed (the log was off).
    double Stop();

private:
    std::string name;
    double start = 0.0;
    bool timed = false;
};
