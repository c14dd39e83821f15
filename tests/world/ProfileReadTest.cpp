#include "tests/support/LogCapture.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/ProgressSections.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>

namespace {

class ProfileReadTest : public WorldTest {
protected:
    // A profile with flags, items, tools and counters, as written by the game.
    std::string FullProfile() {
        Player& player = MakeProfile(3, "Cy");
        player.SetFlag("z1-swamp", "door_killed", 1);
        player.SetFlag("z1 swamp", "old door_killed", 7);
        player.AddItemToSlot("coin1", 2);
        player.AddItemToSlot("coin2", 2);
        player.CopyInventoryToBack();
        player.AddItemToSlot("key", 5);
        player.SetPermanentCount(4, 3);
        player.AddMapPieces(6, true);
        player.AddEnergy(12, false);
        player.StartNextAct();
        player.SetLastLevelId("z1 swamp");
        return PlayerBytes("3.pla");
    }

    // Profile 3 read from these bytes into a fresh record.
    Player Read(std::string_view bytes) {
        WritePlayerBytes("3.pla", bytes);
        Player player;
        player.Load(3, false);
        return player;
    }
};

TEST_F(ProfileReadTest, MissingValuesTakeTheirDefaults) {
    const Player player = Read(OnDisk("5\nDee\n1\n0\n1\n1\n"
                                      "(z1:a)\n"
                                      "(inventory\n(slot 0 key)(slot 1)\n )"
                                      "(inventoryBack\n\n )"
                                      "(permanentSlots\n(slot 1)\n )"
                                      "(mapPieces\n )(energy\n )(actWorld\n )(lastLevelId\n )"));
    EXPECT_EQ(player.GetName(), "Dee");
    EXPECT_EQ(player.Flags().at("z1:a"), 0);
    EXPECT_EQ(player.GetInventorySlot(0), (InventorySlot{"key", 0}));
    EXPECT_EQ(player.GetMapPieces(), 0);
    EXPECT_EQ(player.GetEnergy(), 0);
    EXPECT_EQ(player.GetLastLevelId(), "unknown");
    EXPECT_EQ(player.GetFileCondition(), Player::FileCondition::Whole);
    EXPECT_FALSE(PlayerFileExists("3.pla.damaged"));
}

// A free slot's item is written as nothing, so a count written after it would read back as an
// item of that name: whatever count a free slot was given, it reads back free and holding nothing.
TEST_F(ProfileReadTest, FreeSlotsReadBackFreeAndAreWrittenSoAgain) {
    for (const char* written : {"(slot 1  0)", "(slot 1)", "(slot 1 0 3)", "(slot 1 \"\" 3)"}) {
        SCOPED_TRACE(written);
        Player player = Read(OnDisk(std::string("5\nDee\n1\n0\n1\n1\n"
                                                "(inventory\n(slot 0 key 2)") +
                                    written +
                                    "\n )(inventoryBack\n\n )(permanentSlots\n\n )"
                                    "(mapPieces\n0\n )(energy\n0\n )(actWorld\n0\n )"
                                    "(lastLevelId\nz1\n )"));
        ASSERT_EQ(player.GetFileCondition(), Player::FileCondition::Whole);
        EXPECT_TRUE(player.IsInventorySlotEmpty(1));
        EXPECT_EQ(player.GetInventorySlot(1).count, 0);
        ASSERT_TRUE(player.Save());
        Player again = Read(PlayerBytes("3.pla"));
        ASSERT_EQ(again.GetFileCondition(), Player::FileCondition::Whole);
        EXPECT_TRUE(again.IsInventorySlotEmpty(1));
        EXPECT_EQ(again.GetInventorySlot(0), (InventorySlot{"key", 2}));
        // The next item the slot takes is one of it.
        again.AddItemToSlot("acorn", 1);
        EXPECT_EQ(again.GetInventorySlot(1), (InventorySlot{"acorn", 1}));
    }
    // Written from a free slot that still counts something, the slot is written free.
    std::array<InventorySlot, Player::kInventorySlots> slots{};
    slots[1] = {"", 3};
    slots[2] = {"0", 4};
    std::string text;
    AppendSlots(text, slots);
    EXPECT_NE(text.find("(slot 1  0)(slot 2 0 0)"), std::string::npos) << text;
}

TEST_F(ProfileReadTest, TheNameLineLosesTheCrOfItsLineBreakOnly) {
    EXPECT_EQ(Read(FullProfile()).GetName(), "Cy");
    const std::string bytes = FullProfile();
    EXPECT_EQ(Read("1\r\n  Ann  Lee \r\n" + bytes.substr(bytes.find("0\r\n"))).GetName(),
              "  Ann  Lee ");
    EXPECT_EQ(Read("1\nUnix\n" + bytes.substr(bytes.find("0\r\n"))).GetName(), "Unix");
}

TEST_F(ProfileReadTest, TheActIsKeptWithinTheSixActs) {
    const std::string bytes = FullProfile();
    const std::size_t act = bytes.find("(actWorld\r\n1\r\n )");
    ASSERT_NE(act, std::string::npos);
    for (const auto& [written, read] : {std::pair{"9", 5}, {"-2", 0}, {"5", 5}, {"0", 0}}) {
        std::string changed = bytes;
        changed.replace(act, 16, std::string("(actWorld\r\n") + written + "\r\n )");
        const Player player = Read(changed);
        EXPECT_EQ(player.GetActWorld(), read) << written;
        EXPECT_EQ(player.GetFileCondition(), Player::FileCondition::Whole);
    }
}

TEST_F(ProfileReadTest, AProfileCutShortAnywhereReadsAsDamagedAndStaysOnDisk) {
    const std::string full = FullProfile();
    const Player whole = Read(full);
    ASSERT_EQ(whole.GetFileCondition(), Player::FileCondition::Whole);
    ASSERT_EQ(whole.Flags().size(), 2u);
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        const std::string prefix = full.substr(0, size);
        const Player player = Read(prefix);
        ASSERT_EQ(player.GetFileCondition(), Player::FileCondition::KeptAside);
        EXPECT_EQ(PlayerBytes("3.pla"), prefix);
        EXPECT_EQ(PlayerBytes("3.pla.damaged"), prefix);
    }
}

