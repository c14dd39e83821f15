#include "engine/profile.h"

#include "engine/Log.h"
#include "engine/Timer.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxTags = 99;
constexpr double kNotRunning = -1.0;

struct ProfileTag {
    std::string name;
    const char* lastText = nullptr; // the text it was last found by
    int calls = 0;
    double startTime = kNotRunning;
    bool stopped = true;
    double totalTime = 0.0;
};

struct Profiler {
    bool initialised = false;
    double initTime = 0.0;
    std::vector<ProfileTag> tags;
    int running = 0; // tags started and not yet stopped

    void InitialiseOnce() {
        if (!initialised) {
            tags.clear();
            tags.reserve(kMaxTags);
            initTime = FrameTimer.GetTime();
            initialised = true;
        }
    }

    // A linear search: the profiler is meant for a handful of tags per frame. Callers pass the
    // same text each time, so the tag last found by it is tried first, its name still compared.
    ProfileTag* Find(const char* name) {
        for (ProfileTag& tag : tags) {
            if (tag.lastText == name && tag.name == name) {
                return &tag;
            }
        }
        for (ProfileTag& tag : tags) {
            if (tag.name == name) {
                tag.lastText = name;
                return &tag;
            }
        }
        return nullptr;
    }
};

Profiler profiler;

} // namespace

// Everything the profiler has to say goes to the log: without it, a tag is neither timed nor
// counted, which spares every draw of a frame its clock reads. A tag started while the log was on
// is still stopped.
void ProfileStart(const char* tag) {
    if (!LogEnabled) {
        return;
    }
    profiler.InitialiseOnce();
    if (tag[0] == '\0') {
        DebugLog("ERROR in ProfileStart: a tag may not be \"\". Call is denied.");
        return;
    }
    ProfileTag* entry = profiler.Find(tag);
    if (entry == nullptr) {
        if (profiler.tags.size() >= kMaxTags) {
            DebugLog("WARNING in ProfileStart: no more space to store the tag (\"%s\"). Increase "
                     "NUM_TAGS in \"profile\". Call is denied.\n",
                     tag);
            return;
        }
        entry = &profiler.tags.emplace_back();
        entry->name = tag;
    }
    if (entry->startTime != kNotRunning) {
        DebugLog("ERROR in ProfileStart: nesting of equal tags not allowed (\"%s\"). Call is "
                 "denied.\n",
                 tag);
        return;
    }
    ++entry->calls;
    entry->startTime = FrameTimer.GetTime();
    entry->stopped = false;
    ++profiler.running;
}

void ProfileStop(const char* tag) {
    if (!LogEnabled && profiler.running == 0) {
        return;
    }
    if (tag[0] == '\0') {
        DebugLog("ERROR in ProfileStop: a tag may not be \"\". Call is denied.");
        return;
    }
    ProfileTag* entry = profiler.Find(tag);
    if (entry == nullptr) {
        DebugLog("WARNING in ProfileStop: tag \"%s\" was never started. Call is denied.\n", tag);
        return;
    }
    // A stop without a running start would add the whole clock to the total.
    if (entry->startTime == kNotRunning) {
        return;
    }
    entry->totalTime += FrameTimer.GetTime() - entry->startTime;
    entry->stopped = true;
    entry->startTime = kNotRunning;
    --profiler.running;
}

void ProfilePrint() {
    if (profiler.tags.empty()) {
        DebugLog("ProfilePrint: nothing to print.\n");
        return;
    }
    const double now = FrameTimer.GetTime();
    const double elapsed = now - profiler.initTime;
    if (!(elapsed > 0.0)) {
        DebugLog("Warning: nothing to show because timer ran for less than 1 clock-tick.");
    }
    for (ProfileTag& tag : profiler.tags) {
        if (!tag.stopped) {
            tag.totalTime += now - tag.startTime;
            tag.stopped = true;
            tag.startTime = kNotRunning;
            DebugLog("Warning: \"%s\" started but not stopped. (Done now, but result may be "
                     "over-expensive!)\n",
                     tag.name.c_str());
        }
    }
    profiler.running = 0;
    std::stable_sort(
        profiler.tags.begin(), profiler.tags.end(),
        [](const ProfileTag& a, const ProfileTag& b) { return a.totalTime > b.totalTime; });
    DebugLog("Profiler results (descending by percentage):\n\n");
    for (const ProfileTag& tag : profiler.tags) {
        const double share = elapsed > 0.0 ? tag.totalTime / elapsed * 100.0 : 0.0;
        DebugLog("< calls: %4d, total: %7.2lf, share: %4.1lf%% > - \"%s\"\n", tag.calls,
                 tag.totalTime, share, tag.name.c_str());
    }
}

void ProfileReset() {
    profiler = Profiler();
}
