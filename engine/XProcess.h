#pragma once

#include <cstdint>

// One screen of the game that runs its own frames: the main menu, the game, each modal screen,
// dialogue, mini-game, tutorial and video. Processes form a stack: building one makes it the
// current process and suspends the one below; destroying it makes the one below current again
// and resumes it. The main loop (RunProcess) runs the process at the top in a call of its own,
// nested in the call of the process that started it, and deletes it when it ends.
//
// Processes are made with new and handed to RunProcess, which owns them from then on.
class XProcess {
public:
    XProcess();
    // Resume of the covered process may throw (an Exception, like every other operation): the
    // throw goes on to whoever deletes this one.
    virtual ~XProcess() noexcept(false);
    XProcess(const XProcess&) = delete;
    XProcess& operator=(const XProcess&) = delete;

    // Once, before the main loop's first pass.
    virtual void Begin();
    // Once, after the loop ended or while an exception passes, right before the process is
    // deleted.
    virtual void End();
    // The window and the device were made again.
    virtual void DeviceRestored();
    // One fixed step of 1/60 s.
    virtual void Update(float dt);
    // Right after each Update, in the same step: the time to remove dead scene objects.
    virtual void AfterUpdate();
    // The main drawing stage of a frame.
    virtual void Render();
    // The device is about to be released: let go of what is held of it.
    virtual void DeviceLost();
    // The first drawing stage of a frame.
    virtual void PreRender();
    // The last drawing stage, before the picture is presented.
    virtual void PostRender();
    // A new process was built on top of this one.
    virtual void Suspend();
    // The process on top of this one was destroyed.
    virtual void Resume();

    XProcess* covered;  // the current process when this one was built; null for the first
    int32_t state = 1;  // 1 while running; the process ends itself by writing 0
    int32_t result = 0; // what RunProcess returns to whoever started the process
    uint8_t flag = 0;   // skip-present: the next frame is not presented, and the flag cleared
};

// The top of the process stack; null before the first process and after the last.
extern XProcess* CurrentProcess;
// The process of the innermost running RunProcess call; null once that call has returned, even
// while an outer call still runs.
extern XProcess* RunningProcess;
