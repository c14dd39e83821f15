// vglsvs-host: a small host of the client-services library, to try it by hand. It registers the
// library in a classes root, creates its services by ProgID and prints what they return.

#include "platform/com/CodePage.h"
#include "platform/com/ComRef.h"
#include "platform/com/ObjectCreation.h"
#include "services/VostrelGamesServicesLib.h"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: vglsvs-host [OPTIONS] COMMAND ARGUMENTS...\n"
        "options:\n"
        "  --registry FILE      the classes root (else $ORVEX_CLASSES_ROOT or the default)\n"
        "  --connect HOST:PORT  the services' endpoint (else $VGLSVS_CONNECT_TO or the real one)\n"
        "  --company NAME       the services' CompanyName\n"
        "  --game-folder NAME   the services' GameFolder\n"
        "commands:\n"
        "  register [MODULE...]     register the modules (by default the library and the\n"
        "                           download component built with this program)\n"
        "  unregister [MODULE...]   remove their registration\n"
        "  scores CERTIFICATE GAME COUNT LOGIN PASSWORD\n"
        "  load-scores CERTIFICATE GAME\n"
        "  report CERTIFICATE GAME MODE NAME SCORE DESCRIPTION LOGIN PASSWORD\n"
        "  content CERTIFICATE GAME COUNT LOGIN PASSWORD\n"
        "  download CERTIFICATE GAME NUMBER LOGIN PASSWORD   (from the list kept by \"content\")\n"
        "  remove CERTIFICATE GAME NUMBER                    (likewise)\n");
    return 2;
}

