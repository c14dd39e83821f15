#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The worker thread of one service object. It waits for any of its entries' events and runs
// the entry's callback, one at a time; entry 0 is the stop event. Each event is auto-reset and
// holds at most one signal, so signals that come while the worker is busy are merged into one
// run. When several are waiting the lowest entry runs first.
class EventWorker {
public:
    using Callback = std::function<void()>;

    // How long Stop waits for the thread to end.
    static constexpr std::chrono::milliseconds kStopWait{500};

    EventWorker();
    // Stops the thread.
    ~EventWorker();
    EventWorker(const EventWorker&) = delete;
    EventWorker& operator=(const EventWorker&) = delete;

    // Adds an entry before the start; returns its number (1, 2, ...), or 0 once started.
    std::size_t AddEntry(Callback callback);
    // Starts the thread; false when it cannot be made.
    bool Start();
    // Signals an entry's event; false when the worker does not run (not started, or stopped).
    bool Signal(std::size_t entry);

    // Ends the thread for good: signals the stop event and waits for the thread to end, up to
    // kStopWait while it is inside a callback. A thread still inside a callback then finishes
    // that callback on its own: it owns the entries (and what their callbacks hold) until it
    // ends. Nothing to do when the thread does not run.
    void Stop();
    // Started and not stopped.
    bool Running() const;

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared;
    std::mutex control; // Start and Stop of several threads take turns on the thread
    std::thread thread;
};
