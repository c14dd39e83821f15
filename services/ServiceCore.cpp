#include "services/ServiceCore.h"

#include "services/ServiceClients.h"
#include "services/ServicesModule.h"

namespace {

// The certificate is the cipher's key: 16 bytes of its narrow text.
constexpr std::size_t kCertificateSize = 16;

} // namespace

ServiceCore::ServiceCore() {
    ServicesModule().Lock();
}

ServiceCore::~ServiceCore() {
    ServicesModule().Unlock();
}

HRESULT ServiceCore::Refuse(int32_t number, const char* text, HRESULT result) {
    error.Store(number, text);
    return result;
}

HRESULT ServiceCore::CheckCertificate(const std::string& certificate, int32_t game) {
    if (certificate.empty()) {
        return Refuse(ErrBadCertificate, kTextBlankCertificate, E_INVALIDARG);
    }
    if (certificate.size() != kCertificateSize) {
        return Refuse(ErrBadCertificate, kTextCertificateLength, E_INVALIDARG);
    }
    if (game <= 0) {
        return Refuse(ErrBadGame, kTextBadGame, E_INVALIDARG);
    }
    return S_OK;
}

HRESULT ServiceCore::CheckProperties() {
    if (companyName.empty()) {
        return Refuse(ErrCompanyNotSet, kTextCompanyNotSet, E_FAIL);
    }
    if (gameFolder.empty()) {
        return Refuse(ErrGameNotSet, kTextGameNotSet, E_FAIL);
    }
    return S_OK;
}

void ServiceCore::ClearForOperation(bool results) {
    error.Clear();
    lastRequest.clear();
    lastAnswer.clear();
    lastData.clear();
    if (results) {
        ClearResults();
    }
}

ServiceCore::Exchange ServiceCore::KeepExchange(Caller caller, const char* serviceUrl) {
    lastEndpoint = RewriteEndpointHost(gameFolder, serviceUrl);
    error.Store(ErrUnknown, kTextUnknown);
    return {lastEndpoint, lastRequest, limits, caller == Caller::Worker ? &workerCancel : nullptr};
}

HRESULT ServiceCore::CheckCall(Caller caller, const Exchange::Answer& answer) {
    if (Abandoned(caller)) {
        return E_FAIL;
    }
    if (Failed(answer.result)) {
        if (const char* text = SoapClientErrorText(answer.clientError)) {
            error.Store(answer.clientError, text);
        }
        return E_FAIL;
    }
    return S_OK;
}

void ServiceCore::Complete(Pending& pending, uint64_t asked, HRESULT result) {
    const std::lock_guard guard(lock);
    if (workerStopped) {
        return;
    }
    pending.completed = asked;
    if (Failed(result) && error.number == ErrNone) {
        error.Store(ErrUnknown, kTextUnknown);
    }
    // Posted under the lock, so that once a Stop has returned nothing more arrives.
    PostWindowMessage(pending.completion.window, pending.completion.message, 0, 0);
}

void ServiceCore::StopWorker(std::initializer_list<const Pending*> pendings,
                             const std::function<void()>& cancelUnderLock) {
    {
        const std::lock_guard guard(lock);
        if (workerStopped) {
            return;
        }
        workerStopped = true;
        for (const Pending* pending : pendings) {
            if (pending->asked != pending->completed) {
                error.Store(ErrUnknown, kTextUnknown);
            }
        }
        if (cancelUnderLock) {
            cancelUnderLock();
        }
    }
    workerCancel.Cancel();
}

void ServiceCore::StoreUnknownError() {
    const std::lock_guard guard(lock);
    error.Store(ErrUnknown, kTextUnknown);
}

std::string ServiceCore::CompanyName() const {
    const std::lock_guard guard(lock);
    return companyName;
}

void ServiceCore::SetCompanyName(std::string name) {
    const std::lock_guard guard(lock);
    companyName = std::move(name);
    FoldersChanged();
}

std::string ServiceCore::GameFolder() const {
    const std::lock_guard guard(lock);
    return gameFolder;
}

void ServiceCore::SetGameFolder(std::string folder) {
    const std::lock_guard guard(lock);
    gameFolder = std::move(folder);
    FoldersChanged();
}

ServiceError ServiceCore::Error() const {
    const std::lock_guard guard(lock);
    return error;
}

void ServiceCore::SetTransportLimits(const HttpLimits& newLimits) {
    const std::lock_guard guard(lock);
    limits = newLimits;
}
