#include "services/VGHighScoreService.h"

#include "platform/com/CodePage.h"
#include "services/HighScoreServiceCore.h"
#include "services/VGHighScores.h"

namespace {

IVGHighScoreService* As(IDispatch* self) {
    return static_cast<IVGHighScoreService*>(self);
}

std::string Narrow(BSTR text) {
    return NarrowFromWide(BstrView(text));
}

// The window is the low 32 bits of the host's 64-bit handle.
Completion CompletionOf(int64_t window, int32_t message) {
    return {static_cast<WindowId>(static_cast<uint64_t>(window) & 0xFFFFFFFFu),
            static_cast<uint32_t>(message)};
}

template <HRESULT (IVGHighScoreService::*Get)(IVGHighScores**)>
HRESULT CallCollection(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    IVGHighScores* collection = nullptr;
    const HRESULT got = (As(self)->*Get)(&collection);
    SetVariantDispatch(result, collection);
    return got;
}

template <HRESULT (IVGHighScoreService::*Get)(BSTR*)>
HRESULT CallStringGet(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    BSTR text = nullptr;
    const HRESULT got = (As(self)->*Get)(&text);
    SetVariantBstr(result, text);
    return got;
}

template <HRESULT (IVGHighScoreService::*Put)(BSTR)>
HRESULT CallStringPut(IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
    return (As(self)->*Put)(arguments.String(0));
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
    {"Error", 12, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t number = 0;
         const HRESULT got = As(self)->get_Error(&number);
         SetVariantInt32(result, number);
         return got;
     }},
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

VGHighScoreService::VGHighScoreService()
    : AutomationObject<IVGHighScoreService, ISupportErrorInfo>(kMembers),
      core(std::make_shared<HighScoreServiceCore>()) {
    // The callbacks hold the core too, so a worker that outlives the object still has it.
    getEntry = worker.AddEntry([core = core] { core->RunGet(); });
    reportEntry = worker.AddEntry([core = core] { core->RunReport(); });
}

VGHighScoreService::~VGHighScoreService() {
    StopWorker();
}

VGHighScoreService* VGHighScoreService::Create() noexcept {
    VGHighScoreService* service = nullptr;
    try {
        service = new VGHighScoreService;
    } catch (...) {
        return nullptr;
    }
    if (!service->worker.Start()) {
        service->Release();
        return nullptr;
    }
    return service;
}

HRESULT VGHighScoreService::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(iid, object,
                           {{kIidUnknown, Identity()},
                            {kIidDispatch, Identity()},
                            {kIidVGHighScoreService, Identity()},
                            {kIidSupportErrorInfo, static_cast<ISupportErrorInfo*>(this)}});
}

HRESULT VGHighScoreService::GetHighScores(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                          BSTR password) {
    try {
        return core->GetHighScores(
            {Narrow(certificate), game, count, Narrow(login), Narrow(password)});
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGHighScoreService::BeginGetHighScores(BSTR certificate, int32_t game, int32_t count,
                                               BSTR login, BSTR password, int64_t window,
                                               int32_t message) {
    try {
        const HRESULT begun =
            core->BeginGet({Narrow(certificate), game, count, Narrow(login), Narrow(password)},
                           CompletionOf(window, message));
        if (begun != S_OK) {
            return begun;
        }
        if (!worker.Signal(getEntry)) {
            core->StoreUnknownError(); // stopped meanwhile: it would never complete
            return E_FAIL;
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGHighScoreService::ReportHighScore(BSTR certificate, int32_t game, int32_t gameMode,
                                            BSTR name, int64_t score, BSTR scoreDescription,
                                            BSTR login, BSTR password) {
    try {
        return core->ReportHighScore({Narrow(certificate), game, gameMode, Narrow(name), score,
                                      Narrow(scoreDescription), Narrow(login), Narrow(password)});
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGHighScoreService::BeginReportHighScore(BSTR certificate, int32_t game, int32_t gameMode,
                                                 BSTR name, int64_t score, BSTR scoreDescription,
                                                 BSTR login, BSTR password, int64_t window,
                                                 int32_t message) {
    try {
        const HRESULT begun =
            core->BeginReport({Narrow(certificate), game, gameMode, Narrow(name), score,
                               Narrow(scoreDescription), Narrow(login), Narrow(password)},
                              CompletionOf(window, message));
        if (begun != S_OK) {
            return begun;
        }
        if (!worker.Signal(reportEntry)) {
            core->StoreUnknownError();
            return E_FAIL;
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGHighScoreService::Collection(ScoreListIndex list, IVGHighScores** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    try {
        VGHighScores* collection = VGHighScores::Create(core->ListItems(list));
        if (collection == nullptr) {
            return E_OUTOFMEMORY;
        }
        *item = collection;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
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

HRESULT VGHighScoreService::get_CompanyName(BSTR* value) {
    try {
        return ReturnString(core->CompanyName(), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::put_CompanyName(BSTR value) {
    try {
        core->SetCompanyName(Narrow(value));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::get_GameFolder(BSTR* value) {
    try {
        return ReturnString(core->GameFolder(), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::put_GameFolder(BSTR value) {
    try {
        core->SetGameFolder(Narrow(value));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::get_Error(int32_t* value) {
    if (value == nullptr) {
        return E_FAIL;
    }
    try {
        *value = core->Error().number;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::get_ErrorDescription(BSTR* value) {
    try {
        return ReturnString(core->Error().description, value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGHighScoreService::get_Version(BSTR* value) {
    return ReturnString(kVersion, value);
}

HRESULT VGHighScoreService::LoadHighScores(BSTR value, int32_t game) {
    try {
        return core->LoadHighScores(Narrow(value), game);
    } catch (...) {
        return E_FAIL;
    }
}

void VGHighScoreService::StopWorker() {
    core->StopWorkerOperations();
    worker.Stop();
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

HRESULT VGHighScoreService::InterfaceSupportsErrorInfo(const Guid& iid) {
    return iid == kIidVGHighScoreService ? S_OK : S_FALSE;
}

void VGHighScoreService::SetTransportLimits(const HttpLimits& limits) {
    core->SetTransportLimits(limits);
}
