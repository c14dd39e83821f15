#include "engine/FileSystem.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"
#include "tools/packtool/PackWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Packing = PackWriter::Packing;

// The whole stream Open gives for the name, or nothing when it gives none.
std::optional<std::string> ReadThroughOpen(FileSystem& files, const std::string& name) {
    std::istream* stream = files.Open(name);
    if (stream == nullptr) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(*stream)), std::istreambuf_iterator<char>());
    files.Close(stream);
    return bytes;
}

std::optional<std::string> AsText(const std::optional<std::vector<uint8_t>>& bytes) {
    if (!bytes) {
        return std::nullopt;
    }
    return std::string(bytes->begin(), bytes->end());
}

// Overwrites 4 bytes of a file with a little-endian number.
void PatchU32(const std::string& path, std::streamoff at, uint32_t value) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(at);
    for (int shift = 0; shift < 32; shift += 8) {
        file.put(static_cast<char>((value >> shift) & 0xff));
    }
    ASSERT_TRUE(file.good()) << path;
}

// Where the fields of the first record of a pack lie when its name has nameLength bytes.
std::streamoff FirstRecordSizeField(std::size_t nameLength) {
    return std::streamoff(8 + 4 + nameLength + 1 + 4);
}
std::streamoff FirstRecordKindField(std::size_t nameLength) {
    return FirstRecordSizeField(nameLength) + 4;
}

// The test works inside a fresh folder: the data folder is "data" under it, the pack beside.
class FileSystemTest : public ::testing::Test {
protected:
    void MountPack(const PackWriter& writer) {
        writer.Write(folder / "pack.boo");
        files.MountPack("pack.boo");
    }

    TempFolder folder{TempFolder::Enter::Yes};
    FileSystem files;
};

TEST_F(FileSystemTest, LooksInTheDataFolderThenCurrentFolderThenRelativeDataFolderThenPack) {
    enum Place { kData = 1, kCurrent = 2, kRelative = 4, kPack = 8 };
    const struct {
        const char* name;
        int places;
        const char* found; // the place whose file is read, or null
    } cases[] = {
        {"only-data.txt", kData, "data"},
        {"only-current.txt", kCurrent, "current"},
        {"only-relative.txt", kRelative, "relative"},
        {"only-pack.txt", kPack, "pack"},
        {"everywhere.txt", kData | kCurrent | kRelative | kPack, "data"},
        {"no-data.txt", kCurrent | kRelative | kPack, "current"},
        {"relative-and-pack.txt", kRelative | kPack, "relative"},
        {"data-and-pack.txt", kData | kPack, "data"},
        {"sub/nested.txt", kRelative | kPack, "relative"},
        {"nowhere.txt", 0, nullptr},
    };
    // The base folder is taken when the data folder is set; the current folder then moves, so
    // that the data folder and the relative data folder are different folders.
    files.SetDataFolder("data");
    folder.MakeFolder("run");
    fs::current_path(folder / "run");
    PackWriter writer;
    const auto text = [](const char* place, const char* name) {
        return std::string(place) + " copy of " + name;
    };
    for (const auto& c : cases) {
        if (c.places & kData) {
            folder.Write(std::string("data/") + c.name, text("data", c.name));
        }
        if (c.places & kCurrent) {
            folder.Write(std::string("run/") + c.name, text("current", c.name));
        }
        if (c.places & kRelative) {
            folder.Write(std::string("run/data/") + c.name, text("relative", c.name));
        }
        if (c.places & kPack) {
            writer.AddBytes(c.name, text("pack", c.name), Packing::Bzip2);
        }
    }
    writer.Write(folder / "run/pack.boo");
    files.MountPack("pack.boo");

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> expected =
            c.found ? std::optional(text(c.found, c.name)) : std::nullopt;
        EXPECT_EQ(ReadThroughOpen(files, c.name), expected);
        EXPECT_EQ(AsText(files.ReadAll(c.name)), expected);
        EXPECT_EQ(files.Size(c.name), expected ? expected->size() : 0u);
        EXPECT_EQ(files.Exists(c.name), c.places != 0);
    }
}

