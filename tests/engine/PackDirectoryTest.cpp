#include "engine/PackDirectory.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace {

// A pack's bytes, written field by field.
struct PackBytes {
    std::string bytes;

    PackBytes& U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((value >> shift) & 0xff);
        }
        return *this;
    }
    PackBytes& Header(uint32_t count) { return U32(0).U32(count); }
    PackBytes& Record(const std::string& name, bool folder, uint32_t offset, uint32_t size,
                      uint32_t kind, uint32_t childCount) {
        U32(static_cast<uint32_t>(name.size()));
        bytes += name;
        bytes += static_cast<char>(folder ? 1 : 0);
        return U32(offset).U32(size).U32(kind).U32(childCount);
    }
    PackBytes& Data(const std::string& data) {
        bytes += data;
        return *this;
    }
};

std::map<std::string, PackEntry> Read(const std::string& bytes) {
    std::istringstream in(bytes);
    return ReadPackDirectory(in, bytes.size(), "test.boo");
}

// The text of the Exception a corrupt pack must give, or a failure when none comes.
std::string CorruptText(const std::string& bytes) {
    try {
        Read(bytes);
    } catch (const Exception& error) {
        return error.Text();
    }
    ADD_FAILURE() << "no error for a pack of " << bytes.size() << " bytes";
    return "";
}

constexpr const char* kCorrupt = "Pack test.boo is corrupt: ";

// Three top-level entries: a stored file, a folder holding a compressed file and a folder with
// an empty file that ends exactly at the end of the pack, and an entry of an unknown kind whose
// offset and size are never used.
std::string SmallPack() {
    const uint32_t directorySize = 8 + 6 * 21 + 5 + 5 + 5 + 3 + 5 + 3;
    const uint32_t end = directorySize + 9;
    return PackBytes()
        .Header(3)
        .Record("a.txt", false, directorySize, 4, PackEntry::kStored, 0)
        .Record("menus", true, 0, 0, 0, 2)
        .Record("x.txt", false, directorySize + 4, 5, PackEntry::kBzip2, 0)
        .Record("sub", true, 0, 0, 0, 1)
        .Record("y.bin", false, end, 0, PackEntry::kStored, 0)
        .Record("odd", false, 0xffffffff, 0xffffffff, 1, 0)
        .Data("abcd")
        .Data("BZh91")
        .bytes;
}

TEST(PackDirectoryTest, ReadsTheTreeOfAValidPack) {
    const std::map<std::string, PackEntry> root = Read(SmallPack());
    ASSERT_EQ(root.size(), 3u);
    const PackEntry& a = root.at("a.txt");
    EXPECT_FALSE(a.folder);
    EXPECT_EQ(a.size, 4u);
    EXPECT_EQ(a.kind, PackEntry::kStored);
    const PackEntry& menus = root.at("menus");
    EXPECT_TRUE(menus.folder);
    ASSERT_EQ(menus.children.size(), 2u);
    EXPECT_EQ(menus.children.at("x.txt").kind, PackEntry::kBzip2);
    EXPECT_EQ(menus.children.at("sub").children.at("y.bin").offset, SmallPack().size());
    EXPECT_EQ(root.at("odd").kind, 1u);
}

TEST(PackDirectoryTest, EveryTruncationIsCorrupt) {
    const std::string pack = SmallPack();
    for (std::size_t length = 0; length < pack.size(); ++length) {
        EXPECT_TRUE(CorruptText(pack.substr(0, length)).starts_with(kCorrupt)) << length;
    }
}

TEST(PackDirectoryTest, AStreamShorterThanItsFileSizeIsCorrupt) {
    const std::string pack = SmallPack();
    std::istringstream in(pack.substr(0, 40));
    EXPECT_THROW(ReadPackDirectory(in, pack.size(), "test.boo"), Exception);
}

TEST(PackDirectoryTest, CountsAndLengthsBeyondTheFileAreCorrupt) {
    const std::string padding(200, '\0');
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"huge top-level count", PackBytes().Header(0xffffffff).Data(padding).bytes},
        {"top-level count one past the records",
         PackBytes().Header(2).Record("a", true, 0, 0, 0, 0).bytes},
        {"huge child count",
         PackBytes().Header(1).Record("a", true, 0, 0, 0, 0xffffffff).Data(padding).bytes},
        {"huge name length", PackBytes().Header(1).U32(0xffffffff).Data(padding).bytes},
        {"name length one past the file", PackBytes().Header(1).U32(5).Data("abcd").bytes},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(CorruptText(c.bytes).starts_with(kCorrupt)) << c.what;
    }
}

