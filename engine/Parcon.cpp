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
#include <cstring>
#include <limits>

namespace {

// The white space of the C locale, whatever locale the process runs in.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
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
// Tree storage

// One file read by a parser. Values are runs of its text (quoted ones decoded in place, which
// only ever shortens them); lists are runs of its nodes, addressed by block and offset so that
// the blocks never move.
struct ParconFile {
    static constexpr int kBlockBits = 16;
    static constexpr uint32_t kBlockNodes = uint32_t{1} << kBlockBits;

    const ParconNode* Nodes(uint32_t first) const {
        return blocks[first >> kBlockBits].get() + (first & (kBlockNodes - 1));
    }

    std::string name;
    std::unique_ptr<char[]> text; // the root's name, then the file
    std::size_t textSize = 0;
    std::vector<std::unique_ptr<ParconNode[]>> blocks;
    ParconList root;
};

namespace {

constexpr std::string_view kRootName = "__root__";

ParconNode ValueNode(std::size_t begin, std::size_t size) {
    ParconNode node;
    node.begin = static_cast<uint32_t>(begin);
    node.size = static_cast<uint32_t>(size);
    node.kind = ParconNode::kValue;
    node.hasText = true;
    return node;
}

// The bytes that end a word: the C locale's white space and the brackets.
struct WordEnds {
    bool table[256] = {};
    constexpr WordEnds() {
        for (const char c : std::string_view(" \t\n\v\f\r()[]")) {
            table[static_cast<unsigned char>(c)] = true;
        }
    }
};
constexpr WordEnds kWordEnds;

bool EndsWord(char c) {
    return kWordEnds.table[static_cast<unsigned char>(c)];
}

} // namespace

std::string_view ParconList::Text(const ParconNode& node) const {
    if (node.kind != ParconNode::kValue || file == nullptr) {
        return {};
    }
    return std::string_view(file->text.get() + node.begin, node.size);
}

ParconList ParconList::List(const ParconNode& node) const {
    if (node.kind != ParconNode::kList || file == nullptr) {
        return {};
    }
    return ParconList({node.size != 0 ? file->Nodes(node.begin) : nullptr, node.size}, file);
}

const std::string& ParconList::FileName() const {
    static const std::string none;
    return file != nullptr ? file->name : none;
}

// ---------------------------------------------------------------------------------------------
// Cursor

const ParconNode* ParconCursor::Current() const {
    if (index < 0 || static_cast<std::size_t>(index) >= list.elements.size()) {
        return nullptr;
    }
    return &list.elements[static_cast<std::size_t>(index)];
}

bool ParconCursor::HasNext() const {
    const int64_t next = static_cast<int64_t>(index) + 1;
    return next >= 0 && next <= INT_MAX && static_cast<uint64_t>(next) < list.elements.size();
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
           list.elements[static_cast<std::size_t>(index) + 1].kind == ParconNode::kValue;
}

std::string ParconCursor::GetString(const std::string& defaultText) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? std::string(list.Text(*node))
                                                               : defaultText;
}

int32_t ParconCursor::GetInt(int32_t defaultValue) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? TextToInt(list.Text(*node))
                                                               : defaultValue;
}

float ParconCursor::GetFloat(float defaultValue) const {
    const ParconNode* node = Current();
    return node != nullptr && node->kind == ParconNode::kValue ? TextToFloat(list.Text(*node))
                                                               : defaultValue;
}

std::optional<ParconList> ParconCursor::GetList() const {
    const ParconNode* node = Current();
    if (node == nullptr || node->kind != ParconNode::kList) {
        return std::nullopt;
    }
    return list.List(*node);
}

std::string ParconCursor::GetListName() const {
    if (list.elements.empty()) {
        return {};
    }
    return std::string(list.Text(list.elements.front()));
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
    // A list, the placeholder of an unnamed list or no element at all has no text; the message
    // shows that the way the C library prints a null text.
    const std::string value = node != nullptr && node->kind == ParconNode::kValue && node->hasText
                                  ? MessagePart(list.Text(*node))
                                  : std::string("(null)");
    const ParconNode* nameNode = !list.elements.empty() ? &list.elements.front() : nullptr;
    const std::string name =
        nameNode != nullptr && nameNode->kind == ParconNode::kValue && nameNode->hasText
            ? MessagePart(list.Text(*nameNode))
            : std::string("bez nazwy");
    throw Exception("Parcon Error: More data expected! Last read:\n\nFile: %s\nValue: %s\nList "
                    "name: %s",
                    MessagePart(list.FileName()).c_str(), value.c_str(), name.c_str());
}

