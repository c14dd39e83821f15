#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/CodePage.h"
#include "platform/com/MessageWindows.h"
#include "platform/com/Result.h"
#include "platform/net/HttpClient.h"
#include "services/ErrorConstants.h"
#include "services/RequestCodec.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>

// Where an asynchronous operation posts its completion, with both parameters 0.
struct Completion {
    WindowId window = 0;
    uint32_t message = 0;
};

// What the high-score and the user-content service share: their two properties, the error, the
// last exchange, the transport limits, and the hand-over of Begin operations to the worker
// thread. One lock guards every member; it is held only while members are read or written,
// never during an exchange with the server, a download or a file operation, so a Stop or a
// property read never waits for the network. Strings are narrow text in the system code page.
// While a core exists the module stays loaded: a worker thread that outlives its service object
// still runs the module's code.
class ServiceCore {
public:
    // Who runs an operation. Operations of the worker end quietly once the worker is stopped:
    // they store nothing more and post nothing.
    enum class Caller { Host, Worker };

    ServiceCore();
    virtual ~ServiceCore();
    ServiceCore(const ServiceCore&) = delete;
    ServiceCore& operator=(const ServiceCore&) = delete;

    void StoreUnknownError();
    std::string CompanyName() const;
    void SetCompanyName(std::string name);
    std::string GameFolder() const;
    void SetGameFolder(std::string folder);
    ServiceError Error() const;
    // The bounds of every exchange from now on (tests shorten the time-outs).
    void SetTransportLimits(const HttpLimits& newLimits);

protected:
    // The operations a Begin asked for and the worker has completed; they differ while one is
    // waiting or running.
    struct Pending {
        uint64_t asked = 0;
        uint64_t completed = 0;
        Completion completion;
    };

    // An exchange with a server as its operation opened it: what the call needs once the lock
    // is released.
    struct Exchange {
        std::string url;
        std::string request;
        HttpLimits limits;
        HttpCancel* cancel = nullptr; // the worker's, so that a Stop cancels the call

        // What came back: the call's result, the client's error number when it failed, and
        // the answer text.
        struct Answer {
            HRESULT result = E_FAIL;
            int32_t clientError = 0;
            std::string text;
        };

        // Runs the exchange on a fresh client of the service, through one of its operations
        // (e.g. &ScoreServiceClient::func1).
        template <typename Client>
        Answer Call(HRESULT (Client::*operation)(BSTR, BSTR*)) const {
            Client client;
            client.SetUrl(url);
            client.SetLimits(limits);
            client.SetCancel(cancel);
            const Bstr xml = Bstr::FromNarrow(request);
            Bstr result;
            Answer answer;
            answer.result = (client.*operation)(xml.Get(), result.Put());
            answer.clientError = client.ClientError();
            answer.text = NarrowFromWide(result.View());
            return answer;
        }
    };

    bool Abandoned(Caller caller) const { return caller == Caller::Worker && workerStopped; }
    HRESULT Refuse(int32_t number, const char* text, HRESULT result);
    HRESULT CheckCertificate(const std::string& certificate, int32_t game);
    HRESULT CheckProperties();
    // The error and the last exchange cleared, and the service's results when asked.
    void ClearForOperation(bool results);
    virtual void ClearResults() = 0;
    // Called under the lock after the company name or the game folder changed.
    virtual void FoldersChanged() {}

    // The opening of every exchange with a server, under the lock: clears as the operation does,
    // runs its checks, then builds the request with `build` and keeps it, with the service's
    // endpoint for this game, as the last exchange. Until an answer says otherwise the error is
    // 17 "unknown error". An operation of a stopped worker opens nothing.
    template <typename Check, typename Build>
    HRESULT OpenExchange(Caller caller, bool clearResults, const char* serviceUrl, Check&& check,
                         Build&& build, Exchange& exchange) {
        const std::lock_guard guard(lock);
        if (Abandoned(caller)) {
            return E_FAIL;
        }
        ClearForOperation(clearResults);
        if (const HRESULT refused = check(); refused != S_OK) {
            return refused;
        }
        lastRequest = build();
        exchange = KeepExchange(caller, serviceUrl);
        return S_OK;
    }

    // Under the lock, once the call is back: E_FAIL when the worker was stopped meanwhile or the
    // call failed (storing the client's error when it has a text), else S_OK.
    HRESULT CheckCall(Caller caller, const Exchange::Answer& answer);

    // The first half of a Begin operation: clears and checks as the operation itself does, then
    // keeps a copy of the arguments for the worker, replacing any that it has not taken yet.
    // Once the worker is stopped the checks are followed by 17 "unknown error" and E_FAIL.
    template <typename Core, typename Arguments>
    HRESULT Begin(const Arguments& arguments, Arguments& stored, Pending& pending,
                  const Completion& completion, bool clearResults,
                  HRESULT (Core::*check)(const Arguments&)) {
        const std::lock_guard guard(lock);
        ClearForOperation(clearResults);
        if (const HRESULT refused = (static_cast<Core*>(this)->*check)(arguments);
            refused != S_OK) {
            return refused;
        }
        if (workerStopped) {
            return Refuse(ErrUnknown, kTextUnknown, E_FAIL);
        }
        stored = arguments;
        pending.completion = completion;
        ++pending.asked;
        return S_OK;
    }

    // Every operation on the worker: take the arguments under the lock, run without it,
    // complete.
    template <typename Core, typename Arguments>
    void Run(const Arguments& stored, Pending& pending,
             HRESULT (Core::*operation)(const Arguments&, Caller)) {
        Arguments arguments;
        uint64_t asked = 0;
        {
            const std::lock_guard guard(lock);
            if (workerStopped) {
                return;
            }
            arguments = stored;
            asked = pending.asked;
        }
        Complete(pending, asked, (static_cast<Core*>(this)->*operation)(arguments, Caller::Worker));
    }

    // Posts the completion of the operation. A failure that left the error at 0 (an answer that
    // did not apply) stores 17 "unknown error" first, so that the host can tell it from success.
    void Complete(Pending& pending, uint64_t asked, HRESULT result);

    // The worker ends: the exchange in progress is cancelled (and with the lock held, whatever
    // cancelUnderLock cancels), nothing more is posted, and an operation begun that will now never
    // complete leaves 17 "unknown error".
    void StopWorker(std::initializer_list<const Pending*> pendings,
                    const std::function<void()>& cancelUnderLock = {});

    mutable std::mutex lock;
    std::string companyName;
    std::string gameFolder;
    ServiceError error;
    RequestCodec codec; // keeps no state: used without the lock
    std::string lastCertificate;
    int32_t lastGame = 0;
    std::string lastRequest;
    std::string lastAnswer;
    std::string lastData;
    std::string lastEndpoint;
    HttpLimits limits;

    HttpCancel workerCancel;
    bool workerStopped = false;

private:
    // The rest of OpenExchange, once the request is built.
    Exchange KeepExchange(Caller caller, const char* serviceUrl);
};
