#include "engine/Parcon.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"

#include <locale.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// The white space of the C locale, whatever locale the process runs in.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsBracket(char c) {
    return c == '(' || c == ')' || c == '[' || c == ']';
}

// Data files are written with '.' decimals: numbers never follow the process locale.
locale_t CLocale() {
    // The "C" locale is built into the C library, so asking for it cannot fail.
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

// The C conversions need a terminated text; the tree's texts are not.
class TerminatedText {
public:
    explicit TerminatedText(std::string_view text) {
        if (text.size() < sizeof small) {
            std::copy(text.begin(), text.end(), small);
            small[text.size()] = '\0';
            data = small;
        } else {
            large.assign(text);
            data = large.c_str();
        }
    }
    const char* Get() const { return data; }

private:
    char small[64];
    std::string large;
    const char* data = nullptr;
};

// atoi of the C locale, clamped to the 32-bit range instead of undefined.
int32_t TextToInt(std::string_view text) {
    const TerminatedText terminated(text);
    const long long value = strtoll_l(terminated.Get(), nullptr, 10, CLocale());
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

// atof of the C locale narrowed to a float, with overflow going where IEEE rounding takes it.
float TextToFloat(std::string_view text) {
    const TerminatedText terminated(text);
    const double value = strtod_l(terminated.Get(), nullptr, CLocale());
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
        // Halfway between FLT_MAX and the next power of two rounds to infinity.
        const double limit = 0x1.ffffffp127;
        const float magnitude = std::fabs(value) >= limit ? INFINITY : FLT_MAX;
        return value > 0 ? magnitude : -magnitude;
    }
    return static_cast<float>(value);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Cursor

const ParconNode* ParconCursor::Current() const {
    if (list == nullptr || index < 0 || static_cast<std::size_t>(index) >= list->elements.size()) {
        return nullptr;
    }
    return &list->elements[static_cast<std::size_t>(index)];
}

bool ParconCursor::HasNext() const {
    const int64_t next = static_cast<int64_t>(index) + 1;
    return list != nullptr && next >= 0 && next <= INT_MAX &&
           static_cast<uint64_t>(next) < list->elements.size();
}

bool ParconCursor::Next() {
    if (!HasNext()) {
        return false;
    }
    ++index;
    return true;
}

bool ParconCursor::HasNextValue() const {
    return HasNext() &&
           list->elements[static_cast<std::size_t>(index) + 1].kind == ParconNode::kValue;
}

std::string ParconCursor::GetString(const std::string& defaultText) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? std::string(node->Text())
                                                               : defaultText;
}

int32_t ParconCursor::GetInt(int32_t defaultValue) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? TextToInt(node->Text())
                                                               : defaultValue;
}

float ParconCursor::GetFloat(float defaultValue) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? TextToFloat(node->Text())
                                                               : defaultValue;
}

const ParconList* ParconCursor::GetList() const {
    const ParconNode* node = Current();
    return node != nullptr ? node->List() : nullptr;
}

std::string ParconCursor::GetListName() const {
    if (list == nullptr || list->elements.empty()) {
        return {};
    }
    return std::string(list->elements.front().Text());
}

std::string ParconCursor::NextString(bool required, const std::string& defaultText) {
    if (Next()) {
        return GetString(defaultText);
    }
    if (required) {
        ThrowMoreDataExpected();
    }
    return defaultText;
}

int32_t ParconCursor::NextInt(bool required, int32_t defaultValue) {
    if (Next()) {
        return GetInt(defaultValue);
    }
    if (required) {
        ThrowMoreDataExpected();
    }
    return defaultValue;
}

float ParconCursor::NextFloat(bool required, float defaultValue) {
    if (Next()) {
        return GetFloat(defaultValue);
    }
    if (required) {
        ThrowMoreDataExpected();
    }
    return defaultValue;
}

void ParconCursor::ThrowMoreDataExpected() const {
    const ParconNode* node = Current();
    const std::string* file = list != nullptr ? list->file : nullptr;
    // A list, the placeholder of an unnamed list or no element at all has no text; the message
    // shows that the way the C library prints a null text.
    const std::string value = node != nullptr && node->kind == ParconNode::kValue && node->hasText
                                  ? MessagePart(node->Text())
                                  : std::string("(null)");
    const ParconNode* nameNode =
        list != nullptr && !list->elements.empty() ? &list->elements.front() : nullptr;
    const std::string name =
        nameNode != nullptr && nameNode->kind == ParconNode::kValue && nameNode->hasText
            ? MessagePart(nameNode->Text())
            : std::string("bez nazwy");
    throw Exception("Parcon Error: More data expected! Last read:\n\nFile: %s\nValue: %s\nList "
                    "name: %s",
                    file != nullptr ? MessagePart(*file).c_str() : "", value.c_str(), name.c_str());
}

// ---------------------------------------------------------------------------------------------
// Parser

