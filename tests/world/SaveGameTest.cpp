#include "world/SaveGame.h"

#include "tests/support/LogCapture.h"
#include "tests/world/WorldFixture.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The save game of the state that KnownState builds, written from the file's layout.
const std::string kKnownSaveGame = OnDisk("(levelPath\nlevels\\z1-swamp.txt\n )\n"
                                          "(inventory\n"
                                          "(slot 0 key 1)(slot 1 coin2 2)(slot 2  0)(slot 3  0)"
                                          "(slot 4  0)(slot 5  0)(slot 6  0)(slot 7 \"old coin\" 1)"
                                          "\n ) \n"
                                          "(inventoryBack\n"
                                          "(slot 0 key 1)(slot 1 coin2 2)(slot 2  0)(slot 3  0)"
                                          "(slot 4  0)(slot 5  0)(slot 6  0)(slot 7 \"old coin\" 1)"
                                          "\n )\n"
                                          "(permanentSlots\n"
                                          "(slot 0 1)(slot 1 0)(slot 2 0)(slot 3 2)"
                                          "\n )\n"
                                          "(gamestates\n"
                                          "(\"global:old door\" 2)\n"
                                          "(z1-swamp:door_killed 1)\n"
                                          "\n )\n"
                                          "(itemspr\nlamp\n )\n"
                                          "(mapPieces\n3\n )"
                                          "(energy\n-5\n )"
                                          "(actWorld\n1\n )"
                                          "(lastLevelId\nz1-swamp\n )");

class SaveGameTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        WriteScene("z1-swamp");
        WriteScene("world-map", "map");
        WriteItemArt("lamp");
    }

    // Profile 2 with a little of everything, the game level on the swamp with a lamp held.
    Player& KnownState() {
        Player& player = MakeProfile(2, "Ann");
        player.SetFlag("z1-swamp", "door_killed", 1);
        player.SetFlag("global", "old door", 2);
        player.AddItemToSlot("key", 0);
        player.AddItemToSlot("coin1", 1);
        player.AddItemToSlot("coin2", 1);
        player.AddItemToSlot("old coin", 7);
        player.AddPermanentItem(1, 0);
        player.SetPermanentCount(2, 3);
        player.AddMapPieces(3, true);
        player.AddEnergy(-5, false);
        player.StartNextAct();
        player.AddEnergy(-5, false);
        player.SetLastLevelId("z1-swamp");
        Level& level = MakeGameLevel();
        level.levelPath = "levels\\z1-swamp.txt";
        level.levelSystem->heldItemName = "lamp";
        return player;
    }

    // Everything of the current profile and the cursor that a save game restores, as text.
    static std::string State() {
        const Player& player = *CurrentPlayer;
        std::string text;
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            const InventorySlot slot = player.GetInventorySlot(i);
            const InventorySlot back = player.GetInventoryBackSlot(i);
            text += (IsFreeItem(slot.item) ? "-" : slot.item) + ":" + std::to_string(slot.count) +
                    "/" + (IsFreeItem(back.item) ? "-" : back.item) + ":" +
                    std::to_string(back.count) + " ";
        }
        for (int i = 0; i < Player::kPermanentSlots; ++i) {
            text += "t" + std::to_string(player.GetPermanentCount(i)) + " ";
        }
        for (const auto& [key, value] : player.Flags()) {
            text += key + "=" + std::to_string(value) + " ";
        }
        text += "m" + std::to_string(player.GetMapPieces()) + " e" +
                std::to_string(player.GetEnergy()) + " a" + std::to_string(player.GetActWorld()) +
                " last=" + player.GetLastLevelId();
        if (GameLevel != nullptr) {
            text += " held=" + GameLevel->levelSystem->heldItemName;
        }
        return text;
    }

    // Loads the save game text as "2.sav" into the game level; the failure when refused.
    std::string LoadText(const std::string& bytes) {
        WritePlayerBytes("2.sav", bytes);
        std::string failure;
        if (!GameLevel->LoadGameState(PlayerFilePath("2.sav"), &failure)) {
            return failure.empty() ? "(refused without a reason)" : failure;
        }
        return "";
    }
};

// ---------------------------------------------------------------------------------------------
// Writing

TEST_F(SaveGameTest, BothSaveGamesAreWrittenByteForByteAsTheirLayout) {
    KnownState();
    ASSERT_TRUE(GameLevel->SaveGameState(PlayerFilePath("2.sav")));
    ASSERT_TRUE(GameLevel->SaveGameState(PlayerFilePath("2_quick.sav")));
    EXPECT_EQ(PlayerBytes("2.sav"), kKnownSaveGame);
    EXPECT_EQ(PlayerBytes("2_quick.sav"), kKnownSaveGame);
}

