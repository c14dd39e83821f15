#pragma once

#include "services/AutomationObject.h"
#include "services/ContentInterfaces.h"
#include "services/ContentServiceCore.h"
#include "services/EventWorker.h"

#include <cstddef>
#include <memory>

struct HttpLimits;

// The user-content service of one game, as hosts create it: lists the content the server offers,
// reloads the list from the local copy, hands out views of it, and downloads and installs one
// item, synchronously or on the object's worker thread. Every operation stores its outcome in
// `Error` and `ErrorDescription` besides its HRESULT.
class VGUserContentService final
    : public AutomationObject<IVGUserContentService, ISupportErrorInfo> {
public:
    static constexpr const char* kVersion = "1.0.0.0";

    // A new service with its worker running and one reference; null when it cannot be made.
    static VGUserContentService* Create() noexcept;

    HRESULT GetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                           BSTR password) override;
    HRESULT BeginGetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                BSTR password, int64_t window, int32_t message) override;
    HRESULT LoadUserContent(BSTR certificate, int32_t game) override;
    HRESULT get_Error(int32_t* value) override;
    HRESULT get_ErrorDescription(BSTR* value) override;
    HRESULT get_Version(BSTR* value) override;
    HRESULT get_CompanyName(BSTR* value) override;
    HRESULT put_CompanyName(BSTR value) override;
    HRESULT get_GameFolder(BSTR* value) override;
    HRESULT put_GameFolder(BSTR value) override;
    HRESULT UserContent(IVGUserContent** item) override;
    HRESULT DownloadedContent(IVGUserContent** item) override;
    HRESULT AvailableContent(IVGUserContent** item) override;
    HRESULT DownloadUserContent(BSTR certificate, int32_t game, int32_t Number, BSTR login,
                                BSTR password) override;
    HRESULT BeginDownloadUserContent(BSTR certificate, int32_t game, int32_t Number, BSTR login,
                                     BSTR password, int64_t window, int32_t message) override;

    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) override;

    // The bounds of the service's exchanges from now on; tests shorten the time-outs.
    void SetTransportLimits(const HttpLimits& limits);
    // Ends the worker, as the release does; an asynchronous operation begun is abandoned.
    void StopWorker();

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    VGUserContentService();
    ~VGUserContentService() override;

    HRESULT Collection(ContentView view, IVGUserContent** item);

    std::shared_ptr<ContentServiceCore> core;
    EventWorker worker;
    std::size_t getEntry = 0;
    std::size_t downloadEntry = 0;
};
