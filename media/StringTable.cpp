#include "media/StringTable.h"

#include "engine/Exception.h"
#include "engine/Log.h"
#include "engine/Parcon.h"

#include <set>

namespace {

constexpr std::string_view kKeyPrefix = "str.";

std::map<std::string, std::string, std::less<>> entries;

} // namespace

namespace StringTable {

void Load() {
    Parcon parser;
    parser.OpenFile("strings-utf8.txt", true);
    // The keys of this file; a key given twice loses its earlier text unseen otherwise.
    std::set<std::string, std::less<>> given;
    ParconCursor root = parser.RootCursor();
    while (root.Next()) {
        const std::optional<ParconList> list = root.GetList();
        if (!list || list->elements.size() < 2) {
            continue;
        }
        const ParconNode* const name = &list->elements.front();
        if (name->kind != ParconNode::kValue || !name->hasText) {
            continue;
        }
        const std::string_view key = list->Text(*name);
        if (!given.emplace(key).second) {
            DebugLog("%s gives the key %s more than once: its last text is used\n",
                     MessagePart(list->FileName()).c_str(), MessagePart(key).c_str());
        }
        ParconCursor entry(list, 0);
        entries[std::string(key)] = entry.NextString(false, "");
    }
}

std::string_view Translate(std::string_view text) {
    if (!text.starts_with(kKeyPrefix)) {
        return text;
    }
    auto found = entries.find(text);
    if (found == entries.end()) {
        found = entries.emplace(std::string(text), std::string()).first;
    }
    // An untranslated key shows as its own name.
    return found->second.empty() ? std::string_view(found->first) : found->second;
}

const std::map<std::string, std::string, std::less<>>& Entries() {
    return entries;
}

void Clear() {
    entries.clear();
}

} // namespace StringTable