TEST_F(SaveGameTest, SavingCopiesTheInventoryIntoTheBackupOfTheProfile) {
    Player& player = KnownState();
    ASSERT_NE(player.GetInventoryBackSlot(0), player.GetInventorySlot(0));
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    for (int i = 0; i < Player::kInventorySlots; ++i) {
        EXPECT_EQ(player.GetInventoryBackSlot(i), player.GetInventorySlot(i));
    }
    Player read;
    read.Load(2, false);
    EXPECT_EQ(read.GetInventoryBackSlot(1), (InventorySlot{"coin2", 2}));
}

TEST_F(SaveGameTest, ALevelWithoutALevelPathLeavesThePreviousFile) {
    KnownState();
    WritePlayerBytes("2.sav", "previous");
    GameLevel->levelPath.clear();
    EXPECT_FALSE(GameLevel->SaveGameState(PlayerFilePath("2.sav")));
    EXPECT_EQ(PlayerBytes("2.sav"), "previous");
}

TEST_F(SaveGameTest, TheHeldItemComesFromTheGameLevelAlsoWhenAMiniGameSaves) {
    KnownState();
    Level miniGame;
    miniGame.Load();
    miniGame.levelPath = "levels\\z1-swamp.txt";
    miniGame.levelSystem->heldItemName = "other";
    ASSERT_TRUE(miniGame.SaveGameState(PlayerFilePath("2.sav")));
    EXPECT_EQ(PlayerBytes("2.sav"), kKnownSaveGame);
}

// ---------------------------------------------------------------------------------------------
// Loading

TEST_F(SaveGameTest, AWrittenSaveGameLoadsBackToTheSameStateAndScene) {
    KnownState();
    ASSERT_TRUE(GameLevel->SaveGameState(PlayerFilePath("2_quick.sav")));
    const std::string saved = State();
    CurrentPlayer->SetFlag("z1", "later", 1);
    CurrentPlayer->RemoveInventoryItem("coin2");
    CurrentPlayer->AddEnergy(7, false);
    CurrentPlayer->SetLastLevelId("z2");
    GameLevel->levelSystem->heldItemName.clear();
    WritePlayerBytes("2.sav", "the regular save game of before");
    hookCalls.clear();

    std::string failure;
    ASSERT_TRUE(GameLevel->LoadGameState(PlayerFilePath("2_quick.sav"), &failure)) << failure;
    EXPECT_EQ(State(), saved);
    EXPECT_EQ(GameLevel->name, "z1-swamp");
    EXPECT_EQ(GameLevel->ScenePath(), "levels\\z1-swamp.txt");
    EXPECT_TRUE(GameLevel->sceneLoaded);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"hide", "show gfx/objects/lamp.ani",
                                                   "delete level layers", "clear overlay"}));
    // The scene load wrote the regular save game from the loaded state, where free slots have
    // come back as the item "0".
    std::string regular = kKnownSaveGame;
    for (std::size_t at; (at = regular.find("  0)")) != std::string::npos;) {
        regular.replace(at, 4, " 0 0)");
    }
    EXPECT_EQ(PlayerBytes("2.sav"), regular);
    Player read;
    read.Load(2, false);
    EXPECT_EQ(read.Flags(), CurrentPlayer->Flags());
    EXPECT_EQ(read.GetEnergy(), -5);
}

TEST_F(SaveGameTest, TheInventoryEndsAsTheBackupWithItsCounts) {
    KnownState();
    const std::string save = OnDisk("(levelPath\nlevels\\z1-swamp.txt\n )\n"
                                    "(inventory\n(slot 0 key 1)(slot 1 gear 1)(slot 2 rope 1)"
                                    "\n ) \n"
                                    "(inventoryBack\n(slot 0 key 3)(slot 1  0)(slot 5 coin2 4)"
                                    "\n )\n"
                                    "(permanentSlots\n\n )\n(gamestates\n\n )\n(itemspr\n\n )\n"
                                    "(mapPieces\n0\n )(energy\n0\n )(actWorld\n0\n )"
                                    "(lastLevelId\nunknown\n )");
    ASSERT_EQ(LoadText(save), "");
    const Player& player = *CurrentPlayer;
    EXPECT_EQ(player.GetInventorySlot(0), (InventorySlot{"key", 3}));
    EXPECT_TRUE(player.IsInventorySlotEmpty(1));
    EXPECT_TRUE(player.IsInventorySlotEmpty(2));
    EXPECT_EQ(player.GetInventorySlot(5), (InventorySlot{"coin2", 4}));
    EXPECT_EQ(GameLevel->levelSystem->heldItemName, "");
}

