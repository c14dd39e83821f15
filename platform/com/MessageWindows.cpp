#include "platform/com/MessageWindows.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

constexpr std::size_t kQueueLimit = 10000;

struct MessageQueue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<WindowMessage> messages;
    bool destroyed = false;
};

struct Windows {
    std::mutex lock;
    WindowId nextId = 1;
    std::map<WindowId, std::shared_ptr<MessageQueue>> queues;
};

Windows& TheWindows() {
    static Windows* windows = new Windows; // outlives every static destructor of the process
    return *windows;
}

std::shared_ptr<MessageQueue> QueueOf(WindowId window) {
    Windows& windows = TheWindows();
    const std::lock_guard guard(windows.lock);
    const auto found = windows.queues.find(window);
    return found == windows.queues.end() ? nullptr : found->second;
}

} // namespace

WindowId CreateMessageWindow() noexcept {
    try {
        Windows& windows = TheWindows();
        const std::lock_guard guard(windows.lock);
        if (windows.nextId == 0) {
            return 0; // every id has been handed out once
        }
        windows.queues.emplace(windows.nextId, std::make_shared<MessageQueue>());
        return windows.nextId++;
    } catch (...) {
        return 0;
    }
}

void DestroyMessageWindow(WindowId window) noexcept {
    std::shared_ptr<MessageQueue> queue;
    {
        Windows& windows = TheWindows();
        const std::lock_guard guard(windows.lock);
        const auto found = windows.queues.find(window);
        if (found == windows.queues.end()) {
            return;
        }
        queue = std::move(found->second);
        windows.queues.erase(found);
    }
    const std::lock_guard guard(queue->lock);
    queue->destroyed = true;
    queue->messages.clear();
    queue->arrived.notify_all();
}

bool PostWindowMessage(WindowId window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) noexcept {
    try {
        const std::shared_ptr<MessageQueue> queue = QueueOf(window);
        if (!queue) {
            return false;
        }
        const std::lock_guard guard(queue->lock);
        if (queue->destroyed || queue->messages.size() >= kQueueLimit) {
            return false;
        }
        queue->messages.push_back({message, wParam, lParam});
        queue->arrived.notify_one();
        return true;
    } catch (...) {
        return false;
    }
}

bool PeekWindowMessage(WindowId window, WindowMessage* message) noexcept {
    return WaitWindowMessage(window, 0, message);
}

bool WaitWindowMessage(WindowId window, uint32_t timeoutMilliseconds,
                       WindowMessage* message) noexcept {
    if (message == nullptr) {
        return false;
    }
    try {
        const std::shared_ptr<MessageQueue> queue = QueueOf(window);
        if (!queue) {
            return false;
        }
        std::unique_lock guard(queue->lock);
        queue->arrived.wait_for(guard, std::chrono::milliseconds(timeoutMilliseconds),
                                [&] { return queue->destroyed || !queue->messages.empty(); });
        if (queue->destroyed || queue->messages.empty()) {
            return false;
        }
        *message = queue->messages.front();
        queue->messages.pop_front();
        return true;
    } catch (...) {
        return false;
    }
}
