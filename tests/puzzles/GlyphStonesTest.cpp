// The glyph stones: picking a symbol on the symbol buttons, carving and missing, the failure with
// its dialogue on a profile's first two failures, the win, leaving, and the stone return.

#include "puzzles/GlyphStones.h"

#include "engine/Exception.h"
#include "tests/puzzles/PlacingFixture.h"
#include "ui/UIStoneSymbol.h"
#include "ui/UserInterface.h"
#include "world/GameModalDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Groups are 100 x 100 around their positions; g1 at (300, 300), g2 at (600, 300).
const std::string kStoneDefinitions = std::string(PlacingTest::kBackdrop) +
                                      "(Place PlacedSymbol (POSI))\n"
                                      "(Group PlacedSymbolsGroup (POSI) (KEYB) (SPRT)"
                                      " (COLI (left -50) (right 50) (top -50) (bottom 50)))\n"
                                      "(Stone SingleStoneMngr (Data))\n"
                                      "(Stones AllStonesMngr (KEYB) (Data))\n";

std::string Place(const std::string& group, const std::string& symbol, bool active = false) {
    return "(Place (Data (elementsGroupName " + group + ") (activationSymbol " + symbol +
           ") (active " + (active ? "1" : "0") + ")))\n";
}

std::string Group(const std::string& name, float x) {
    return "(Group (POSI (position " + std::to_string(x) + " 300)) (Data (elementsGroupName " +
           name + ") (parentStoneName s1)))\n";
}

class GlyphStonesTest : public PlacingTest {
protected:
    // g1 waits for fire then water; g2 for fire.
    void LoadStones(const std::string& places = Place("g1", "fire") + Place("g1", "water") +
                                                Place("g2", "fire"),
                    const std::string& levelId = "") {
        LoadGame(kStoneDefinitions,
                 std::string(kBackdropEntry) + places + Group("g1", 300) + Group("g2", 600) +
                     "(Stone (Data (stoneName s1)))\n(Stones)\n",
                 "puzzle", levelId);
    }

    void Pick(const std::string& symbol) { GameLevel->levelSystem->selectedSymbol = symbol; }
    void ClickGroup(int group) { Press(group == 1 ? 300.0f : 600.0f, 300.0f); }

    AllStonesMngr& Manager() { return *All<AllStonesMngr>().at(0); }
    std::string Carved() {
        std::string marks;
        for (const PlacedSymbol* place : All<PlacedSymbol>()) {
            marks += place->active ? '1' : '0';
        }
        return marks;
    }
    std::size_t Dialogs() {
        std::size_t count = 0;
        for (const auto& object : GameLevel->Objects()) {
            count += dynamic_cast<GameModalDialog*>(object.get()) != nullptr ? 1 : 0;
        }
        return count;
    }
};

TEST_F(GlyphStonesTest, MissesInARowFailCarvingsClearThem) {
    struct Click {
        const char* symbol;
        int group;
    };
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        int misses;
        bool failed;
        const char* carved;
    };
    const std::vector<Case> cases = {
        {"two misses, a carving, two misses",
         {{"earth", 1}, {"earth", 1}, {"fire", 1}, {"earth", 2}, {"water", 2}},
         2,
         false,
         "100"},
        {"three misses", {{"earth", 1}, {"water", 2}, {"earth", 1}}, 3, true, "000"},
        {"no symbol picked costs nothing", {{"", 1}, {"", 1}, {"", 1}}, 0, false, "000"},
        {"a complete group is no miss",
         {{"fire", 2}, {"fire", 2}, {"fire", 2}, {"fire", 2}},
         0,
         false,
         "001"},
        {"after the third miss the groups take nothing",
         {{"earth", 1}, {"earth", 1}, {"earth", 1}, {"fire", 1}},
         3,
         true,
         "000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadStones();
        for (const Click& click : c.clicks) {
            Pick(click.symbol);
            ClickGroup(click.group);
        }
        EXPECT_EQ(Manager().misses, c.misses);
        EXPECT_EQ(Manager().finished, c.failed);
        EXPECT_EQ(ModalLevel->returnFlag, c.failed);
        EXPECT_EQ(Carved(), c.carved);
    }
}

TEST_F(GlyphStonesTest, CarvingSoundsAndOneSymbolForAWholeGroupInListOrder) {
    LoadStones(Place("g1", "fire") + Place("g1", "fire") + Place("g1", "fire") +
               Place("g2", "water"));
    Pick("fire");
    std::vector<std::string> carved;
    for (int i = 0; i < 4; ++i) {
        ClickGroup(1);
        carved.push_back(Carved());
    }
    EXPECT_EQ(carved, (std::vector<std::string>{"1000", "1100", "1110", "1110"}));
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"carve_correct", "carve_correct",
                                                      "carve_correct", "carve_wrong"}));
    EXPECT_EQ(Manager().misses, 0) << "the press on the complete group";
}

