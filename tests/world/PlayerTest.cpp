#include "world/Player.h"

#include "engine/Random.h"
#include "media/SoundManager.h"
#include "tests/support/LogCapture.h"
#include "tests/world/WorldFixture.h"
#include "world/GameSettings.h"
#include "world/NormalLevelSystem.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

// The profile file of the state that KnownProfile builds, written from the file's layout.
const std::string kKnownProfile = OnDisk("16838\n"
                                         "Ann Lee\n"
                                         "1\n"
                                         "0\n"
                                         "0.5\n"
                                         "0.75\n"
                                         "(\"global:old door\" 2)\n"
                                         "(z1-swamp:door_killed 1)\n"
                                         "(inventory\n"
                                         "(slot 0 key 1)(slot 1 coin2 2)(slot 2  0)(slot 3  0)"
                                         "(slot 4  0)(slot 5  0)(slot 6  0)(slot 7 \"old coin\" 1)"
                                         "\n )"
                                         "(inventoryBack\n"
                                         "(slot 0 key 1)(slot 1  0)(slot 2  0)(slot 3  0)"
                                         "(slot 4  0)(slot 5  0)(slot 6  0)(slot 7  0)"
                                         "\n )"
                                         "(permanentSlots\n"
                                         "(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 2)"
                                         "\n )"
                                         "(mapPieces\n3\n )"
                                         "(energy\n-5\n )"
                                         "(actWorld\n0\n )"
                                         "(lastLevelId\nz1-swamp\n )");

class PlayerTest : public WorldTest {
protected:
    // Profile 2, "Ann Lee", made with the random generator seeded 1, with a little of everything.
    Player& KnownProfile() {
        SeedRandom(1);
        Player& player = MakeProfile(2, "Ann Lee");
        player.SetFlag("z1-swamp", "door_killed", 1);
        player.SetFlag("global", "old door", 2);
        player.AddItemToSlot("key", 0);
        player.AddItemToSlot("coin1", 1);
        player.AddItemToSlot("coin2", 1);
        player.AddItemToSlot("old coin", 7);
        player.SetInventoryBackSlot("key", 1, 0);
        player.AddPermanentItem(1, 0);
        player.SetPermanentCount(2, 3);
        player.AddMapPieces(3, true);
        player.AddEnergy(-5, false);
        GameSettings.fullScreen = true;
        GameSettings.musicVolume = 0.5f;
        GameSettings.soundVolume = 0.75f;
        player.SetLastLevelId("z1-swamp");
        return player;
    }

    // The inventory as "item:count" words, free slots as "-".
    static std::string Inventory(const Player& player) {
        std::string text;
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            const InventorySlot slot = player.GetInventorySlot(i);
            text += (i ? " " : "") +
                    (IsFreeItem(slot.item) ? "-" : slot.item + ":" + std::to_string(slot.count));
        }
        return text;
    }

    // Fills the inventory slots with (item, count), saving as the game would.
    static void Fill(Player& player, const std::vector<InventorySlot>& slots) {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            for (int32_t n = 0; n < slots[i].count; ++n) {
                player.AddItemToSlot(slots[i].item, static_cast<int>(i));
            }
        }
    }
};

// ---------------------------------------------------------------------------------------------
// The file

TEST_F(PlayerTest, AKnownProfileIsWrittenByteForByteAsItsLayout) {
    KnownProfile();
    EXPECT_EQ(PlayerBytes("2.pla"), kKnownProfile);
}

TEST_F(PlayerTest, AWrittenProfileReadsBackToTheSameState) {
    const Player written = KnownProfile();
    Player read;
    ASSERT_TRUE(read.Load(2, false));
    EXPECT_EQ(read.GetFileCondition(), Player::FileCondition::Whole);
    EXPECT_EQ(read.GetRandomId(), 16838);
    EXPECT_EQ(read.GetName(), "Ann Lee");
    EXPECT_EQ(read.Flags(), written.Flags());
    for (int i = 0; i < Player::kInventorySlots; ++i) {
        // A free slot comes back as the item "0".
        const InventorySlot slot = written.GetInventorySlot(i);
        const InventorySlot back = written.GetInventoryBackSlot(i);
        EXPECT_EQ(read.GetInventorySlot(i).item, slot.item.empty() ? "0" : slot.item);
        EXPECT_EQ(read.GetInventorySlot(i).count, slot.count);
        EXPECT_EQ(read.GetInventoryBackSlot(i).item, back.item.empty() ? "0" : back.item);
        EXPECT_EQ(read.GetInventoryBackSlot(i).count, back.count);
    }
    for (int i = 0; i < Player::kPermanentSlots; ++i) {
        EXPECT_EQ(read.GetPermanentCount(i), written.GetPermanentCount(i));
    }
    EXPECT_EQ(read.GetMapPieces(), 3);
    EXPECT_EQ(read.GetEnergy(), -5);
    EXPECT_EQ(read.GetActWorld(), 0);
    EXPECT_EQ(read.GetLastLevelId(), "z1-swamp");
}

