#pragma once

#include "services/ContentList.h"
#include "services/ServiceCore.h"

#include <cstdint>
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
// by its worker thread (see ServiceCore for the lock, which is never held during a download or
// a copy either).
class ContentServiceCore : public ServiceCore {
public:
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

private:
    // The item list.
    void ClearResults() override;
    // The list's data folder follows the two properties.
    void FoldersChanged() override;
    HRESULT CheckGet(const GetContentArguments& arguments);
    // Also finds the item (kept in `found`) and creates its folder.
    HRESULT CheckDownload(const DownloadContentArguments& arguments);
    void StoreContentStatus(int32_t status);
    void RefreshItems();
    HRESULT Install(ContentItem item, const std::string& caption, Caller caller);

    ContentList list;
    ContentItem found;
    bool listLoaded = false;

    IOutsideDownloader* workerDownloader = nullptr; // while the worker runs an installation
    GetContentArguments getArguments;
    DownloadContentArguments downloadArguments;
    Pending pendingGet;
    Pending pendingDownload;
};