TEST_F(FileSystemTest, BackslashNamesFindTheSameFiles) {
    folder.Write("data/menus/tutorials/x.txt", "plain");
    PackWriter writer;
    writer.AddBytes("scripts/objects.txt", "packed", Packing::Bzip2);
    files.SetDataFolder("data");
    MountPack(writer);

    EXPECT_EQ(ReadThroughOpen(files, "menus\\tutorials\\x.txt"), "plain");
    EXPECT_EQ(ReadThroughOpen(files, "scripts\\objects.txt"), "packed");
    EXPECT_EQ(files.FindEntry("scripts\\objects.txt"), files.FindEntry("scripts/objects.txt"));
    EXPECT_NE(files.FindEntry("scripts/objects.txt"), nullptr);
}

TEST_F(FileSystemTest, ANameBeginningWithSlashIsUsedAsItIs) {
    folder.Write("elsewhere/abs.txt", "absolute");
    folder.Write("data/" + folder.Path() + "/elsewhere/abs.txt", "under the base folder");
    files.SetDataFolder("data");
    EXPECT_EQ(ReadThroughOpen(files, folder / "elsewhere/abs.txt"), "absolute");
    EXPECT_EQ(files.Size(folder / "elsewhere/abs.txt"), 8u);
}

TEST_F(FileSystemTest, ANameBeginningWithBackslashHangsUnderTheDataFolder) {
    folder.Write("data/lead.txt", "in the data folder");
    files.SetDataFolder("data");
    EXPECT_EQ(ReadThroughOpen(files, "\\lead.txt"), "in the data folder");
}

TEST_F(FileSystemTest, DotDotIsResolvedByNameNotThroughTheFolder) {
    enum class Data { Missing, Folder, LinkElsewhere };
    for (const Data data : {Data::Missing, Data::Folder, Data::LinkElsewhere}) {
        TempFolder inner(TempFolder::Enter::Yes);
        inner.Write("config.txt", "the config");
        if (data == Data::Folder) {
            inner.MakeFolder("data");
        } else if (data == Data::LinkElsewhere) {
            // Through the link, "data/.." would be "far", which has a config of its own.
            inner.Write("far/away/keep", "");
            inner.Write("far/config.txt", "the wrong config");
            ASSERT_EQ(::symlink((inner / "far/away").c_str(), (inner / "data").c_str()), 0);
        }
        FileSystem local;
        local.SetDataFolder("data");
        EXPECT_EQ(ReadThroughOpen(local, "data/../config.txt"), "the config")
            << static_cast<int>(data);
        EXPECT_EQ(ReadThroughOpen(local, "data\\..\\config.txt"), "the config")
            << static_cast<int>(data);
    }
}

TEST_F(FileSystemTest, AFolderNamedLikeTheFileIsPassedOver) {
    folder.MakeFolder("data/x.txt");
    folder.Write("x.txt", "the file");
    folder.MakeFolder("data/y.txt");
    folder.MakeFolder("z.txt");
    PackWriter writer;
    writer.AddBytes("y.txt", "packed", Packing::Stored);
    files.SetDataFolder("data");
    MountPack(writer);

    EXPECT_EQ(ReadThroughOpen(files, "x.txt"), "the file");
    EXPECT_EQ(files.Size("x.txt"), 8u);
    EXPECT_EQ(ReadThroughOpen(files, "y.txt"), "packed");
    EXPECT_EQ(files.Size("y.txt"), 6u);
    EXPECT_EQ(files.Open("z.txt"), nullptr);
    EXPECT_FALSE(files.Exists("z.txt"));
    EXPECT_EQ(files.Size("z.txt"), 0u);
}

