#include "services/ContentList.h"

#include "services/LocalFile.h"

#include <sys/stat.h>

namespace {

constexpr std::size_t kMaxExtension = 16;

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool AsciiAlphanumeric(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

bool UsableExtension(std::string_view extension) {
    if (extension.empty() || extension.size() > kMaxExtension) {
        return false;
    }
    for (const char c : extension) {
        if (!AsciiAlphanumeric(c)) {
            return false;
        }
    }
    return true;
}

bool PathInsideFolder(std::string_view path, std::string_view folder) {
    if (folder.empty() || folder.back() != '/' || path.size() <= folder.size() ||
        path.substr(0, folder.size()) != folder) {
        return false;
    }
    std::string_view rest = path.substr(folder.size());
    while (true) {
        const std::size_t slash = rest.find('/');
        const std::string_view level = rest.substr(0, slash);
        if (level.empty() || level == "." || level == ".." ||
            level.find('\0') != std::string_view::npos) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
}

void RefreshLocalPaths(ContentItem& item, std::string_view dataFolder) {
    item.isDownloaded = false;
    item.isAvailable = false;
    if (item.fileExtension.empty()) {
        return;
    }
    if (dataFolder.empty() || !UsableExtension(item.fileExtension) ||
        (!item.logoExtension.empty() && !UsableExtension(item.logoExtension))) {
        item.file.clear();
        item.logo.clear();
        return;
    }
    item.file = ItemFilePath(dataFolder, item.number, "data", item.fileExtension);
    item.isDownloaded = Exists(item.file);
    item.isAvailable = !item.isDownloaded;
    if (!item.logoExtension.empty()) {
        item.logo = ItemFilePath(dataFolder, item.number, "logo", item.logoExtension);
    }
}