// ---------------------------------------------------------------------------------------------
// Parser

namespace {

// Reads the whole stream after the root's name. A stream that can tell its length is read in
// one piece into a buffer of that size; any other grows its buffer as it is read.
void ReadText(std::istream& input, ParconFile& file, std::size_t largestFile) {
    const std::size_t prefix = kRootName.size();
    std::size_t capacity = prefix + 64 * 1024;
    if (input) {
        const std::istream::pos_type start = input.tellg();
        if (start != std::istream::pos_type(-1) && input.seekg(0, std::ios::end)) {
            const std::istream::pos_type end = input.tellg();
            input.seekg(start);
            if (end != std::istream::pos_type(-1) && end >= start) {
                const auto length = static_cast<std::size_t>(end - start);
                if (length > largestFile) {
                    throw Exception("Parcon Error: %s is too large to read!",
                                    MessagePart(file.name).c_str());
                }
                // One byte more, so that the read meets the end of the stream.
                capacity = prefix + length + 1;
            }
        }
        input.clear(input.rdstate() & std::ios::badbit);
    }
    std::unique_ptr<char[]> text(new char[capacity]);
    std::copy(kRootName.begin(), kRootName.end(), text.get());
    std::size_t size = prefix;
    while (input) {
        if (size == capacity) {
            capacity *= 2;
            std::unique_ptr<char[]> larger(new char[capacity]);
            std::copy(text.get(), text.get() + size, larger.get());
            text = std::move(larger);
        }
        input.read(text.get() + size, static_cast<std::streamsize>(capacity - size));
        size += static_cast<std::size_t>(input.gcount());
        if (size - prefix > largestFile) {
            throw Exception("Parcon Error: %s is too large to read!",
                            MessagePart(file.name).c_str());
        }
    }
    file.text = std::move(text);
    file.textSize = size;
}

} // namespace

Parcon::Parcon(std::size_t largestFile) : largestFile(std::min(largestFile, kLargestFile)) {}

Parcon::~Parcon() = default;

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

// The lists still open while a file is read, the root first, with the elements gathered for
// each. A list's elements go to the file's nodes in one piece when it closes; the gathering
// vectors are kept per depth and reused, so a list costs no allocation of its own.
struct Parcon::TreeBuilder {
    explicit TreeBuilder(ParconFile& file) : file(file) {}

    std::vector<ParconNode>& Innermost() { return gathered[openAt.size()]; }
    // Copies a closed list's elements into the file's nodes; returns where the first went.
    uint32_t Store(const std::vector<ParconNode>& elements);

    ParconFile& file;
    std::vector<std::vector<ParconNode>> gathered; // [depth], at least openAt.size() + 1 long
    std::vector<std::size_t> openAt; // each open list's node in its parent's gathered, root out
    // The block being filled, sized by what the file's length leads to expect.
    ParconNode* block = nullptr;
    uint32_t blockIndex = 0;
    uint32_t used = 0;
    uint32_t capacity = 0;
    std::size_t expectedNodes = 0;
};

uint32_t Parcon::TreeBuilder::Store(const std::vector<ParconNode>& elements) {
    const std::size_t count = elements.size();
    if (count == 0) {
        return 0;
    }
    const uint32_t blockNodes = ParconFile::kBlockNodes;
    if (count > capacity - used) {
        if (file.blocks.size() >= blockNodes) {
            throw Exception("Parcon Error: %s is too large to read!",
                            MessagePart(file.name).c_str());
        }
        // A block of the size still expected, at least a block's worth for a big list; a list
        // that fills a block alone gets one of its own, so the block being filled keeps its room.
        const std::size_t wanted =
            std::max<std::size_t>(count, std::clamp<std::size_t>(expectedNodes, 256, blockNodes));
        file.blocks.emplace_back(new ParconNode[wanted]);
        const auto index = static_cast<uint32_t>(file.blocks.size() - 1);
        if (count >= blockNodes) {
            std::copy(elements.begin(), elements.end(), file.blocks.back().get());
            expectedNodes -= std::min(expectedNodes, count);
            return index << ParconFile::kBlockBits;
        }
        block = file.blocks.back().get();
        blockIndex = index;
        used = 0;
        capacity = static_cast<uint32_t>(wanted);
    }
    std::copy(elements.begin(), elements.end(), block + used);
    const uint32_t first = (blockIndex << ParconFile::kBlockBits) | used;
    used += static_cast<uint32_t>(count);
    expectedNodes -= std::min(expectedNodes, count);
    return first;
}

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

    auto file = std::make_unique<ParconFile>();
    file->name = fileName;
    ReadText(input, *file, largestFile);

    TreeBuilder builder(*file);
    // Definition files run about one node to every six bytes.
    builder.expectedNodes = file->textSize / 6 + 16;
    builder.gathered.emplace_back().push_back(ValueNode(0, kRootName.size()));
    Parse(builder);

    // The end of the file (or a closing bracket at the top level) closes every open list. The
    // notation allows it, but a file cut short reads the same way, so it is said.
    if (const std::size_t unclosed = builder.openAt.size(); unclosed > 0) {
        DebugLog("Parcon: the end of %s closed %zu open list%s\n", fileName.c_str(), unclosed,
                 unclosed == 1 ? "" : "s");
    }
    while (!builder.openAt.empty()) {
        CloseList(builder);
    }
    const std::vector<ParconNode>& top = builder.gathered.front();
    const uint32_t first = builder.Store(top);
    file->root = ParconList({file->Nodes(first), top.size()}, file.get());
    root = &files.emplace_back(std::move(file))->root;
}

