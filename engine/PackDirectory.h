#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>

// One node of the pack's directory tree.
struct PackEntry {
    enum Kind : uint32_t { kStored = 0, kBzip2 = 2 };

    std::string name;
    bool folder = false;
    uint32_t offset = 0; // first stored byte, from the start of the pack
    uint32_t size = 0;   // size once unpacked
    uint32_t kind = kStored;
    uint32_t childCount = 0;
    std::map<std::string, PackEntry> children;

    // True for a file whose bytes the file layer can hand out (stored or bzip2).
    bool IsReadable() const { return !folder && (kind == kStored || kind == kBzip2); }
};

// Deepest folder nesting a pack may have; deeper is corrupt.
constexpr int kMaxPackDepth = 64;

// Reads the directory of a pack of fileSize bytes from the start of the stream: the header word,
// the top-level count and the entry records, children depth first. Everything read is checked
// against what the file can hold (counts, name lengths, nesting, stored bytes inside the file),
// so a corrupt pack throws Exception "Pack <packName> is corrupt: ..." and never allocates more
// than the file's size. Of two entries with the same name the first is kept.
std::map<std::string, PackEntry> ReadPackDirectory(std::istream& pack, uint64_t fileSize,
                                                   const std::string& packName);