TEST(PackDirectoryTest, FilesMustLieInsideThePack) {
    // 8 + 22 bytes of directory, then 10 bytes of data: 40 in all.
    const auto pack = [](uint32_t offset, uint32_t size, uint32_t kind, bool folder = false) {
        return PackBytes()
            .Header(1)
            .Record("f", folder, offset, size, kind, 0)
            .Data(std::string(10, 'x'))
            .bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
        bool corrupt;
    } cases[] = {
        {"stored file filling the data", pack(30, 10, PackEntry::kStored), false},
        {"empty stored file at the end", pack(40, 0, PackEntry::kStored), false},
        {"stored file one byte too long", pack(30, 11, PackEntry::kStored), true},
        {"stored file past the end", pack(41, 0, PackEntry::kStored), true},
        {"offset and size overflowing 32 bits", pack(0xfffffff0, 0x20, PackEntry::kStored), true},
        {"compressed file at the last byte", pack(39, 1000, PackEntry::kBzip2), false},
        {"compressed file at the end", pack(40, 1000, PackEntry::kBzip2), true},
        {"unknown kind anywhere", pack(0xffffffff, 0xffffffff, 1), false},
        {"folder with any offset", pack(0xffffffff, 0xffffffff, 0, true), false},
    };
    for (const auto& c : cases) {
        if (c.corrupt) {
            EXPECT_TRUE(CorruptText(c.bytes).starts_with(kCorrupt)) << c.what;
        } else {
            EXPECT_NO_THROW(Read(c.bytes)) << c.what;
        }
    }
}

TEST(PackDirectoryTest, NestingIsBounded) {
    const auto chain = [](int depth) {
        PackBytes pack;
        pack.Header(1);
        for (int level = 1; level < depth; ++level) {
            pack.Record("f", true, 0, 0, 0, 1);
        }
        return pack.Record("leaf", false, 0, 0, PackEntry::kStored, 0).bytes;
    };
    std::map<std::string, PackEntry> root = Read(chain(kMaxPackDepth));
    const PackEntry* entry = &root.at("f");
    for (int level = 2; level < kMaxPackDepth; ++level) {
        entry = &entry->children.at("f");
    }
    EXPECT_EQ(entry->children.count("leaf"), 1u);

    EXPECT_TRUE(CorruptText(chain(kMaxPackDepth + 1)).starts_with(kCorrupt));
    // Far deeper than any stack would take by recursion.
    EXPECT_TRUE(CorruptText(chain(200000)).starts_with(kCorrupt));
}

TEST(PackDirectoryTest, ARepeatedNameKeepsTheFirstEntryAndReadsOn) {
    const std::string pack = PackBytes()
                                 .Header(3)
                                 .Record("dup", true, 0, 0, 0, 1)
                                 .Record("first", false, 0, 0, PackEntry::kStored, 0)
                                 .Record("dup", true, 0, 0, 0, 1)
                                 .Record("second", false, 0, 0, PackEntry::kStored, 0)
                                 .Record("next", false, 0, 0, PackEntry::kStored, 0)
                                 .bytes;
    const std::map<std::string, PackEntry> root = Read(pack);
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(root.at("dup").children.size(), 1u);
    EXPECT_EQ(root.at("dup").children.count("first"), 1u);
    EXPECT_EQ(root.count("next"), 1u);
}

TEST(PackDirectoryTest, RandomAndDamagedBytesGiveATreeOrAClearError) {
    std::mt19937 random(20240611);
    const auto tryRead = [](const std::string& bytes) {
        try {
            Read(bytes);
        } catch (const Exception& error) {
            EXPECT_TRUE(std::string(error.Text()).starts_with(kCorrupt)) << error.Text();
        }
    };
    for (int i = 0; i < 300; ++i) {
        std::string bytes(random() % 300, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        // Small counts now and then, so that records get read too.
        if (bytes.size() >= 8 && i % 2 == 0) {
            bytes[4] = static_cast<char>(random() % 4);
            bytes[5] = bytes[6] = bytes[7] = 0;
        }
        tryRead(bytes);
    }
    const std::string pack = SmallPack();
    for (int i = 0; i < 300; ++i) {
        std::string damaged = pack;
        for (int flips = 1 + random() % 3; flips > 0; --flips) {
            damaged[random() % damaged.size()] = static_cast<char>(random());
        }
        tryRead(damaged);
    }
}

TEST(PackDirectoryTest, MountPackOfACorruptPackThrowsAndLeavesNoEntries) {
    TempFolder folder;
    folder.Write("good.boo", SmallPack());
    const std::string bad = SmallPack().substr(0, 30);
    folder.Write("bad.boo", bad);
    FileSystem files;
    files.MountPack(folder / "good.boo");
    ASSERT_NE(files.FindEntry("a.txt"), nullptr);
    try {
        files.MountPack(folder / "bad.boo");
        FAIL() << "no error for a corrupt pack";
    } catch (const Exception& error) {
        EXPECT_TRUE(std::string(error.Text()).starts_with("Pack " + (folder / "bad.boo")))
            << error.Text();
    }
    EXPECT_TRUE(files.PackRoot().empty());
}

TEST(PackDirectoryTest, AMissingPackIsNoError) {
    TempFolder folder;
    folder.MakeFolder("folder.boo");
    FileSystem files;
    EXPECT_NO_THROW(files.MountPack(folder / "missing.boo"));
    EXPECT_NO_THROW(files.MountPack(folder / "folder.boo"));
    EXPECT_TRUE(files.PackRoot().empty());
}

} // namespace
