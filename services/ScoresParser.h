#pragma once

#include "services/ScoreList.h"
#include "services/TagReader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The handlers of the score service's documents: the answer document ("id", "status", "data")
// and the scores document inside its data ("scores", the five lists, "score" entries with
// "name", "description", "value", "mode", and "id"). Each document gets a parser of its own, so
// nothing of the answer (its game id above all) is taken for the decrypted document's.
class ScoresParser final : public TagHandler {
public:
    ScoresParser();

    // Reads one document; false (with nothing read) when it is nested too deeply.
    bool Parse(std::string_view text);

    const std::array<ScoreList, kScoreListCount>& Lists() const { return lists; }
    int32_t GameId() const { return gameId; }
    const std::string& Data() const { return data; }
    int32_t Status() const { return status; }
    // Whether a "status" element was read: every answer document carries one.
    bool HasStatus() const { return statusSeen; }

    void StartTag(std::string_view name) override;
    void Text(std::string_view content) override;
    void EndTag(std::string_view name) override;

private:
    std::array<ScoreList, kScoreListCount> lists;
    std::optional<std::size_t> currentList;
    ScoreItem entry;
    std::string lastTag;
    int32_t gameId = 0;
    std::string data;
    int32_t status = 0;
    bool statusSeen = false;
};
