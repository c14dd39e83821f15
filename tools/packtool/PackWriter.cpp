#include "tools/packtool/PackWriter.h"

#include "engine/Exception.h"
#include "engine/PackDirectory.h"
#include "platform/os/NativePath.h"

#include <bzlib.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunkSize = 64 * 1024;
// Name length, folder flag, offset, size, kind, child count.
constexpr uint64_t kRecordFixedSize = 21;
constexpr uint64_t kHeaderSize = 8;

void AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

uint64_t DirectorySize(const auto& folder) {
    uint64_t size = 0;
    for (const auto& [name, node] : folder) {
        size += kRecordFixedSize + name.size() + DirectorySize(node.children);
    }
    return size;
}

bool MatchesAnyGlob(const std::string& relative, const std::vector<std::string>& globs) {
    const std::string baseName = relative.substr(relative.rfind('/') + 1);
    for (const std::string& glob : globs) {
        const bool byPath = glob.find('/') != std::string::npos;
        if (::fnmatch(glob.c_str(), (byPath ? relative : baseName).c_str(),
                      byPath ? FNM_PATHNAME : 0) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

// The temporary file the pack is written to; removed unless it was renamed into place.
class PackWriter::Output {
public:
    explicit Output(const std::string& target) : target(target), temporary(target + ".XXXXXX") {
        const int fd = ::mkstemp(temporary.data());
        if (fd < 0) {
            throw Exception("Cannot create a pack beside %s", target.c_str());
        }
        // mkstemp makes the file private; a pack is as readable as any new file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        file = ::fdopen(fd, "wb");
        if (file == nullptr) {
            ::close(fd);
            ::unlink(temporary.c_str());
            throw Exception("Cannot write %s", temporary.c_str());
        }
    }

    ~Output() {
        if (file != nullptr) {
            std::fclose(file);
            ::unlink(temporary.c_str());
        }
    }

    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    uint64_t Position() const { return position; }

    void Seek(uint64_t to) {
        if (std::fseek(file, static_cast<long>(to), SEEK_SET) != 0) {
            Fail();
        }
        position = to;
    }

    void Put(const char* bytes, std::size_t count) {
        if (count > 0 && std::fwrite(bytes, 1, count, file) != count) {
            Fail();
        }
        position += count;
    }

    void Commit() {
        std::FILE* const done = file;
        file = nullptr;
        if (std::fclose(done) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
            ::unlink(temporary.c_str());
            Fail();
        }
    }

private:
    [[noreturn]] void Fail() const { throw Exception("Cannot write %s", target.c_str()); }

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
    uint64_t position = 0;
};

// Compresses a file's bytes into the pack as one bzip2 stream.
class PackWriter::Bzip2Writer {
public:
    Bzip2Writer(Output& out, const std::string& path) : out(out), path(path), buffer(kChunkSize) {
        if (BZ2_bzCompressInit(&stream, 9, 0, 0) != BZ_OK) {
            throw Exception("Cannot compress %s", path.c_str());
        }
    }
    ~Bzip2Writer() { BZ2_bzCompressEnd(&stream); }
    Bzip2Writer(const Bzip2Writer&) = delete;
    Bzip2Writer& operator=(const Bzip2Writer&) = delete;

    void Put(const char* bytes, std::size_t count) {
        // libbz2 takes no const input, and reads it only.
        stream.next_in = const_cast<char*>(bytes);
        stream.avail_in = static_cast<unsigned>(count);
        while (stream.avail_in > 0) {
            Run(BZ_RUN, BZ_RUN_OK);
        }
    }

    void Finish() {
        while (Run(BZ_FINISH, BZ_FINISH_OK) != BZ_STREAM_END) {
        }
    }

private:
    int Run(int action, int going) {
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<unsigned>(buffer.size());
        const int result = BZ2_bzCompress(&stream, action);
        if (result != going && result != BZ_STREAM_END) {
            throw Exception("Cannot compress %s", path.c_str());
        }
        out.Put(buffer.data(), buffer.size() - stream.avail_out);
        return result;
    }

    Output& out;
    const std::string& path;
    std::vector<char> buffer;
    bz_stream stream{};
};

void PackWriter::AddBytes(const std::string& path, std::string bytes, Packing packing) {
    Node file;
    file.packing = packing;
    file.bytes = std::move(bytes);
    Add(path, std::move(file));
}

void PackWriter::AddFile(const std::string& path, const std::string& sourcePath, Packing packing) {
    Node file;
    file.packing = packing;
    file.fromFile = true;
    file.sourcePath = sourcePath;
    Add(path, std::move(file));
}

void PackWriter::AddFolder(const std::string& folder, const std::vector<std::string>& storeGlobs) {
    const fs::path top = NativePath(folder);
    std::error_code error;
    if (!fs::is_directory(top, error)) {
        throw Exception("Cannot read folder %s", folder.c_str());
    }
    for (fs::recursive_directory_iterator item(top, error), end; item != end;
         item.increment(error)) {
        if (item->is_regular_file(error)) {
            const std::string relative = item->path().lexically_relative(top).generic_string();
            AddFile(relative, item->path().string(),
                    MatchesAnyGlob(relative, storeGlobs) ? Packing::Stored : Packing::Bzip2);
        }
    }
    if (error) {
        throw Exception("Cannot read folder %s: %s", folder.c_str(), error.message().c_str());
    }
}

void PackWriter::Add(const std::string& path, Node file) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& name : names) {
        // The game turns '\' into '/' before every lookup: such a name could never be found.
        if (name.empty() || name.find('\\') != std::string::npos) {
            throw Exception("Pack path \"%s\" is not a path of names separated by '/'",
                            path.c_str());
        }
    }
    if (names.size() > kMaxPackDepth) {
        throw Exception("Pack path %s nests too deep", path.c_str());
    }
    std::map<std::string, Node>* folder = &root;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        const auto [child, created] = folder->try_emplace(names[i]);
        if (created) {
            child->second.folder = true;
        } else if (!child->second.folder) {
            throw Exception("Pack path %s runs through a file", path.c_str());
        }
        folder = &child->second.children;
    }
    if (!folder->try_emplace(names.back(), std::move(file)).second) {
        throw Exception("Pack path %s is given twice or is also a folder", path.c_str());
    }
}

