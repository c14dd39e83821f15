#include "services/VGUserContentService.h"

#include "services/DispatchCalls.h"
#include "services/Guarded.h"
#include "services/VGUserContent.h"

namespace {

IVGUserContentService* As(IDispatch* self) {
    return static_cast<IVGUserContentService*>(self);
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
    {"Error", 4, DISPATCH_PROPERTYGET, "", CallLongGet<&IVGUserContentService::get_Error>},
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

VGUserContentService::VGUserContentService() : ServiceObject(kMembers, kIidVGUserContentService) {
    getEntry = worker.AddEntry([core = core] { core->RunGet(); });
    downloadEntry = worker.AddEntry([core = core] { core->RunDownload(); });
}

VGUserContentService* VGUserContentService::Create() noexcept {
    return Guarded<VGUserContentService*>(nullptr,
                                          [&] { return Started(new VGUserContentService); });
}

HRESULT VGUserContentService::GetUserContent(BSTR certificate, int32_t game, int32_t count,
                                             BSTR login, BSTR password) {
    return Guarded(E_FAIL, [&] {
        return core->GetUserContent(
            {Narrow(certificate), game, count, Narrow(login), Narrow(password)});
    });
}

HRESULT VGUserContentService::BeginGetUserContent(BSTR certificate, int32_t game, int32_t count,
                                                  BSTR login, BSTR password, int64_t window,
                                                  int32_t message) {
    return Guarded(E_FAIL, [&] {
        return Signal(
            core->BeginGet({Narrow(certificate), game, count, Narrow(login), Narrow(password)},
                           CompletionOf(window, message)),
            getEntry);
    });
}

HRESULT VGUserContentService::LoadUserContent(BSTR certificate, int32_t game) {
    return Guarded(E_FAIL, [&] { return core->LoadUserContent(Narrow(certificate), game); });
}

HRESULT VGUserContentService::Collection(ContentView view, IVGUserContent** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    return Guarded(E_OUTOFMEMORY, [&] {
        VGUserContent* collection = VGUserContent::Create(core->View(view));
        if (collection == nullptr) {
            return E_OUTOFMEMORY;
        }
        *item = collection;
        return S_OK;
    });
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
    return Guarded(E_FAIL, [&] {
        return core->DownloadUserContent(
            {Narrow(certificate), game, Number, Narrow(login), Narrow(password)});
    });
}

HRESULT VGUserContentService::BeginDownloadUserContent(BSTR certificate, int32_t game,
                                                       int32_t Number, BSTR login, BSTR password,
                                                       int64_t window, int32_t message) {
    return Guarded(E_FAIL, [&] {
        return Signal(core->BeginDownload(
                          {Narrow(certificate), game, Number, Narrow(login), Narrow(password)},
                          CompletionOf(window, message)),
                      downloadEntry);
    });
}
