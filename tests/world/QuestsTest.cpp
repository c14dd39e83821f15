#include "world/Quests.h"

#include "engine/FourCC.h"
#include "engine/MessageReceiver.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Journals the events that reach the HUD's receiver.
struct EventLog : MessageReceiver {
    void OnMessage(const void*, uint32_t id, uint32_t) override {
        events.push_back(FourCCText(id));
    }
    std::vector<std::string> events;
};

// The room with one quest entry, the HUD's receiver journalling, "game_won" on the recording
// audio layer.
class Quests : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        Reset();
    }

    void Reset() {
        StartAgain();
        InstallDialogueHook();
        dialogues.clear();
        dialogueShown = false;
        WriteData("game_won.wav", "game_won");
        WriteData("sounds.txt", "(set global (game_won game_won.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/fx/hiddenObject_hili.prt", "(max_parts 4)\n(flow 0 10)\n");
        MakeProfile(0, "Ann");
        receiver.events.clear();
        TestWorld().mainUiReceiver = [this] { return &receiver; };
    }

    // Each quest class is its own definition, as in the game's definitions.
    void LoadQuest(const std::string& entry) {
        Load("(CollectObjectsQuest) (GetObjectsQuest) (OraclesQuest) (OakbeardQuest) "
             "(GuardianQuest)",
             entry);
    }

    void Give(const std::string& item, int count) {
        for (int i = 0; i < count; ++i) {
            int slot = 0;
            while (slot < Player::kInventorySlots && !CurrentPlayer->IsInventorySlotEmpty(slot) &&
                   ItemBaseName(CurrentPlayer->GetInventorySlot(slot).item) != ItemBaseName(item)) {
                ++slot;
            }
            CurrentPlayer->AddItemToSlot(item, slot);
        }
    }

    int Played(const std::string& file) const {
        int count = 0;
        for (const std::string& played : PlayedFiles()) {
            count += played == file ? 1 : 0;
        }
        return count;
    }

    EventLog receiver;
};

struct ItemQuestCase {
    const char* name;
    std::string entry;
    std::function<void()> before;
    bool done;  // the quest has left the scene
    bool acted; // its flag was set by this visit
    int wonSounds;
    std::vector<std::string> events;
    int32_t energy;
    std::vector<std::string> itemsLeft;
};

TEST_F(Quests, TheItemListFamilyWaitsThenRewardsOrLeavesSilently) {
    const auto killed = [](std::vector<std::string> names) {
        return [names] {
            for (const std::string& name : names) {
                CurrentPlayer->SetFlag("room", name + "_killed", 1);
            }
        };
    };
    const auto carry = [this](std::vector<std::string> items) {
        return [this, items] {
            for (const std::string& item : items) {
                Give(item, 1);
            }
        };
    };
    const auto both = [](std::function<void()> a, std::function<void()> b) {
        return [a, b] {
            a();
            b();
        };
    };
    const std::function<void()> talking = [this] { dialogueShown = true; };
    const std::string collect =
        "(CollectObjectsQuest (visName finds) (Data (objects acorn feather) (completeEvent MSG1)))";
    const std::string get = "(GetObjectsQuest (visName herbs) (Data (objects seed rope) "
                            "(completeEvent MSG2) (killObjects 1)))";
    const std::string keep = "(GetObjectsQuest (visName herbs) (Data (objects seed rope) "
                             "(completeEvent MSG2) (killObjects 0)))";
    const std::string oracles =
        "(OraclesQuest (visName oracles) (Data (objects seed rope) (completeEvent ORAC)))";
    const ItemQuestCase cases[] = {
        {"collect: all gone", collect, killed({"acorn", "feather"}), true, true, 1, {"MSG1"}, 0,
         {}},
        {"collect: one still there", collect, killed({"acorn"}), false, false, 0, {}, 0, {}},
        {"collect: an empty list passes at once",
         "(CollectObjectsQuest (visName finds) (Data (completeEvent MSG1)))", nullptr, true, true,
         1, {"MSG1"}, 0, {}},
        {"collect: finished in an earlier visit", collect,
         both(killed({"acorn", "feather"}), killed({"finds"})), true, false, 0, {}, 0, {}},
        {"collect: nothing while a dialogue is open", collect,
         both(killed({"acorn", "feather"}), talking), false, false, 0, {}, 0, {}},
        {"get: items taken away", get, carry({"seed", "rope"}), true, true, 1, {"MSG2"}, 1, {}},
        {"get: killObjects 0 keeps them", keep, carry({"seed", "rope"}), true, true, 1, {"MSG2"},
         1, {"seed", "rope"}},
        {"get: one missing", get, carry({"seed"}), false, false, 0, {}, 0, {"seed"}},
        {"get: finished in an earlier visit", get,
         both(carry({"seed", "rope"}), killed({"herbs"})), true, false, 0, {}, 0,
         {"seed", "rope"}},
        {"get: nothing while a dialogue is open", get, both(carry({"seed", "rope"}), talking),
         false, false, 0, {}, 0, {"seed", "rope"}},
        {"oracles: taken in silence", oracles, carry({"seed", "rope"}), true, true, 0, {"ORAC"}, 0,
         {}},
        {"oracles: one missing", oracles, carry({"rope"}), false, false, 0, {}, 0, {"rope"}},
    };
    for (const ItemQuestCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        if (c.before) {
            c.before();
        }
        const int32_t energy = CurrentPlayer->GetEnergy();
        const std::string name = c.entry.substr(c.entry.find("(visName ") + 9,
                                                c.entry.find(')') - c.entry.find("(visName ") - 9);
        const bool flagBefore = CurrentPlayer->GetFlag("room:" + name + "_killed") != 0;
        const int wonBefore = Played("game_won");
        LoadQuest(c.entry);
        Run(3);

        EXPECT_EQ(Find(name) == nullptr, c.done);
        EXPECT_EQ(!flagBefore && Flag(name + "_killed") != 0, c.acted);
        EXPECT_EQ(Played("game_won") - wonBefore, c.wonSounds);
        EXPECT_EQ(receiver.events, c.events);
        EXPECT_EQ(CurrentPlayer->GetEnergy() - energy, c.energy);
        for (const char* item : {"seed", "rope"}) {
            const bool expected = std::find(c.itemsLeft.begin(), c.itemsLeft.end(), item) !=
                                  c.itemsLeft.end();
            EXPECT_EQ(CurrentPlayer->CountItem(item) > 0, expected) << item;
        }
    }
}

