#include "services/ContentServiceCore.h"

#include "services/ContentInstaller.h"
#include "services/ContentParsers.h"
#include "services/Guarded.h"
#include "services/LocalFile.h"
#include "services/ServiceClients.h"

#include <algorithm>
#include <optional>

namespace {

// The content document kept in a payload: only when it decrypts with the certificate to a
// document of the game asked for.
std::optional<ContentListParser> DocumentOfPayload(const RequestCodec& codec,
                                                   const std::string& certificate, int32_t game,
                                                   const std::string& payload) {
    std::string plain;
    if (payload.empty() || codec.DecryptPayload(certificate, payload, plain) != S_OK ||
        plain.empty()) {
        return std::nullopt;
    }
    ContentListParser document;
    if (!document.Parse(plain) || document.GameId() != game) {
        return std::nullopt;
    }
    return document;
}

const char* ContentStatusText(int32_t status) {
    switch (status) {
    case ErrGameNotFound:
        return "game not found";
    case ErrBadCredentials:
        return "credentials not found";
    case ErrBadXml:
        return "xml error";
    default:
        return "error description not available";
    }
}

} // namespace

void ContentServiceCore::ClearResults() {
    list.items.clear();
}

void ContentServiceCore::FoldersChanged() {
    list.dataFolder = DataFolderPath(companyName, gameFolder);
}

void ContentServiceCore::StopWorkerOperations() {
    StopWorker({&pendingGet, &pendingDownload}, [this] {
        if (workerDownloader != nullptr) {
            workerDownloader->Cancel();
        }
    });
}

HRESULT ContentServiceCore::CheckGet(const GetContentArguments& arguments) {
    if (const HRESULT refused = CheckCertificate(arguments.certificate, arguments.game);
        refused != S_OK) {
        return refused;
    }
    if (arguments.count <= 0) {
        return Refuse(ErrBadGame, kTextBadCount, E_INVALIDARG);
    }
    return CheckProperties();
}

HRESULT ContentServiceCore::CheckDownload(const DownloadContentArguments& arguments) {
    if (const HRESULT refused = CheckCertificate(arguments.certificate, arguments.game);
        refused != S_OK) {
        return refused;
    }
    if (arguments.number <= 0) {
        return Refuse(ErrBadNumber, kTextBadNumber, E_INVALIDARG);
    }
    if (const HRESULT missing = CheckProperties(); missing != S_OK) {
        return missing;
    }
    if (!listLoaded) {
        return Refuse(ErrListNotLoaded, kTextListNotLoaded, E_FAIL);
    }
    const auto item = std::find_if(list.items.begin(), list.items.end(), [&](const ContentItem& i) {
        return i.number == arguments.number;
    });
    if (item == list.items.end()) {
        return Refuse(ErrNumberNotFound, kTextNumberNotFound, E_FAIL);
    }
    found = *item;
    if (CreateItemFolder(list.dataFolder, arguments.number).empty()) {
        return Refuse(ErrUnableToCreateFolders, kTextUnableToCreateFolders, E_FAIL);
    }
    return S_OK;
}

void ContentServiceCore::StoreContentStatus(int32_t status) {
    error.Store(status, ContentStatusText(status));
}

void ContentServiceCore::RefreshItems() {
    for (ContentItem& item : list.items) {
        RefreshLocalPaths(item, list.dataFolder);
    }
}

HRESULT ContentServiceCore::GetUserContent(const GetContentArguments& arguments, Caller caller) {
    return Guarded(E_FAIL, [&] {
        Exchange exchange;
        if (const HRESULT refused = OpenExchange(
                caller, true, kContentServiceUrl, [&] { return CheckGet(arguments); },
                [&] {
                    return codec.BuildGetListRequest(arguments.certificate, arguments.game,
                                                     arguments.count, arguments.login,
                                                     arguments.password);
                },
                exchange);
            refused != S_OK) {
            return refused;
        }

        const Exchange::Answer call = exchange.Call(&ContentServiceClient::func1);
        ContentAnswerParser answer;
        std::optional<ContentListParser> document;
        if (Succeeded(call.result) && !call.text.empty()) {
            answer.Parse(call.text);
            if (answer.Status() == 0) {
                document =
                    DocumentOfPayload(codec, arguments.certificate, arguments.game, answer.Data());
            }
        }

        std::string company;
        std::string folder;
        {
            const std::lock_guard guard(lock);
            if (const HRESULT failed = CheckCall(caller, call); failed != S_OK) {
                return failed;
            }
            error.Store(ErrNoResponse, kTextNoResponse);
            lastCertificate = arguments.certificate;
            lastGame = arguments.game;
            lastAnswer = call.text;
            if (call.text.empty()) {
                return E_FAIL;
            }
            error.Clear();
            listLoaded = true;
            StoreContentStatus(answer.Status());
            lastData = answer.Data();
            if (!document) {
                return E_FAIL;
            }
            list.items = document->Items();
            company = companyName;
            folder = gameFolder;
        }
        // The payload is kept as it came, still encrypted; a failed write changes nothing.
        LocalFile(kContentFileName, company, folder).Write(answer.Data());
        const std::lock_guard guard(lock);
        RefreshItems();
        return S_OK;
    });
}

