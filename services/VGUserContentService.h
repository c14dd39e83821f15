#pragma once

#include "services/ContentInterfaces.h"
#include "services/ContentServiceCore.h"
#include "services/ServiceObject.h"

#include <cstddef>

// The user-content service of one game, as hosts create it: lists the content the server offers,
// reloads the list from the local copy, hands out views of it, and downloads and installs one
// item, synchronously or on the object's worker thread. Every operation stores its outcome in
// `Error` and `ErrorDescription` besides its HRESULT.
class VGUserContentService final : public ServiceObject<IVGUserContentService, ContentServiceCore> {
public:
    // A new service with its worker running and one reference; null when it cannot be made.
    static VGUserContentService* Create() noexcept;

    HRESULT GetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                           BSTR password) override;
    HRESULT BeginGetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                BSTR password, int64_t window, int32_t message) override;
    HRESULT LoadUserContent(BSTR certificate, int32_t game) override;
    HRESULT UserContent(IVGUserContent** item) override;
    HRESULT DownloadedContent(IVGUserContent** item) override;
    HRESULT AvailableContent(IVGUserContent** item) override;
    HRESULT DownloadUserContent(BSTR certificate, int32_t game, int32_t Number, BSTR login,
                                BSTR password) override;
    HRESULT BeginDownloadUserContent(BSTR certificate, int32_t game, int32_t Number, BSTR login,
                                     BSTR password, int64_t window, int32_t message) override;

private:
    VGUserContentService();

    HRESULT Collection(ContentView view, IVGUserContent** item);

    std::size_t getEntry = 0;
    std::size_t downloadEntry = 0;
};
