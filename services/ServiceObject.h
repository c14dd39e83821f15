#pragma once

#include "platform/com/CodePage.h"
#include "platform/com/MessageWindows.h"
#include "services/AutomationObject.h"
#include "services/EventWorker.h"
#include "services/Guarded.h"
#include "services/ServiceCore.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct HttpLimits;

// What the two service objects share: their properties, their error and version, and the
// worker thread that runs the asynchronous operations of their core. `Core` holds the service's
// state and operations; the worker's callbacks hold it too, so a worker that outlives the
// object still has it.
template <typename Interface, typename Core>
class ServiceObject : public AutomationObject<Interface, ISupportErrorInfo> {
public:
    static constexpr const char* kVersion = "1.0.0.0";

    HRESULT get_CompanyName(BSTR* value) override {
        return Guarded(E_OUTOFMEMORY, [&] { return ReturnString(core->CompanyName(), value); });
    }
    HRESULT put_CompanyName(BSTR value) override {
        return Guarded(E_OUTOFMEMORY, [&] {
            core->SetCompanyName(Narrow(value));
            return S_OK;
        });
    }
    HRESULT get_GameFolder(BSTR* value) override {
        return Guarded(E_OUTOFMEMORY, [&] { return ReturnString(core->GameFolder(), value); });
    }
    HRESULT put_GameFolder(BSTR value) override {
        return Guarded(E_OUTOFMEMORY, [&] {
            core->SetGameFolder(Narrow(value));
            return S_OK;
        });
    }
    HRESULT get_Error(int32_t* value) override {
        if (value == nullptr) {
            return E_FAIL;
        }
        return Guarded(E_OUTOFMEMORY, [&] {
            *value = core->Error().number;
            return S_OK;
        });
    }
    HRESULT get_ErrorDescription(BSTR* value) override {
        return Guarded(E_OUTOFMEMORY,
                       [&] { return ReturnString(core->Error().description, value); });
    }
    HRESULT get_Version(BSTR* value) override { return ReturnString(kVersion, value); }

    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) override {
        return iid == interfaceId ? S_OK : S_FALSE;
    }

    // The bounds of the service's exchanges from now on; tests shorten the time-outs.
    void SetTransportLimits(const HttpLimits& limits) { core->SetTransportLimits(limits); }
    // Ends the worker for good, as the release does; an asynchronous operation begun is
    // abandoned.
    void StopWorker() {
        core->StopWorkerOperations();
        worker.Stop();
    }

protected:
    // `interfaceId` is the id of `Interface`.
    ServiceObject(std::span<const DispatchMember> members, const Guid& interfaceId)
        : AutomationObject<Interface, ISupportErrorInfo>(members), interfaceId(interfaceId),
          core(std::make_shared<Core>()) {}
    ~ServiceObject() override { StopWorker(); }

    // A new service's worker is started before a host sees it; null (and the service gone)
    // when the thread cannot be made.
    template <typename Service>
    static Service* Started(Service* service) noexcept {
        if (!service->worker.Start()) {
            service->Release();
            return nullptr;
        }
        return service;
    }

    HRESULT QueryOwnInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object,
                               {{kIidUnknown, this->Identity()},
                                {kIidDispatch, this->Identity()},
                                {interfaceId, this->Identity()},
                                {kIidSupportErrorInfo, static_cast<ISupportErrorInfo*>(this)}});
    }

    // The second half of a Begin whose first half, the core's, gave `begun`: wakes the worker
    // on its entry.
    HRESULT Signal(HRESULT begun, std::size_t entry) {
        if (begun != S_OK) {
            return begun;
        }
        if (!worker.Signal(entry)) {
            core->StoreUnknownError(); // stopped meanwhile: it would never complete
            return E_FAIL;
        }
        return S_OK;
    }

    static std::string Narrow(BSTR text) { return NarrowFromWide(BstrView(text)); }

    // The window is the low 32 bits of the host's 64-bit handle.
    static Completion CompletionOf(int64_t window, int32_t message) {
        return {static_cast<WindowId>(static_cast<uint64_t>(window) & 0xFFFFFFFFu),
                static_cast<uint32_t>(message)};
    }

    const Guid interfaceId;
    std::shared_ptr<Core> core;
    EventWorker worker;
};