TEST_F(FileSystemTest, AnEmptyPlainFileIsReadEmptyEvenWhenThePackHasTheName) {
    folder.Write("data/empty.txt", "");
    folder.Write("data/also-empty.txt", "");
    PackWriter writer;
    writer.AddBytes("empty.txt", "packed bytes", Packing::Stored);
    files.SetDataFolder("data");
    MountPack(writer);

    for (const char* name : {"empty.txt", "also-empty.txt"}) {
        EXPECT_TRUE(files.Exists(name)) << name;
        EXPECT_EQ(files.Size(name), 0u) << name;
        EXPECT_EQ(AsText(files.ReadAll(name)), "") << name;
    }
}

TEST_F(FileSystemTest, PackEntriesReadBackByteForByte) {
    const struct {
        const char* name;
        std::string bytes;
        Packing packing;
    } entries[] = {
        {"empty-stored", "", Packing::Stored},
        {"empty-bzip2", "", Packing::Bzip2},
        {"hello-stored.txt", "hello", Packing::Stored},
        {"hello-bzip2.txt", "hello", Packing::Bzip2},
        {"bin/noise-stored.bin", RandomBytes(200 * 1000, 1), Packing::Stored},
        {"bin/noise-bzip2.bin", RandomBytes(200 * 1000, 2), Packing::Bzip2},
        {"text/words-bzip2.txt", Words(3 * 1000 * 1000, 3), Packing::Bzip2},
    };
    PackWriter writer;
    for (const auto& entry : entries) {
        writer.AddBytes(entry.name, entry.bytes, entry.packing);
    }
    MountPack(writer);

    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(files.Size(entry.name), entry.bytes.size());
        EXPECT_EQ(AsText(files.ReadAll(entry.name)), entry.bytes);
        EXPECT_EQ(ReadThroughOpen(files, entry.name), entry.bytes);
    }
}

TEST_F(FileSystemTest, SeveralEntriesCanBeReadAtOnce) {
    const std::string contents[] = {RandomBytes(300 * 1000, 4), Words(300 * 1000, 5),
                                    RandomBytes(250 * 1000, 6), Words(350 * 1000, 7)};
    PackWriter writer;
    writer.AddBytes("0", contents[0], Packing::Stored);
    writer.AddBytes("1", contents[1], Packing::Bzip2);
    writer.AddBytes("2", contents[2], Packing::Bzip2);
    writer.AddBytes("3", contents[3], Packing::Stored);
    MountPack(writer);

    std::vector<std::istream*> streams;
    for (const char* name : {"0", "1", "2", "3"}) {
        streams.push_back(files.Open(name));
        ASSERT_NE(streams.back(), nullptr) << name;
    }
    std::vector<std::string> read(4);
    std::vector<char> chunk(777);
    for (bool more = true; more;) {
        more = false;
        for (std::size_t i = 0; i < streams.size(); ++i) {
            streams[i]->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            read[i].append(chunk.data(), static_cast<std::size_t>(streams[i]->gcount()));
            more = more || streams[i]->gcount() > 0;
        }
    }
    // Given back in another order than they were opened.
    for (std::size_t i : {2, 0, 3, 1}) {
        files.Close(streams[i]);
        EXPECT_EQ(read[i], contents[i]) << i;
    }
}

TEST_F(FileSystemTest, AStoredEntryEndsAtItsSize) {
    PackWriter writer;
    writer.AddBytes("a.bin", "AAAA", Packing::Stored);
    writer.AddBytes("b.bin", "BBBBBB", Packing::Stored);
    MountPack(writer);

    EXPECT_EQ(ReadThroughOpen(files, "a.bin"), "AAAA");
    std::istream* stream = files.Open("a.bin");
    std::string big(100, '\0');
    stream->read(big.data(), static_cast<std::streamsize>(big.size()));
    EXPECT_EQ(stream->gcount(), 4);
    files.Close(stream);
}

