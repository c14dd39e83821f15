#include "engine/FileSystem.h"

#include "engine/Exception.h"
#include "engine/Log.h"
#include "engine/StoredEntryStream.h"
#include "engine/bzip2_stream.h"
#include "platform/os/NativePath.h"

#include <algorithm>
#include <fstream>

FileSystem Files;

namespace {

// Buffers of the decompressing streams on pack entries. Larger ones were measured and gained
// nothing: the decoder's own work dwarfs a call per kilobyte.
constexpr std::size_t kBzip2BufferSize = 1024;

// ReadAll takes memory at least this much at a time.
constexpr std::size_t kReadChunk = 1024 * 1024;

// Exactly size bytes, and the stream must end there. A compressed entry's size may lie, so
// memory is taken at once only for what the stream vouches it holds, and beyond that a chunk at
// a time as bytes actually arrive.
std::optional<std::vector<uint8_t>> ReadExactly(std::istream& stream, uint32_t size) {
    const std::size_t vouched =
        static_cast<std::size_t>(std::max<std::streamsize>(stream.rdbuf()->in_avail(), 0));
    std::vector<std::vector<uint8_t>> chunks;
    for (std::size_t done = 0; done < size;) {
        const std::size_t step = std::min<std::size_t>(
            size - done, chunks.empty() ? std::max(kReadChunk, vouched) : kReadChunk);
        std::vector<uint8_t>& chunk = chunks.emplace_back(step);
        stream.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(step));
        if (static_cast<std::size_t>(stream.gcount()) != step) {
            return std::nullopt;
        }
        done += step;
    }
    if (stream.peek() != std::istream::traits_type::eof()) {
        return std::nullopt;
    }
    if (chunks.size() == 1) {
        return std::move(chunks.front());
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    for (const std::vector<uint8_t>& chunk : chunks) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

} // namespace

FileSystem::~FileSystem() {
    // Streams never given back: each goes before the pack file stream under it.
    for (const auto& [stream, pack] : openPackStreams) {
        delete stream;
    }
}

void FileSystem::SetDataFolder(const std::string& folder) {
    dataFolderName = folder;
    const std::string current = CurrentFolder();
    baseFolder = current.empty() ? std::string() : current + "/" + folder;
}

void FileSystem::MountPack(const std::string& packName) {
    rootDirectory.clear();
    packPath = packName;
    const std::string path = NativePath(packName);
    // A missing pack is no error: files are then found only in the folders.
    if (!IsRegularFile(path)) {
        return;
    }
    std::ifstream pack(path, std::ios::binary | std::ios::ate);
    if (!pack.is_open()) {
        return;
    }
    const std::streamoff fileSize = pack.tellg();
    pack.seekg(0);
    if (fileSize < 0 || !pack) {
        throw Exception("Pack %s cannot be read", packName.c_str());
    }
    rootDirectory = ReadPackDirectory(pack, static_cast<uint64_t>(fileSize), packName);
}

std::unique_ptr<std::istream> FileSystem::OpenPlainFile(const std::string& name) const {
    std::vector<std::string> places;
    if (IsAbsoluteName(name)) {
        places.push_back(name);
    } else {
        // Before a data folder is set there is no base folder to look in. A name beginning
        // with '\' gets no doubled separator: NativePath folds "base/\x" into "base/x".
        if (!baseFolder.empty()) {
            places.push_back(baseFolder + "/" + name);
        }
        places.push_back(name);
        if (!dataFolderName.empty()) {
            places.push_back(dataFolderName + "/" + name);
        }
    }
    for (const std::string& place : places) {
        const std::string path = NativePath(place);
        // Only regular files open: a folder named like the file is passed over.
        if (!IsRegularFile(path)) {
            continue;
        }
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (file->is_open()) {
            return file;
        }
    }
    return nullptr;
}

std::istream* FileSystem::Open(const std::string& name) {
    if (std::unique_ptr<std::istream> file = OpenPlainFile(name)) {
        return file.release();
    }
    return OpenPacked(name);
}

std::istream* FileSystem::OpenPacked(const std::string& name) {
    const PackEntry* entry = FindEntry(name);
    if (entry == nullptr || !entry->IsReadable()) {
        return nullptr;
    }
    // Every entry gets a file stream of its own, so that several can be read at once.
    auto pack = std::make_unique<std::ifstream>(NativePath(packPath), std::ios::binary);
    if (!pack->is_open()) {
        return nullptr;
    }
    std::unique_ptr<std::istream> stream;
    if (entry->kind == PackEntry::kStored) {
        stream = std::make_unique<StoredEntryStream>(*pack, entry->offset, entry->size);
    } else {
        pack->seekg(entry->offset);
        stream = std::make_unique<bzip2_stream::bzip2_istream>(*pack, 0, false, kBzip2BufferSize,
                                                               kBzip2BufferSize);
    }
    std::istream* const handle = stream.release();
    openPackStreams.emplace(handle, std::move(pack));
    return handle;
}

void FileSystem::Close(std::istream* stream) {
    // Holds the pack file stream under a pack entry's stream until the stream itself is gone.
    const auto pack = openPackStreams.extract(stream);
    delete stream;
}

bool FileSystem::Exists(const std::string& name) const {
    return OpenPlainFile(name) != nullptr || FindEntry(name) != nullptr;
}

uint32_t FileSystem::Size(const std::string& name) const {
    if (std::unique_ptr<std::istream> file = OpenPlainFile(name)) {
        file->seekg(0, std::ios::end);
        // A plain file past 4 GiB cannot be told in 32 bits; ReadAll then finds it too long.
        return static_cast<uint32_t>(std::clamp<std::streamoff>(file->tellg(), 0, UINT32_MAX));
    }
    const PackEntry* entry = FindEntry(name);
    return entry != nullptr && entry->IsReadable() ? entry->size : 0;
}

std::optional<std::vector<uint8_t>> FileSystem::ReadAll(const std::string& name) {
    const auto close = [this](std::istream* stream) { Close(stream); };
    const std::unique_ptr<std::istream, decltype(close)> stream(Open(name), close);
    if (stream == nullptr) {
        return std::nullopt;
    }
    const uint32_t size = Size(name);
    std::optional<std::vector<uint8_t>> bytes = ReadExactly(*stream, size);
    if (!bytes || !EndedWhole(*stream)) {
        DebugLog("FileSystem::ReadAll: %s does not hold its %u bytes\n", name.c_str(), size);
        return std::nullopt;
    }
    return bytes;
}

bool FileSystem::EndedWhole(std::istream& stream) {
    auto* const compressed = dynamic_cast<bzip2_stream::bzip2_istream*>(&stream);
    return compressed == nullptr || compressed->rdbuf()->ended();
}

const PackEntry* FileSystem::FindEntry(const std::string& name) const {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::map<std::string, PackEntry>* folder = &rootDirectory;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('/', start);
        const auto found = folder->find(path.substr(start, end - start));
        if (found == folder->end()) {
            return nullptr;
        }
        if (end == std::string::npos) {
            return &found->second;
        }
        if (!found->second.folder) {
            return nullptr;
        }
        folder = &found->second.children;
        start = end + 1;
    }
}