std::string ResultName(HRESULT result) {
    struct Named {
        HRESULT result;
        const char* name;
    };
    static const Named kNames[] = {
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_FAIL, "E_FAIL"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {REGDB_E_WRITEREGDB, "REGDB_E_WRITEREGDB"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
        {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
        {CO_E_DLLNOTFOUND, "CO_E_DLLNOTFOUND"},
        {CO_E_ERRORINDLL, "CO_E_ERRORINDLL"},
    };
    for (const Named& entry : kNames) {
        if (entry.result == result) {
            return entry.name;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    return text;
}

std::string Narrow(const Bstr& text) {
    return NarrowFromWide(text.View());
}

// A number argument; false (with a message) when it is not one.
bool ReadNumber(const char* text, int64_t& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    if (*text == '\0' || *end != '\0') {
        std::fprintf(stderr, "vglsvs-host: \"%s\" is not a number\n", text);
        return false;
    }
    return true;
}

bool ReadNumber(const char* text, int32_t& value) {
    int64_t wide = 0;
    if (!ReadNumber(text, wide) || wide < INT32_MIN || wide > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(wide);
    return true;
}

struct Settings {
    std::string company;
    std::string gameFolder;
};

// Every service operation prints its HRESULT and the service's error afterwards; it succeeded
// only with S_OK and no error (a report keeps S_OK when the server's answer holds an error).
template <typename Service>
bool Report(const char* operation, HRESULT result, Service* service) {
    int32_t error = 0;
    Bstr description;
    service->get_Error(&error);
    service->get_ErrorDescription(description.Put());
    std::printf("%s: %s, Error %d \"%s\"\n", operation, ResultName(result).c_str(), error,
                Narrow(description).c_str());
    return result == S_OK && error == 0;
}

template <typename Service>
ComRef<Service> CreateService(const char* progId, const Guid& iid, const Settings& settings) {
    ComRef<Service> service;
    const HRESULT created = CreateInstanceByProgId(progId, nullptr, iid, service.PutVoid());
    std::printf("create %s: %s\n", progId, ResultName(created).c_str());
    if (service) {
        service->put_CompanyName(Bstr::FromNarrow(settings.company).Get());
        service->put_GameFolder(Bstr::FromNarrow(settings.gameFolder).Get());
    }
    return service;
}

void PrintScores(const char* title, HRESULT (IVGHighScoreService::*list)(IVGHighScores**),
                 IVGHighScoreService* service) {
    ComRef<IVGHighScores> scores;
    int32_t count = 0;
    if ((service->*list)(scores.Put()) != S_OK || scores->get_count(&count) != S_OK) {
        std::printf("%s: not available\n", title);
        return;
    }
    std::printf("%s (%d):\n", title, count);
    for (int32_t index = 1; index <= count; ++index) {
        ComRef<IVGHighScoreItem> item;
        if (scores->get_Item(index, item.Put()) != S_OK) {
            continue;
        }
        Bstr name;
        Bstr description;
        int64_t value = 0;
        int32_t mode = 0;
        item->get_name(name.Put());
        item->get_Description(description.Put());
        item->get_score(&value);
        item->get_Mode(&mode);
        std::printf("  %2d. %-16s %12lld  mode %d  %s\n", index, Narrow(name).c_str(),
                    static_cast<long long>(value), mode, Narrow(description).c_str());
    }
}

void PrintAllScores(IVGHighScoreService* service) {
    PrintScores("all-time", &IVGHighScoreService::AlltimeScores, service);
    PrintScores("monthly", &IVGHighScoreService::MonthlyScores, service);
    PrintScores("weekly", &IVGHighScoreService::WeeklyScores, service);
    PrintScores("daily", &IVGHighScoreService::DailyScores, service);
}

int32_t ViewCount(HRESULT (IVGUserContentService::*view)(IVGUserContent**),
                  IVGUserContentService* service) {
    ComRef<IVGUserContent> content;
    int32_t count = 0;
    if ((service->*view)(content.Put()) != S_OK || content->get_count(&count) != S_OK) {
        return -1;
    }
    return count;
}

// The whole list with each item's state, then the sizes of the two other views.
void PrintContent(IVGUserContentService* service) {
    ComRef<IVGUserContent> content;
    int32_t count = 0;
    if (service->UserContent(content.Put()) != S_OK || content->get_count(&count) != S_OK) {
        std::printf("user content: not available\n");
        return;
    }
    std::printf("user content (%d):\n", count);
    for (int32_t index = 1; index <= count; ++index) {
        ComRef<IVGUserContentItem> item;
        if (content->get_Item(index, item.Put()) != S_OK) {
            continue;
        }
        int32_t number = 0;
        VARIANT_BOOL downloaded = VARIANT_FALSE;
        Bstr name;
        Bstr file;
        Bstr logo;
        Bstr description;
        item->get_Number(&number);
        item->get_isDownloaded(&downloaded);
        item->get_name(name.Put());
        item->get_File(file.Put());
        item->get_Logo(logo.Put());
        item->get_Description(description.Put());
        std::printf("  #%d %s (%s)%s%s\n", number, Narrow(name).c_str(),
                    downloaded != VARIANT_FALSE ? "downloaded" : "available",
                    description.Length() != 0 ? ": " : "", Narrow(description).c_str());
        std::printf("     file %s\n", Narrow(file).c_str());
        if (logo.Length() != 0) {
            std::printf("     logo %s\n", Narrow(logo).c_str());
        }
    }
    std::printf("downloaded %d, available %d\n",
                ViewCount(&IVGUserContentService::DownloadedContent, service),
                ViewCount(&IVGUserContentService::AvailableContent, service));
}

using Arguments = std::span<char* const>;

int Registration(bool add, Arguments modules) {
    std::vector<std::string> paths(modules.begin(), modules.end());
    if (paths.empty()) {
        paths = {VGLSVS_MODULE, VGDOWNLOADER_MODULE};
    }
    bool allDone = true;
    for (const std::string& path : paths) {
        const HRESULT result = add ? RegisterServerModule(path) : UnregisterServerModule(path);
        std::printf("%s %s: %s\n", add ? "register" : "unregister", path.c_str(),
                    ResultName(result).c_str());
        allDone = allDone && result == S_OK;
    }
    return allDone ? 0 : 1;
}

int HighScores(std::string_view command, Arguments arguments, const Settings& settings) {
    const ComRef<IVGHighScoreService> service = CreateService<IVGHighScoreService>(
        "VostrelGamesServices.HighScoreService", kIidVGHighScoreService, settings);
    if (!service) {
        return 1;
    }
    const Bstr certificate = Bstr::FromNarrow(arguments[0]);
    int32_t game = 0;
    if (!ReadNumber(arguments[1], game)) {
        return 2;
    }
    bool done = false;
    if (command == "scores") {
        int32_t count = 0;
        if (!ReadNumber(arguments[2], count)) {
            return 2;
        }
        done = Report("GetHighScores",
                      service->GetHighScores(certificate.Get(), game, count,
                                             Bstr::FromNarrow(arguments[3]).Get(),
                                             Bstr::FromNarrow(arguments[4]).Get()),
                      service.Get());
        PrintAllScores(service.Get());
    } else if (command == "load-scores") {
        done = Report("LoadHighScores", service->LoadHighScores(certificate.Get(), game),
                      service.Get());
        PrintAllScores(service.Get());
    } else {
        int32_t mode = 0;
        int64_t score = 0;
        if (!ReadNumber(arguments[2], mode) || !ReadNumber(arguments[4], score)) {
            return 2;
        }
        done = Report("ReportHighScore",
                      service->ReportHighScore(certificate.Get(), game, mode,
                                               Bstr::FromNarrow(arguments[3]).Get(), score,
                                               Bstr::FromNarrow(arguments[5]).Get(),
                                               Bstr::FromNarrow(arguments[6]).Get(),
                                               Bstr::FromNarrow(arguments[7]).Get()),
                      service.Get());
    }
    return done ? 0 : 1;
}

// Removes the item of that number from the disk, through the list kept by the last download.
bool RemoveItem(IVGUserContentService* service, int32_t wanted) {
    ComRef<IVGUserContent> content;
    int32_t count = 0;
    if (service->UserContent(content.Put()) != S_OK || content->get_count(&count) != S_OK) {
        return false;
    }
    for (int32_t index = 1; index <= count; ++index) {
        ComRef<IVGUserContentItem> item;
        int32_t number = 0;
        if (content->get_Item(index, item.Put()) == S_OK && item->get_Number(&number) == S_OK &&
            number == wanted) {
            const HRESULT removed = item->Remove();
            std::printf("Remove #%d: %s\n", wanted, ResultName(removed).c_str());
            return removed == S_OK;
        }
    }
    std::printf("Remove #%d: no such item in the list\n", wanted);
    return false;
}

int UserContent(std::string_view command, Arguments arguments, const Settings& settings) {
    const ComRef<IVGUserContentService> service = CreateService<IVGUserContentService>(
        "VostrelGamesServices.UserContentService", kIidVGUserContentService, settings);
    if (!service) {
        return 1;
    }
    const Bstr certificate = Bstr::FromNarrow(arguments[0]);
    int32_t game = 0;
    int32_t number = 0;
    if (!ReadNumber(arguments[1], game) || !ReadNumber(arguments[2], number)) {
        return 2;
    }
    bool done = false;
    if (command == "content") {
        done = Report("GetUserContent",
                      service->GetUserContent(certificate.Get(), game, number,
                                              Bstr::FromNarrow(arguments[3]).Get(),
                                              Bstr::FromNarrow(arguments[4]).Get()),
                      service.Get());
    } else if (command == "download") {
        // A download picks the item from the list the service holds: the one kept by the last
        // listing.
        done = Report("LoadUserContent", service->LoadUserContent(certificate.Get(), game),
                      service.Get()) &&
               Report("DownloadUserContent",
                      service->DownloadUserContent(certificate.Get(), game, number,
                                                   Bstr::FromNarrow(arguments[3]).Get(),
                                                   Bstr::FromNarrow(arguments[4]).Get()),
                      service.Get());
    } else {
        done = Report("LoadUserContent", service->LoadUserContent(certificate.Get(), game),
                      service.Get()) &&
               RemoveItem(service.Get(), number);
    }
    PrintContent(service.Get());
    return done ? 0 : 1;
}

struct Command {
    std::string_view name;
    std::size_t arguments; // the number a command needs; registration takes any
    int (*run)(std::string_view command, Arguments arguments, const Settings& settings);
};

const Command kCommands[] = {
    {"scores", 5, &HighScores},   {"load-scores", 2, &HighScores}, {"report", 8, &HighScores},
    {"content", 5, &UserContent}, {"download", 5, &UserContent},   {"remove", 3, &UserContent},
};

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    int next = 1;
    for (; next + 1 < argc && std::string_view(argv[next]).starts_with("--"); next += 2) {
        const std::string_view option = argv[next];
        const char* value = argv[next + 1];
        if (option == "--registry") {
            ::setenv("ORVEX_CLASSES_ROOT", value, 1);
        } else if (option == "--connect") {
            ::setenv("VGLSVS_CONNECT_TO", value, 1);
        } else if (option == "--company") {
            settings.company = value;
        } else if (option == "--game-folder") {
            settings.gameFolder = value;
        } else {
            return Usage();
        }
    }
    if (next >= argc) {
        return Usage();
    }
    const std::string_view command = argv[next];
    const Arguments arguments(argv + next + 1, static_cast<std::size_t>(argc - next - 1));
    if (command == "register" || command == "unregister") {
        return Registration(command == "register", arguments);
    }
    for (const Command& entry : kCommands) {
        if (entry.name == command) {
            if (arguments.size() != entry.arguments) {
                return Usage();
            }
            const int result = entry.run(command, arguments, settings);
            FreeUnusedModules();
            return result;
        }
    }
    return Usage();
}