TEST_F(PlayerTest, EveryChangeIsOnDiskAtOnce) {
    Player& player = MakeProfile(0, "Bo");
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"SetFlag", [&] { player.SetFlag("z1", "a", 5); }},
        {"AddItemToSlot", [&] { player.AddItemToSlot("key", 0); }},
        {"SetInventoryBackSlot", [&] { player.SetInventoryBackSlot("lamp", 2, 3); }},
        {"CopyInventoryToBack", [&] { player.CopyInventoryToBack(); }},
        {"AddItemToSlot again", [&] { player.AddItemToSlot("key", 0); }},
        {"CopyBackToInventory", [&] { player.CopyBackToInventory(); }},
        {"SetPermanentCount", [&] { player.SetPermanentCount(4, 1); }},
        {"AddPermanentItem", [&] { player.AddPermanentItem(1, 1); }},
        {"RemovePermanentItem", [&] { player.RemovePermanentItem(2, 1); }},
        {"AddMapPieces", [&] { player.AddMapPieces(2, true); }},
        {"AddEnergy", [&] { player.AddEnergy(3, false); }},
        {"StartNextAct", [&] { player.StartNextAct(); }},
        {"SetLastLevelId", [&] { player.SetLastLevelId("z2"); }},
        {"RemoveInventoryItem", [&] { player.RemoveInventoryItem("key"); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        const std::string before = PlayerBytes("0.pla");
        change();
        EXPECT_NE(PlayerBytes("0.pla"), before);
        Player read;
        read.Load(0, false);
        EXPECT_EQ(read.Flags(), player.Flags());
        EXPECT_EQ(Inventory(read), Inventory(player));
        EXPECT_EQ(read.GetPermanentCount(1), player.GetPermanentCount(1));
        EXPECT_EQ(read.GetEnergy(), player.GetEnergy());
        EXPECT_EQ(read.GetActWorld(), player.GetActWorld());
        EXPECT_EQ(read.GetLastLevelId(), player.GetLastLevelId());
    }
}

TEST_F(PlayerTest, ProfileNamesMayHoldAnythingButControlCharacters) {
    Player& player = MakeProfile(1, "(Zo\xC3\xAB) [#1] \"x\"");
    player.SetFlag("z1", "a", 1);
    Player read;
    ASSERT_TRUE(read.Load(1, false));
    EXPECT_EQ(read.GetFileCondition(), Player::FileCondition::Whole);
    EXPECT_EQ(read.GetName(), "(Zo\xC3\xAB) [#1] \"x\"");
    EXPECT_EQ(read.Flags(), player.Flags());

    EXPECT_FALSE(Player::CreateProfile(2, "two\nlines"));
    EXPECT_FALSE(Player::CreateProfile(2, "cr\r"));
    EXPECT_FALSE(PlayerFileExists("2.pla"));
    EXPECT_EQ(CurrentPlayer, &player);
}

// ---------------------------------------------------------------------------------------------
// Flags

TEST_F(PlayerTest, AFlagIsKeyedByScopeAndName) {
    Player& player = MakeProfile(0, "Bo");
    player.SetFlag("z1-swamp", "door_killed", 1);
    player.SetFlag("global", "intro", -3);
    player.SetFlag("z1-swamp", "door_killed", 4);
    EXPECT_EQ(player.GetFlag("z1-swamp:door_killed"), 4);
    EXPECT_EQ(player.GetFlag("global:intro"), -3);
    EXPECT_EQ(player.Flags().size(), 2u);
}

TEST_F(PlayerTest, ReadingAnUnsetFlagEntersItWithZeroForTheNextSave) {
    Player& player = MakeProfile(0, "Bo");
    EXPECT_EQ(player.GetFlag("z1:never"), 0);
    EXPECT_EQ(player.Flags().count("z1:never"), 1u);
    EXPECT_EQ(PlayerBytes("0.pla").find("z1:never"), std::string::npos);
    player.SetFlag("z1", "other", 1);
    EXPECT_NE(PlayerBytes("0.pla").find("(z1:never 0)\r\n"), std::string::npos);
}

