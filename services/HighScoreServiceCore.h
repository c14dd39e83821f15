#pragma once

#include "services/ScoreList.h"
#include "services/ServiceCore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GetScoresArguments {
    std::string certificate;
    int32_t game = 0;
    int32_t count = 0;
    std::string login;
    std::string password;
};

struct ReportScoreArguments {
    std::string certificate;
    int32_t game = 0;
    int32_t gameMode = 0;
    std::string name;
    int64_t score = 0;
    std::string scoreDescription;
    std::string login;
    std::string password;
};

// The state and operations of a high-score service, shared by the object that hosts call and
// by its worker thread (see ServiceCore for the lock).
class HighScoreServiceCore : public ServiceCore {
public:
    HighScoreServiceCore();

    HRESULT GetHighScores(const GetScoresArguments& arguments, Caller caller = Caller::Host);
    HRESULT ReportHighScore(const ReportScoreArguments& arguments, Caller caller = Caller::Host);
    HRESULT LoadHighScores(const std::string& certificate, int32_t game);

    // The first half of a Begin operation (see ServiceCore::Begin).
    HRESULT BeginGet(const GetScoresArguments& arguments, const Completion& completion);
    HRESULT BeginReport(const ReportScoreArguments& arguments, const Completion& completion);

    // The worker's callbacks: run the operation with the kept arguments and post its
    // completion.
    void RunGet();
    void RunReport();

    // The worker ends: the exchange in progress is cancelled, nothing more is posted, and an
    // operation that was begun but will now never complete leaves 17 "unknown error".
    void StopWorkerOperations();

    std::vector<ScoreItem> ListItems(ScoreListIndex list) const;

private:
    // The period lists (all but the one the service reports into).
    void ClearResults() override;
    HRESULT CheckGet(const GetScoresArguments& arguments);
    HRESULT CheckReport(const ReportScoreArguments& arguments);

    std::array<ScoreList, kScoreListCount> lists;
    GetScoresArguments getArguments;
    ReportScoreArguments reportArguments;
    Pending pendingGet;
    Pending pendingReport;
};
