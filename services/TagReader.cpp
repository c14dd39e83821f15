#include "services/TagReader.h"

#include <algorithm>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool EndsName(char c) {
    return IsBlank(c) || c == '/' || c == '<' || c == '=' || c == '>';
}

// The name at `at`, moving `at` past it. White space between a name and its ">" is passed over
// too: no service writes it, and without this it would be read as text.
std::string_view ReadName(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && !EndsName(text[at])) {
        ++at;
    }
    const std::string_view name = text.substr(start, at - start);
    std::size_t look = at;
    while (look < text.size() && IsBlank(text[look])) {
        ++look;
    }
    if (look < text.size() && text[look] == '>') {
        at = look;
    }
    return name;
}

// One pass over the document; without a handler it only measures the nesting. The reader keeps
// a count of open tags instead of recursing, so no document can exhaust the stack. False when the
// nesting goes deeper than the limit.
bool Walk(std::string_view text, TagHandler* handler) {
    std::size_t at = text.find('<');
    if (at == std::string_view::npos) {
        return true;
    }
    ++at;
    int depth = 1;
    const std::string_view root = ReadName(text, at);
    if (handler != nullptr) {
        handler->StartTag(root);
    }
    while (at < text.size()) {
        if (text[at] == '>') {
            ++at;
        }
        const std::size_t next = std::min(text.find('<', at), text.size());
        if (handler != nullptr && next > at) {
            handler->Text(text.substr(at, next - at));
        }
        at = next;
        if (at == text.size()) {
            break;
        }
        const std::size_t open = at++;
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        if (at < text.size() && text[at] == '/') {
            ++at;
            while (at < text.size() && IsBlank(text[at])) {
                ++at;
            }
            const std::string_view name = ReadName(text, at);
            if (handler != nullptr) {
                handler->EndTag(name);
            }
            if (--depth == 0) {
                return true; // one root element: whatever follows it is not read
            }
        } else {
            at = open + 1;
            if (++depth > kMaxTagDepth) {
                return false;
            }
            const std::string_view name = ReadName(text, at);
            if (handler != nullptr) {
                handler->StartTag(name);
            }
        }
    }
    return true;
}

template <typename Number>
Number ReadDecimal(std::string_view text) {
    constexpr Number kMax = std::numeric_limits<Number>::max();
    constexpr Number kMin = std::numeric_limits<Number>::min();
    std::size_t at = 0;
    while (at < text.size() && (IsBlank(text[at]) || text[at] == '\v' || text[at] == '\f')) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    Number value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const auto digit = static_cast<Number>(text[at] - '0');
        if (!negative) {
            if (value > (kMax - digit) / 10) {
                return kMax;
            }
            value = static_cast<Number>(value * 10 + digit);
        } else {
            if (value < (kMin + digit) / 10) {
                return kMin;
            }
            value = static_cast<Number>(value * 10 - digit);
        }
    }
    return value;
}

} // namespace

bool ReadTags(std::string_view text, TagHandler& handler) {
    text = text.substr(0, text.find('\0'));
    // Measured first, so that a document too deep for the reader tells the handlers nothing.
    if (!Walk(text, nullptr)) {
        return false;
    }
    Walk(text, &handler);
    return true;
}

int32_t ReadDecimal32(std::string_view text) {
    return ReadDecimal<int32_t>(text);
}

int64_t ReadDecimal64(std::string_view text) {
    return ReadDecimal<int64_t>(text);
}
