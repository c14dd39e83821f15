#pragma once

#include <cstdint>
#include <istream>
#include <streambuf>
#include <vector>

// Reads the bytes [offset, offset + size) of a pack through the pack's own file stream, and
// ends there: a stored entry never runs on into the next one.
class StoredEntryStreambuf : public std::streambuf {
public:
    StoredEntryStreambuf(std::istream& pack, uint32_t offset, uint32_t size);

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char_type* bytes, std::streamsize count) override;
    // The bytes left: they are known to lie in the file.
    std::streamsize showmanyc() override;

private:
    // Reads up to count bytes of the entry straight from the pack.
    std::streamsize ReadPack(char* bytes, std::streamsize count);

    std::istream& pack;
    uint32_t left;
    std::vector<char> buffer;
};

class StoredEntryStream : public std::istream {
public:
    StoredEntryStream(std::istream& pack, uint32_t offset, uint32_t size)
        : std::istream(nullptr), buffer(pack, offset, size) {
        rdbuf(&buffer);
    }

private:
    StoredEntryStreambuf buffer;
};
