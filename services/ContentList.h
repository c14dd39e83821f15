#pragma once

#include "services/ContentItem.h"

#include <string>
#include <string_view>
#include <vector>

// The content list of a service: the data folder its items' files lie in, and the items.
struct ContentList {
    std::string dataFolder;
    std::vector<ContentItem> items;
};

// Whether an extension from the server may become part of a file name: 1 to 16 ASCII letters
// and digits, so that it can never reach out of the item's folder.
bool UsableExtension(std::string_view extension);

// True when the path lies inside the folder (which ends in "/") and has no empty, "." or ".."
// level below it.
bool PathInsideFolder(std::string_view path, std::string_view folder);

// Sets the item's local paths and flags from the disk. An item without file extension keeps its
// paths and is neither downloaded nor available; one whose extensions cannot be file names, or
// without a data folder, loses its paths and has neither flag.
void RefreshLocalPaths(ContentItem& item, std::string_view dataFolder);
