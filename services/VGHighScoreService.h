#pragma once

#include "services/HighScoreInterfaces.h"
#include "services/HighScoreServiceCore.h"
#include "services/ScoreList.h"
#include "services/ServiceObject.h"

#include <cstddef>

// The high-score service of one game, as hosts create it: reads the four score lists, reports a
// score, reloads the lists from the local copy, synchronously or on the object's worker thread.
// Every operation stores its outcome in `Error` and `ErrorDescription` besides its HRESULT.
class VGHighScoreService final : public ServiceObject<IVGHighScoreService, HighScoreServiceCore> {
public:
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
    HRESULT LoadHighScores(BSTR value, int32_t game) override;
    // Both Stop operations end the one worker.
    HRESULT StopGetHighScores() override;
    HRESULT StopReportHighScore() override;
    HRESULT get_Parameters(BSTR* value) override;

private:
    VGHighScoreService();

    HRESULT Collection(ScoreListIndex list, IVGHighScores** item);

    std::size_t getEntry = 0;
    std::size_t reportEntry = 0;
};