TEST_F(GlyphStonesTest, TheThirdMissClosesWithTheDialogueOnAProfilesFirstTwoFailuresOnly) {
    std::vector<std::size_t> dialogs;
    for (int failure = 0; failure < 3; ++failure) {
        SCOPED_TRACE(failure);
        LoadStones();
        Pick("earth");
        for (int miss = 0; miss < 3; ++miss) {
            ClickGroup(1);
        }
        const std::size_t before = Dialogs();
        StepSeconds(1.9f);
        EXPECT_FALSE(LeaveArmed());
        StepSeconds(0.2f);
        EXPECT_TRUE(LeaveArmed());
        EXPECT_TRUE(All<AllStonesMngr>().empty()) << "the manager went";
        dialogs.push_back(Dialogs() - before);
        EXPECT_EQ(CompletionFlag(), 0);
        EXPECT_FALSE(ModalLevel->won);
    }
    EXPECT_EQ(dialogs, (std::vector<std::size_t>{1, 1, 0}));
    EXPECT_EQ(CurrentPlayer->GetFlag("global:glyphstoneFailedDialogShown"), 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("global:glyphstoneFailedDialogShown2"), 1);
}

TEST_F(GlyphStonesTest, EveryPlaceCarvedWinsAfterTwoSecondsAndTheGroupsGoQuiet) {
    LoadStones();
    Pick("fire");
    ClickGroup(1);
    ClickGroup(2);
    Pick("water");
    ClickGroup(1);
    Step();
    EXPECT_TRUE(All<SingleStoneMngr>().at(0)->done);
    EXPECT_TRUE(Manager().finished);
    EXPECT_EQ(CompletionFlag(), 0) << "the flags come after the delay";
    StepSeconds(2.0f);
    EXPECT_EQ(CompletionFlag(), 1);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_EQ(PlayedFiles().back(), "game_won");
    // The groups outlive their manager: they read it as finished.
    const std::size_t sounds = PlayedFiles().size();
    ClickGroup(1);
    EXPECT_EQ(PlayedFiles().size(), sounds);
}

TEST_F(GlyphStonesTest, AStoneCarvedAtLoadIsDoneAtOnceAndAnEmptySceneWins) {
    LoadStones(Place("g1", "fire", true) + Place("g2", "water", true));
    Step();
    EXPECT_TRUE(All<SingleStoneMngr>().at(0)->done);
    EXPECT_TRUE(Manager().finished);

    LoadGame(kStoneDefinitions, "(Stones)");
    Step();
    EXPECT_TRUE(Manager().finished);
}

TEST_F(GlyphStonesTest, TheFinalStoneDrawsItsSymbolsSmaller) {
    for (const auto& [levelId, size] :
         {std::pair{"", 0.75f}, {"finalGlyphStone", 0.7f}, {"otherStone", 0.75f}}) {
        SCOPED_TRACE(levelId);
        LoadStones(Place("g1", "fire"), levelId);
        EXPECT_FLOAT_EQ(All<PlacedSymbolsGroup>().at(0)->size, size);
    }
}

TEST_F(GlyphStonesTest, APressLeavesOutsideTheBackdropDownToY512AndEscapeAlways) {
    struct Case {
        const char* name;
        bool backdrop;
        float x, y;
        bool escape;
        bool leaves;
    };
    // The backdrop widened by 30: x 282 to 742, y 70 to 530.
    const std::vector<Case> cases = {
        {"outside at 512", true, 100, 512, false, true},
        {"outside below 512", true, 100, 513, false, false},
        {"inside the widened backdrop", true, 290, 450, false, false},
        {"just outside it", true, 281, 450, false, true},
        {"Escape", true, 500, 300, true, true},
        {"no backdrop: a press stays", false, 100, 300, false, false},
        {"no backdrop: Escape leaves", false, 100, 300, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadGame(kStoneDefinitions,
                 std::string(c.backdrop ? kBackdropEntry : "") + Place("g1", "fire") +
                     Group("g1", 300) + "(Stone (Data (stoneName s1)))\n(Stones)\n");
        const std::size_t sounds = PlayedFiles().size();
        Mouse.x = c.x;
        Mouse.y = c.y;
        if (c.escape) {
            PressEscape();
        } else {
            Press(c.x, c.y);
        }
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Manager().finished, c.leaves);
        if (c.leaves) {
            StepSeconds(2.1f);
            EXPECT_TRUE(All<AllStonesMngr>().empty()) << "asked to close and gone";
            EXPECT_EQ(CompletionFlag(), 0);
            EXPECT_EQ(PlayedFiles().size(), sounds);
        }
    }
}

