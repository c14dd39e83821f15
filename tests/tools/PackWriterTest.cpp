#include "tools/packtool/PackWriter.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Packing = PackWriter::Packing;

std::set<std::string> FolderListing(const std::string& path) {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(path)) {
        names.insert(item.path().filename().string());
    }
    return names;
}

uint32_t U32At(const std::string& bytes, std::size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

TEST(PackWriterTest, WritesTheDirectoryFirstThenTheDataInNameOrder) {
    TempFolder folder;
    PackWriter writer;
    writer.AddBytes("b.txt", "bbb", Packing::Stored);
    writer.AddBytes("a/c.txt", "cc", Packing::Stored);
    writer.AddBytes("a/d.txt", std::string(1000, 'd'), Packing::Bzip2);
    writer.Write(folder / "pack.boo");

    const std::string pack = ReadFileBytes(folder / "pack.boo");
    EXPECT_EQ(U32At(pack, 0), 0u); // header word
    EXPECT_EQ(U32At(pack, 4), 2u); // "a" and "b.txt"
    std::istringstream in(pack);
    const std::map<std::string, PackEntry> root = ReadPackDirectory(in, pack.size(), "pack.boo");
    const uint32_t directorySize = 8 + 4 * 21 + 1 + 5 + 5 + 5;
    const PackEntry& a = root.at("a");
    EXPECT_TRUE(a.folder);
    EXPECT_EQ(a.childCount, 2u);
    EXPECT_EQ(a.children.at("c.txt").offset, directorySize);
    EXPECT_EQ(a.children.at("c.txt").kind, PackEntry::kStored);
    EXPECT_EQ(a.children.at("d.txt").offset, directorySize + 2);
    EXPECT_EQ(a.children.at("d.txt").kind, PackEntry::kBzip2);
    EXPECT_EQ(a.children.at("d.txt").size, 1000u);
    EXPECT_EQ(pack.substr(directorySize, 2), "cc");
    EXPECT_EQ(pack.substr(directorySize + 2, 3), "BZh");
    EXPECT_EQ(pack.substr(root.at("b.txt").offset), "bbb");
}

TEST(PackWriterTest, TheSameFilesGiveTheSamePackWhateverTheOrderOfAdding) {
    TempFolder folder;
    PackWriter first;
    first.AddBytes("x/1", "one", Packing::Bzip2);
    first.AddBytes("x/2", "two", Packing::Stored);
    first.AddBytes("3", "three", Packing::Bzip2);
    first.Write(folder / "first.boo");
    PackWriter second;
    second.AddBytes("3", "three", Packing::Bzip2);
    second.AddBytes("x/2", "two", Packing::Stored);
    second.AddBytes("x/1", "one", Packing::Bzip2);
    second.Write(folder / "second.boo");
    EXPECT_EQ(ReadFileBytes(folder / "first.boo"), ReadFileBytes(folder / "second.boo"));
}

TEST(PackWriterTest, AddsEveryRegularFileOfAFolderStoringThoseMatchingAGlob) {
    TempFolder source;
    const struct {
        const char* path;
        uint32_t kind;
    } files[] = {
        {"a.txt", PackEntry::kBzip2},
        {"empty.bin", PackEntry::kBzip2},
        {"name with spaces.txt", PackEntry::kBzip2},
        {"img/b.png", PackEntry::kStored},       // base-name glob, in a folder
        {"img/sub/c.png", PackEntry::kStored},   // and deeper
        {"raw/d.txt", PackEntry::kStored},       // path glob
        {"raw/deeper/e.txt", PackEntry::kBzip2}, // a path glob's '*' stops at '/'
        {".hidden", PackEntry::kBzip2},
    };
    for (const auto& file : files) {
        source.Write(file.path, std::string(file.path) == "empty.bin" ? "" : file.path);
    }
    source.MakeFolder("empty-folder");
    ASSERT_EQ(::mkfifo((source / "pipe").c_str(), 0600), 0);
    TempFolder out;
    PackWriter writer;
    writer.AddFolder(source.Path(), {"*.png", "raw/*"});
    writer.Write(out / "pack.boo");

    FileSystem pack;
    pack.MountPack(out / "pack.boo");
    std::set<std::string> top;
    for (const auto& [name, entry] : pack.PackRoot()) {
        top.insert(name);
    }
    EXPECT_EQ(top, (std::set<std::string>{".hidden", "a.txt", "empty.bin", "img",
                                          "name with spaces.txt", "raw"}));
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        const PackEntry* entry = pack.FindEntry(file.path);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, file.kind);
        std::istream* stream = pack.OpenPacked(file.path);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*stream), {}),
                  ReadFileBytes(source / file.path));
        pack.Close(stream);
    }
}

