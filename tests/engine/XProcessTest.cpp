#include "engine/XProcess.h"

#include "engine/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

class Journaled : public XProcess {
public:
    explicit Journaled(std::string name) : name(std::move(name)) {}

    void Suspend() override {
        calls.push_back(name + ".Suspend");
        if (throwOnSuspend) {
            throw Exception("no");
        }
    }
    void Resume() override {
        calls.push_back(name + ".Resume");
        if (throwOnResume) {
            throw Exception("no");
        }
    }

    std::string name;
    bool throwOnSuspend = false;
    bool throwOnResume = false;
};

class XProcessTest : public testing::Test {
protected:
    XProcessTest() {
        calls.clear();
        CurrentProcess = nullptr;
    }
    ~XProcessTest() override { CurrentProcess = nullptr; }
};

TEST_F(XProcessTest, StackedProcessesSuspendAndResumeTheOneBelowInPairs) {
    auto* first = new Journaled("first");
    EXPECT_EQ(first->covered, nullptr);
    EXPECT_EQ(first->state, 1);
    EXPECT_EQ(first->result, 0);
    EXPECT_EQ(first->flag, 0);
    EXPECT_EQ(CurrentProcess, first);

    auto* second = new Journaled("second");
    auto* third = new Journaled("third");
    EXPECT_EQ(second->covered, first);
    EXPECT_EQ(CurrentProcess, third);
    delete third;
    EXPECT_EQ(CurrentProcess, second);
    delete second;
    EXPECT_EQ(CurrentProcess, first);
    delete first;
    EXPECT_EQ(CurrentProcess, nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"first.Suspend", "second.Suspend", "second.Resume",
                                               "first.Resume"}));
}

TEST_F(XProcessTest, ProcessWhoseCoveredProcessCannotSuspendIsNotOnTheStack) {
    auto* first = new Journaled("first");
    first->throwOnSuspend = true;
    EXPECT_THROW(new Journaled("second"), Exception);
    EXPECT_EQ(CurrentProcess, first);
    first->throwOnSuspend = false;
    delete first;
}

TEST_F(XProcessTest, ThrowingResumeReachesWhoeverDeletesAndThePopStands) {
    auto* first = new Journaled("first");
    auto* second = new Journaled("second");
    first->throwOnResume = true;
    EXPECT_THROW(delete second, Exception); // freed all the same (the sanitizers would tell)
    EXPECT_EQ(CurrentProcess, first);
    first->throwOnResume = false;
    delete first;
}

} // namespace