TEST_F(SaveGameTest, AHeldItemWithoutItsPictureIsDroppedWithALogLine) {
    KnownState();
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    std::string save = PlayerBytes("2.sav");
    save.replace(save.find("(itemspr\r\nlamp"), 14, "(itemspr\r\nvase");
    LogCapture log;
    hookCalls.clear();
    ASSERT_EQ(LoadText(save), "");
    EXPECT_EQ(GameLevel->levelSystem->heldItemName, "");
    EXPECT_EQ(CurrentPlayer->GetFlag("z1-swamp:door_killed"), 1);
    EXPECT_NE(log.Text().find("the held item vase has no picture and is dropped"),
              std::string::npos)
        << log.Text();
    for (const std::string& call : hookCalls) {
        EXPECT_EQ(call.find("show"), std::string::npos) << call;
    }
}

TEST_F(SaveGameTest, ARenderBluredBackgroundListSetsTheLevelsFlagByItsValue) {
    KnownState();
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    const std::string save = PlayerBytes("2.sav");
    GameLevel->blurredBackgroundAlpha = 0.5f;
    ASSERT_EQ(LoadText("(renderBluredBackground\r\n0\r\n )" + save), "");
    // The scene file's Meta has no such key, so the load keeps the save game's word.
    EXPECT_TRUE(GameLevel->renderBluredBackground);
    EXPECT_EQ(GameLevel->blurredBackgroundAlpha, 0.0f);
    ASSERT_EQ(LoadText("(renderBluredBackground)" + save), "");
    EXPECT_FALSE(GameLevel->renderBluredBackground);
}

TEST_F(SaveGameTest, ASaveGameThatIsMissingOrDamagedChangesNothing) {
    KnownState();
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    const std::string good = PlayerBytes("2.sav");
    const auto damaged = [&](const std::string& from, const std::string& to) {
        std::string bytes = good;
        const std::size_t at = bytes.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return bytes.replace(at, from.size(), to);
    };
    struct Case {
        std::string bytes;
        std::string failure;
    };
    const Case cases[] = {
        {damaged("(energy\r\n-5", "(energy\r\nlots"), "energy \"lots\" is not a number"},
        {damaged("(mapPieces\r\n3", "(mapPieces\r\n"), "(mapPieces) holds no number"},
        {damaged("(slot 7 \"old coin\" 1)\r\n )\r\n", "(slot 8 \"old coin\" 1)\r\n )\r\n"),
         "inventory slot 8 does not exist"},
        {damaged("(slot 3 2)", "(slot 4 2)"), "tool slot 4 does not exist"},
        {damaged("(slot 1 coin2 2)", "(slot 1 ..\\coin2 2)"),
         "the item \"..\\coin2\" cannot be held"},
        {damaged("(z1-swamp:door_killed 1)", "(z1-swamp:door_killed 1x)"),
         "the flag value \"1x\" is not a number"},
        {damaged("(z1-swamp:door_killed 1)", "(energy 1)"),
         "a flag is named like the list (energy)"},
        {damaged("levels\\z1-swamp.txt", "/etc/passwd"), "is not a file of the game's data"},
        {damaged("levels\\z1-swamp.txt", "..\\..\\levels\\z1-swamp.txt"),
         "is not a file of the game's data"},
        {damaged("levels\\z1-swamp.txt", "levels\\nowhere.txt"), "does not exist"},
        {damaged("(gamestates", "(gamestate"), "it has no (gamestates) list"},
        {damaged("(itemspr", "stray (itemspr"), "a word outside the lists"},
        {good + "(", "it is cut short"},
        {"", "it has no (levelPath) list"},
    };
    const std::string profileBefore = PlayerBytes("2.pla");
    const std::string stateBefore = State();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        hookCalls.clear();
        const std::string failure = LoadText(c.bytes);
        EXPECT_NE(failure.find(c.failure), std::string::npos) << failure;
        EXPECT_EQ(failure.find(PlayerFilePath("2.sav")), 0u) << failure;
        EXPECT_EQ(PlayerBytes("2.pla"), profileBefore);
        EXPECT_EQ(State(), stateBefore);
        EXPECT_TRUE(hookCalls.empty());
        EXPECT_FALSE(GameLevel->sceneLoaded);
    }
    std::string failure;
    EXPECT_FALSE(GameLevel->LoadGameState(PlayerFilePath("2_quick.sav"), &failure));
    EXPECT_EQ(failure, "there is no save game " + PlayerFilePath("2_quick.sav"));
    EXPECT_EQ(State(), stateBefore);
}