HRESULT ContentServiceCore::LoadUserContent(const std::string& certificate, int32_t game) {
    return Guarded(E_FAIL, [&] {
        std::string company;
        std::string folder;
        {
            const std::lock_guard guard(lock);
            ClearForOperation(true);
            if (const HRESULT refused = CheckCertificate(certificate, game); refused != S_OK) {
                return refused;
            }
            if (const HRESULT missing = CheckProperties(); missing != S_OK) {
                return missing;
            }
            lastCertificate = certificate;
            lastGame = game;
            listLoaded = true;
            company = companyName;
            folder = gameFolder;
        }
        std::string payload;
        std::optional<ContentListParser> document;
        if (LocalFile(kContentFileName, company, folder).Read(payload)) {
            document = DocumentOfPayload(codec, certificate, game, payload);
        }
        const std::lock_guard guard(lock);
        if (!document) {
            return Refuse(ErrListEmpty, kTextListEmpty, E_FAIL);
        }
        list.items = document->Items();
        return S_OK;
    });
}

HRESULT ContentServiceCore::DownloadUserContent(const DownloadContentArguments& arguments,
                                                Caller caller) {
    return Guarded(E_FAIL, [&] {
        Exchange exchange;
        if (const HRESULT refused = OpenExchange(
                caller, false, kContentServiceUrl, [&] { return CheckDownload(arguments); },
                [&] {
                    return codec.BuildDownloadRequest(arguments.certificate, arguments.game,
                                                      arguments.number, arguments.login,
                                                      arguments.password);
                },
                exchange);
            refused != S_OK) {
            return refused;
        }

        const Exchange::Answer call = exchange.Call(&ContentServiceClient::func2);
        ContentAnswerParser answer;
        std::optional<ContentListParser> document;
        if (Succeeded(call.result) && !call.text.empty()) {
            answer.Parse(call.text);
            if (answer.Status() == 0) {
                document =
                    DocumentOfPayload(codec, arguments.certificate, arguments.game, answer.Data());
            }
        }

        ContentItem item;
        std::string caption;
        {
            const std::lock_guard guard(lock);
            if (const HRESULT failed = CheckCall(caller, call); failed != S_OK) {
                return failed;
            }
            lastCertificate = arguments.certificate;
            lastGame = arguments.game;
            lastAnswer = call.text;
            if (call.text.empty()) {
                return Refuse(ErrNoResponse, kTextNoResponse, E_FAIL);
            }
            error.Clear();
            StoreContentStatus(answer.Status());
            lastData = answer.Data();
            if (!document) {
                return E_FAIL;
            }
            item = found;
            item.dataUrl = document->LastDataUrl();
            item.logoUrl = document->LastLogoUrl();
            // The item's paths are those of the disk now, whatever view came before.
            RefreshItems();
            RefreshLocalPaths(item, list.dataFolder);
            caption = companyName;
        }
        return Install(std::move(item), caption, caller);
    });
}

HRESULT ContentServiceCore::Install(ContentItem item, const std::string& caption, Caller caller) {
    ContentInstaller installer;
    const bool created = installer.Create();
    std::string dataFolder;
    {
        const std::lock_guard guard(lock);
        if (Abandoned(caller)) {
            return E_FAIL;
        }
        if (!created) {
            // Without the component nothing can be fetched: that is a failed download.
            return Refuse(ErrUnableToDownload, kTextUnableToDownload, E_FAIL);
        }
        error.Store(ErrUnableToDownload, kTextUnableToDownload);
        // An item with a data file but no usable local path cannot be installed.
        if (!item.dataUrl.empty() && item.file.empty()) {
            return E_FAIL;
        }
        if (caller == Caller::Worker) {
            workerDownloader = installer.Downloader();
        }
        dataFolder = list.dataFolder;
    }
    const bool installed = installer.Install(caption, item);
    const std::lock_guard guard(lock);
    if (caller == Caller::Worker) {
        workerDownloader = nullptr;
    }
    if (Abandoned(caller) || !installed) {
        return E_FAIL;
    }
    error.Store(ErrDownloadNotCompletedError, kTextDownloadNotCompleted);
    if (!installer.VerifySizes(item)) {
        return E_FAIL;
    }
    error.Store(ErrUnableToCopyFiles, kTextUnableToCopyFiles);
    if (!installer.CopyToDataFolder(item, dataFolder)) {
        return E_FAIL;
    }
    error.Clear();
    RefreshItems();
    return S_OK;
}

ContentList ContentServiceCore::View(ContentView view) {
    const std::lock_guard guard(lock);
    RefreshItems();
    ContentList chosen;
    chosen.dataFolder = list.dataFolder;
    for (const ContentItem& item : list.items) {
        if (view == ContentView::All || (view == ContentView::Downloaded && item.isDownloaded) ||
            (view == ContentView::Available && item.isAvailable)) {
            chosen.items.push_back(item);
        }
    }
    return chosen;
}

HRESULT ContentServiceCore::BeginGet(const GetContentArguments& arguments,
                                     const Completion& completion) {
    return Begin<ContentServiceCore>(arguments, getArguments, pendingGet, completion, true,
                                     &ContentServiceCore::CheckGet);
}

HRESULT ContentServiceCore::BeginDownload(const DownloadContentArguments& arguments,
                                          const Completion& completion) {
    return Begin<ContentServiceCore>(arguments, downloadArguments, pendingDownload, completion,
                                     false, &ContentServiceCore::CheckDownload);
}

void ContentServiceCore::RunGet() {
    Run<ContentServiceCore>(getArguments, pendingGet, &ContentServiceCore::GetUserContent);
}

void ContentServiceCore::RunDownload() {
    Run<ContentServiceCore>(downloadArguments, pendingDownload,
                            &ContentServiceCore::DownloadUserContent);
}
