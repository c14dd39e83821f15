#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One entry of a high-score list.
struct ScoreItem {
    std::string name;
    int64_t value = 0;
    int32_t mode = 0;
    std::string description;

    friend bool operator==(const ScoreItem&, const ScoreItem&) = default;
};

// A named list of entries in the order the document gave them.
struct ScoreList {
    std::string name;
    std::vector<ScoreItem> items;
};

// The five lists of a scores document and of a service; nothing ever fills "reported".
enum ScoreListIndex : std::size_t {
    kAlltimeList,
    kMonthlyList,
    kWeeklyList,
    kDailyList,
    kReportedList,
    kScoreListCount
};

constexpr std::array<const char*, kScoreListCount> kScoreListNames = {
    "alltime", "monthly", "weekly", "daily", "reported"};

// The lists of a service, each named, all empty.
inline std::array<ScoreList, kScoreListCount> NamedScoreLists() {
    std::array<ScoreList, kScoreListCount> lists;
    for (std::size_t i = 0; i < kScoreListCount; ++i) {
        lists[i].name = kScoreListNames[i];
    }
    return lists;
}
