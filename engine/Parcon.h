#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ParconList;

// One node of a parsed definition file: a list or a value. Sixteen bytes, so that a big file's
// tree stays a small multiple of the file.
struct ParconNode {
    enum Kind : uint8_t { kList = 1, kValue = 2 };

    Kind kind = kValue;
    bool hasText = false; // false only for the placeholder that names an unnamed list
    uint32_t size = 0;    // the length of a value's text
    union {
        const char* textData = nullptr; // a value's bytes, owned by the parser
        ParconList* list;               // a list's list
    };

    // A value's text; empty for the placeholder and for a list.
    std::string_view Text() const {
        return kind == kValue && textData != nullptr ? std::string_view(textData, size)
                                                     : std::string_view();
    }
    // A list's list; null for a value.
    const ParconList* List() const { return kind == kList ? list : nullptr; }
};

// An ordered list of nodes side by side; element 0 names the list. The nodes belong to the
// parser; every node of a list comes from the list's file.
struct ParconList {
    std::span<const ParconNode> elements;
    const std::string* file = nullptr;
};

// Objects that live as long as their parser, made in blocks that grow with the file: building a
// big tree costs few allocations, and freeing it is one release per block, never a walk of the
// tree.
template <typename T>
class ParconPool {
public:
    ParconPool() = default;
    ParconPool(const ParconPool&) = delete;
    ParconPool& operator=(const ParconPool&) = delete;

    T& Add() { return *AddArray(1); }

    // count default-made objects side by side (null for none).
    T* AddArray(std::size_t count) {
        if (count == 0) {
            return nullptr;
        }
        if (count >= kLargestBlock) {
            // A block of its own, so the block being filled keeps its room.
            blocks.emplace(blocks.begin(), new T[count]);
            return blocks.front().get();
        }
        if (capacity - used < count) {
            capacity = std::max(count, nextBlockSize);
            nextBlockSize = std::min(nextBlockSize * 2, kLargestBlock);
            blocks.emplace_back(new T[capacity]);
            used = 0;
        }
        T* first = blocks.back().get() + used;
        used += count;
        return first;
    }

private:
    // Small files (most of them) take one small block; big ones move to 1 MB blocks.
    static constexpr std::size_t kFirstBlock = std::max<std::size_t>(4096 / sizeof(T), 1);
    static constexpr std::size_t kLargestBlock = std::max<std::size_t>((1 << 20) / sizeof(T), 1);

    std::vector<std::unique_ptr<T[]>> blocks; // the last one is being filled
    std::size_t used = 0;
    std::size_t capacity = 0;
    std::size_t nextBlockSize = kFirstBlock;
};

// A position inside one list, with typed getters. Must not outlive its parser.
class ParconCursor {
public:
    ParconCursor() = default;
    ParconCursor(const ParconList* list, int index) : list(list), index(index) {}

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
    // The current element's list, or null when it is a value.
    const ParconList* GetList() const;
    // The text of element 0; empty for an unnamed or empty list.
    std::string GetListName() const;

    // Step to the following element and read it as the getter would. At the end of the list
    // return the default, or throw "More data expected" when required.
    std::string NextString(bool required, const std::string& defaultText);
    int32_t NextInt(bool required, int32_t defaultValue);
    float NextFloat(bool required, float defaultValue);

    const ParconList* List() const { return list; }
    int Index() const { return index; }
    // The current element, or null past the end or on an empty cursor.
    const ParconNode* Current() const;

private:
    // Throws the "More data expected" error for a required value at the end of the list.
    [[noreturn]] void ThrowMoreDataExpected() const;

    const ParconList* list = nullptr;
    int index = 0;
};

// The definition-file parser: reads a file in the bracketed list notation into a tree.
class Parcon {
public:
    static constexpr int kMaxFrames = 6;

    Parcon() = default;
    ~Parcon() = default;
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

    // Reads the tokens of one line into the innermost open list. False when a closing bracket
    // at the top level ends the file.
    bool ParseLine(std::string_view line, TreeBuilder& builder);
    void OpenList(TreeBuilder& builder, bool unnamed);
    void CloseList(TreeBuilder& builder);
    // Adds a value node with a copy of the text to the innermost open list.
    void AddValue(TreeBuilder& builder, std::string_view text);

    // Every node array, list, text and file name of every file read, freed together with the
    // parser, so that no tree, however deep, is freed by recursion.
    ParconPool<ParconNode> nodes;
    ParconPool<ParconList> lists;
    ParconPool<char> texts;
    std::deque<std::string> fileNames;
    // The index of the innermost file being read, -1 when none. The notation has no include,
    // so only one frame is ever open, but the limit stays part of the parser's contract.
    int depth = -1;
    ParconList* root = nullptr;
};
