#pragma once

#include <cstdint>
#include <string>

// One entry of the user-content list: what the document says of it, and where its files lie
// once downloaded (filled in from the disk, not from the document).
struct ContentItem {
    std::string description;
    std::string file; // local data path
    std::string dataUrl;
    std::string fileExtension;
    std::string fileSizeText;
    int32_t fileSize = 0;
    std::string logo; // local logo path
    std::string logoUrl;
    std::string logoExtension;
    std::string logoSizeText;
    int32_t logoSize = 0;
    std::string name;
    int32_t number = 0;
    bool isDownloaded = false;
    bool isAvailable = false;

    friend bool operator==(const ContentItem&, const ContentItem&) = default;
};
