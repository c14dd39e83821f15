#include "engine/PackDirectory.h"

#include "engine/Exception.h"

#include <deque>
#include <istream>
#include <vector>

namespace {

// Name length, folder flag, offset, size, kind and child count: the smallest record.
constexpr uint64_t kMinRecordSize = 4 + 1 + 4 + 4 + 4 + 4;
constexpr uint64_t kHeaderSize = 8;

// Reads little-endian fields and never reads, or lets anyone allocate, past the file's end.
class DirectoryReader {
public:
    DirectoryReader(std::istream& pack, uint64_t fileSize, const std::string& packName)
        : pack(pack), remaining(fileSize), packName(packName) {}

    [[noreturn]] void Fail(const char* why) const {
        throw Exception("Pack %s is corrupt: %s", packName.c_str(), why);
    }

    uint64_t Remaining() const { return remaining; }

    void Read(char* bytes, uint64_t count) {
        if (count > remaining) {
            Fail("the directory runs past the end of the file");
        }
        pack.read(bytes, static_cast<std::streamsize>(count));
        if (static_cast<uint64_t>(pack.gcount()) != count) {
            Fail("the file ends inside the directory");
        }
        remaining -= count;
    }

    uint32_t ReadU32() {
        unsigned char bytes[4];
        Read(reinterpret_cast<char*>(bytes), sizeof(bytes));
        return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
               uint32_t(bytes[3]) << 24;
    }

    uint8_t ReadU8() {
        char byte;
        Read(&byte, 1);
        return static_cast<uint8_t>(byte);
    }

    // A count of records that must still fit in the rest of the file.
    uint32_t ReadRecordCount() {
        const uint32_t count = ReadU32();
        if (count > remaining / kMinRecordSize) {
            Fail("an entry count exceeds what the file can hold");
        }
        return count;
    }

    PackEntry ReadRecord() {
        PackEntry entry;
        const uint32_t nameLength = ReadU32();
        if (nameLength > remaining) {
            Fail("a name runs past the end of the file");
        }
        entry.name.resize(nameLength);
        Read(entry.name.data(), nameLength);
        entry.folder = ReadU8() != 0;
        entry.offset = ReadU32();
        entry.size = ReadU32();
        entry.kind = ReadU32();
        entry.childCount = ReadRecordCount();
        return entry;
    }

private:
    std::istream& pack;
    uint64_t remaining;
    const std::string& packName;
};

} // namespace

std::map<std::string, PackEntry> ReadPackDirectory(std::istream& pack, uint64_t fileSize,
                                                   const std::string& packName) {
    DirectoryReader reader(pack, fileSize, packName);
    if (fileSize < kHeaderSize) {
        reader.Fail("the file is too short for a header");
    }
    reader.ReadU32(); // header word, not used
    std::map<std::string, PackEntry> root;

    // Records are read with a stack of the folders still being filled rather than by recursion,
    // so no pack, however deep, can exhaust the program's stack.
    struct OpenFolder {
        std::map<std::string, PackEntry>* children;
        uint32_t left;
    };
    std::vector<OpenFolder> open{{&root, reader.ReadRecordCount()}};
    // A repeated name keeps the first entry, but the repeat's own children must still be read.
    std::deque<PackEntry> repeats;
    while (!open.empty()) {
        if (open.back().left == 0) {
            open.pop_back();
            continue;
        }
        --open.back().left;
        PackEntry entry = reader.ReadRecord();
        if (!entry.folder && entry.kind == PackEntry::kStored &&
            uint64_t(entry.offset) + entry.size > fileSize) {
            reader.Fail("a stored file lies outside the file");
        }
        if (!entry.folder && entry.kind == PackEntry::kBzip2 && entry.offset >= fileSize) {
            reader.Fail("a compressed file starts outside the file");
        }
        std::map<std::string, PackEntry>& siblings = *open.back().children;
        const std::string name = entry.name;
        auto [placed, inserted] = siblings.try_emplace(name, std::move(entry));
        PackEntry& kept = inserted ? placed->second : repeats.emplace_back(std::move(entry));
        if (kept.childCount > 0) {
            if (open.size() >= kMaxPackDepth) {
                reader.Fail("folders nest too deep");
            }
            open.push_back({&kept.children, kept.childCount});
        }
    }
    return root;
}