bool Parcon::OpenFile(const std::string& fileName, bool required) {
    std::istream* stream = Files.Open(fileName);
    if (stream == nullptr) {
        if (required) {
            throw Exception("Parcon Error: Cannot find file %s!", MessagePart(fileName).c_str());
        }
        return false;
    }
    struct CloseOnExit {
        std::istream* stream;
        ~CloseOnExit() { Files.Close(stream); }
    } closeOnExit{stream};
    ParseStream(fileName, *stream);
    return true;
}

// The lists still open while a file is read, innermost last, with the elements gathered for
// each. A list gets its elements in one piece when it closes; the gathering vectors are kept
// per depth and reused, so a list costs one allocation however it grew.
struct Parcon::TreeBuilder {
    const std::string* file = nullptr;
    std::vector<ParconList*> open;
    std::vector<std::vector<ParconNode>> gathered; // [depth], at least open.size() long
    std::string quoted;                            // a quoted string being decoded

    std::vector<ParconNode>& Innermost() { return gathered[open.size() - 1]; }
};

void Parcon::ParseStream(const std::string& fileName, std::istream& input) {
    if (depth + 1 >= kMaxFrames) {
        throw Exception("Parcon Error: Maximum allowed depth for file includes is %d!",
                        kMaxFrames - 1);
    }
    ++depth;
    struct PopFrameOnExit {
        int& depth;
        ~PopFrameOnExit() { --depth; }
    } popFrameOnExit{depth};

    TreeBuilder builder;
    builder.file = &fileNames.emplace_back(fileName);
    ParconList& newRoot = lists.Add();
    newRoot.file = builder.file;
    builder.open.push_back(&newRoot);
    builder.gathered.emplace_back();
    AddValue(builder, "__root__");

    std::string line;
    while (std::getline(input, line)) {
        if (!ParseLine(line, builder)) {
            break;
        }
    }
    // The end of the file (or a closing bracket at the top level) closes every open list. The
    // notation allows it, but a file cut short reads the same way, so it is said.
    if (const std::size_t unclosed = builder.open.size() - 1; unclosed > 0) {
        DebugLog("Parcon: the end of %s closed %zu open list%s\n", fileName.c_str(), unclosed,
                 unclosed == 1 ? "" : "s");
    }
    while (!builder.open.empty()) {
        CloseList(builder);
    }
    root = &newRoot;
}

bool Parcon::ParseLine(std::string_view line, TreeBuilder& builder) {
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        while (p != end && IsSpace(*p)) {
            ++p;
        }
        if (p == end || *p == '#') {
            return true; // a comment runs to the end of the line
        }
        switch (*p) {
        case '(':
        case '[':
            OpenList(builder, *p == '[');
            ++p;
            break;
        case ')':
        case ']':
            if (builder.open.size() == 1) {
                return false;
            }
            CloseList(builder);
            ++p;
            break;
        case '"': {
            std::string& text = builder.quoted;
            text.clear();
            ++p;
            for (;;) {
                const char* stop = p;
                while (stop != end && *stop != '"' && *stop != '\\') {
                    ++stop;
                }
                text.append(p, stop);
                p = stop;
                if (p == end) {
                    // Unterminated: the value is the rest of the line, without the CR of a CR LF.
                    if (!text.empty() && text.back() == '\r') {
                        text.pop_back();
                    }
                    break;
                }
                if (*p == '"') {
                    ++p;
                    break;
                }
                if (p + 1 != end && p[1] == '"') {
                    text += '"';
                    p += 2;
                } else {
                    text += '\\';
                    ++p;
                }
            }
            AddValue(builder, text);
            break;
        }
        default: {
            const char* start = p;
            while (p != end && !IsSpace(*p) && !IsBracket(*p)) {
                ++p;
            }
            AddValue(builder, std::string_view(start, static_cast<std::size_t>(p - start)));
            break;
        }
        }
    }
}

void Parcon::OpenList(TreeBuilder& builder, bool unnamed) {
    ParconList& list = lists.Add();
    list.file = builder.file;
    ParconNode& node = builder.Innermost().emplace_back();
    node.kind = ParconNode::kList;
    node.list = &list;

    builder.open.push_back(&list);
    if (builder.gathered.size() < builder.open.size()) {
        builder.gathered.emplace_back();
    }
    if (unnamed) {
        // The placeholder stands where a named list has its name.
        builder.Innermost().emplace_back();
    }
}

void Parcon::CloseList(TreeBuilder& builder) {
    std::vector<ParconNode>& elements = builder.Innermost();
    ParconNode* array = nodes.AddArray(elements.size());
    std::copy(elements.begin(), elements.end(), array);
    builder.open.back()->elements = {array, elements.size()};
    elements.clear();
    builder.open.pop_back();
}

void Parcon::AddValue(TreeBuilder& builder, std::string_view text) {
    if (text.size() > UINT32_MAX) {
        throw Exception("Parcon Error: a value of %s is too long!", MessagePart(*builder.file).c_str());
    }
    char* copy = texts.AddArray(text.size());
    std::copy(text.begin(), text.end(), copy);
    ParconNode& node = builder.Innermost().emplace_back();
    node.hasText = true;
    node.size = static_cast<uint32_t>(text.size());
    node.textData = copy != nullptr ? copy : "";
}