TEST_F(PlayerTest, FlagsThatCouldNotBeReadBackAreRefused) {
    Player& player = MakeProfile(0, "Bo");
    const std::string before = PlayerBytes("0.pla");
    LogCapture log;
    player.SetFlag("z1", "bad\nname", 1);
    player.SetFlag("z1\r", "x", 1);
    EXPECT_EQ(player.GetFlag("z1:bad\tname"), 0);
    // A key without a scope would read back as one of the profile's own lists.
    EXPECT_EQ(player.GetFlag("energy"), 0);
    EXPECT_TRUE(player.Flags().empty());
    EXPECT_EQ(PlayerBytes("0.pla"), before);
    EXPECT_NE(log.Text().find("cannot be stored"), std::string::npos);
}

TEST_F(PlayerTest, FlagsAreWrittenInByteOrderOfTheirKeys) {
    Player& player = MakeProfile(0, "Bo");
    for (const char* name : {"b", "B", "a", "\xC3\xA9", "_"}) {
        player.SetFlag("z", name, 1);
    }
    const std::string bytes = PlayerBytes("0.pla");
    std::vector<std::size_t> at;
    for (const char* key : {"z:B", "z:_", "z:a", "z:b", "z:\xC3\xA9"}) {
        at.push_back(bytes.find(std::string("(") + key + " 1)"));
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(std::find(at.begin(), at.end(), std::string::npos), at.end());
}

// ---------------------------------------------------------------------------------------------
// Inventory and stacking

TEST(ItemBaseName, IsTheTextBeforeTheFirstCharacterOutsideLettersSpaceUnderscoreAndHyphen) {
    const std::pair<const char*, const char*> cases[] = {
        {"coin1", "coin"}, {"old coin-2", "old coin-"},
        {"key", "key"},    {"library_book3", "library_book"},
        {"7up", ""},       {"", ""},
        {"a.b", "a"},      {"Zz Top_-x", "Zz Top_-x"},
    };
    for (const auto& [item, base] : cases) {
        EXPECT_EQ(ItemBaseName(item), base) << item;
    }
}

struct AddCase {
    const char* what;
    std::vector<InventorySlot> before;
    const char* item;
    int slot;
    const char* after;
};

TEST_F(PlayerTest, AddingAnItemToASlot) {
    const AddCase cases[] = {
        {"free slot takes the name", {}, "key", 0, "key:1 - - - - - - -"},
        {"same base name stacks and renames", {{"coin1", 1}}, "coin2", 0, "coin2:2 - - - - - - -"},
        {"equal name stacks", {{"key", 2}}, "key", 0, "key:3 - - - - - - -"},
        {"unrelated item only raises the count", {{"key", 1}}, "lamp", 0, "key:2 - - - - - - -"},
        {"the item's base name leading the slot's item renames it",
         {{"coinage", 1}},
         "coin",
         0,
         "coin:2 - - - - - - -"},
        {"the last slot", {}, "lamp", 7, "- - - - - - - lamp:1"},
        {"a negative slot is nothing", {}, "lamp", -1, "- - - - - - - -"},
        {"a slot past the bar is nothing", {}, "lamp", 8, "- - - - - - - -"},
        {"a free slot's name is no item", {}, "0", 0, "- - - - - - - -"},
        {"an item that would leave its folder", {}, "../x", 0, "- - - - - - - -"},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        Player& player = MakeProfile(0, "Bo");
        Fill(player, c.before);
        player.AddItemToSlot(c.item, c.slot);
        EXPECT_EQ(Inventory(player), c.after);
    }
}

struct CountCase {
    std::vector<InventorySlot> slots;
    const char* item;
    int32_t count;
    bool room;
};

TEST_F(PlayerTest, CountingItemsAndRoomForThemGoByBaseName) {
    const std::vector<InventorySlot> full = {{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1},
                                             {"e", 1}, {"f", 1}, {"g", 1}, {"coin1", 3}};
    const CountCase cases[] = {
        {{}, "key", 0, true},
        {{{"coin1", 2}, {"coin2", 1}}, "coin9", 3, true},
        {{{"coin1", 2}}, "coin", 2, true},
        // Either base name leading the other's item is enough: "coin" leads "coinage", "key"
        // leads "keys", and "c" leads "coin7".
        {{{"coinage", 1}}, "coin1", 1, true},
        {{{"key", 1}}, "keys", 1, true},
        {{{"keys", 2}}, "key", 2, true},
        {{{"lamp", 1}}, "key", 0, true},
        {full, "coin7", 4, true},
        {full, "key", 0, false},
        {full, "a", 1, true},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.item);
        StartAgain();
        Player& player = MakeProfile(0, "Bo");
        Fill(player, c.slots);
        EXPECT_EQ(player.CountItem(c.item), c.count);
        EXPECT_EQ(player.HasRoomForItem(c.item), c.room);
    }
}

