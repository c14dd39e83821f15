#pragma once

#include "engine/PackDirectory.h"

#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The file layer. A name is looked for as a plain file in the data folder, then relative to
// the current folder, then in the data folder named relatively, and last in the pack archive.
// Names use '\' or '/' as separators; a name beginning with '/' or a drive letter is a path of
// its own. Callers get a standard input stream and never learn where the bytes came from.
class FileSystem {
public:
    FileSystem() = default;
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // Data folder name := folder; base folder := current folder + "/" + folder.
    void SetDataFolder(const std::string& folder);

    // Reads the pack's directory. A missing pack is not an error (the directory stays empty); a
    // corrupt one throws Exception naming the pack, and leaves the directory empty.
    void MountPack(const std::string& packName);

    // An input stream on the file, or null when it is found nowhere. Give it back with Close.
    std::istream* Open(const std::string& name);
    // An input stream on the pack entry alone (no plain places), or null.
    std::istream* OpenPacked(const std::string& name);
    void Close(std::istream* stream);

    // True when a plain place holds the name or the pack has an entry of that name, whatever
    // its kind.
    bool Exists(const std::string& name) const;
    // The size of the file that Open would return (0 when none).
    uint32_t Size(const std::string& name) const;
    // Exactly the Size bytes of the file that Open would return; nothing when it cannot be
    // opened or its stream does not hold Size bytes (logged).
    std::optional<std::vector<uint8_t>> ReadAll(const std::string& name);

    // For a stream from Open read to its end: false when it stopped early on damaged data
    // (a compressed entry that is corrupt or cut short).
    static bool EndedWhole(std::istream& stream);

    // The directory entry of a path in the pack, or null.
    const PackEntry* FindEntry(const std::string& name) const;
    // The top-level entries of the pack.
    const std::map<std::string, PackEntry>& PackRoot() const { return rootDirectory; }

    const std::string& BaseFolder() const { return baseFolder; }
    const std::string& PackPath() const { return packPath; }

private:
    // A stream on the first plain place holding the name as a regular file, or null.
    std::unique_ptr<std::istream> OpenPlainFile(const std::string& name) const;

    std::map<std::string, PackEntry> rootDirectory;
    // Streams handed out for pack entries, each with the file stream on the pack under it.
    std::map<std::istream*, std::unique_ptr<std::istream>> openPackStreams;
    std::string baseFolder;
    std::string dataFolderName;
    std::string packPath;
};

// The file layer of the game.
extern FileSystem Files;