void PackWriter::Write(const std::string& path) const {
    // The directory goes first, so its size is known before any data is written behind it.
    const uint64_t directorySize = kHeaderSize + DirectorySize(root);
    if (directorySize > UINT32_MAX) {
        throw Exception("The directory of %s does not fit in 32 bits", path.c_str());
    }
    Output out(NativePath(path));
    out.Seek(directorySize);
    std::string directory;
    AppendU32(directory, 0); // header word
    AppendU32(directory, static_cast<uint32_t>(root.size()));
    WriteData(root, "", out, directory);
    out.Seek(0);
    out.Put(directory.data(), directory.size());
    out.Commit();
}

void PackWriter::WriteData(const std::map<std::string, Node>& folder, const std::string& prefix,
                           Output& out, std::string& directory) {
    for (const auto& [name, node] : folder) {
        const std::string path = prefix + name;
        uint32_t offset = 0;
        uint32_t size = 0;
        uint32_t kind = PackEntry::kStored;
        if (!node.folder) {
            if (out.Position() > UINT32_MAX) {
                throw Exception("Pack entry %s would start past 4 GiB", path.c_str());
            }
            offset = static_cast<uint32_t>(out.Position());
            kind = node.packing == Packing::Bzip2 ? PackEntry::kBzip2 : PackEntry::kStored;
            size = WriteFileData(node, path, out);
        }
        AppendU32(directory, static_cast<uint32_t>(name.size()));
        directory += name;
        directory += static_cast<char>(node.folder ? 1 : 0);
        AppendU32(directory, offset);
        AppendU32(directory, size);
        AppendU32(directory, kind);
        AppendU32(directory, static_cast<uint32_t>(node.children.size()));
        WriteData(node.children, path + "/", out, directory);
    }
}

uint32_t PackWriter::WriteFileData(const Node& file, const std::string& path, Output& out) {
    uint64_t size = 0;
    if (file.packing == Packing::Stored) {
        ReadSource(file, [&](const char* bytes, std::size_t count) {
            out.Put(bytes, count);
            size += count;
        });
    } else {
        Bzip2Writer compressor(out, path);
        ReadSource(file, [&](const char* bytes, std::size_t count) {
            compressor.Put(bytes, count);
            size += count;
        });
        compressor.Finish();
    }
    if (size > UINT32_MAX) {
        throw Exception("Pack entry %s is larger than 4 GiB", path.c_str());
    }
    return static_cast<uint32_t>(size);
}

template <class Take>
void PackWriter::ReadSource(const Node& file, Take take) {
    if (!file.fromFile) {
        take(file.bytes.data(), file.bytes.size());
        return;
    }
    std::ifstream in(NativePath(file.sourcePath), std::ios::binary);
    if (!in.is_open()) {
        throw Exception("Cannot read %s", file.sourcePath.c_str());
    }
    std::vector<char> chunk(kChunkSize);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        take(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw Exception("Cannot read %s", file.sourcePath.c_str());
    }
}
