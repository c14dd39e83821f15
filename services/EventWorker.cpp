#include "services/EventWorker.h"

#include <condition_variable>
#include <mutex>
#include <vector>

struct EventWorker::Shared {
    std::mutex lock;
    std::condition_variable signalled;
    std::condition_variable finished;
    std::vector<Callback> callbacks{Callback()}; // entry 0: the stop event
    std::vector<bool> events{false};
    bool started = false;
    bool stopped = false;
    bool busy = false; // inside a callback
    bool done = false;
};

EventWorker::EventWorker() : shared(std::make_shared<Shared>()) {}

EventWorker::~EventWorker() {
    Stop();
}

std::size_t EventWorker::AddEntry(Callback callback) {
    const std::lock_guard guard(shared->lock);
    if (shared->started) {
        return 0; // the running thread reads the table without the lock
    }
    shared->callbacks.push_back(std::move(callback));
    shared->events.push_back(false);
    return shared->callbacks.size() - 1;
}

bool EventWorker::Start() {
    const std::lock_guard controlGuard(control);
    {
        const std::lock_guard guard(shared->lock);
        if (shared->started || shared->stopped) {
            return false;
        }
        shared->started = true;
    }
    try {
        thread = std::thread(&EventWorker::Run, shared);
        return true;
    } catch (...) {
        const std::lock_guard guard(shared->lock);
        shared->stopped = true;
        return false;
    }
}

bool EventWorker::Running() const {
    const std::lock_guard guard(shared->lock);
    return shared->started && !shared->stopped;
}

bool EventWorker::Signal(std::size_t entry) {
    const std::lock_guard guard(shared->lock);
    if (!shared->started || shared->stopped || entry == 0 || entry >= shared->events.size()) {
        return false;
    }
    shared->events[entry] = true;
    shared->signalled.notify_one();
    return true;
}

void EventWorker::Run(std::shared_ptr<Shared> shared) {
    std::unique_lock guard(shared->lock);
    for (;;) {
        std::size_t entry = 0;
        shared->signalled.wait(guard, [&] {
            for (entry = 0; entry < shared->events.size(); ++entry) {
                if (shared->events[entry]) {
                    return true;
                }
            }
            return false;
        });
        if (entry == 0) {
            break;
        }
        shared->events[entry] = false;
        const Callback& callback = shared->callbacks[entry];
        shared->busy = true;
        guard.unlock();
        try {
            callback();
        } catch (...) {
            // A callback that fails has nothing to post; the worker waits for the next signal.
        }
        guard.lock();
        shared->busy = false;
    }
    shared->done = true;
    shared->finished.notify_all();
}

void EventWorker::Stop() {
    const std::lock_guard controlGuard(control);
    if (!thread.joinable()) {
        return;
    }
    std::unique_lock guard(shared->lock);
    shared->stopped = true;
    shared->events[0] = true;
    shared->signalled.notify_one();
    if (thread.get_id() == std::this_thread::get_id()) {
        // Stopped from one of its own callbacks: the thread ends when that returns.
        guard.unlock();
        thread.detach();
        return;
    }
    bool ended = shared->finished.wait_for(guard, kStopWait, [&] { return shared->done; });
    if (!ended && !shared->busy) {
        // Only waiting for its events, the thread sees the stop event first and ends as soon as
        // it is scheduled, however loaded the machine is: wait for that. Only a callback still
        // running (a slow download) is left to finish on its own.
        shared->finished.wait(guard, [&] { return shared->done; });
        ended = true;
    }
    guard.unlock();
    if (ended) {
        thread.join();
    } else {
        thread.detach(); // it holds its own share of the entries and finishes with them
    }
}
