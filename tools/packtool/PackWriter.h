#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Writes "pack.boo" archives: the directory first, then the bytes of every file, each stored as
// is or compressed with bzip2. Entries go in name order, so the same files always give the same
// pack. Bad input and failed writes throw Exception.
class PackWriter {
public:
    enum class Packing { Stored, Bzip2 };

    // Adds a file given by its bytes under a pack path of components separated by '/'.
    void AddBytes(const std::string& path, std::string bytes, Packing packing);
    // Adds a file whose bytes are read from sourcePath when the pack is written.
    void AddFile(const std::string& path, const std::string& sourcePath, Packing packing);
    // Adds every regular file under the folder by its path relative to the folder: stored when
    // it matches one of the globs, else compressed. A glob without '/' matches a file's base
    // name, one with '/' its relative path.
    void AddFolder(const std::string& folder, const std::vector<std::string>& storeGlobs);

    // Writes the pack to a temporary file beside path, then renames it into place, so that a
    // failure never leaves a half pack behind.
    void Write(const std::string& path) const;

private:
    struct Node {
        bool folder = false;
        Packing packing = Packing::Stored;
        bool fromFile = false;
        std::string bytes;      // the file's bytes, unless fromFile
        std::string sourcePath; // where they are read from, if fromFile
        std::map<std::string, Node> children;
    };
    class Output;
    class Bzip2Writer;

    void Add(const std::string& path, Node file);
    // Writes the bytes of the files under the folder, depth first, and appends their records to
    // the directory in the same order.
    static void WriteData(const std::map<std::string, Node>& folder, const std::string& prefix,
                          Output& out, std::string& directory);
    // Writes one file's bytes as its packing says; its size once unpacked.
    static uint32_t WriteFileData(const Node& file, const std::string& path, Output& out);
    // Hands the file's bytes to take(bytes, count), a chunk at a time.
    template <class Take>
    static void ReadSource(const Node& file, Take take);

    std::map<std::string, Node> root;
};