// "f/f/.../f" with depth components.
std::string Nested(int depth) {
    std::string path = "f";
    for (int level = 1; level < depth; ++level) {
        path += "/f";
    }
    return path;
}

TEST(PackWriterTest, RefusesPathsTheGameCouldNotFind) {
    const struct {
        const char* what;
        std::vector<std::string> paths;
    } cases[] = {
        {"empty path", {""}},
        {"empty component", {"a//b"}},
        {"leading slash", {"/a"}},
        {"trailing slash", {"a/"}},
        {"backslash", {"a\\b"}},
        {"twice", {"x", "x"}},
        {"through a file", {"x", "x/y"}},
        {"file over a folder", {"x/y", "x"}},
        {"deeper than the game reads", {Nested(kMaxPackDepth + 1)}},
    };
    PackWriter deepest;
    EXPECT_NO_THROW(deepest.AddBytes(Nested(kMaxPackDepth), "x", Packing::Stored));
    for (const auto& c : cases) {
        PackWriter writer;
        EXPECT_THROW(
            {
                for (const std::string& path : c.paths) {
                    writer.AddBytes(path, "x", Packing::Stored);
                }
            },
            Exception)
            << c.what;
    }
}

TEST(PackWriterTest, AFailedWriteLeavesNoPackAndKeepsTheOldOne) {
    TempFolder folder;
    PackWriter good;
    good.AddBytes("kept.txt", "old pack", Packing::Stored);
    good.Write(folder / "pack.boo");
    const std::string old = ReadFileBytes(folder / "pack.boo");

    PackWriter missingSource;
    missingSource.AddBytes("a.txt", std::string(100000, 'a'), Packing::Bzip2);
    missingSource.AddFile("b.txt", folder / "gone.txt", Packing::Stored);
    EXPECT_THROW(missingSource.Write(folder / "pack.boo"), Exception);
    EXPECT_THROW(missingSource.Write(folder / "new.boo"), Exception);
    EXPECT_THROW(good.Write(folder / "no-such-folder/pack.boo"), Exception);

    EXPECT_EQ(ReadFileBytes(folder / "pack.boo"), old);
    EXPECT_EQ(FolderListing(folder.Path()), std::set<std::string>{"pack.boo"});
}

TEST(PackWriterTest, AFolderThatCannotBePackedIsAnError) {
    TempFolder folder;
    folder.Write("file.txt", "");
    folder.Write("odd/back\\slash.txt", "");
    PackWriter writer;
    EXPECT_THROW(writer.AddFolder(folder / "missing", {}), Exception);
    EXPECT_THROW(writer.AddFolder(folder / "file.txt", {}), Exception);
    EXPECT_THROW(writer.AddFolder(folder / "odd", {}), Exception);
}

TEST(PackWriterTest, ARefusedPathAddsNoFolders) {
    TempFolder folder;
    PackWriter writer;
    EXPECT_THROW(writer.AddBytes(Nested(kMaxPackDepth + 1), "x", Packing::Stored), Exception);
    writer.Write(folder / "pack.boo");
    FileSystem files;
    files.MountPack(folder / "pack.boo");
    EXPECT_TRUE(files.PackRoot().empty());
}

} // namespace
