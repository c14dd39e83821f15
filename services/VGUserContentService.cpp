#include "services/VGUserContentService.h"

#include "platform/com/CodePage.h"
#include "services/VGUserContent.h"

namespace {

IVGUserContentService* As(IDispatch* self) {
    return static_cast<IVGUserContentService*>(self);
}

std::string Narrow(BSTR text) {
    return NarrowFromWide(BstrView(text));
}

// The window is the low 32 bits of the host's 64-bit handle.
Completion CompletionOf(int64_t window, int32_t message) {
    return {static_cast<WindowId>(static_cast<uint64_t>(window) & 0xFFFFFFFFu),
            static_cast<uint32_t>(message)};
}

template <HRESULT (IVGUserContentService::*Get)(IVGUserContent**)>
HRESULT CallCollection(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    IVGUserContent* collection = nullptr;
    const HRESULT got = (As(self)->*Get)(&collection);
    SetVariantDispatch(result, collection);
    return got;
}

template <HRESULT (IVGUserContentService::*Get)(BSTR*)>
HRESULT CallStringGet(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    BSTR text = nullptr;
    const HRESULT got = (As(self)->*Get)(&text);
    SetVariantBstr(result, text);
    return got;
}

template <HRESULT (IVGUserContentService::*Put)(BSTR)>
HRESULT CallStringPut(IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
    return (As(self)->*Put)(arguments.String(0));
}

const DispatchMember kMembers[] = {
    {"GetUserContent", 1, DISPATCH_METHOD, "sllss",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->GetUserContent(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                         a.String(4));
     }},
    {"BeginGetUserContent", 2, DISPATCH_METHOD, "sllssLl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->BeginGetUserContent(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                              a.String(4), a.Int64(5), a.Long(6));
     }},
    {"LoadUserContent", 3, DISPATCH_METHOD, "sl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->LoadUserContent(a.String(0), a.Long(1));
     }},
    {"Error", 4, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t number = 0;
         const HRESULT got = As(self)->get_Error(&number);
         SetVariantInt32(result, number);
         return got;
     }},
    {"ErrorDescription", 5, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGUserContentService::get_ErrorDescription>},
    {"Version", 6, DISPATCH_PROPERTYGET, "", CallStringGet<&IVGUserContentService::get_Version>},
    {"CompanyName", 7, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGUserContentService::get_CompanyName>},
    {"CompanyName", 7, DISPATCH_PROPERTYPUT, "s",
     CallStringPut<&IVGUserContentService::put_CompanyName>},
    {"GameFolder", 8, DISPATCH_PROPERTYGET, "",
     CallStringGet<&IVGUserContentService::get_GameFolder>},
    {"GameFolder", 8, DISPATCH_PROPERTYPUT, "s",
     CallStringPut<&IVGUserContentService::put_GameFolder>},
    {"UserContent", 9, DISPATCH_METHOD, "", CallCollection<&IVGUserContentService::UserContent>},
    {"DownloadedContent", 10, DISPATCH_METHOD, "",
     CallCollection<&IVGUserContentService::DownloadedContent>},
    {"AvailableContent", 11, DISPATCH_METHOD, "",
     CallCollection<&IVGUserContentService::AvailableContent>},
    {"DownloadUserContent", 12, DISPATCH_METHOD, "sllss",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->DownloadUserContent(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                              a.String(4));
     }},
    {"BeginDownloadUserContent", 13, DISPATCH_METHOD, "sllssLl",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->BeginDownloadUserContent(a.String(0), a.Long(1), a.Long(2), a.String(3),
                                                   a.String(4), a.Int64(5), a.Long(6));
     }},
};

} // namespace

VGUserContentService::VGUserContentService()
    : AutomationObject<IVGUserContentService, ISupportErrorInfo>(kMembers),
      core(std::make_shared<ContentServiceCore>()) {
    // The callbacks hold the core too, so a worker that outlives the object still has it.
    getEntry = worker.AddEntry([core = core] { core->RunGet(); });
    downloadEntry = worker.AddEntry([core = core] { core->RunDownload(); });
}

