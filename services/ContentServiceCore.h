#pragma once

#include "platform/com/Result.h"
#include "platform/net/HttpClient.h"
#include "services/ContentList.h"
#include "services/ErrorConstants.h"
#include "services/HighScoreServiceCore.h"
#include "services/RequestCodec.h"

#include <cstdint>
#include <mutex>
#include <string>

class IOutsideDownloader;

struct GetContentArguments {
    std::string certificate;
    int32_t game = 0;
    int32_t count = 0;
    std::string login;
    std::string password;
};

struct DownloadContentArguments {
    std::string certificate;
    int32_t game = 0;
    int32_t number = 0;
    std::string login;
    std::string password;
};

// Which items a view of the content list holds.
enum class ContentView { All, Downloaded, Available };

// The state and operations of a user-content service, shared by the object that hosts call and
// by its worker thread. As with the high-score service one lock guards every member and is never
// held during an exchange, a download or a copy.
class ContentServiceCore {
public:
    using Caller = HighScoreServiceCore::Caller;

    ContentServiceCore();
    ~ContentServiceCore();
    ContentServiceCore(const ContentServiceCore&) = delete;
    ContentServiceCore& operator=(const ContentServiceCore&) = delete;

    HRESULT GetUserContent(const GetContentArguments& arguments, Caller caller = Caller::Host);
    HRESULT LoadUserContent(const std::string& certificate, int32_t game);
    HRESULT DownloadUserContent(const DownloadContentArguments& arguments,
                                Caller caller = Caller::Host);

    // The items of a view, with their paths and flags refreshed from the disk first.
    ContentList View(ContentView view);

    HRESULT BeginGet(const GetContentArguments& arguments, const Completion& completion);
    HRESULT BeginDownload(const DownloadContentArguments& arguments, const Completion& completion);
    void RunGet();
    void RunDownload();
    // The worker ends: the exchange or download in progress is cancelled and nothing more is
    // posted; an operation begun that will now never complete leaves 17 "unknown error".
    void StopWorkerOperations();
    void StoreUnknownError();

    std::string CompanyName() const;
    void SetCompanyName(std::string name);
    std::string GameFolder() const;
    void SetGameFolder(std::string folder);
    ServiceError Error() const;
    void SetTransportLimits(const HttpLimits& newLimits);

private:
    struct Pending {
        uint64_t asked = 0;
        uint64_t completed = 0;
        Completion completion;
    };

    bool Abandoned(Caller caller) const { return caller == Caller::Worker && workerStopped; }
    HRESULT Refuse(int32_t number, const char* text, HRESULT result);
    void ClearForOperation(bool itemList);
    HRESULT CheckCertificate(const std::string& certificate, int32_t game);
    HRESULT CheckProperties();
    HRESULT CheckGet(const GetContentArguments& arguments);
    // Also finds the item (kept in `found`) and creates its folder.
    HRESULT CheckDownload(const DownloadContentArguments& arguments);
    void StoreContentStatus(int32_t status);
    void RefreshItems();
    void Complete(Pending& pending, uint64_t asked, HRESULT result);
    template <typename Arguments>
    HRESULT Begin(const Arguments& arguments, Arguments& stored, Pending& pending,
                  const Completion& completion, bool clearLists,
                  HRESULT (ContentServiceCore::*check)(const Arguments&));
    template <typename Arguments>
    void Run(const Arguments& stored, Pending& pending,
             HRESULT (ContentServiceCore::*operation)(const Arguments&, Caller));
    HRESULT Install(ContentItem item, const std::string& caption, Caller caller);

    mutable std::mutex lock;
    std::string companyName;
    std::string gameFolder;
    ServiceError error;
    ContentList list;
    ContentItem found;
    bool listLoaded = false;
    RequestCodec codec;
    std::string lastCertificate;
    int32_t lastGame = 0;
    std::string lastRequest;
    std::string lastAnswer;
    std::string lastData;
    std::string lastEndpoint;
    HttpLimits limits;

    HttpCancel workerCancel;
    IOutsideDownloader* workerDownloader = nullptr; // while the worker runs an installation
    bool workerStopped = false;
    GetContentArguments getArguments;
    DownloadContentArguments downloadArguments;
    Pending pendingGet;
    Pending pendingDownload;
};
