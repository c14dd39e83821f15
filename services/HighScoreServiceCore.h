#pragma once

#include "platform/com/MessageWindows.h"
#include "platform/com/Result.h"
#include "platform/net/HttpClient.h"
#include "services/ErrorConstants.h"
#include "services/RequestCodec.h"
#include "services/ScoreList.h"

#include <array>
#include <cstdint>
#include <mutex>
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

// Where an asynchronous operation posts its completion, with both parameters 0.
struct Completion {
    WindowId window = 0;
    uint32_t message = 0;
};

// The state and operations of a high-score service, shared by the object that hosts call and
// by its worker thread. One lock guards every member; it is held only while members are read or
// written, never during an exchange with the server or a file operation, so a Stop or a property
// read never waits for the network. Strings are narrow text in the system code page.
class HighScoreServiceCore {
public:
    // Who runs an operation. Operations of the worker end quietly once the worker is stopped:
    // they store nothing more and post nothing.
    enum class Caller { Host, Worker };

    HighScoreServiceCore();
    ~HighScoreServiceCore();
    HighScoreServiceCore(const HighScoreServiceCore&) = delete;
    HighScoreServiceCore& operator=(const HighScoreServiceCore&) = delete;

    HRESULT GetHighScores(const GetScoresArguments& arguments, Caller caller = Caller::Host);
    HRESULT ReportHighScore(const ReportScoreArguments& arguments, Caller caller = Caller::Host);
    HRESULT LoadHighScores(const std::string& certificate, int32_t game);

    // The first half of a Begin operation: clears and checks as the operation itself does, then
    // keeps a copy of the arguments for the worker, replacing any that it has not taken yet.
    // Once the worker is stopped the checks are followed by 17 "unknown error" and E_FAIL.
    HRESULT BeginGet(const GetScoresArguments& arguments, const Completion& completion);
    HRESULT BeginReport(const ReportScoreArguments& arguments, const Completion& completion);

    // The worker's callbacks: run the operation with the kept arguments and post its
    // completion. A failure that left the error at 0 (an answer that did not apply) stores 17
    // "unknown error" first, so that the host can tell it from success.
    void RunGet();
    void RunReport();

    // The worker ends: the exchange in progress is cancelled, nothing more is posted, and an
    // operation that was begun but will now never complete leaves 17 "unknown error".
    void StopWorkerOperations();
    void StoreUnknownError();

    std::string CompanyName() const;
    void SetCompanyName(std::string name);
    std::string GameFolder() const;
    void SetGameFolder(std::string folder);
    ServiceError Error() const;
    std::vector<ScoreItem> ListItems(ScoreListIndex list) const;

    // The bounds of every exchange from now on (tests shorten the time-outs).
    void SetTransportLimits(const HttpLimits& newLimits);

private:
    // The operations a Begin asked for and the worker has completed; they differ while one is
    // waiting or running.
    struct Pending {
        uint64_t asked = 0;
        uint64_t completed = 0;
        Completion completion;
    };

    bool Abandoned(Caller caller) const { return caller == Caller::Worker && workerStopped; }
    HRESULT Refuse(int32_t number, const char* text, HRESULT result);
    void ClearForOperation(bool periodLists);
    HRESULT CheckProperties();
    HRESULT CheckGet(const GetScoresArguments& arguments);
    HRESULT CheckReport(const ReportScoreArguments& arguments);
    void Complete(Pending& pending, uint64_t asked, HRESULT result);
    template <typename Arguments>
    HRESULT Begin(const Arguments& arguments, Arguments& stored, Pending& pending,
                  const Completion& completion, bool clearLists,
                  HRESULT (HighScoreServiceCore::*check)(const Arguments&));
    template <typename Arguments>
    void Run(const Arguments& stored, Pending& pending,
             HRESULT (HighScoreServiceCore::*operation)(const Arguments&, Caller));

    mutable std::mutex lock;
    std::string companyName;
    std::string gameFolder;
    ServiceError error;
    std::array<ScoreList, kScoreListCount> lists;
    RequestCodec codec; // keeps no state: used without the lock
    std::string lastCertificate;
    int32_t lastGame = 0;
    std::string lastRequest;
    std::string lastAnswer;
    std::string lastData;
    std::string lastEndpoint;
    HttpLimits limits;

    HttpCancel workerCancel;
    bool workerStopped = false;
    GetScoresArguments getArguments;
    ReportScoreArguments reportArguments;
    Pending pendingGet;
    Pending pendingReport;
};
