// packtool: builds a "pack.boo" from a folder and reads packs back through the game's own file
// layer.
//   packtool build FOLDER OUT.boo [--store GLOB...]
//   packtool list PACK
//   packtool cat PACK NAME

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "platform/os/NativePath.h"
#include "tools/packtool/PackWriter.h"

#include <cstdint>
#include <cstdio>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

int Usage() {
    std::fputs("usage: packtool build FOLDER OUT.boo [--store GLOB...]\n"
               "       packtool list PACK\n"
               "       packtool cat PACK NAME\n",
               stderr);
    return kUsageError;
}

void Mount(FileSystem& files, const std::string& pack) {
    // The game takes a missing pack for an empty one; here it is an error.
    if (!IsRegularFile(NativePath(pack))) {
        throw Exception("Cannot open pack %s", pack.c_str());
    }
    files.MountPack(pack);
}

const char* KindName(const PackEntry& entry) {
    if (entry.folder) {
        return "folder";
    }
    switch (entry.kind) {
    case PackEntry::kStored:
        return "stored";
    case PackEntry::kBzip2:
        return "bzip2";
    default:
        return "unknown";
    }
}

// One line per entry: kind, size, path, separated by tabs; folders before their contents.
void List(const std::map<std::string, PackEntry>& folder, const std::string& prefix) {
    for (const auto& [name, entry] : folder) {
        const std::string path = prefix + name;
        std::printf("%s\t%u\t%s\n", KindName(entry), entry.size, path.c_str());
        List(entry.children, path + "/");
    }
}

void Cat(FileSystem& files, const std::string& pack, const std::string& name) {
    std::istream* stream = files.OpenPacked(name);
    if (stream == nullptr) {
        throw Exception("%s holds no readable file %s", pack.c_str(), name.c_str());
    }
    const uint32_t size = files.FindEntry(name)->size;
    std::vector<char> chunk(64 * 1024);
    uint64_t written = 0;
    while (stream->read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
           stream->gcount() > 0) {
        const auto count = static_cast<std::size_t>(stream->gcount());
        if (std::fwrite(chunk.data(), 1, count, stdout) != count) {
            files.Close(stream);
            throw Exception("Cannot write to standard output");
        }
        written += count;
    }
    const bool whole = FileSystem::EndedWhole(*stream);
    files.Close(stream);
    if (std::fflush(stdout) != 0) {
        throw Exception("Cannot write to standard output");
    }
    if (written != size || !whole) {
        throw Exception("%s in %s is corrupt", name.c_str(), pack.c_str());
    }
}

int Run(const std::vector<std::string>& args) {
    if (args.size() >= 3 && args[0] == "build") {
        std::vector<std::string> storeGlobs;
        if (args.size() > 3) {
            if (args[3] != "--store" || args.size() == 4) {
                return Usage();
            }
            storeGlobs.assign(args.begin() + 4, args.end());
        }
        PackWriter writer;
        writer.AddFolder(args[1], storeGlobs);
        writer.Write(args[2]);
        return 0;
    }
    if (args.size() == 2 && args[0] == "list") {
        FileSystem files;
        Mount(files, args[1]);
        List(files.PackRoot(), "");
        return 0;
    }
    if (args.size() == 3 && args[0] == "cat") {
        FileSystem files;
        Mount(files, args[1]);
        Cat(files, args[1], args[2]);
        return 0;
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const Exception& error) {
        std::fprintf(stderr, "packtool: %s\n", error.Text());
        return kFailure;
    }
}
