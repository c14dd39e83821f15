// Scenes changed while they run: every case here must stay clean under the sanitizers.

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "tests/engine/SceneFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

class Reentrancy : public SceneTest {
protected:
    Reentrancy() {
        scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "RECS"));
        LoadDefinitionsText("(Final (A Probe (Name AAAA)) (B Probe (Name BBBB)) (C Probe)\n"
                            "       (New Probe) (Holder ProbeHolder))");
        LoadSceneText("(Objects (A) (B) (C))");
        a = Find("A");
        b = Find("B");
        c = Find("C");
        Journal.clear();
    }

    // The objects' updates journaled, in order.
    static Strings Updates() {
        Strings updates;
        for (const std::string& entry : Journal) {
            if (entry.ends_with(".Update") && !entry.starts_with("RECS.")) {
                updates.push_back(entry);
            }
        }
        return updates;
    }

    MessageSystem& Messages() const {
        return static_cast<MessageSystem&>(*scene->FindSystem(FourCC("MSGS")));
    }

    Probe* a = nullptr;
    Probe* b = nullptr;
    Probe* c = nullptr;
};

TEST_F(Reentrancy, ObjectCreatedDuringTheWalkIsUpdatedInTheSameStep) {
    bool created = false;
    a->onUpdate = [&](Probe&, float) {
        if (!created) {
            created = true;
            scene->AddObject(scene->CreateObject("New", false));
        }
        return true;
    };
    scene->Update(0.1f);
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update", "C.Update", "New.Update"}));
}

TEST_F(Reentrancy, ObjectLeavingFromItsOwnUpdateIsUnlinkedAtOnceAndFreedAfterTheWalk) {
    b->onUpdate = [this](Probe& self, float) {
        scene->DestroyObject(&self);
        EXPECT_EQ(Names(), (Strings{"A", "<null>", "C"}));
        EXPECT_EQ(scene->FindByCode(FourCC("BBBB")), nullptr);
        EXPECT_EQ(Probe::alive, 3) << "still running, so not freed yet";
        self.properties.push_back("still usable");
        scene->DestroyObject(&self); // a second time changes nothing
        return true;
    };
    scene->Update(0.1f);
    EXPECT_EQ(Names(), (Strings{"A", "C"}));
    EXPECT_EQ(Probe::alive, 2);
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update", "C.Update"}));
    EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "RECS.ObjectRemoved B"), 1);
}

TEST_F(Reentrancy, ObjectRemovedLaterInTheListIsNotUpdated) {
    a->onUpdate = [this](Probe&, float) {
        scene->DestroyObject(c);
        return true;
    };
    scene->Update(0.1f);
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update"}));
    EXPECT_EQ(Names(), (Strings{"A", "B"}));
}

TEST_F(Reentrancy, ObjectRemovedEarlierInTheListLeavesTheWalkInStep) {
    bool removed = false;
    c->onUpdate = [&](Probe&, float) {
        if (!removed) {
            removed = true;
            scene->DestroyObject(a);
            scene->DestroyObject(b);
        }
        return true;
    };
    scene->Update(0.1f);
    scene->Update(0.1f);
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update", "C.Update", "C.Update"}));
    EXPECT_EQ(Names(), (Strings{"C"}));
}

TEST_F(Reentrancy, SceneClearedFromInsideAnUpdate) {
    b->onUpdate = [this](Probe& self, float) {
        scene->Clear();
        EXPECT_EQ(Names(), (Strings{"<null>", "<null>", "<null>"}));
        EXPECT_EQ(Probe::alive, 3);
        self.properties.push_back("still usable");
        return true;
    };
    scene->Update(0.1f);
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update"}));
    EXPECT_TRUE(scene->Objects().empty());
    EXPECT_EQ(Probe::alive, 0);
}

TEST_F(Reentrancy, ScreenLoadedFromInsideAnUpdateRunsInTheSameStep) {
    WriteData("levels/next.txt", "(Objects (New))");
    b->onUpdate = [this](Probe&, float) {
        scene->LoadScene("levels/next.txt", true);
        return true;
    };
    scene->Update(0.1f);
    // Once by the load, once by the step that loaded it.
    EXPECT_EQ(Updates(), (Strings{"A.Update", "B.Update", "New.Update", "New.Update"}));
    EXPECT_EQ(Names(), (Strings{"New"}));
    EXPECT_EQ(Probe::alive, 1);
}

TEST_F(Reentrancy, ObjectRemovedDuringADrawingPassIsNotDrawnAndFreedAfterIt) {
    a->onDraw = [this](Probe& self) {
        scene->DestroyObject(b);
        scene->DestroyObject(&self);
    };
    scene->Render();
    EXPECT_EQ(Journal, (Strings{"RECS.Render", "A.Draw", "RECS.ObjectRemoved B",
                                "RECS.ObjectRemoved A", "C.Draw"}));
    EXPECT_EQ(Names(), (Strings{"C"}));
    EXPECT_EQ(Probe::alive, 1);
}

