#include "services/ContentInstaller.h"

#include "platform/com/ObjectCreation.h"
#include "platform/os/DiskFiles.h"
#include "services/ContentList.h"
#include "services/LocalFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t kMaxDownloadName = 64;
// The progress message when the item has no description.
constexpr const char* kPleaseWait = "Please wait...";

bool Define(IOutsideDownloader* downloader, const std::string& name, const char* type,
            const std::string& definition) {
    const Bstr wideName = Bstr::FromNarrow(name);
    const Bstr wideType = Bstr::FromNarrow(type);
    const Bstr wideDefinition = Bstr::FromNarrow(definition);
    return Succeeded(downloader->DefineItem(wideName.Get(), wideType.Get(), wideDefinition.Get()));
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The declared size as the definition carries it: the server's text when it is a plain
// decimal, else the number read from it, so that no text of the server ends up as another key
// of the definition.
std::string SizeText(const std::string& text, int32_t size) {
    if (!text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == text.npos) {
        return text;
    }
    return std::to_string(size);
}

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error))) {
        return 0;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

} // namespace

ContentInstaller::~ContentInstaller() {
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
    if (downloader != nullptr) {
        downloader->Release();
    }
}

bool ContentInstaller::Create() {
    void* made = nullptr;
    if (Failed(CreateInstance(kClsidOutsideDownloader, nullptr, kIidOutsideDownloader, &made)) ||
        made == nullptr) {
        return false;
    }
    downloader = static_cast<IOutsideDownloader*>(made);
    std::string pattern = TemporaryFolder() + "vglsvs-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        return false;
    }
    folder = pattern + "/";
    return true;
}

std::string ContentInstaller::DownloadName(const std::string& url, const char* fallback) {
    std::string name = FileNameOfUrl(url);
    const std::size_t query = name.find_first_of("?#");
    if (query != std::string::npos) {
        name.resize(query);
    }
    const bool plain = !name.empty() && name.size() <= kMaxDownloadName && name.front() != '.' &&
                       name.find_first_not_of(
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-") ==
                           std::string::npos;
    return plain ? name : std::string(fallback);
}

bool ContentInstaller::DownloadableUrl(const std::string& url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

std::vector<ContentInstaller::Part> ContentInstaller::Parts(const ContentItem& item) const {
    std::vector<Part> parts;
    if (!item.dataUrl.empty() && !item.file.empty()) {
        parts.push_back({&item.dataUrl, &item.file, &item.fileSizeText, item.fileSize,
                         DownloadName(item.dataUrl, kDataFallback)});
    }
    if (!item.logoUrl.empty() && !item.logo.empty()) {
        std::string name = DownloadName(item.logoUrl, kLogoFallback);
        if (!parts.empty() && parts.front().name == name) {
            name = kLogoFallback;
        }
        parts.push_back({&item.logoUrl, &item.logo, &item.logoSizeText, item.logoSize, name});
    }
    return parts;
}

bool ContentInstaller::Install(const std::string& caption, const ContentItem& item) {
    if (downloader == nullptr || folder.empty()) {
        return false;
    }
    const std::vector<Part> parts = Parts(item);
    for (const Part& part : parts) {
        if (!DownloadableUrl(*part.url)) {
            return false;
        }
    }
    const std::string message = item.description.empty() ? kPleaseWait : item.description;
    if (!Define(downloader, "MyApp", kDefineApp, "AppDir=" + folder) ||
        !Define(downloader, "MyDlg", kDefineProgress,
                "Caption=" + caption + ";Message=" + message + ";Cancel=Cancel")) {
        return false;
    }
    // The files keep their numbers whether or not the other one is there.
    for (const Part& part : parts) {
        const char* number = part.localPath == &item.file ? "1" : "2";
        if (!Define(downloader, std::string("MyFile") + number, kDefineFile,
                    "File=" + part.name + ";FileSize=" + SizeText(*part.sizeText, part.size) +
                        ";Url=" + *part.url)) {
            return false;
        }
    }
    int32_t result = -1;
    return Succeeded(downloader->Run(&result)) && result == 0;
}

bool ContentInstaller::VerifySizes(const ContentItem& item) const {
    for (const Part& part : Parts(item)) {
        // 95 per cent of the declared size, truncated, on 64-bit values.
        const int64_t needed = static_cast<int64_t>(part.size) * 95 / 100;
        const std::string path = folder + part.name;
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error)) ||
            static_cast<int64_t>(SizeOf(path)) < needed) {
            return false;
        }
    }
    return true;
}

bool ContentInstaller::CopyToDataFolder(const ContentItem& item,
                                        const std::string& dataFolder) const {
    std::vector<std::string> installed;
    const auto undo = [&installed] {
        std::string error;
        for (const std::string& path : installed) {
            RemoveFile(path, error);
        }
        return false;
    };
    for (const Part& part : Parts(item)) {
        const std::string& target = *part.localPath;
        if (!PathInsideFolder(target, dataFolder)) {
            return undo();
        }
        const std::string staging = target + ".part";
        std::error_code error;
        std::filesystem::copy_file(folder + part.name, staging,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error) {
            std::string ignored;
            RemoveFile(staging, ignored);
            return undo();
        }
        std::filesystem::rename(staging, target, error);
        if (error) {
            std::string ignored;
            RemoveFile(staging, ignored);
            return undo();
        }
        installed.push_back(target);
    }
    return true;
}
