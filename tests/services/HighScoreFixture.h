#pragma once

#include "platform/com/ComRef.h"
#include "platform/com/MessageWindows.h"
#include "platform/net/HttpClient.h"
#include "services/ErrorConstants.h"
#include "services/ScoreList.h"
#include "services/VGHighScoreService.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/soaptestserver/ServiceTestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

constexpr const char* kKey = "ORVEX-TEST-KEY-7";
constexpr const char* kLogin = "player@orvex.invalid";
constexpr const char* kPassword = "secret";
constexpr int32_t kGame = 7;

// The scores the server holds for game 7: a 64-bit value, two lists filled, one empty, and a
// "reported" list that no service ever takes over.
extern const std::string kScoresDocument;
extern const std::vector<ScoreItem> kAlltime;
extern const std::vector<ScoreItem> kMonthly;
extern const std::vector<ScoreItem> kWeekly;

// What an operation gave: its HRESULT and the service's error afterwards.
struct Outcome {
    HRESULT result = E_UNEXPECTED;
    int32_t error = -1;
    std::string description;

    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
        return out << "{0x" << std::hex << static_cast<uint32_t>(outcome.result) << std::dec << ", "
                   << outcome.error << ", \"" << outcome.description << "\"}";
    }
};

// A high-score service pointed at a local server that knows game 7, with its company and game
// folder set, its data folder in a temporary folder, and a window for its completions.
class HighScoreFixture : public ::testing::Test {
public:
    static constexpr uint32_t kDone = 0x8001; // the completion message the tests ask for

    void SetUp() override;
    void TearDown() override;

    // Another service on the same server and data folder, with the same properties.
    ComRef<VGHighScoreService> NewService() const;

    Outcome Observe(HRESULT result) const { return Observe(service.Get(), result); }
    static Outcome Observe(IVGHighScoreService* on, HRESULT result);

    HRESULT Get(const std::string& certificate = kKey, int32_t game = kGame, int32_t count = 10,
                const std::string& password = kPassword);
    HRESULT Report(const std::string& name = "Eve", int64_t score = 6000000000,
                   const std::string& certificate = kKey, int32_t game = kGame);
    HRESULT Load(const std::string& certificate = kKey, int32_t game = kGame);
    HRESULT BeginGet(int32_t count = 10, const std::string& certificate = kKey);
    HRESULT BeginReport(const std::string& name = "Eve", int64_t score = 6000000000);

    // The list as a host reads it through the service's collection.
    static std::vector<ScoreItem> Scores(IVGHighScoreService* on, ScoreListIndex list);
    std::vector<ScoreItem> Scores(ScoreListIndex list) const { return Scores(service.Get(), list); }
    std::string GameFolder() const;

    // The next completion posted to the window, waiting at most a few seconds.
    std::optional<WindowMessage> NextCompletion() const;
    // A completion already posted, without waiting.
    std::optional<WindowMessage> PostedCompletion() const;
    // Waits (at most a few seconds) until the server has seen `count` calls.
    bool WaitForCalls(std::size_t count) const;

    std::string ScoresFile() const;
    // The bounds of the service's exchanges: short, for the server's hanging answers.
    static HttpLimits ShortLimits();

protected:
    TempFolder folder;
    ServiceTestServer server;
    std::optional<ScopedEnvironment> connectTo;
    std::optional<ScopedEnvironment> commonData;
    WindowId window = 0;
    ComRef<VGHighScoreService> service;
};
