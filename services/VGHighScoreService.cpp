#include "services/VGHighScoreService.h"

#include "services/DispatchCalls.h"
#include "services/Guarded.h"
#include "services/VGHighScores.h"

namespace {

IVGHighScoreService* As(IDispatch* self) {
    return static_cast<IVGHighScoreService*>(self);
}

const DispatchMember kMembers[] = {
    {"GetHighScores", 1, DISPATCH_METHOD, "sllss",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->GetHighScores(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                        a.String(4));
     }},
    {"BeginGetHighScores", 2, DISPATCH_METHOD, "sllssLl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->BeginGetHighScores(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                             a.String(4), a.Int64(5), a.Long(6));
     }},
    {"ReportHighScore", 3, DISPATCH_METHOD, "sllsLsss",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->ReportHighScore(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                          a.Int64(4), a.String(5), a.String(6), a.String(7));
     }},
    {"BeginReportHighScore", 4, DISPATCH_METHOD, "sllsLsssLl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->BeginReportHighScore(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                               a.Int64(4), a.String(5), a.String(6), a.String(7),
                                               a.Int64(8), a.Long(9));
     }},
    {"AlltimeScores", 5, DISPATCH_METHOD, "", CallCollection<&IVGHighScoreService::AlltimeScores>},
    {"MonthlyScores", 6, DISPATCH_METHOD, "", CallCollection<&IVGHighScoreService::MonthlyScores>},
    {"WeeklyScores", 7, DISPATCH_METHOD, "", CallCollection<&IVGHighScoreService::WeeklyScores>},
    {"DailyScores", 8, DISPATCH_METHOD, "", CallCollection<&IVGHighScoreService::DailyScores>},
    {"ReportedScores", 9, DISPATCH_METHOD, "",
     CallCollection<&IVGHighScoreService::ReportedScores>},
    {"CompanyName", 10, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGHighScoreService::get_CompanyName>},
    {"CompanyName", 10, DISPATCH_PROPERTYPUT, "s",
     CallStringPut<&IVGHighScoreService::put_CompanyName>},
    {"GameFolder", 11, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGHighScoreService::get_GameFolder>},
    {"GameFolder", 11, DISPATCH_PROPERTYPUT, "s",
     CallStringPut<&IVGHighScoreService::put_GameFolder>},
    {"Error", 12, DISPATCH_PROPERTYGET, "", CallLongGet<&IVGHighScoreService::get_Error>},
    {"ErrorDescription", 13, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGHighScoreService::get_ErrorDescription>},
    {"Version", 14, DISPATCH_PROPERTYGET, "", CallStringGet<&IVGHighScoreService::get_Version>},
    {"LoadHighScores", 15, DISPATCH_METHOD, "sl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->LoadHighScores(a.String(0), a.Long(1));
     }},
    {"StopGetHighScores", 16, DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT*) {
         return As(self)->StopGetHighScores();
     }},
    {"StopReportHighScore", 17, DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT*) {
         return As(self)->StopReportHighScore();
     }},
    {"Parameters", 18, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGHighScoreService::get_Parameters>},
};

} // namespace

VGHighScoreService::VGHighScoreService() : ServiceObject(kMembers, kIidVGHighScoreService) {
    getEntry = worker.AddEntry([core = core] { core->RunGet(); });
    reportEntry = worker.AddEntry([core = core] { core->RunReport(); });
}

VGHighScoreService* VGHighScoreService::Create() noexcept {
    return Guarded<VGHighScoreService*>(nullptr, [&] { return Started(new VGHighScoreService); });
}

HRESULT VGHighScoreService::GetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                          BSTR password) {
    return Guarded(E_FAIL, [&] {
        return core->GetHighScores(
            {Narrow(certificate), game, count, Narrow(login), Narrow(password)});
    });
}

HRESULT VGHighScoreService::BeginGetHighScores(BSTR certificate, int32_t game, int32_t count,
                                               BSTR login, BSTR password, int64_t window,
                                               int32_t message) {
    return Guarded(E_FAIL, [&] {
        return Signal(
            core->BeginGet({Narrow(certificate), game, count, Narrow(login), Narrow(password)},
                           CompletionOf(window, message)),
            getEntry);
    });
}

HRESULT VGHighScoreService::ReportHighScore(BSTR certificate, int32_t game, int32_t gameMode,
                                            BSTR name, int64_t score, BSTR scoreDescription,
                                            BSTR login, BSTR password) {
    return Guarded(E_FAIL, [&] {
        return core->ReportHighScore({Narrow(certificate), game, gameMode, Narrow(name), score,
                                      Narrow(scoreDescription), Narrow(login), Narrow(password)});
    });
}

HRESULT VGHighScoreService::BeginReportHighScore(BSTR certificate, int32_t game, int32_t gameMode,
                                                 BSTR name, int64_t score, BSTR scoreDescription,
                                                 BSTR login, BSTR password, int64_t window,
                                                 int32_t message) {
    return Guarded(E_FAIL, [&] {
        return Signal(core->BeginReport({Narrow(certificate), game, gameMode, Narrow(name), score,
                                         Narrow(scoreDescription), Narrow(login), Narrow(password)},
                                        CompletionOf(window, message)),
                      reportEntry);
    });
}

HRESULT VGHighScoreService::Collection(ScoreListIndex list, IVGHighScores** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    return Guarded(E_OUTOFMEMORY, [&] {
        VGHighScores* collection = VGHighScores::Create(core->ListItems(list));
        if (collection == nullptr) {
            return E_OUTOFMEMORY;
        }
        *item = collection;
        return S_OK;
    });
}

HRESULT VGHighScoreService::AlltimeScores(IVGHighScores** item) {
    return Collection(kAlltimeList, item);
}

HRESULT VGHighScoreService::MonthlyScores(IVGHighScores** item) {
    return Collection(kMonthlyList, item);
}

HRESULT VGHighScoreService::WeeklyScores(IVGHighScores** item) {
    return Collection(kWeeklyList, item);
}

HRESULT VGHighScoreService::DailyScores(IVGHighScores** item) {
    return Collection(kDailyList, item);
}

HRESULT VGHighScoreService::ReportedScores(IVGHighScores** item) {
    return Collection(kReportedList, item);
}

HRESULT VGHighScoreService::LoadHighScores(BSTR value, int32_t game) {
    return Guarded(E_FAIL, [&] { return core->LoadHighScores(Narrow(value), game); });
}

HRESULT VGHighScoreService::StopGetHighScores() {
    StopWorker();
    return S_OK;
}

HRESULT VGHighScoreService::StopReportHighScore() {
    StopWorker();
    return S_OK;
}

HRESULT VGHighScoreService::get_Parameters(BSTR* value) {
    if (value != nullptr) {
        *value = nullptr;
    }
    return E_NOTIMPL;
}