TEST_F(ProfileReadTest, DamageOtherThanCuttingIsFoundToo) {
    const std::string full = FullProfile();
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = full;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return changed.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> damage[] = {
        {"(mapPieces\r\n6", "(mapPieces\r\nsix"},
        {"(z1-swamp:door_killed 1)", "(z1-swamp:door_killed 1x)"},
        {"(slot 2 coin2 2)", "(slot 9 coin2 2)"},
        {"(slot 2 coin2 2)", "(slot 2 ..\\..\\coin2 2)"},
        {"(slot 3 4)", "(slot 4 4)"},
        {"(energy\r\n", "stray (energy\r\n"},
        {"16838", "x16838"},
        {"(inventoryBack", "(inventoryBak"},
    };
    for (const auto& [from, to] : damage) {
        SCOPED_TRACE(to);
        const std::string bytes = replaced(from, to);
        EXPECT_EQ(Read(bytes).GetFileCondition(), Player::FileCondition::KeptAside);
        EXPECT_EQ(PlayerBytes("3.pla.damaged"), bytes);
    }
}

TEST_F(ProfileReadTest, ADamagedProfileKeepsWhatItCouldReadAndIsSavedWholeAgain) {
    const std::string full = FullProfile();
    const std::string cut = full.substr(0, full.find("(slot 3  0)"));
    WritePlayerBytes("3.pla", cut);
    LogCapture log;
    ASSERT_TRUE(Player::SelectProfile(3));
    EXPECT_NE(log.Text().find("Damaged profile 3.pla: it has no (inventoryBack) list"),
              std::string::npos)
        << log.Text();
    EXPECT_NE(log.Text().find("kept as"), std::string::npos);
    EXPECT_EQ(CurrentPlayer->GetName(), "Cy");
    EXPECT_EQ(CurrentPlayer->Flags().size(), 2u);
    EXPECT_EQ(CurrentPlayer->GetInventorySlot(2), (InventorySlot{"coin2", 2}));

    CurrentPlayer->SetFlag("z1", "next", 1);
    EXPECT_EQ(CurrentPlayer->GetFileCondition(), Player::FileCondition::Whole);
    EXPECT_EQ(PlayerBytes("3.pla.damaged"), cut);
    Player read;
    read.Load(3, false);
    EXPECT_EQ(read.GetFileCondition(), Player::FileCondition::Whole);
    EXPECT_EQ(read.Flags().size(), 3u);
}

TEST_F(ProfileReadTest, WithoutACopyADamagedProfileIsNeverSavedOverNorOfferedAsFree) {
    const std::string full = FullProfile();
    const std::string cut = full.substr(0, 3); // even the name is lost
    WritePlayerBytes("3.pla", cut);
    // The copy cannot be made where a folder of its name stands.
    std::filesystem::create_directory(Players("3.pla.damaged"));
    ResetWorldGlobals();
    InstallHooks();
    Player::LoadNames();
    Player& profile = PlayerProfiles[3];
    EXPECT_EQ(profile.GetFileCondition(), Player::FileCondition::Untouchable);

    EXPECT_FALSE(profile.Save());
    EXPECT_FALSE(Player::CreateProfile(3, "New"));
    EXPECT_EQ(CurrentPlayer, nullptr);
    EXPECT_FALSE(Player::SelectProfile(3));
    CurrentPlayer->SetFlag("z1", "x", 1);
    EXPECT_EQ(PlayerBytes("3.pla"), cut);

    // Once the copy can be made, the slot is the player's again.
    std::filesystem::remove(Players("3.pla.damaged"));
    EXPECT_TRUE(Player::CreateProfile(3, "New"));
    EXPECT_EQ(PlayerBytes("3.pla.damaged"), cut);
    EXPECT_NE(PlayerBytes("3.pla").find("New"), std::string::npos);
}

TEST_F(ProfileReadTest, AnUnreadableProfileIsNeverSavedOver) {
    std::filesystem::create_directory(Players("3.pla"));
    Player player;
    EXPECT_FALSE(player.Load(3, true));
    EXPECT_EQ(player.GetFileCondition(), Player::FileCondition::Untouchable);
    EXPECT_FALSE(player.Save());
    EXPECT_TRUE(std::filesystem::is_directory(Players("3.pla")));
}

TEST_F(ProfileReadTest, ProfilesAreReadInThePlayerFolderAlone) {
    // A profile among the data or in the current folder is no player's.
    const std::string bytes = FullProfile();
    std::filesystem::remove(Players("3.pla"));
    WriteData("3.pla", bytes);
    WriteData("players/3.pla", bytes);
    folder.Write("3.pla", bytes);
    Player player;
    EXPECT_FALSE(player.Load(3, false));
    EXPECT_EQ(player.GetName(), "");
}

} // namespace