TEST_F(Quests, AQuestWaitsForTheDialogueToCloseThenActs) {
    CurrentPlayer->SetFlag("room", "acorn_killed", 1);
    dialogueShown = true;
    LoadQuest("(CollectObjectsQuest (visName finds) (Data (objects acorn) (completeEvent MSG1)))");
    Run(30);
    EXPECT_TRUE(receiver.events.empty());
    dialogueShown = false;
    Run(2);
    EXPECT_EQ(receiver.events, std::vector<std::string>{"MSG1"});
    EXPECT_EQ(Find("finds"), nullptr);
}

// The barrow's errands, one quest entry, its first second of delay run out.
struct ErrandCase {
    const char* name;
    int seeds;
    int crystals;
    int blooms;
    std::vector<std::string> shown; // the dialogue files opened, in order
};

TEST_F(Quests, OakbeardOpensAnErrandAtExactlyTenAndOneErrandAStep) {
    const std::string folder = "menus\\tutorials\\AncientBarrowExterior\\";
    const std::string intro = folder + "msg8.txt 1 []";
    const std::string seeds = folder + "msg4.txt 1 []";
    const std::string crystals = folder + "msg5.txt 1 []";
    const std::string blooms = folder + "msg6.txt 1 []";
    const ErrandCase cases[] = {
        {"nothing carried: the introduction", 0, 0, 0, {intro}},
        {"nine seeds", 9, 0, 0, {intro}},
        {"ten seeds", 10, 0, 0, {seeds}},
        {"eleven seeds", 11, 0, 0, {intro}},
        {"ten crystals", 0, 10, 0, {crystals}},
        {"ten fire blooms", 0, 0, 10, {blooms}},
        {"seeds and crystals together, seeds first", 10, 10, 0, {seeds, crystals}},
        {"all three, in order", 10, 10, 10, {seeds, crystals, blooms}},
    };
    for (const ErrandCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Give("seed", c.seeds);
        Give("orvexian_crystal", c.crystals);
        Give("fire_bloom", c.blooms);
        LoadQuest("(OakbeardQuest (visName oakbeard))");
        Run(70);
        EXPECT_EQ(dialogues, c.shown);
    }
}

TEST_F(Quests, OakbeardOpensNothingWhileADialogueIsOpen) {
    Give("seed", 10);
    dialogueShown = true;
    LoadQuest("(OakbeardQuest (visName oakbeard))");
    Run(90);
    EXPECT_TRUE(dialogues.empty());
    dialogueShown = false;
    Run(2);
    EXPECT_EQ(dialogues,
              std::vector<std::string>{"menus\\tutorials\\AncientBarrowExterior\\msg4.txt 1 []"});
}

TEST_F(Quests, OakbeardEndsOnceTheThreeErrandDialoguesWereSeen) {
    for (const char* dialog : {"dialog4", "dialog5", "dialog6"}) {
        CurrentPlayer->SetFlag("z1-barrow-out", std::string(dialog) + "_killed", 1);
    }
    LoadQuest("(OakbeardQuest (visName oakbeard))");
    Run(70);
    EXPECT_EQ(Find("oakbeard"), nullptr);
    EXPECT_EQ(Flag("oakbeard_killed"), 1);
}

TEST_F(Quests, OakbeardDisabledAfterTheBarrowsThirdDialogueGoesAtOnce) {
    CurrentPlayer->SetFlag("z1-barrow-out", "dialog3_killed", 1);
    CurrentPlayer->SetFlag("room", "helped_killed", 1);
    LoadQuest("(OakbeardQuest (visName oakbeard) (disableFlag helped_killed))");
    Run(1);
    EXPECT_EQ(Find("oakbeard"), nullptr);
    EXPECT_TRUE(dialogues.empty());
}

struct GuardianCase {
    const char* name;
    bool taskDone;
    bool talking;
    bool done;
};

TEST_F(Quests, TheGuardianSpeaksOnceItsTaskIsDone) {
    const GuardianCase cases[] = {
        {"task done", true, false, true},
        {"task open", false, false, false},
        {"task done, a dialogue open", true, true, false},
    };
    for (const GuardianCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        if (c.taskDone) {
            CurrentPlayer->SetFlag("room", "guardian_task_killed", 1);
        }
        dialogueShown = c.talking;
        LoadQuest("(GuardianQuest (visName guardian))");
        const int wonBefore = Played("game_won");
        // Its second of delay, then the dialogue's second.
        Run(130);
        EXPECT_EQ(Find("guardian") == nullptr, c.done);
        EXPECT_EQ(Played("game_won") - wonBefore, c.done ? 1 : 0);
        EXPECT_EQ(dialogues.size(), c.done ? 1u : 0u);
        if (c.done) {
            EXPECT_EQ(dialogues[0], std::string(GuardianQuest::kDialogue) + " 1 []");
            EXPECT_EQ(Flag("dialog4_killed"), 1);
        }
    }
}

} // namespace
