#include "platform/com/CodePage.h"
#include "services/ServicesModule.h"
#include "tests/services/HighScoreFixture.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

using HighScoreWorkerTest = HighScoreFixture;

void ExpectCompletion(const std::optional<WindowMessage>& message) {
    ASSERT_TRUE(message.has_value()) << "no completion was posted";
    EXPECT_EQ(message->message, HighScoreFixture::kDone);
    EXPECT_EQ(message->wParam, 0u);
    EXPECT_EQ(message->lParam, 0);
}

TEST_F(HighScoreWorkerTest, ABegunGetCompletesWithAPostedMessage) {
    // The worker may already be running when Begin returns, so the properties are read only once
    // it has completed.
    ASSERT_EQ(BeginGet(), S_OK);
    ExpectCompletion(NextCompletion());
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 0, "error number: 0"}));
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
    EXPECT_EQ(Scores(kMonthlyList), kMonthly);
    EXPECT_EQ(GameFolder(), "crypt quest");
    EXPECT_FALSE(PostedCompletion()) << "one completion for one operation";
}

TEST_F(HighScoreWorkerTest, ABegunReportCompletesWithAPostedMessage) {
    ASSERT_EQ(BeginReport("Eve", 6000000000), S_OK);
    ExpectCompletion(NextCompletion());
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 0, ""}));
    ASSERT_EQ(server.Calls().size(), 1u);
    EXPECT_NE(server.Calls()[0].innerDocument.find("<value>6000000000</value>"), std::string::npos);
}

TEST_F(HighScoreWorkerTest, TheWindowIsTheLowHalfOfTheHandle) {
    const int64_t handle = int64_t{0x7ABC} << 32 | window;
    ASSERT_EQ(service->BeginGetHighScores(Bstr::FromNarrow(kKey).Get(), kGame, 10,
                                          Bstr::FromNarrow(kLogin).Get(),
                                          Bstr::FromNarrow(kPassword).Get(), handle, kDone),
              S_OK);
    ExpectCompletion(NextCompletion());
}

TEST_F(HighScoreWorkerTest, AFailedOperationStillCompletesAndNeverLeavesErrorZero) {
    const struct {
        const char* what;
        ServerFault fault;
        Outcome outcome;
    } cases[] = {
        {"SOAP fault",
         {ServerFault::Kind::SoapFault},
         {S_OK, 7, "The server returned a SOAP fault."}},
        {"a status of the server",
         {ServerFault::Kind::Status, 0, 0, 51},
         {S_OK, 51, "error number: 51"}},
        // Synchronously this leaves 0 beside E_FAIL; a host waiting for the message sees only
        // the properties.
        {"payload of another key", {ServerFault::Kind::WrongKey}, {S_OK, 17, "unknown error"}},
    };
    for (const auto& c : cases) {
        server.SetFault(c.fault);
        ASSERT_EQ(BeginGet(), S_OK) << c.what;
        ExpectCompletion(NextCompletion());
        EXPECT_EQ(Observe(S_OK), c.outcome) << c.what;
        EXPECT_TRUE(Scores(kAlltimeList).empty()) << c.what;
    }
}

TEST_F(HighScoreWorkerTest, BegunOperationsWaitingTogetherRunOnceWithTheLastArguments) {
    service->SetTransportLimits(ShortLimits());
    server.SetFault({ServerFault::Kind::Hang});
    ASSERT_EQ(BeginReport(), S_OK);
    ASSERT_TRUE(WaitForCalls(1)); // the worker is inside the report, which hangs
    // Only the hanging report needs the short time-out; a busy machine may take longer than
    // that over the answered calls that follow.
    service->SetTransportLimits(HttpLimits{});
    ASSERT_EQ(BeginGet(3), S_OK);
    ASSERT_EQ(BeginGet(5), S_OK);
    server.SetFault({});
    ExpectCompletion(NextCompletion());
    ExpectCompletion(NextCompletion());
    EXPECT_FALSE(PostedCompletion());

    const std::vector<RecordedCall> calls = server.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].operation, "func2");
    EXPECT_EQ(calls[1].operation, "func1");
    EXPECT_NE(calls[1].innerDocument.find("<count>5</count>"), std::string::npos);
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 0, "error number: 0"}));
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
}

TEST_F(HighScoreWorkerTest, StoppingAnIdleWorkerEndsTheAsynchronousOperations) {
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(service->StopGetHighScores(), S_OK);
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 0, "error number: 0"})) << "nothing was pending";

    EXPECT_EQ(Observe(BeginGet()), (Outcome{E_FAIL, 17, "unknown error"}));
    EXPECT_EQ(Observe(BeginReport()), (Outcome{E_FAIL, 17, "unknown error"}));
    EXPECT_EQ(Observe(BeginGet(10, "")), (Outcome{E_INVALIDARG, 11, "certificate cannot be blank"}))
        << "the checks still come first";
    EXPECT_FALSE(PostedCompletion());
    EXPECT_EQ(server.Calls().size(), 1u);

    EXPECT_EQ(service->StopReportHighScore(), S_OK) << "stopping twice stops nothing twice";
    EXPECT_EQ(Observe(Get()), (Outcome{S_OK, 0, "error number: 0"}))
        << "the synchronous operations go on working";
}

TEST_F(HighScoreWorkerTest, StopCancelsAHangingCallAndPostsNothing) {
    server.SetFault({ServerFault::Kind::Hang}); // the service's own time-out is a minute
    ASSERT_EQ(BeginGet(), S_OK);
    ASSERT_TRUE(WaitForCalls(1));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(service->StopReportHighScore(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << "the stop did not wait it out";
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 17, "unknown error"}))
        << "the operation will never complete";
    EXPECT_TRUE(Scores(kAlltimeList).empty());
    EXPECT_FALSE(PostedCompletion());
}

TEST_F(HighScoreWorkerTest, ReleasingTheServiceDuringAHangingCallEndsItsWorker) {
    server.SetFault({ServerFault::Kind::Hang});
    ASSERT_EQ(BeginReport(), S_OK);
    ASSERT_TRUE(WaitForCalls(1));
    service.Reset();
    EXPECT_FALSE(ServicesModule().InUse()) << "the worker has ended with the service";
    EXPECT_FALSE(PostedCompletion());
}

TEST_F(HighScoreWorkerTest, HostThreadsAndTheWorkerShareTheServiceSafely) {
    std::atomic<bool> running{true};
    std::vector<std::thread> hosts;
    // Readers and writers of the properties and lists, while the other operations run.
    hosts.emplace_back([&] {
        while (running) {
            service->put_GameFolder(Bstr::FromNarrow("Crypt Quest").Get());
            int32_t error = 0;
            service->get_Error(&error);
            Bstr text;
            service->get_ErrorDescription(text.Put());
            ComRef<IVGHighScores> scores;
            service->AlltimeScores(scores.Put());
            std::this_thread::yield();
        }
    });
    hosts.emplace_back([&] {
        for (int i = 0; i < 10; ++i) {
            Get();
            Load();
        }
    });
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(BeginGet(), S_OK);
        EXPECT_EQ(BeginReport(), S_OK);
        ExpectCompletion(NextCompletion());
        ExpectCompletion(NextCompletion());
    }
    hosts[1].join();
    running = false;
    hosts[0].join();
    EXPECT_EQ(Observe(Get()), (Outcome{S_OK, 0, "error number: 0"}));
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
}

} // namespace
