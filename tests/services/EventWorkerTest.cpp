#include "services/EventWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A gate a callback waits at until the test opens it, and a record of what ran where.
class Recorder {
public:
    void Record(int entry) {
        const std::lock_guard guard(lock);
        runs.push_back(entry);
        threads.push_back(std::this_thread::get_id());
        changed.notify_all();
    }
    // Waits (at most a few seconds, so a fault fails instead of hanging) for `count` runs.
    bool WaitForRuns(std::size_t count) {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, 60s, [&] { return runs.size() >= count; });
    }
    void Open() {
        const std::lock_guard guard(lock);
        open = true;
        changed.notify_all();
    }
    bool WaitAtGate() {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, 60s, [&] { return open; });
    }
    std::vector<int> Runs() {
        const std::lock_guard guard(lock);
        return runs;
    }
    std::vector<std::thread::id> Threads() {
        const std::lock_guard guard(lock);
        return threads;
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    std::vector<int> runs;
    std::vector<std::thread::id> threads;
};

TEST(EventWorkerTest, RunsEachSignalledEntryOnItsOwnThread) {
    Recorder recorder;
    EventWorker worker;
    const std::size_t get = worker.AddEntry([&] { recorder.Record(1); });
    const std::size_t report = worker.AddEntry([&] { recorder.Record(2); });
    EXPECT_EQ(get, 1u);
    EXPECT_EQ(report, 2u);
    EXPECT_FALSE(worker.Signal(get)) << "not started yet";
    ASSERT_TRUE(worker.Start());
    EXPECT_TRUE(worker.Running());
    EXPECT_EQ(worker.AddEntry([] {}), 0u) << "the table is fixed once the thread runs";

    ASSERT_TRUE(worker.Signal(report));
    ASSERT_TRUE(recorder.WaitForRuns(1));
    ASSERT_TRUE(worker.Signal(get));
    ASSERT_TRUE(recorder.WaitForRuns(2));
    EXPECT_EQ(recorder.Runs(), (std::vector<int>{2, 1}));
    for (const std::thread::id id : recorder.Threads()) {
        EXPECT_NE(id, std::this_thread::get_id());
    }
    EXPECT_FALSE(worker.Signal(0)) << "the stop entry is not signalled from outside";
    EXPECT_FALSE(worker.Signal(3));
}

TEST(EventWorkerTest, SignalsWhileBusyAreMergedAndTheLowestEntryRunsFirst) {
    Recorder recorder;
    EventWorker worker;
    worker.AddEntry([&] {
        recorder.Record(1);
        recorder.WaitAtGate();
    });
    const std::size_t second = worker.AddEntry([&] { recorder.Record(2); });
    const std::size_t third = worker.AddEntry([&] { recorder.Record(3); });
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.Signal(1));
    ASSERT_TRUE(recorder.WaitForRuns(1)); // the worker is held inside entry 1

    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(worker.Signal(third));
        ASSERT_TRUE(worker.Signal(second));
    }
    recorder.Open();
    ASSERT_TRUE(recorder.WaitForRuns(3));
    worker.Stop();
    EXPECT_EQ(recorder.Runs(), (std::vector<int>{1, 2, 3}));
}

TEST(EventWorkerTest, StoppingEndsTheThreadForGood) {
    Recorder recorder;
    EventWorker worker;
    const std::size_t entry = worker.AddEntry([&] { recorder.Record(1); });
    worker.Stop(); // never started: nothing to do
    ASSERT_TRUE(worker.Start());
    worker.Stop();
    EXPECT_FALSE(worker.Running());
    EXPECT_FALSE(worker.Signal(entry));
    EXPECT_FALSE(worker.Start()) << "a stopped worker does not start again";
    worker.Stop(); // a second stop stops nothing twice
    EXPECT_TRUE(recorder.Runs().empty());
}

// What a callback works on; the worker's callbacks hold a share of it.
struct Context {
    Recorder recorder;
};

TEST(EventWorkerTest, AStopThatCannotWaitLeavesTheCallbackItsContext) {
    auto context = std::make_shared<Context>();
    const std::weak_ptr<Context> watch = context;
    auto worker = std::make_unique<EventWorker>();
    const std::size_t entry = worker->AddEntry([context] {
        context->recorder.Record(1);
        context->recorder.WaitAtGate(); // ignores the stop: only the test opens it
        context->recorder.Record(2);
    });
    ASSERT_TRUE(worker->Start());
    ASSERT_TRUE(worker->Signal(entry));
    ASSERT_TRUE(context->recorder.WaitForRuns(1));

    const auto started = std::chrono::steady_clock::now();
    worker->Stop();
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, EventWorker::kStopWait) << "the stop waits for the thread";
    EXPECT_EQ(context->recorder.Runs(), std::vector<int>{1}) << "the callback is still inside";
    worker.reset();

    // The owner lets go of everything; the callback still finishes with its context.
    Context& inside = *context;
    context.reset();
    EXPECT_FALSE(watch.expired());
    inside.recorder.Open();
    for (int wait = 0; wait < 60000 && !watch.expired(); ++wait) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(watch.expired()) << "the thread ended and let go of the context";
}

TEST(EventWorkerTest, ACallbackMayStopItsOwnWorker) {
    Recorder recorder;
    EventWorker worker;
    const std::size_t entry = worker.AddEntry([&] {
        worker.Stop();
        recorder.Record(1);
    });
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.Signal(entry));
    ASSERT_TRUE(recorder.WaitForRuns(1));
    EXPECT_FALSE(worker.Running());
}

} // namespace