struct RemoveCase {
    const char* what;
    std::vector<InventorySlot> before;
    const char* item;
    const char* after;
    std::vector<std::string> hooks;
};

TEST_F(PlayerTest, RemovingAnItemEmptiesEverySlotOfItsKindAndSaves) {
    const RemoveCase cases[] = {
        {"base name shared by two slots",
         {{"coin1", 1}, {"key", 1}, {"coin2", 2}},
         "coin5",
         "- key:1 - - - - - -",
         {"slot emptied 0", "slot emptied 2"}},
        {"a name that is its own base matches whole",
         {{"key", 1}, {"keyring", 1}},
         "key",
         "- keyring:1 - - - - - -",
         {"slot emptied 0"}},
        {"nothing of that kind", {{"key", 1}}, "lamp", "key:1 - - - - - - -", {}},
        {"an empty name removes nothing", {{"key", 1}}, "", "key:1 - - - - - - -", {}},
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        Player& player = MakeProfile(0, "Bo");
        Fill(player, c.before);
        const std::string before = PlayerBytes("0.pla");
        hookCalls.clear();
        player.RemoveInventoryItem(c.item);
        EXPECT_EQ(Inventory(player), c.after);
        EXPECT_EQ(hookCalls, c.hooks);
        EXPECT_EQ(PlayerBytes("0.pla") != before, !c.hooks.empty());
        Player read;
        read.Load(0, false);
        EXPECT_EQ(Inventory(read), c.after);
    }
}

TEST_F(PlayerTest, RemovingTheHeldItemTakesItOffTheCursor) {
    Player& player = MakeProfile(0, "Bo");
    Level& level = MakeGameLevel();
    player.AddItemToSlot("lamp", 4);
    level.levelSystem->heldItemName = "lamp";
    hookCalls.clear();
    player.RemoveInventoryItem("lamp");
    EXPECT_EQ(level.levelSystem->heldItemName, "");
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"hide", "slot emptied 4"}));

    player.AddItemToSlot("coin1", 0);
    level.levelSystem->heldItemName = "coin1";
    player.RemoveInventoryItem("coin2"); // the same kind, but not the held name
    EXPECT_EQ(level.levelSystem->heldItemName, "coin1");
}

TEST_F(PlayerTest, AFreeBackupSlotHoldsNothing) {
    Player& player = MakeProfile(0, "Bo");
    player.SetInventoryBackSlot("", 5, 2);
    player.SetInventoryBackSlot("0", 5, 3);
    player.SetInventoryBackSlot("key", 5, -1);
    player.SetInventoryBackSlot("key", 5, 8);
    Player read;
    read.Load(0, false);
    for (int i = 0; i < Player::kInventorySlots; ++i) {
        EXPECT_TRUE(IsFreeItem(read.GetInventoryBackSlot(i).item)) << i;
        EXPECT_EQ(read.GetInventoryBackSlot(i).count, 0) << i;
    }
}

TEST_F(PlayerTest, RefreshingTheInventoryRestoresTheBackupSavesAndRefillsTheHud) {
    Player& player = MakeProfile(0, "Bo");
    Level& level = MakeGameLevel();
    player.AddItemToSlot("key", 0);
    player.CopyInventoryToBack();
    player.AddItemToSlot("gear", 1);
    level.levelSystem->heldItemName = "gear";
    hookCalls.clear();
    RefreshInventorySlots();
    EXPECT_EQ(Inventory(player), "key:1 - - - - - - -");
    EXPECT_EQ(level.levelSystem->heldItemName, "");
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"hide", "refill"}));
    Player read;
    read.Load(0, false);
    EXPECT_EQ(Inventory(read), "key:1 - - - - - - -");
}

TEST_F(PlayerTest, ResetEmptiesTheProgressAndTheCursorButKeepsTheProfile) {
    Player& player = KnownProfile();
    Level& level = MakeGameLevel();
    level.levelSystem->heldItemName = "key";
    player.Reset();
    EXPECT_EQ(Inventory(player), "- - - - - - - -");
    EXPECT_TRUE(player.Flags().empty());
    EXPECT_EQ(player.GetMapPieces(), 0);
    EXPECT_EQ(player.GetEnergy(), 0);
    EXPECT_EQ(player.GetLastLevelId(), "unknown");
    EXPECT_EQ(player.GetPermanentCount(3), 0);
    EXPECT_EQ(player.GetName(), "Ann Lee");
    EXPECT_EQ(player.GetProfileNumber(), 2);
    EXPECT_EQ(player.GetRandomId(), 16838);
    EXPECT_EQ(level.levelSystem->heldItemName, "");
}