VGUserContentService::~VGUserContentService() {
    StopWorker();
}

VGUserContentService* VGUserContentService::Create() noexcept {
    VGUserContentService* service = nullptr;
    try {
        service = new VGUserContentService;
    } catch (...) {
        return nullptr;
    }
    if (!service->worker.Start()) {
        service->Release();
        return nullptr;
    }
    return service;
}

HRESULT VGUserContentService::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(iid, object,
                           {{kIidUnknown, Identity()},
                            {kIidDispatch, Identity()},
                            {kIidVGUserContentService, Identity()},
                            {kIidSupportErrorInfo, static_cast<ISupportErrorInfo*>(this)}});
}

HRESULT VGUserContentService::GetUserContent(BSTR certificate, int32_t game, int32_t count,
                                             BSTR login, BSTR password) {
    try {
        return core->GetUserContent(
            {Narrow(certificate), game, count, Narrow(login), Narrow(password)});
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGUserContentService::BeginGetUserContent(BSTR certificate, int32_t game, int32_t count,
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

HRESULT VGUserContentService::LoadUserContent(BSTR certificate, int32_t game) {
    try {
        return core->LoadUserContent(Narrow(certificate), game);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGUserContentService::get_Error(int32_t* value) {
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

HRESULT VGUserContentService::get_ErrorDescription(BSTR* value) {
    try {
        return ReturnString(core->Error().description, value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::get_Version(BSTR* value) {
    return ReturnString(kVersion, value);
}

HRESULT VGUserContentService::get_CompanyName(BSTR* value) {
    try {
        return ReturnString(core->CompanyName(), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::put_CompanyName(BSTR value) {
    try {
        core->SetCompanyName(Narrow(value));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::get_GameFolder(BSTR* value) {
    try {
        return ReturnString(core->GameFolder(), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::put_GameFolder(BSTR value) {
    try {
        core->SetGameFolder(Narrow(value));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::Collection(ContentView view, IVGUserContent** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    try {
        VGUserContent* collection = VGUserContent::Create(core->View(view));
        if (collection == nullptr) {
            return E_OUTOFMEMORY;
        }
        *item = collection;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VGUserContentService::UserContent(IVGUserContent** item) {
    return Collection(ContentView::All, item);
}

HRESULT VGUserContentService::DownloadedContent(IVGUserContent** item) {
    return Collection(ContentView::Downloaded, item);
}

HRESULT VGUserContentService::AvailableContent(IVGUserContent** item) {
    return Collection(ContentView::Available, item);
}

HRESULT VGUserContentService::DownloadUserContent(BSTR certificate, int32_t game, int32_t Number,
                                                  BSTR login, BSTR password) {
    try {
        return core->DownloadUserContent(
            {Narrow(certificate), game, Number, Narrow(login), Narrow(password)});
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGUserContentService::BeginDownloadUserContent(BSTR certificate, int32_t game,
                                                       int32_t Number, BSTR login, BSTR password,
                                                       int64_t window, int32_t message) {
    try {
        const HRESULT begun = core->BeginDownload(
            {Narrow(certificate), game, Number, Narrow(login), Narrow(password)},
            CompletionOf(window, message));
        if (begun != S_OK) {
            return begun;
        }
        if (!worker.Signal(downloadEntry)) {
            core->StoreUnknownError();
            return E_FAIL;
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT VGUserContentService::InterfaceSupportsErrorInfo(const Guid& iid) {
    return iid == kIidVGUserContentService ? S_OK : S_FALSE;
}

void VGUserContentService::SetTransportLimits(const HttpLimits& limits) {
    core->SetTransportLimits(limits);
}

void VGUserContentService::StopWorker() {
    core->StopWorkerOperations();
    worker.Stop();
}