TEST_F(Reentrancy, ExceptionOutOfAWalkStillFreesWhatLeft) {
    a->onUpdate = [this](Probe& self, float) {
        scene->DestroyObject(&self);
        return true;
    };
    b->onUpdate = [](Probe&, float) -> bool { throw Exception("broken update"); };
    EXPECT_EQ(ErrorOf([&] { scene->Update(0.1f); }), "broken update");
    EXPECT_EQ(Names(), (Strings{"B", "C"}));
    EXPECT_EQ(Probe::alive, 2);
}

TEST_F(Reentrancy, ObjectLeavingFromItsFirstUpdateDuringALoad) {
    Probe::onConstruct = [this](Probe& probe) {
        probe.onUpdate = [this](Probe& self, float) {
            scene->DestroyObject(&self);
            return true;
        };
    };
    WriteData("levels/next.txt", "(Objects (New) (New))");
    scene->LoadScene("levels/next.txt", false);
    EXPECT_EQ(Names(), (Strings{"A", "B", "C"}));
    EXPECT_EQ(Probe::alive, 3);
}

// ---------------------------------------------------------------------------------------------
// Messages

TEST_F(Reentrancy, ReceiverRemovingItselfAndOthersDropsTheirMessages) {
    a->onMessage = [this](Probe& self, uint32_t, uint32_t) {
        scene->DestroyObject(b);
        scene->DestroyObject(&self);
        Messages().Post(c, FourCC("LATE"), 0);
    };
    Messages().Post(a, FourCC("ONE"), 0);
    Messages().Post(b, FourCC("TWO"), 0);
    Messages().Post(a, FourCC("THRE"), 0);
    Messages().Post(c, FourCC("FOUR"), 0);
    scene->Update(0.1f);
    Strings delivered;
    for (const std::string& entry : Journal) {
        if (entry.find(".OnMessage") != std::string::npos) {
            delivered.push_back(entry);
        }
    }
    EXPECT_EQ(delivered,
              (Strings{"A.OnMessage ONE 0", "C.OnMessage FOUR 0", "C.OnMessage LATE 0"}));
    EXPECT_EQ(Names(), (Strings{"C"}));
    EXPECT_EQ(Probe::alive, 1);
}

TEST_F(Reentrancy, ReceiverClearingTheSceneDropsEveryQueuedMessage) {
    a->onMessage = [this](Probe&, uint32_t, uint32_t) { scene->Clear(); };
    Messages().Post(a, FourCC("ONE"), 0);
    Messages().Post(b, FourCC("TWO"), 0);
    Messages().Update(0.0f); // outside the scene's own passes
    EXPECT_TRUE(Messages().Queue().empty());
    EXPECT_EQ(Probe::alive, 0);
}

// ---------------------------------------------------------------------------------------------
// Removal listeners

TEST_F(Reentrancy, ListenersMayChangeListenersAndRemoveObjectsWhileBeingTold) {
    scene->AddObject(scene->CreateObject("Holder", false));
    scene->AddObject(scene->CreateObject("Holder", false));
    auto* first = dynamic_cast<Probe*>(scene->Objects()[3].get());
    auto* second = dynamic_cast<Probe*>(scene->Objects()[4].get());
    first->name = "First";
    second->name = "Second";
    scene->AddRemovalListener(first);
    scene->AddRemovalListener(second);
    first->onGoing = [&](Probe& self, Object* going) {
        if (going == a) {
            scene->RemoveRemovalListener(second);
            scene->DestroyObject(c);
            scene->DestroyObject(&self);
        }
    };
    Journal.clear();
    a->dead = true;
    scene->RemoveDead();
    EXPECT_EQ(Journal,
              (Strings{"First.OnObjectGoing A", "First.OnObjectGoing C", "RECS.ObjectRemoved C",
                       "RECS.ObjectRemoved First", "RECS.ObjectRemoved A"}));
    EXPECT_EQ(Names(), (Strings{"B", "Second"}));
    EXPECT_EQ(Probe::alive, 2);
    scene->DestroyObject(b); // the second listener no longer listens
    EXPECT_EQ(Journal.back(), "RECS.ObjectRemoved B");
}

// ---------------------------------------------------------------------------------------------
// Deleting a whole scene

class SceneDeletion : public SceneTest {
protected:
    // A scene of its own, which the tests delete; the fixture's scene gives the definitions.
    SceneDeletion() {
        LoadDefinitionsText("(Final (A Probe) (B Probe) (C Probe))");
        own = new ObjectsManager;
        own->AddSystem(std::make_unique<RecordingSystem>(own, "FRST"));
        own->AddSystem(std::make_unique<MessageSystem>(own));
        own->AddSystem(std::make_unique<RecordingSystem>(own, "LAST"));
        own->LoadDefinitions("scripts/objects.txt");
        WriteData("levels/own.txt", "(Objects (A) (B) (C))");
        own->LoadScene("levels/own.txt", false);
        Journal.clear();
    }

