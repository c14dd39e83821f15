#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ParconFile;
struct ParconList;

// One node of a parsed definition file, eight bytes, so that a big file's tree stays a small
// multiple of the file: a value or a list (a run of its file's nodes). What it refers to is read
// through the ParconList holding it.
struct ParconNode {
    enum Kind { kList = 1, kValue = 2 };

    // A list's first node; a value's text when it fits here (textInNode), else where the parser
    // keeps it.
    uint32_t begin;
    uint32_t size : 28; // a value's length; a list's element count
    bool textInNode : 1;
    Kind kind : 2;
    bool hasText : 1; // false only for the placeholder that names an unnamed list
};
static_assert(sizeof(ParconNode) == 8);

// A list of a parsed file: its nodes side by side, element 0 naming it. A small view over what
// the parser keeps; empty (false) when it stands for no list. Valid as long as its parser.
struct ParconList {
public:
    ParconList() = default;
    ParconList(std::span<const ParconNode> elements, const ParconFile* file)
        : elements(elements), file(file) {}

    explicit operator bool() const { return file != nullptr; }

    // A value's text; empty for the placeholder and for a list. The node is one of elements.
    std::string_view Text(const ParconNode& node) const;
    // A list node's list; empty for a value. The node is one of elements.
    ParconList List(const ParconNode& node) const;
    // The name of the file the list comes from; empty for no list.
    const std::string& FileName() const;

    std::span<const ParconNode> elements;

private:
    const ParconFile* file = nullptr;
};

// A position inside one list, with typed getters. Must not outlive its parser.
class ParconCursor {
public:
    ParconCursor() = default;
    ParconCursor(const ParconList& list, int index) : list(list), index(index) {}
    // An empty cursor for a null or empty list.
    ParconCursor(const ParconList* list, int index)
        : list(list != nullptr ? *list : ParconList()), index(index) {}
    ParconCursor(const std::optional<ParconList>& list, int index)
        : list(list ? *list : ParconList()), index(index) {}

    // Steps to the following element; false (and no step) at the end of the list.
    bool Next();
    bool HasNext() const;
    // An element follows and it is a value.
    bool HasNextValue() const;

    // The current value's text (empty for the placeholder of an unnamed list), or the default
    // when the current element is a list or there is none. Numbers convert in the C locale with
    // atoi/atof rules; integers out of range clamp.
    std::string GetString(const std::string& defaultText) const;
    int32_t GetInt(int32_t defaultValue) const;
    float GetFloat(float defaultValue) const;
    // The current element's list, or none when it is a value.
    std::optional<ParconList> GetList() const;
    // The text of element 0; empty for an unnamed or empty list.
    std::string GetListName() const;

    // Step to the following element and read it as the getter would. At the end of the list
    // return the default, or throw "More data expected" when required.
    std::string NextString(bool required, const std::string& defaultText);
    int32_t NextInt(bool required, int32_t defaultValue);
    float NextFloat(bool required, float defaultValue);

    // The cursor's list, or null on an empty cursor; valid while the cursor is.
    const ParconList* List() const { return list ? &list : nullptr; }
    int Index() const { return index; }
    // The current element, or null past the end or on an empty cursor.
    const ParconNode* Current() const;

private:
    // Throws the "More data expected" error for a required value at the end of the list.
    [[noreturn]] void ThrowMoreDataExpected() const;

    ParconList list;
    int index = 0;
};

// The definition-file parser: reads a file in the bracketed list notation into a tree.
class Parcon {
public:
    static constexpr int kMaxFrames = 6;
    // Lengths in the tree are 28-bit, so bigger files are refused.
    static constexpr std::size_t kLargestFile = (std::size_t{1} << 28) - 64;

    // largestFile lowers the size limit (for tests of the refusal).
    explicit Parcon(std::size_t largestFile = kLargestFile);
    ~Parcon();
    Parcon(const Parcon&) = delete;
    Parcon& operator=(const Parcon&) = delete;

    // Parses the whole file (found through the file layer) into a new root. Returns false when
    // the file is found nowhere and required is false; throws "Parcon Error: Cannot find file
    // %s!" when required is true. Trees of earlier files stay valid until the parser goes.
    bool OpenFile(const std::string& fileName, bool required);
    // Parses an open stream as the file of that name (what OpenFile does once it has the
    // stream); the caller keeps the stream.
    void ParseStream(const std::string& fileName, std::istream& input);

    // The root list of the last file read (element 0 is "__root__"), or null before.
    const ParconList* Root() const { return root; }
    // A cursor {root, 0}; empty before the first file.
    ParconCursor RootCursor() const { return ParconCursor(root, 0); }

private:
    struct TreeBuilder;

    // Reads whole lines of the file into the tree. False when a closing bracket at the top
    // level ends the file.
    bool Parse(TreeBuilder& builder, const char* p, const char* end);
    void OpenList(TreeBuilder& builder, bool unnamed);
    void CloseList(TreeBuilder& builder);

    // Every file read, with its text and nodes, freed together with the parser, so that no
    // tree, however deep, is freed by recursion.
    std::vector<std::unique_ptr<ParconFile>> files;
    std::size_t largestFile;
    // The index of the innermost file being read, -1 when none. The notation has no include,
    // so only one frame is ever open, but the limit stays part of the parser's contract.
    int depth = -1;
    const ParconList* root = nullptr;
};

// Calls read(name, cursor on the key) for each list among the cursor's elements, in order: the
// keys of a "Data" section, each a list led by its name.
template <typename Read>
void ForEachParconKey(const ParconCursor& cursor, Read read) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        read(name, key);
    }
}
