#pragma once

// A main loop that tests can drive: a manual clock that moves on at every look into the message
// queue (one per pass), scripted events handed out at chosen looks, a recording graphics device,
// a recording audio layer, and the real game window on the headless display.

#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "platform/audio/RecordingAudio.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Clock.h"
#include "platform/os/Seams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// What the processes, the hooks and the pumps did, in order ("pump", "<name>.Update", ...).
extern std::vector<std::string> Calls;

// A process that journals each of its operations as "<name>.<operation>" and can be given
// behaviour.
class TestProcess : public XProcess {
public:
    explicit TestProcess(std::string name);
    ~TestProcess() override;

    void Begin() override;
    void End() override;
    void DeviceRestored() override;
    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void DeviceLost() override;
    void PreRender() override;
    void PostRender() override;
    void Suspend() override;
    void Resume() override;

    std::string name;
    int steps = 0; // Updates so far
    // Called in each Update with the step's number, from 1.
    std::function<void(TestProcess&, int step)> onUpdate;
    std::function<void(TestProcess&)> onEnd;
    std::function<void(TestProcess&)> onDeviceLost;
    std::function<void(TestProcess&)> onDeviceRestored;
    std::vector<float> stepTimes;

private:
    void Note(const char* operation);
};

// Stands in for the program above the loop; each test sets what it watches.
struct LoopClientStub final : MainLoopClient {
    void SaveProfile() override { Call(onSave); }
    void ReleaseFontBuffers() override { Call(onReleaseFonts); }
    void RestoreFontBuffers() override { Call(onRestoreFonts); }
    void DrawCursor(float x, float y) override {
        if (onCursor) {
            onCursor(x, y);
        }
    }
    void FramePresented() override {}

    static void Call(const std::function<void()>& f) {
        if (f) {
            f();
        }
    }

    std::function<void()> onSave;
    std::function<void()> onReleaseFonts;
    std::function<void()> onRestoreFonts;
    std::function<void(float x, float y)> onCursor;
};
// Installed by ResetLoopGlobals, with nothing set.
extern LoopClientStub TestLoopClient;

// Every global the main loop touches, back to a normal start.
void ResetLoopGlobals();
// The Calls whose text is one of these, in order.
std::vector<std::string> Only(std::initializer_list<const char*> wanted);

class LoopTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the game window and the device anew, in a window or in full screen.
    void OpenGameWindow(bool fullScreen);
    // The event is handed out at that look into the queue (counted from 1 for the whole test).
    void At(int pump, SyntheticEvent event);
    // The event is handed out at the next look into the queue.
    void Next(SyntheticEvent event);
    // An event of the game window.
    static SyntheticEvent Event(SyntheticEvent::Type type, int key = 0, int x = 0, int y = 0);
    // Recorded device calls that begin with prefix.
    int CountCalls(const std::string& prefix) const;

    ManualClock clock;
    RecordingScript script;
    RecordingAudio audio;
    int pumps = 0;
    // Steps of clock time that pass at each look into the queue: the listed ones first, then
    // one each.
    std::vector<double> stepsPerPump;
    std::vector<uint32_t> sleeps;
    std::map<int, std::vector<SyntheticEvent>> events;
};