    Probe* Get(std::size_t slot) const { return dynamic_cast<Probe*>(own->Objects()[slot].get()); }
    MessageSystem& Messages() const {
        return static_cast<MessageSystem&>(*own->FindSystem(FourCC("MSGS")));
    }

    ObjectsManager* own = nullptr;
};

TEST_F(SceneDeletion, OutsideAWalkTheSceneGoesAtOnce) {
    ObjectsManager::Delete(own);
    EXPECT_EQ(Probe::alive, 0);
    ObjectsManager::Delete(nullptr);
}

TEST_F(SceneDeletion, FromAnObjectsUpdateTheSceneGoesWhenTheWalkReturns) {
    Get(1)->onUpdate = [this](Probe& self, float) {
        ObjectsManager::Delete(own);
        EXPECT_TRUE(own->IsBeingDeleted());
        EXPECT_EQ(Probe::alive, 3) << "cleared at once, freed after the walk";
        self.properties.push_back("still usable");
        ObjectsManager::Delete(own); // asking twice is harmless
        return true;
    };
    EXPECT_EQ(own->Update(0.1f), 1);
    EXPECT_EQ(Probe::alive, 0);
    EXPECT_EQ(Journal,
              (Strings{"FRST.Update", "LAST.Update", "A.Update", "B.Update", "FRST.ObjectRemoved A",
                       "LAST.ObjectRemoved A", "FRST.ObjectRemoved B", "LAST.ObjectRemoved B",
                       "FRST.ObjectRemoved C", "LAST.ObjectRemoved C"}));
}

TEST_F(SceneDeletion, FromASystemTheRestOfTheStepIsSkipped) {
    static_cast<RecordingSystem&>(*own->FindSystem(FourCC("FRST"))).onUpdate = [this] {
        ObjectsManager::Delete(own);
    };
    own->Update(0.1f);
    EXPECT_EQ(Probe::alive, 0);
    EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "LAST.Update"), 0);
    EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "A.Update"), 0);
}

TEST_F(SceneDeletion, FromAMessageDuringTheSceneUpdate) {
    Get(0)->onMessage = [this](Probe&, uint32_t, uint32_t) { ObjectsManager::Delete(own); };
    Messages().Post(Get(0), FourCC("ONE"), 0);
    Messages().Post(Get(1), FourCC("TWO"), 0);
    own->Update(0.1f);
    EXPECT_EQ(Probe::alive, 0);
    EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "B.OnMessage TWO 0"), 0);
}

TEST_F(SceneDeletion, FromAMessageDeliveredOutsideTheScenesPasses) {
    Get(2)->onMessage = [this](Probe&, uint32_t, uint32_t) { ObjectsManager::Delete(own); };
    Messages().Post(Get(2), FourCC("ONE"), 0);
    Messages().Post(Get(2), FourCC("TWO"), 0);
    Messages().Update(0.0f); // the message system itself goes with the scene
    EXPECT_EQ(Probe::alive, 0);
}

TEST_F(SceneDeletion, FromADrawingPass) {
    Get(0)->onDraw = [this](Probe&) { ObjectsManager::Delete(own); };
    own->Render();
    EXPECT_EQ(Probe::alive, 0);
    EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "B.Draw"), 0);
}

// A scene whose walk lasts (a nested game process runs inside it) must not keep running or
// drawing what it let go until the walk returns.
TEST_F(Reentrancy, AnObjectLetGoInsideAWalkLeavesItsSystemsChunksAtOnce) {
    scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "KEEP", true));
    LoadDefinitionsText("(Final (Kept Probe (KEEP)))");
    const System& keep = *scene->FindSystem(FourCC("KEEP"));
    std::unique_ptr<Object> made = scene->CreateObject("Kept", false);
    Object* first = made.get();
    scene->AddObject(std::move(made));
    made = scene->CreateObject("Kept", false);
    Object* second = made.get();
    scene->AddObject(std::move(made));
    ASSERT_EQ(keep.Chunks().size(), 2u);
    const int alive = Probe::alive;
    {
        const ObjectsManager::WalkScope walk(*scene);
        scene->DestroyObject(first);
        ASSERT_EQ(keep.Chunks().size(), 1u);
        EXPECT_EQ(keep.Chunks()[0]->object, second);
        EXPECT_EQ(Probe::alive, alive) << "not freed inside the walk";
    }
    EXPECT_EQ(Probe::alive, alive - 1);
    ASSERT_EQ(keep.Chunks().size(), 1u);
    EXPECT_EQ(keep.Chunks()[0]->object, second);
}

} // namespace