TEST_F(GlyphStonesTest, TheStoneScreensLoadIntoTheMapGameLayerAndTheStoneReturnCarvesAll) {
    WriteData("scripts/ui_objects.txt", "(Final (Marker UIStatic (POSI) (SPRT)))\n");
    WriteData("menus/mini-game.txt", "(Meta (Name start))\n(Objects (Marker) (Marker))\n");
    WriteData("menus/mini-game-close.txt", "(Meta (Name close))\n(Objects (Marker))\n");
    for (const bool left : {false, true}) {
        SCOPED_TRACE(left ? "left" : "won");
        DeleteLayer(MapGameUI);
        LoadGame(kStoneDefinitions,
                 std::string(kBackdropEntry) + Place("g1", "fire") + Place("g2", "water") +
                     Group("g1", 300) + Group("g2", 600) +
                     "(Stone (Data (stoneName s1)))\n(Stones)\n",
                 "stone");
        ASSERT_NE(MapGameUI, nullptr);
        EXPECT_EQ(MapGameUI->Objects().size(), 2u) << "the symbol screen";
        Pick("fire");
        ClickGroup(1);
        if (left) {
            PressEscape();
            EXPECT_EQ(MapGameUI->Objects().size(), 1u) << "the closing screen";
        }
        // The level system leads back: a won stone is carved whole.
        ModalLevel->levelSystem->leaveArmed = true;
        Step();
        EXPECT_EQ(Carved(), left ? "10" : "11");
    }
    DeleteLayer(MapGameUI);
}

// ---------------------------------------------------------------------------------------------
// The symbol buttons

const char* const kSymbolDefinitions =
    "(Symbol UIStoneSymbol (POSI) (KEYB) (SPRT (file gfx/sym.ani))"
    " (COLI (left -20) (right 20) (top -20) (bottom 20)))\n"
    "(Symbols UIStoneSymbolMngr (Data))\n";

class StoneSymbolTest : public PlacingTest {
protected:
    void SetUp() override {
        PlacingTest::SetUp();
        std::string art;
        for (const char* name : {"fire_idle", "fire_active", "water_idle", "water_active"}) {
            art += std::string("(framedAnim ") + name + " back.png 40 40 (frames 0))\n";
        }
        WriteData("gfx/sym.ani", art);
    }

    // Fire at (100, 100), water at (200, 100); with or without their manager.
    void LoadSymbols(bool manager) {
        LoadGame(kSymbolDefinitions,
                 std::string("(Symbol (POSI (position 100 100)) (Data (symbolName fire)))\n"
                             "(Symbol (POSI (position 200 100)) (Data (symbolName water)))\n") +
                     (manager ? "(Symbols)" : ""));
    }
    UIStoneSymbol& Symbol(std::size_t i) { return *All<UIStoneSymbol>().at(i); }
    std::string State() {
        std::string state = GameLevel->levelSystem->selectedSymbol + ":";
        for (UIStoneSymbol* symbol : All<UIStoneSymbol>()) {
            state += symbol->selected ? "+" : "-";
            state += Sprite(*symbol).player.CurrentAnimName() + " ";
        }
        return state;
    }
};

TEST_F(StoneSymbolTest, OneSymbolIsPickedPerManagerAndKeptInTheGameLevel) {
    struct Case {
        const char* name;
        bool manager;
        std::vector<float> clicksX;
        const char* state;
        std::size_t sounds;
    };
    const std::vector<Case> cases = {
        {"A then B", true, {100, 200}, "water:-fire_idle +water_active ", 2},
        {"the same twice", true, {100, 100}, "fire:+fire_active -water_idle ", 1},
        {"no manager", false, {100, 200}, "water:+fire_active +water_active ", 2},
        {"beside both", true, {150}, ":-fire_idle -water_idle ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameLevel->levelSystem->selectedSymbol.clear();
        const std::size_t before = PlayedFiles().size();
        LoadSymbols(c.manager);
        for (const float x : c.clicksX) {
            Press(x, 100);
        }
        EXPECT_EQ(State(), c.state);
        EXPECT_EQ(PlayedFiles().size() - before, c.sounds);
    }
}

TEST_F(StoneSymbolTest, WithoutAGameLevelAClickPicksNothing) {
    LoadSymbols(true);
    Level* game = GameLevel;
    GameLevel = nullptr;
    Press(100, 100);
    GameLevel = game;
    EXPECT_FALSE(Symbol(0).selected);
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(StoneSymbolTest, ASymbolOutlivesItsManager) {
    LoadSymbols(true);
    All<UIStoneSymbolMngr>().at(0)->dead = true;
    Step();
    ASSERT_TRUE(All<UIStoneSymbolMngr>().empty());
    Press(200, 100);
    EXPECT_EQ(Symbol(1).manager, nullptr);
    EXPECT_TRUE(Symbol(1).selected);
}

} // namespace
