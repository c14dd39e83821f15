#pragma once

#include "platform/com/ComObject.h"
#include "platform/net/HttpClient.h"
#include "services/OutsideDownloader.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Our download component: given a folder and files (name, declared size, URL) through
// `DefineItem`, `Run` fetches each file over HTTP or HTTPS into the folder. Headless: the
// progress display's definition is accepted and has no effect; progress goes to a callback
// instead, when one is set. A file is written to its name +
// ".part" and renamed only when it arrived whole; a file fails on an HTTP error status, a body
// shorter than its declared length, a write error or a cancel, and then none of its bytes stay.
class DownloadComponent final : public ComObject<IOutsideDownloader> {
public:
    explicit DownloadComponent(ModuleCount& module);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    HRESULT GetTypeInfoCount(uint32_t* count) override;
    HRESULT GetTypeInfo(uint32_t, uint32_t, void** typeInfo) override;
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const* names, uint32_t count, uint32_t,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID member, const Guid&, uint32_t, uint16_t flags, DispatchParams* params,
                   VARIANT* result, DispatchException* exception, uint32_t* argumentError) override;

    // E_INVALIDARG for an unknown type or a definition that cannot be used: a folder that is
    // not absolute, a file name that is not one plain name, a URL that is not http or https.
    HRESULT DefineItem(BSTR name, BSTR type, BSTR definition) override;
    HRESULT Cancel() override;
    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Reserved7() override { return E_NOTIMPL; }
    // `result` 0 when every file arrived, 1 when one failed (the rest are not fetched).
    HRESULT Run(int32_t* result) override;

    // The bounds of each transfer (tests shorten them).
    void SetLimits(const HttpLimits& newLimits);

    // Called on the thread of `Run` as each file's bytes arrive: its name, the bytes received
    // so far and its declared size (0 when the definition gave none). None by default.
    using Progress =
        std::function<void(const std::string& name, uint64_t received, uint64_t total)>;
    void SetProgress(Progress newProgress);

private:
    struct File {
        std::string name;
        std::string url;
        uint64_t size = 0;
    };
    bool Fetch(const File& file, const std::string& folder);

    std::mutex lock;
    std::string folder;
    std::vector<File> files;
    HttpLimits limits;
    Progress progress;
    std::atomic<bool> cancelled{false};
    std::shared_ptr<HttpCancel> running;
};