void Parcon::Parse(TreeBuilder& builder) {
    char* const text = builder.file.text.get();
    char* p = text + kRootName.size();
    char* const end = text + builder.file.textSize;
    for (;;) {
        while (p != end && IsSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return;
        }
        switch (*p) {
        case '#': {
            // A comment runs to the end of the line.
            const std::size_t rest = static_cast<std::size_t>(end - p);
            const void* newline = std::memchr(p, '\n', rest);
            p += newline != nullptr ? static_cast<const char*>(newline) - p
                                    : static_cast<std::ptrdiff_t>(rest);
            break;
        }
        case '(':
        case '[':
            OpenList(builder, *p == '[');
            ++p;
            break;
        case ')':
        case ']':
            if (builder.openAt.empty()) {
                return; // a closing bracket at the top level ends the file
            }
            CloseList(builder);
            ++p;
            break;
        case '"': {
            // Decoded in place: an escaped quote shortens the text, so writing never overtakes
            // reading.
            ++p;
            char* const start = p;
            char* out = p;
            for (;;) {
                while (p != end && *p != '"' && *p != '\\' && *p != '\n') {
                    *out++ = *p++;
                }
                if (p == end || *p == '\n') {
                    // Unterminated: the value is the rest of the line, without the CR of a CR LF.
                    if (out != start && out[-1] == '\r') {
                        --out;
                    }
                    break;
                }
                if (*p == '"') {
                    ++p;
                    break;
                }
                if (p + 1 != end && p[1] == '"') {
                    *out++ = '"';
                    p += 2;
                } else {
                    *out++ = '\\';
                    ++p;
                }
            }
            builder.Innermost().push_back(ValueNode(static_cast<std::size_t>(start - text),
                                                    static_cast<std::size_t>(out - start)));
            break;
        }
        default: {
            const char* start = p;
            while (p != end && !EndsWord(*p)) {
                ++p;
            }
            builder.Innermost().push_back(ValueNode(static_cast<std::size_t>(start - text),
                                                    static_cast<std::size_t>(p - start)));
            break;
        }
        }
    }
}

void Parcon::OpenList(TreeBuilder& builder, bool unnamed) {
    std::vector<ParconNode>& parent = builder.Innermost();
    ParconNode node;
    node.begin = 0;
    node.size = 0;
    node.kind = ParconNode::kList;
    node.hasText = false;
    builder.openAt.push_back(parent.size());
    parent.push_back(node);
    if (builder.gathered.size() <= builder.openAt.size()) {
        builder.gathered.emplace_back();
    }
    if (unnamed) {
        // The placeholder stands where a named list has its name.
        ParconNode placeholder = node;
        placeholder.kind = ParconNode::kValue;
        builder.Innermost().push_back(placeholder);
    }
}

void Parcon::CloseList(TreeBuilder& builder) {
    std::vector<ParconNode>& elements = builder.Innermost();
    const uint32_t first = builder.Store(elements);
    const std::size_t at = builder.openAt.back();
    builder.openAt.pop_back();
    ParconNode& node = builder.Innermost()[at];
    node.begin = first;
    node.size = static_cast<uint32_t>(elements.size());
    elements.clear();
}