// ---------------------------------------------------------------------------------------------
// Tools, map pieces, energy and acts

TEST_F(PlayerTest, ToolSlotsOutsideTheFourAreIgnored) {
    Player& player = MakeProfile(0, "Bo");
    player.SetPermanentCount(5, 0);
    player.AddPermanentItem(2, 0);
    player.RemovePermanentItem(4, 0);
    player.AddPermanentItem(1, -1);
    player.SetPermanentCount(9, 4);
    EXPECT_EQ(player.GetPermanentCount(0), 3);
    EXPECT_EQ(player.GetPermanentCount(4), 0);
    EXPECT_EQ(player.GetPermanentCount(-1), 0);
}

struct MapPieceCase {
    int32_t start;
    int32_t add;
    bool silent;
    bool sound;
};

TEST_F(PlayerTest, TheAllMapPiecesSoundPlaysWhenTheTotalFirstReachesTen) {
    WriteData("ok.wav", "sample");
    WriteData("sounds.txt", "(set global (all_mappieces_collected ok.wav))");
    Sounds.LoadDefinitions("sounds.txt");
    const MapPieceCase cases[] = {
        {8, 3, false, true}, {9, 1, false, true},  {10, 1, false, false},
        {8, 3, true, false}, {5, 4, false, false}, {12, -5, false, false},
    };
    for (const MapPieceCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " + " + std::to_string(c.add));
        StartAgain();
        Player& player = MakeProfile(0, "Bo");
        player.AddMapPieces(c.start, true);
        const std::size_t played = audio.PlayedSamples().size();
        player.AddMapPieces(c.add, c.silent);
        EXPECT_EQ(player.GetMapPieces(), c.start + c.add);
        EXPECT_EQ(audio.PlayedSamples().size() - played, c.sound ? 1u : 0u);
    }
}

TEST_F(PlayerTest, EnergyWithItsEffectSendsTenSparksOverTheGauge) {
    Player& player = MakeProfile(0, "Bo");
    hookCalls.clear();
    player.AddEnergy(2, true);
    player.AddEnergy(-1, false);
    EXPECT_EQ(player.GetEnergy(), 1);
    const std::string file = "gfx\\fx\\hiddenObject_hili.prt";
    EXPECT_EQ(hookCalls,
              (std::vector<std::string>{"spark " + file + " 42,735", "spark " + file + " 27,699",
                                        "spark " + file + " 24,666", "spark " + file + " 39,637",
                                        "spark " + file + " 65,621", "spark " + file + " 102,628",
                                        "spark " + file + " 120,653", "spark " + file + " 117,687",
                                        "spark " + file + " 90,693", "spark " + file + " 83,696"}));
}

TEST_F(PlayerTest, CountsStopAtTheEndsOfTheirRange) {
    Player& player = MakeProfile(0, "Bo");
    player.AddEnergy(INT32_MAX, false);
    player.AddEnergy(INT32_MAX, false);
    EXPECT_EQ(player.GetEnergy(), INT32_MAX);
    player.AddMapPieces(INT32_MIN, true);
    player.AddMapPieces(-1, true);
    EXPECT_EQ(player.GetMapPieces(), INT32_MIN);
    player.SetPermanentCount(INT32_MIN, 2);
    player.RemovePermanentItem(INT32_MIN, 2); // taking away the lowest count adds its size
    EXPECT_EQ(player.GetPermanentCount(2), 0);
    player.RemovePermanentItem(INT32_MIN, 2);
    EXPECT_EQ(player.GetPermanentCount(2), INT32_MAX);
}

TEST_F(PlayerTest, EachActStartsWithNoEnergyAndTheActsEndAtTheSixth) {
    Player& player = MakeProfile(0, "Bo");
    const int32_t maxima[] = {27, 17, 20, 13, 13, 11, 11, 11};
    for (int act = 0; act < 8; ++act) {
        EXPECT_EQ(player.GetActWorld(), std::min(act, 5));
        EXPECT_EQ(player.GetEnergyMax(), maxima[act]);
        player.AddEnergy(4, false);
        player.StartNextAct();
        EXPECT_EQ(player.GetEnergy(), 0);
    }
    EXPECT_EQ(player.GetActWorld(), 5);
}

} // namespace
