#pragma once

#include "services/ContentItem.h"
#include "services/OutsideDownloader.h"

#include <string>
#include <vector>

// One installation of a content item: the download component fetches the item's files into a
// private temporary folder, their sizes are checked, and they are copied into the item's folder.
// Destroying the installer removes the temporary folder with everything in it and releases the
// component.
class ContentInstaller {
public:
    // The definition file names when a URL's last component cannot be one.
    static constexpr const char* kDataFallback = "data.download";
    static constexpr const char* kLogoFallback = "logo.download";

    ContentInstaller() = default;
    ~ContentInstaller();
    ContentInstaller(const ContentInstaller&) = delete;
    ContentInstaller& operator=(const ContentInstaller&) = delete;

    // Creates the download component and the temporary folder (mode 0700, under the system's
    // temporary folder); false when either cannot be had.
    bool Create();
    // The component, for a cancel from another thread; null before Create.
    IOutsideDownloader* Downloader() const { return downloader; }
    const std::string& Folder() const { return folder; }

    // Defines the folder, the progress display and each part of the item that has a URL (and a
    // local path to go to), and runs the component. False when a URL is not http or https, a
    // definition fails or the run does not end with 0.
    bool Install(const std::string& caption, const ContentItem& item);
    // Each part present arrived with at least 95 per cent of its declared size.
    bool VerifySizes(const ContentItem& item) const;
    // Copies each part present to its local path inside the data folder, through a temporary
    // name beside it; on a failure removes what this call installed. False then.
    bool CopyToDataFolder(const ContentItem& item, const std::string& dataFolder) const;

    // The name a part is downloaded under: the URL's last component when it is a plain file
    // name (letters, digits, ".", "-", "_", at most 64 characters, not starting with "."), else
    // the fall-back.
    static std::string DownloadName(const std::string& url, const char* fallback);
    // True for URLs beginning "http://" or "https://" (any case).
    static bool DownloadableUrl(const std::string& url);

private:
    struct Part {
        const std::string* url;
        const std::string* localPath;
        const std::string* sizeText;
        int32_t size;
        std::string name; // in the temporary folder
    };
    std::vector<Part> Parts(const ContentItem& item) const;

    IOutsideDownloader* downloader = nullptr;
    std::string folder; // ends in "/"
};
