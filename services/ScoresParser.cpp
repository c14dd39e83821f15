#include "services/ScoresParser.h"

namespace {

std::optional<std::size_t> ListIndex(std::string_view name) {
    for (std::size_t i = 0; i < kScoreListCount; ++i) {
        if (name == kScoreListNames[i]) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

ScoresParser::ScoresParser() : lists(NamedScoreLists()) {}

bool ScoresParser::Parse(std::string_view text) {
    return ReadTags(text, *this);
}

void ScoresParser::StartTag(std::string_view name) {
    lastTag = name;
    if (name == "scores") {
        for (ScoreList& list : lists) {
            list.items.clear();
        }
    } else if (const std::optional<std::size_t> index = ListIndex(name)) {
        currentList = index;
    } else if (name == "score") {
        entry = ScoreItem();
    } else if (name == "game") {
        gameId = 0;
        lastTag.clear();
    } else if (name == "data") {
        data.clear();
    } else if (name == "status") {
        statusSeen = true;
    }
}

void ScoresParser::Text(std::string_view content) {
    if (lastTag == "name") {
        entry.name = content;
    } else if (lastTag == "description") {
        entry.description = content;
    } else if (lastTag == "value") {
        entry.value = ReadDecimal64(content);
    } else if (lastTag == "mode") {
        entry.mode = ReadDecimal32(content);
    } else if (lastTag == "id") {
        gameId = ReadDecimal32(content);
    } else if (lastTag == "data") {
        data = content;
    } else if (lastTag == "status") {
        status = ReadDecimal32(content);
    }
}

void ScoresParser::EndTag(std::string_view name) {
    if (name == "score") {
        if (currentList) {
            lists[*currentList].items.push_back(entry);
            entry = ScoreItem();
        }
    } else if (ListIndex(name)) {
        currentList.reset();
    }
}
