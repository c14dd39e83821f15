#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Interfaces.h"

#include <cstdint>

// The high-score classes as hosts see them: dual interfaces whose operations stand in this
// order after IDispatch's, every one returning an HRESULT.

constexpr Guid kClsidVGHighScoreService = GuidLiteral("{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B}");
constexpr Guid kClsidVGHighScores = GuidLiteral("{433181F8-E604-4614-93B5-E08957CBCD4F}");
constexpr Guid kClsidVGHighScore = GuidLiteral("{912F4F1D-2DF9-4914-8A11-BAC39FA6B5FD}");

constexpr Guid kIidVGHighScoreService = GuidLiteral("{7401E48C-1A74-481D-880C-D2A63A4013CC}");
constexpr Guid kIidVGHighScores = GuidLiteral("{1E8C666D-A5DF-4EEF-8A34-F0E1E5C38268}");
constexpr Guid kIidVGHighScoreItem = GuidLiteral("{E306EEA1-173C-44E2-B934-59E0D3604E92}");

// One score. Out places are written without being read first.
class IVGHighScoreItem : public IDispatch {
public:
    virtual HRESULT get_name(BSTR* value) = 0;
    virtual HRESULT get_score(int64_t* value) = 0;
    virtual HRESULT get_Mode(int32_t* value) = 0;
    virtual HRESULT get_Description(BSTR* value) = 0;

protected:
    ~IVGHighScoreItem() = default;
};

// A list of scores, counted from 1.
class IVGHighScores : public IDispatch {
public:
    virtual HRESULT get__NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT get_Item(int32_t index, IVGHighScoreItem** item) = 0;
    virtual HRESULT get_count(int32_t* count) = 0;

protected:
    ~IVGHighScores() = default;
};

// The high-score service of one game. `window` carries the window in its low 32 bits.
class IVGHighScoreService : public IDispatch {
public:
    virtual HRESULT GetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                  BSTR password) = 0;
    virtual HRESULT BeginGetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                       BSTR password, int64_t window, int32_t message) = 0;
    virtual HRESULT ReportHighScore(BSTR certificate, int32_t game, int32_t gameMode, BSTR name,
                                    int64_t score, BSTR scoreDescription, BSTR login,
                                    BSTR password) = 0;
    virtual HRESULT BeginReportHighScore(BSTR certificate, int32_t game, int32_t gameMode,
                                         BSTR name, int64_t score, BSTR scoreDescription,
                                         BSTR login, BSTR password, int64_t window,
                                         int32_t message) = 0;
    virtual HRESULT AlltimeScores(IVGHighScores** item) = 0;
    virtual HRESULT MonthlyScores(IVGHighScores** item) = 0;
    virtual HRESULT WeeklyScores(IVGHighScores** item) = 0;
    virtual HRESULT DailyScores(IVGHighScores** item) = 0;
    virtual HRESULT ReportedScores(IVGHighScores** item) = 0;
    virtual HRESULT get_CompanyName(BSTR* value) = 0;
    virtual HRESULT put_CompanyName(BSTR value) = 0;
    virtual HRESULT get_GameFolder(BSTR* value) = 0;
    virtual HRESULT put_GameFolder(BSTR value) = 0;
    virtual HRESULT get_Error(int32_t* value) = 0;
    virtual HRESULT get_ErrorDescription(BSTR* value) = 0;
    virtual HRESULT get_Version(BSTR* value) = 0;
    virtual HRESULT LoadHighScores(BSTR value, int32_t game) = 0;
    virtual HRESULT StopGetHighScores() = 0;
    virtual HRESULT StopReportHighScore() = 0;
    virtual HRESULT get_Parameters(BSTR* value) = 0;

protected:
    ~IVGHighScoreService() = default;
};
