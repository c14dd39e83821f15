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

namespace {

// Objects of one file made in blocks that grow with the file and never move, addressed in 32 bits
// as block and offset. Building a big tree costs few allocations, no copying as it grows, and at
// most a part of the last block unused; freeing it is one release per block, never a walk of the
// tree.
template <typename T, int kOffsetBits>
class ParconBlocks {
public:
    static constexpr std::size_t kLargestBlock = std::size_t{1} << kOffsetBits;
    static constexpr std::size_t kMostBlocks = std::size_t{1} << (32 - kOffsetBits);

    const T* At(uint32_t address) const {
        return blocks[address >> kOffsetBits].get() + (address & (kLargestBlock - 1));
    }

    // Room for count objects side by side, not yet taken: Take says how many were used. False
    // when the addresses have run out.
    bool Reserve(std::size_t count, T*& room, uint32_t& address) {
        if (count > capacity - used) {
            if (blocks.size() == kMostBlocks) {
                return false;
            }
            // A run that fills a block alone gets one of its own, so the block being filled
            // keeps its room.
            const std::size_t size = std::max(count, nextBlockSize);
            blocks.emplace_back(new T[size]);
            const auto index = static_cast<uint32_t>(blocks.size() - 1);
            if (count >= kLargestBlock) {
                room = blocks.back().get();
                address = index << kOffsetBits;
                reservedAlone = true;
                return true;
            }
            nextBlockSize = std::min(nextBlockSize * 2, kLargestBlock);
            block = index;
            used = 0;
            capacity = size;
        }
        reservedAlone = false;
        room = blocks[block].get() + used;
        address = static_cast<uint32_t>((std::size_t{block} << kOffsetBits) | used);
        return true;
    }
    // Takes count objects of the room just reserved (none of a block of its own).
    void Take(std::size_t count) {
        if (!reservedAlone) {
            used += count;
        }
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks;
    uint32_t block = 0; // the block being filled
    std::size_t used = 0;
    std::size_t capacity = 0;
    // Small files (most of them) take one small block; big ones move to the largest.
    std::size_t nextBlockSize = 256;
    bool reservedAlone = false; // the last room reserved is a block of its own
};

} // namespace

// One file read by a parser: its nodes, and the texts of its values that do not fit in a node.
struct ParconFile {
    std::string name;
    ParconBlocks<ParconNode, 16> nodes;
    ParconBlocks<char, 18> texts;
    ParconList root;
};

namespace {

constexpr std::string_view kRootName = "__root__";

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
    if (node.kind != ParconNode::kValue || !node.hasText) {
        return {};
    }
    if (node.textInNode) {
        return std::string_view(reinterpret_cast<const char*>(&node.begin), node.size);
    }
    return file != nullptr ? std::string_view(file->texts.At(node.begin), node.size)
                           : std::string_view();
}

ParconList ParconList::List(const ParconNode& node) const {
    if (node.kind != ParconNode::kList || file == nullptr) {
        return {};
    }
    return ParconList({node.size != 0 ? file->nodes.At(node.begin) : nullptr, node.size}, file);
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
    [[noreturn]] void ThrowTooLarge() const {
        throw Exception("Parcon Error: %s is too large to read!", MessagePart(file.name).c_str());
    }
    // Adds a value node with the text to the innermost open list. decode is called as
    // decode(room) to write the text, at most size bytes, and returns its length.
    template <typename Decode>
    void AddValue(std::size_t size, const Decode& decode);
    // Copies a closed list's elements into the file's nodes; returns where the first went.
    uint32_t Store(const std::vector<ParconNode>& elements);

    ParconFile& file;
    std::vector<std::vector<ParconNode>> gathered; // [depth], at least openAt.size() + 1 long
    std::vector<std::size_t> openAt; // each open list's node in its parent's gathered, root out
};

template <typename Decode>
void Parcon::TreeBuilder::AddValue(std::size_t size, const Decode& decode) {
    uint32_t begin = 0;
    std::size_t length = 0;
    // Short values (numbers, mostly) are kept in the node itself.
    const bool inNode = size <= sizeof begin;
    if (inNode) {
        char text[sizeof begin] = {};
        length = decode(text);
        std::memcpy(&begin, text, sizeof text);
    } else {
        char* room = nullptr;
        if (!file.texts.Reserve(size, room, begin)) {
            ThrowTooLarge();
        }
        length = decode(room);
        file.texts.Take(length);
    }
    Innermost().push_back(
        ParconNode{begin, static_cast<uint32_t>(length), inNode, ParconNode::kValue, true});
}

uint32_t Parcon::TreeBuilder::Store(const std::vector<ParconNode>& elements) {
    if (elements.empty()) {
        return 0;
    }
    ParconNode* room = nullptr;
    uint32_t first = 0;
    if (!file.nodes.Reserve(elements.size(), room, first)) {
        ThrowTooLarge();
    }
    std::copy(elements.begin(), elements.end(), room);
    file.nodes.Take(elements.size());
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
    TreeBuilder builder(*file);
    builder.gathered.emplace_back();
    builder.AddValue(kRootName.size(), [](char* room) {
        std::copy(kRootName.begin(), kRootName.end(), room);
        return kRootName.size();
    });

    // Read in pieces of whole lines, kept only while they are parsed: the tree keeps copies of
    // the values, not the file.
    std::vector<char> piece(64 * 1024);
    std::size_t kept = 0; // the start of a line carried over from the last piece
    std::size_t total = 0;
    bool more = true;
    while (more && input) {
        if (kept == piece.size()) {
            piece.resize(piece.size() * 2); // a line longer than a piece
        }
        input.read(piece.data() + kept, static_cast<std::streamsize>(piece.size() - kept));
        const auto read = static_cast<std::size_t>(input.gcount());
        total += read;
        if (total > largestFile) {
            builder.ThrowTooLarge();
        }
        const std::size_t filled = kept + read;
        // Whole lines only, unless the stream has ended.
        std::size_t lines = filled;
        if (input) {
            const void* lastNewline = memrchr(piece.data(), '\n', filled);
            if (lastNewline == nullptr) {
                kept = filled;
                continue;
            }
            lines =
                static_cast<std::size_t>(static_cast<const char*>(lastNewline) - piece.data()) + 1;
        }
        more = Parse(builder, piece.data(), piece.data() + lines);
        std::copy(piece.begin() + static_cast<std::ptrdiff_t>(lines),
                  piece.begin() + static_cast<std::ptrdiff_t>(filled), piece.begin());
        kept = filled - lines;
    }

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
    file->root = ParconList({file->nodes.At(first), top.size()}, file.get());
    root = &files.emplace_back(std::move(file))->root;
}

bool Parcon::Parse(TreeBuilder& builder, const char* p, const char* const end) {
    for (;;) {
        while (p != end && IsSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return true;
        }
        switch (*p) {
        case '#': {
            // A comment runs to the end of the line.
            const auto rest = static_cast<std::size_t>(end - p);
            const void* newline = std::memchr(p, '\n', rest);
            p = newline != nullptr ? static_cast<const char*>(newline) : end;
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
                return false; // a closing bracket at the top level ends the file
            }
            CloseList(builder);
            ++p;
            break;
        case '"': {
            // The text runs to the closing quote, or unterminated to the end of the line. An
            // escaped quote (\") is a quote; any other backslash stays as it is.
            const char* const start = ++p;
            while (p != end && *p != '"' && *p != '\n') {
                p += *p == '\\' && p + 1 != end && p[1] == '"' ? 2 : 1;
            }
            const char* const stop = p;
            const bool terminated = p != end && *p == '"';
            p += terminated ? 1 : 0;
            builder.AddValue(static_cast<std::size_t>(stop - start), [&](char* room) {
                char* out = room;
                for (const char* in = start; in != stop; ++in) {
                    if (*in == '\\' && in + 1 != stop && in[1] == '"') {
                        ++in;
                    }
                    *out++ = *in;
                }
                // Unterminated: without the CR of a CR LF.
                if (!terminated && out != room && out[-1] == '\r') {
                    --out;
                }
                return static_cast<std::size_t>(out - room);
            });
            break;
        }
        default: {
            const char* const start = p;
            while (p != end && !EndsWord(*p)) {
                ++p;
            }
            const auto size = static_cast<std::size_t>(p - start);
            builder.AddValue(size, [&](char* room) {
                std::memcpy(room, start, size);
                return size;
            });
            break;
        }
        }
    }
}

void Parcon::OpenList(TreeBuilder& builder, bool unnamed) {
    std::vector<ParconNode>& parent = builder.Innermost();
    builder.openAt.push_back(parent.size());
    // Its first node and size are set when it closes.
    parent.push_back(ParconNode{0, 0, false, ParconNode::kList, false});
    if (builder.gathered.size() <= builder.openAt.size()) {
        builder.gathered.emplace_back();
    }
    if (unnamed) {
        // The placeholder stands where a named list has its name.
        builder.Innermost().push_back(ParconNode{0, 0, false, ParconNode::kValue, false});
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