TEST_F(SaveGameTest, ASaveGameCutShortAnywhereIsRefusedWithTheProfileUntouched) {
    KnownState();
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    const std::string full = PlayerBytes("2.sav");
    const std::string profileBefore = PlayerBytes("2.pla");
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        ASSERT_NE(LoadText(full.substr(0, size)), "");
        ASSERT_EQ(PlayerBytes("2.pla"), profileBefore);
    }
    EXPECT_EQ(LoadText(full), "");
}

TEST_F(SaveGameTest, NoSaveGameLoadsWithoutACurrentProfile) {
    KnownState();
    GameLevel->SaveGameState(PlayerFilePath("2.sav"));
    CurrentPlayer = nullptr;
    std::string failure;
    EXPECT_FALSE(GameLevel->LoadGameState(PlayerFilePath("2.sav"), &failure));
    EXPECT_EQ(failure, "no profile is selected");
    EXPECT_FALSE(GameLevel->SaveGameState(PlayerFilePath("2.sav")));
}

// ---------------------------------------------------------------------------------------------
// The autosave of a scene load

TEST_F(SaveGameTest, ASceneLoadBacksUpTheInventoryRecordsTheLevelAndSaves) {
    Player& player = MakeProfile(1, "Bo");
    player.AddItemToSlot("key", 3);
    Level& level = MakeGameLevel();
    hookCalls.clear();
    level.LoadScene("levels/z1-swamp.txt", true);
    EXPECT_EQ(player.GetInventoryBackSlot(3), (InventorySlot{"key", 1}));
    EXPECT_EQ(player.GetLastLevelId(), "z1-swamp");
    EXPECT_NE(PlayerBytes("1.sav").find("(levelPath\r\nlevels\\z1-swamp.txt\r\n )"),
              std::string::npos);
    EXPECT_TRUE(level.sceneLoaded);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"delete level layers", "clear overlay"}));
}

TEST_F(SaveGameTest, TheWorldMapIsSavedButNeverTheLastLevel) {
    for (const auto& [type, isMap] :
         {std::pair{"map", true}, {"maps", false}, {"Map", false}, {"normal", false}}) {
        SCOPED_TRACE(type);
        StartAgain();
        WriteScene("world-map", type);
        MakeProfile(1, "Bo").SetLastLevelId("z1-swamp");
        MakeGameLevel().LoadScene("levels/world-map.txt", true);
        EXPECT_EQ(CurrentPlayer->GetLastLevelId(), isMap ? "z1-swamp" : "world-map");
        EXPECT_NE(PlayerBytes("1.sav").find("levels\\world-map.txt"), std::string::npos);
    }
}

TEST_F(SaveGameTest, ASceneLoadedUnderAMiniGameOnlyBacksUpTheInventory) {
    Player& player = MakeProfile(1, "Bo");
    player.AddItemToSlot("key", 3);
    Level& level = MakeGameLevel();
    Level miniGame;
    miniGame.Load();
    ModalLevel = &miniGame;
    level.LoadScene("levels/z1-swamp.txt", true);
    miniGame.LoadScene("levels/z1-swamp.txt", true);
    ModalLevel = nullptr;
    EXPECT_EQ(player.GetInventoryBackSlot(3), (InventorySlot{"key", 1}));
    EXPECT_EQ(player.GetLastLevelId(), "unknown");
    EXPECT_FALSE(PlayerFileExists("1.sav"));
}

TEST_F(SaveGameTest, TheLevelTakesItsKeysFromTheScene) {
    Level level;
    const std::pair<const char*, const char*> meta[] = {
        {"Name", "z1"},          {"levelPath", "levels\\z1.txt"},
        {"Type", "puzzle"},      {"exitForward", "f.txt"},
        {"exitBack", "b.txt"},   {"levelId", "id1"},
        {"miniGame1Path", "m1"}, {"miniGame6Path", "m6"},
        {"name", "ignored"},     {"renderBluredBackground", "0"},
    };
    for (const auto& [key, value] : meta) {
        level.SetProperty(key, value);
    }
    EXPECT_EQ(level.GetName(), "z1");
    EXPECT_EQ(level.levelPath, "levels\\z1.txt");
    EXPECT_EQ(level.type, "puzzle");
    EXPECT_EQ(level.exitForward, "f.txt");
    EXPECT_EQ(level.exitBack, "b.txt");
    EXPECT_EQ(level.levelId, "id1");
    EXPECT_EQ(level.miniGamePaths[0], "m1");
    EXPECT_EQ(level.miniGamePaths[5], "m6");
    EXPECT_EQ(level.miniGamePaths[2], "");
    EXPECT_TRUE(level.renderBluredBackground);
}

} // namespace
