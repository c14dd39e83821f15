#include "platform/os/ScriptedInput.h"

#include "platform/os/Clock.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <memory>

namespace {

// Passes between a button or key going down and up again.
constexpr int kHoldPasses = 4;
constexpr int kTypePasses = 8;
constexpr int kMaxPass = INT_MAX / 2;
constexpr int kMaxCoordinate = 32767;
constexpr double kStepSeconds = 1.0 / 60.0;

using Type = SyntheticEvent::Type;

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) {
            ++at;
        }
        std::size_t end = at;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) {
            ++end;
        }
        if (end > at) {
            words.push_back(line.substr(at, end - at));
        }
        at = end;
    }
    return words;
}

bool Number(std::string_view word, int low, int high, int& value) {
    const char* end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, value);
    return failure == std::errc() && stop == end && value >= low && value <= high;
}

bool KeyCode(std::string_view word, int& key) {
    struct Named {
        std::string_view name;
        int key;
    };
    static constexpr Named kNames[] = {{"enter", 13},    {"escape", 27}, {"space", 32},
                                       {"backspace", 8}, {"alt", 18},    {"shift", 16},
                                       {"control", 17},  {"f4", 115}};
    for (const Named& named : kNames) {
        if (word == named.name) {
            key = named.key;
            return true;
        }
    }
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0]))) {
        key = std::toupper(static_cast<unsigned char>(word[0]));
        return true;
    }
    return Number(word, 1, 255, key);
}

SyntheticEvent Make(Type type, int key = 0, int x = 0, int y = 0) {
    SyntheticEvent event;
    event.type = type;
    event.key = key;
    event.x = x;
    event.y = y;
    return event;
}

// Reads one line's events; the reason when it cannot.
std::string ParseLine(std::string_view line, std::vector<ScriptedEvent>& events) {
    const std::vector<std::string_view> words = Words(line);
    int pass = 0;
    if (words.size() < 2 || !Number(words[0], 1, kMaxPass, pass)) {
        return "expected a pass number from 1 and an event";
    }
    const std::string_view what = words[1];
    auto add = [&](int at, SyntheticEvent event) { events.push_back({at, event, std::nullopt}); };
    auto point = [&](int& x, int& y) {
        return words.size() == 4 && Number(words[2], -kMaxCoordinate, kMaxCoordinate, x) &&
               Number(words[3], -kMaxCoordinate, kMaxCoordinate, y);
    };
    int x = 0;
    int y = 0;
    int key = 0;
    if (what == "move" || what == "down" || what == "up" || what == "rdown" || what == "rup" ||
        what == "click") {
        if (!point(x, y)) {
            return "expected X and Y";
        }
        if (what == "move") {
            add(pass, Make(Type::MouseMove, 0, x, y));
        } else if (what == "click") {
            add(pass, Make(Type::MouseMove, 0, x, y));
            add(pass, Make(Type::ButtonDown, kKeyLeftButton, x, y));
            add(pass + kHoldPasses, Make(Type::ButtonUp, kKeyLeftButton, x, y));
        } else {
            const int button = what[0] == 'r' ? kKeyRightButton : kKeyLeftButton;
            const bool down = what == "down" || what == "rdown";
            add(pass, Make(down ? Type::ButtonDown : Type::ButtonUp, button, x, y));
        }
        return {};
    }
    if (what == "keydown" || what == "keyup" || what == "key") {
        if (words.size() != 3 || !KeyCode(words[2], key)) {
            return "expected one key";
        }
        if (what != "keyup") {
            add(pass, Make(Type::KeyDown, key));
        }
        if (what != "keydown") {
            add(what == "key" ? pass + kHoldPasses : pass, Make(Type::KeyUp, key));
        }
        return {};
    }
    if (what == "type") {
        const std::size_t start = line.find("type") + 4;
        std::string_view text = start < line.size() ? line.substr(start + 1) : std::string_view();
        int at = pass;
        for (const char c : text) {
            if (c == '\r') {
                continue;
            }
            if (c != ' ' && !std::isalnum(static_cast<unsigned char>(c))) {
                return "type takes letters, digits and spaces";
            }
            key = c == ' ' ? 32 : std::toupper(static_cast<unsigned char>(c));
            add(at, Make(Type::KeyDown, key));
            add(at + kHoldPasses, Make(Type::KeyUp, key));
            at += kTypePasses;
        }
        return {};
    }
    if (what == "seed") {
        uint32_t seed = 0;
        const std::string_view number = words.size() == 3 ? words[2] : std::string_view();
        const auto [stop, failure] =
            std::from_chars(number.data(), number.data() + number.size(), seed);
        if (number.empty() || failure != std::errc() || stop != number.data() + number.size()) {
            return "expected a seed from 0 to 4294967295";
        }
        events.push_back({pass, SyntheticEvent{}, seed});
        return {};
    }
    if (what == "wheel") {
        if (words.size() != 3 || !Number(words[2], -100, 100, y)) {
            return "expected a number of notches";
        }
        add(pass, Make(Type::Wheel, 0, 0, y));
        return {};
    }
    struct Plain {
        std::string_view name;
        Type type;
    };
    static constexpr Plain kPlain[] = {{"focus-lost", Type::FocusLost},
                                       {"focus-gained", Type::FocusGained},
                                       {"leave", Type::MouseLeave},
                                       {"close", Type::Close}};
    for (const Plain& plain : kPlain) {
        if (what == plain.name && words.size() == 2) {
            add(pass, Make(plain.type));
            return {};
        }
    }
    return "unknown event";
}

struct ScriptedRun {
    std::vector<ScriptedEvent> events;
    std::size_t next = 0;
    bool stepClock = false;
    ManualClock clock;
};

} // namespace

bool ParseInputScript(std::string_view text, std::vector<ScriptedEvent>& events,
                      std::string& error) {
    std::vector<ScriptedEvent> parsed;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        const std::string reason = ParseLine(line, parsed);
        if (!reason.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
    }
    std::stable_sort(
        parsed.begin(), parsed.end(),
        [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.pass < b.pass; });
    events = std::move(parsed);
    return true;
}

void InstallScriptedRun(std::vector<ScriptedEvent> events, bool stepClock) {
    // Lives for the rest of the run: the clock must outlast every reader.
    static std::unique_ptr<ScriptedRun> run;
    SetClockSource(nullptr);
    run = std::make_unique<ScriptedRun>();
    run->events = std::move(events);
    run->stepClock = stepClock;
    if (stepClock) {
        SetClockSource(&run->clock);
    }
    Seams().pass = 0;
    Seams().eventSource = [state = run.get()](std::vector<SyntheticEvent>& out) {
        PlatformSeams& seams = Seams();
        ++seams.pass;
        if (state->stepClock) {
            state->clock.AdvanceSeconds(kStepSeconds);
        }
        while (state->next < state->events.size() &&
               state->events[state->next].pass <= seams.pass) {
            const ScriptedEvent& due = state->events[state->next++];
            if (due.seed) {
                if (seams.reseed) {
                    seams.reseed(*due.seed);
                }
                continue;
            }
            SyntheticEvent event = due.event;
            event.window = LatestWindow();
            if (event.window != nullptr) {
                out.push_back(event);
            }
        }
        if (seams.endPass && seams.pass == *seams.endPass) {
            PostQuitMessage(0);
        }
    };
}