TEST_F(FileSystemTest, AStoredEntryStreamPutsBackOnlyWhatWasReadJustBefore) {
    const std::string bytes = RandomBytes(300 * 1000, 9);
    PackWriter writer;
    writer.AddBytes("s.bin", bytes, Packing::Stored);
    MountPack(writer);

    std::istream* stream = files.Open("s.bin");
    ASSERT_EQ(stream->get(), static_cast<unsigned char>(bytes[0]));
    ASSERT_TRUE(stream->unget());
    // A read larger than the stream's buffer goes straight to the caller.
    std::string big(200 * 1000, '\0');
    stream->read(big.data(), static_cast<std::streamsize>(big.size()));
    ASSERT_EQ(big, bytes.substr(0, big.size()));
    if (stream->unget()) {
        EXPECT_EQ(stream->get(), static_cast<unsigned char>(bytes[big.size() - 1]));
    }
    stream->clear();
    std::string rest(std::istreambuf_iterator<char>(*stream), {});
    EXPECT_EQ(rest, bytes.substr(big.size()));
    files.Close(stream);
}

TEST_F(FileSystemTest, OnlyStoredAndCompressedFilesOpen) {
    PackWriter writer;
    writer.AddBytes("odd.bin", "some bytes", Packing::Stored);
    writer.AddBytes("zfolder/inside.txt", "inside", Packing::Stored);
    writer.Write(folder / "pack.boo");
    for (const uint32_t kind : {1u, 3u, 0xffffffffu}) {
        PatchU32(folder / "pack.boo", FirstRecordKindField(7), kind);
        files.MountPack("pack.boo");
        ASSERT_NE(files.FindEntry("odd.bin"), nullptr);
        EXPECT_EQ(files.Open("odd.bin"), nullptr) << kind;
        EXPECT_EQ(files.ReadAll("odd.bin"), std::nullopt) << kind;
        EXPECT_EQ(files.Size("odd.bin"), 0u) << kind;
        EXPECT_TRUE(files.Exists("odd.bin")) << kind;
    }
    EXPECT_EQ(files.Open("zfolder"), nullptr);
    EXPECT_EQ(files.Size("zfolder"), 0u);
    EXPECT_TRUE(files.Exists("zfolder"));
    EXPECT_EQ(ReadThroughOpen(files, "zfolder/inside.txt"), "inside");
}

TEST_F(FileSystemTest, OpenPackedIgnoresPlainFiles) {
    folder.Write("data/x.txt", "plain");
    PackWriter writer;
    writer.AddBytes("x.txt", "packed", Packing::Bzip2);
    files.SetDataFolder("data");
    MountPack(writer);

    std::istream* stream = files.OpenPacked("x.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*stream), {}), "packed");
    files.Close(stream);
}

TEST_F(FileSystemTest, ACompressedEntryThatDoesNotHoldItsSizeReadsAsNothing) {
    const std::string words = Words(100 * 1000, 8);
    const std::size_t nameLength = 5; // "c.bin"
    // Where bzip2 data keeps the first block's checksum: behind "BZh9" and the block magic.
    const uint32_t kBlockChecksum = 4 + 6;
    const struct {
        const char* what;
        uint32_t size;     // the size the directory claims
        uint32_t damageAt; // from the entry's offset; 0 for none
    } cases[] = {
        {"damaged data", uint32_t(words.size()), 2000},
        // Every byte comes out right; only the end of the block tells.
        {"damaged block checksum", uint32_t(words.size()), kBlockChecksum},
        {"size too large", uint32_t(words.size() + 1), 0},
        {"size too small", uint32_t(words.size() - 1), 0},
        // A lie this large must cost no more memory than the real bytes.
        {"size near 4 GiB", 0xfffffff0u, 0},
    };
    for (const auto& c : cases) {
        PackWriter writer;
        writer.AddBytes("c.bin", words, Packing::Bzip2);
        writer.Write(folder / "pack.boo");
        PatchU32(folder / "pack.boo", FirstRecordSizeField(nameLength), c.size);
        files.MountPack("pack.boo");
        if (c.damageAt != 0) {
            PatchU32(folder / "pack.boo", files.FindEntry("c.bin")->offset + c.damageAt,
                     0x5a5a5a5a);
        }
        EXPECT_EQ(files.ReadAll("c.bin"), std::nullopt) << c.what;
    }
}

} // namespace
