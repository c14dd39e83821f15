#include "engine/Random.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using ProfilesTest = WorldTest;

TEST_F(ProfilesTest, CreatingAProfileMakesItCurrentAndRemembersIt) {
    SeedRandom(1);
    ASSERT_TRUE(Player::CreateProfile(2, "Ann"));
    EXPECT_EQ(CurrentPlayer, &PlayerProfiles[2]);
    EXPECT_EQ(CurrentPlayerIndex, 2);
    EXPECT_EQ(CurrentPlayer->GetRandomId(), 16838);
    EXPECT_EQ(PlayerBytes("last.pla"), "2");
    EXPECT_EQ(PlayerBytes("2.pla").substr(0, 12), "16838\r\nAnn\r\n");
}

TEST_F(ProfilesTest, CreatingOverAnExistingProfileKeepsItsProgressUnderTheNewName) {
    MakeProfile(1, "Old").SetFlag("z1", "a", 3);
    ASSERT_TRUE(Player::CreateProfile(1, "New"));
    EXPECT_EQ(CurrentPlayer->GetName(), "New");
    EXPECT_EQ(CurrentPlayer->GetFlag("z1:a"), 3);
}

TEST_F(ProfilesTest, NamesAreLoadedForEverySlotWithTheLastPlayer) {
    MakeProfile(0, "Ann");
    MakeProfile(3, "Dee");
    ResetWorldGlobals();
    Player::LoadNames();
    const std::vector<std::string> names = {Player::GetProfileName(0), Player::GetProfileName(1),
                                            Player::GetProfileName(2), Player::GetProfileName(3),
                                            Player::GetProfileName(4)};
    EXPECT_EQ(names, (std::vector<std::string>{"Ann", "", "", "Dee", ""}));
    EXPECT_EQ(Player::GetLastPlayerIndex(), 3);
    EXPECT_EQ(Player::GetProfileName(5), "");
    EXPECT_EQ(Player::GetProfileName(-1), "");
}

TEST_F(ProfilesTest, OnlyAProfileWithANameCanBeSelected) {
    MakeProfile(0, "Ann");
    WritePlayerBytes("1.pla", OnDisk("7\n\n0\n0\n1\n1\n(inventory\n )(inventoryBack\n )"
                                     "(permanentSlots\n )(mapPieces\n0\n )(energy\n0\n )"
                                     "(actWorld\n0\n )(lastLevelId\nunknown\n )"));
    ResetWorldGlobals();
    EXPECT_TRUE(Player::SelectProfile(0));
    EXPECT_EQ(CurrentPlayerIndex, 0);
    EXPECT_FALSE(Player::SelectProfile(1)); // a file with an empty name
    EXPECT_FALSE(Player::SelectProfile(2)); // no file
    EXPECT_EQ(CurrentPlayerIndex, 0);
    EXPECT_EQ(PlayerBytes("last.pla"), "0");
    for (const int outside : {-1, 5, 1000}) {
        EXPECT_FALSE(Player::SelectProfile(outside));
        EXPECT_FALSE(Player::CreateProfile(outside, "X"));
    }
    EXPECT_EQ(PlayerFolder(), (std::vector<std::string>{"0.pla", "1.pla", "last.pla"}));
}

TEST_F(ProfilesTest, LastPlaNamesAProfileSlotOrNone) {
    const std::pair<std::string, int> cases[] = {
        {"3", 3},  {" 4\r\n", 4}, {"0", 0},      {"5", -1},           {"-1", -1},
        {"x", -1}, {"", -1},      {"2 junk", 2}, {"99999999999", -1},
    };
    for (const auto& [bytes, index] : cases) {
        WritePlayerBytes("last.pla", bytes);
        LoadLastPlayer();
        EXPECT_EQ(LastPlayerIndex, index) << bytes;
    }
    std::filesystem::remove(Players("last.pla"));
    LastPlayerIndex = 2;
    LoadLastPlayer();
    EXPECT_EQ(LastPlayerIndex, -1);
}

TEST_F(ProfilesTest, DeletingAProfileRemovesItsSaveGamesAndThenItsFile) {
    MakeProfile(0, "Ann");
    MakeProfile(1, "Bo").SetFlag("z1", "a", 1);
    for (const char* name : {"1.sav", "1_quick.sav", "0.sav"}) {
        WritePlayerBytes(name, "save");
    }
    Player::DeleteProfile(1);
    EXPECT_EQ(PlayerFolder(), (std::vector<std::string>{"0.pla", "0.sav", "last.pla"}));
    EXPECT_EQ(CurrentPlayer, nullptr);
    EXPECT_EQ(CurrentPlayerIndex, -1);
    EXPECT_EQ(Player::GetProfileName(1), "");
    EXPECT_EQ(Player::GetProfileName(0), "Ann");
    EXPECT_TRUE(PlayerProfiles[1].Flags().empty());
}

TEST_F(ProfilesTest, AProfileWhoseSaveGamesCannotGoStays) {
    MakeProfile(1, "Bo");
    std::filesystem::create_directory(Players("1_quick.sav")); // cannot be deleted as a file
    WritePlayerBytes("1.sav", "save");
    Player::DeleteProfile(1);
    EXPECT_TRUE(PlayerFileExists("1.pla"));
    EXPECT_FALSE(PlayerFileExists("1.sav"));
    EXPECT_EQ(Player::GetProfileName(1), "Bo");
    EXPECT_EQ(CurrentPlayer, nullptr);
}

TEST_F(ProfilesTest, DeletingAFreeOrForeignSlotDoesNoHarm) {
    MakeProfile(0, "Ann");
    Player::DeleteProfile(3);
    Player::DeleteProfile(-1);
    Player::DeleteProfile(5);
    EXPECT_EQ(Player::GetProfileName(0), "Ann");
    EXPECT_TRUE(PlayerFileExists("0.pla"));
}

} // namespace
