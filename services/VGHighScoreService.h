#pragma once

#include "services/AutomationObject.h"
#include "services/EventWorker.h"
#include "services/HighScoreInterfaces.h"
#include "services/ScoreList.h"

#include <cstddef>
#include <memory>

class HighScoreServiceCore;
struct HttpLimits;

// The high-score service of one game, as hosts create it: reads the four score lists, reports a
// score, reloads the lists from the local copy, synchronously or on the object's worker thread.
// Every operation stores its outcome in `Error` and `ErrorDescription` besides its HRESULT.
class VGHighScoreService final : public AutomationObject<IVGHighScoreService, ISupportErrorInfo> {
public:
    static constexpr const char* kVersion = "1.0.0.0";

    // A new service with its worker running and one reference; null when it cannot be made.
    static VGHighScoreService* Create() noexcept;

    HRESULT GetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                          BSTR password) override;
    HRESULT BeginGetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                               BSTR password, int64_t window, int32_t message) override;
    HRESULT ReportHighScore(BSTR certificate, int32_t game, int32_t gameMode, BSTR name,
                            int64_t score, BSTR scoreDescription, BSTR login,
                            BSTR password) override;
    HRESULT BeginReportHighScore(BSTR certificate, int32_t game, int32_t gameMode, BSTR name,
                                 int64_t score, BSTR scoreDescription, BSTR login, BSTR password,
                                 int64_t window, int32_t message) override;
    HRESULT AlltimeScores(IVGHighScores** item) override;
    HRESULT MonthlyScores(IVGHighScores** item) override;
    HRESULT WeeklyScores(IVGHighScores** item) override;
    HRESULT DailyScores(IVGHighScores** item) override;
    HRESULT ReportedScores(IVGHighScores** item) override;
    HRESULT get_CompanyName(BSTR* value) override;
    HRESULT put_CompanyName(BSTR value) override;
    HRESULT get_GameFolder(BSTR* value) override;
    HRESULT put_GameFolder(BSTR value) override;
    HRESULT get_Error(int32_t* value) override;
    HRESULT get_ErrorDescription(BSTR* value) override;
    HRESULT get_Version(BSTR* value) override;
    HRESULT LoadHighScores(BSTR value, int32_t game) override;
    HRESULT StopGetHighScores() override;
    HRESULT StopReportHighScore() override;
    HRESULT get_Parameters(BSTR* value) override;

    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) override;

    // The bounds of the service's exchanges from now on; tests shorten the time-outs.
    void SetTransportLimits(const HttpLimits& limits);

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    VGHighScoreService();
    ~VGHighScoreService() override;

    HRESULT Collection(ScoreListIndex list, IVGHighScores** item);
    // Both Stop operations and the release end the one worker.
    void StopWorker();

    std::shared_ptr<HighScoreServiceCore> core;
    EventWorker worker;
    std::size_t getEntry = 0;
    std::size_t reportEntry = 0;
};
