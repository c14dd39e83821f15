#include "engine/ObjectsManager.h"

#include "engine/ClassFactory.h"
#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "engine/profile.h"
#include "tests/engine/SceneFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// The journal entries that begin with one of the prefixes, in order.
Strings JournalOf(std::initializer_list<std::string> prefixes) {
    Strings picked;
    for (const std::string& entry : Journal) {
        for (const std::string& prefix : prefixes) {
            if (entry.starts_with(prefix)) {
                picked.push_back(entry);
                break;
            }
        }
    }
    return picked;
}

// ---------------------------------------------------------------------------------------------
// Definitions

class Definitions : public SceneTest {};

TEST_F(Definitions, GroupsGiveBaseAndFinalDefinitions) {
    LoadDefinitionsText("(Base (Common (Data (a 1))) (Shape Common))\n"
                        "(Final (Lamp Probe Common (Label \"first\") (Label LAMP))\n"
                        "       (Door (POSI))\n"
                        "       (Chest Probe))\n"
                        "(final (Lower Probe))\n"
                        "loose words are skipped\n");
    const ObjectDefinition* lamp = scene->GetObjectDef("Lamp");
    ASSERT_NE(lamp, nullptr);
    EXPECT_TRUE(lamp->final);
    EXPECT_EQ(lamp->baseName, "Probe");
    EXPECT_EQ(lamp->cursor.GetListName(), "Lamp");
    EXPECT_EQ(lamp->cursor.Index(), 0);
    EXPECT_EQ(scene->GetObjectDef("Door")->baseName, "") << "a list is not a base name";
    EXPECT_EQ(scene->GetObjectDef("Shape")->baseName, "Common");
    EXPECT_FALSE(scene->GetObjectDef("Shape")->final);
    EXPECT_FALSE(scene->GetObjectDef("Lower")->final) << "group names are exact";
    EXPECT_EQ(scene->GetObjectDef("Chest")->cursor.GetListName(), "Chest");
    EXPECT_EQ(scene->FinalNames(), (Strings{"Lamp", "Door", "Chest"}));
    EXPECT_EQ(scene->FinalLabels(), (Strings{"LAMP", "", ""}));
}

TEST_F(Definitions, LaterDefinitionOfANameReplacesTheEarlierOne) {
    LoadDefinitionsText("(Final (Lamp Probe (Data (from first))))");
    WriteData("scripts/more.txt", "(Base (Lamp Probe (Data (from second))))");
    scene->LoadDefinitions("scripts/more.txt");
    EXPECT_FALSE(scene->GetObjectDef("Lamp")->final);
    EXPECT_EQ(ErrorOf([&] { scene->CreateObject("Lamp", false); }),
              "Incomplete object created (Lamp)!");
    const std::unique_ptr<Object> lamp = scene->CreateObject("Lamp", true);
    EXPECT_EQ(dynamic_cast<Probe&>(*lamp).properties, (Strings{"from=second"}));
}

// ---------------------------------------------------------------------------------------------
// Creating objects

class Creating : public SceneTest {};

TEST_F(Creating, BaseChainLeadsToTheRegisteredClass) {
    LoadDefinitionsText("(Base (Middle ProbeHolder) (Top Middle))\n"
                        "(Final (Leaf Top))\n");
    const std::unique_ptr<Object> leaf = scene->CreateObject("Leaf", false);
    EXPECT_EQ(leaf->GetClassName(), "ProbeHolder");
    EXPECT_EQ(leaf->name, "Leaf");
    EXPECT_EQ(leaf->owner, scene.get());
    EXPECT_TRUE(scene->Objects().empty()) << "created, not added";
}

TEST_F(Creating, ClassNameWithoutDefinitionNeedsIncompleteObjectsAllowed) {
    const std::unique_ptr<Object> probe = scene->CreateObject("Probe", true);
    EXPECT_EQ(probe->GetClassName(), "Probe");
    EXPECT_EQ(probe->name, "Probe");
    EXPECT_EQ(ErrorOf([&] { scene->CreateObject("Probe", false); }),
              "Incomplete object created (Probe)!");
}

TEST_F(Creating, NonFinalDefinitionIsFineAsABaseOnly) {
    LoadDefinitionsText("(Base (Half Probe (Data (from half))))\n"
                        "(Final (Whole Half))\n");
    EXPECT_EQ(ErrorOf([&] { scene->CreateObject("Half", false); }),
              "Incomplete object created (Half)!");
    const std::unique_ptr<Object> whole = scene->CreateObject("Whole", false);
    EXPECT_EQ(dynamic_cast<Probe&>(*whole).properties, (Strings{"from=half"}));
}

TEST_F(Creating, ClassNamesAreCaseSensitive) {
    EXPECT_EQ(ErrorOf([&] { scene->CreateObject("probe", true); }), "Object probe not found!");
}

TEST_F(Creating, ErrorTextsStayBoundedForLongNames) {
    const std::string longName(1000, 'x');
    const std::string error = ErrorOf([&] { scene->CreateObject(longName, true); });
    EXPECT_EQ(error.size(), 255u);
    EXPECT_TRUE(error.starts_with("Object xxxx"));
}

TEST_F(Creating, ProfilesCreationAndDefinitionReading) {
    ProfileReset();
    LogCapture log; // the profiler keeps what it can show: with the log on
    LoadDefinitionsText("(Final (Lamp Probe (POSI)))");
    LoadSceneText("(Objects (Lamp (POSI)))");
    ProfilePrint();
    ProfileReset();
    for (const char* tag :
         {"CreateObject", "omanager->GetObjectDef", "AddToSystem", "chunk->Init"}) {
        EXPECT_NE(log.Text().find("\"" + std::string(tag) + "\""), std::string::npos) << tag;
    }
}

// ---------------------------------------------------------------------------------------------
// Scene files

// A scene that journals its own virtual operations.
class JournalScene : public ObjectsManager {
public:
    void SetProperty(const std::string& key, const std::string& value) override {
        Journal.push_back("scene.SetProperty " + key + "=" + value);
    }
    void OnSceneLoaded() override { Journal.push_back("scene.OnSceneLoaded " + ScenePath()); }
    void Clear() override {
        Journal.push_back("scene.Clear");
        ObjectsManager::Clear();
    }
};

class SceneFiles : public SceneTest {
protected:
    void TearDown() override {
        ObjectsManager::SetLoadListener(nullptr);
        Mouse = MouseState();
    }
};

struct JournalLoadListener final : SceneLoadListener {
    void BeforeSceneLoad() override {
        Journal.push_back(Mouse.suppress ? "listener (mouse suppressed)" : "listener");
    }
};

TEST_F(SceneFiles, MetaEntriesAndObjectsAreReadInFileOrder) {
    JournalScene journalScene;
    journalScene.AddSystem(std::make_unique<RecordingSystem>(&journalScene, "RECS"));
    WriteData("scripts/objects.txt", "(Final (Lamp Probe (Data (k v))) (Door Probe))");
    journalScene.LoadDefinitions("scripts/objects.txt");
    WriteData("levels/room.txt", "(Meta (Name room) (Music \"a b\" ignored))\n"
                                 "(Other (Lamp))\n"
                                 "(Objects (Lamp) (Door) (Lamp))\n"
                                 "(Meta (Type gestures))\n");
    journalScene.LoadScene("levels/room.txt", false);
    EXPECT_EQ(Journal,
              (Strings{"scene.SetProperty Name=room", "scene.SetProperty Music=a b", "Lamp.Data",
                       "RECS.ObjectAdded Lamp", "Lamp.Update", "RECS.ObjectAdded Door",
                       "Door.Update", "Lamp.Data", "RECS.ObjectAdded Lamp", "Lamp.Update",
                       "scene.SetProperty Type=gestures", "scene.OnSceneLoaded levels/room.txt"}));
    ASSERT_EQ(journalScene.Objects().size(), 3u);
    EXPECT_NE(journalScene.Objects()[0], journalScene.Objects()[2]);
    EXPECT_EQ(journalScene.ScenePath(), "levels/room.txt");
}

TEST_F(SceneFiles, LoadingTellsTheListenerThenReleasesTheMouseBeforeClearing) {
    JournalScene journalScene;
    JournalLoadListener listener;
    ObjectsManager::SetLoadListener(&listener);
    WriteData("levels/empty.txt", "");
    journalScene.LoadScene("levels/empty.txt", true);
    EXPECT_EQ(Journal,
              (Strings{"listener", "scene.Clear", "scene.OnSceneLoaded levels/empty.txt"}));
    EXPECT_TRUE(Mouse.suppress);
}

TEST_F(SceneFiles, WithoutAListenerTheMouseIsStillReleased) {
    LoadSceneText("");
    EXPECT_TRUE(Journal.empty());
    EXPECT_TRUE(Mouse.suppress);
}

TEST_F(SceneFiles, ClearingFirstRemovesObjectsAndKeepsSystems) {
    LoadDefinitionsText("(Final (Lamp Probe (Name LAMP)) (Door Probe))");
    LoadSceneText("(Objects (Lamp) (Lamp))");
    WriteData("levels/next.txt", "(Objects (Door))");
    scene->LoadScene("levels/next.txt", true);
    EXPECT_EQ(Names(), (Strings{"Door"}));
    EXPECT_EQ(scene->FindByCode(FourCC("LAMP")), nullptr);
    EXPECT_EQ(scene->Systems().size(), 3u);
    scene->LoadScene("levels/next.txt", false);
    EXPECT_EQ(Names(), (Strings{"Door", "Door"}));
}

TEST_F(SceneFiles, EntryIsReadAfterItsDefinitionAndLinkedBeforeItIsAdded) {
    LoadDefinitionsText(
        "(Final (Button Probe (POSI (position 10 10)) (COLI (right 5) (bottom 5))))");
    LoadSceneText("(Objects (Button (POSI (position 20 20))))");
    Probe* button = Find("Button");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->RequireChunk<CollisionChunk>(FourCC("COLI")).Contains(22.0f, 22.0f));
}

// ---------------------------------------------------------------------------------------------
// Passes

class Passes : public SceneTest {
protected:
    // Objects First (drawn first), Plain, and the specially drawn names, with systems AAAA,
    // PART and TEXT after the fixture's.
    void Build() {
        scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "TEXT"));
        scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "AAAA"));
        scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "PART"));
        LoadDefinitionsText("(Final (Plain Probe) (First Probe) (UIDecoredLabel Probe)\n"
                            "       (UIFxFlyTo Probe) (UIFxMapPieceFly Probe) (UIPartFx Probe))");
        LoadSceneText("(Objects (Plain) (First) (UIDecoredLabel) (UIFxFlyTo))");
        Find("First")->drawFirst = true;
        Journal.clear();
    }
};

TEST_F(Passes, UpdateRunsSystemsThenObjectsAndMarksFinishedObjectsDead) {
    Build();
    Find("Plain")->onUpdate = [](Probe&, float) { return false; };
    EXPECT_EQ(scene->Update(0.5f), 1);
    EXPECT_EQ(
        JournalOf({"TEXT", "AAAA", "PART", "Plain", "First"}),
        (Strings{"TEXT.Update", "AAAA.Update", "PART.Update", "Plain.Update", "First.Update"}));
    EXPECT_TRUE(Find("Plain")->dead);
    EXPECT_FALSE(Find("First")->dead);
    EXPECT_EQ(Names().size(), 4u) << "dead objects stay until RemoveDead";
}

// Whoever updates a scene and sweeps it later (the game beneath a dialogue) must not run an
// ending twice: an object marked dead waits for the sweep without another update.
TEST_F(Passes, AnObjectMarkedDeadIsNotUpdatedAgainBeforeTheSweep) {
    Build();
    int updates = 0;
    Find("Plain")->onUpdate = [&updates](Probe&, float) {
        ++updates;
        return false;
    };
    scene->Update(0.5f);
    scene->Update(0.5f);
    EXPECT_EQ(updates, 1);
    scene->RemoveDead();
    EXPECT_EQ(Find("Plain"), nullptr);
}

TEST_F(Passes, UpdateParticlesRunsOnlyParticleSystems) {
    Build();
    scene->UpdateParticles(0.1f);
    EXPECT_EQ(Journal, (Strings{"PART.Update"}));
}

TEST_F(Passes, RenderDrawsFirstObjectsThenSystemsThenTheRestThenTexts) {
    Build();
    scene->Render();
    EXPECT_EQ(Journal,
              (Strings{"First.Draw", "AAAA.Render", "PART.Render", "Plain.Draw",
                       "UIDecoredLabel.Draw", "UIFxFlyTo.Draw", "PART.PostRender", "TEXT.Render"}));
}

TEST_F(Passes, PreRenderRunsSystemsThenObjects) {
    Build();
    scene->PreRender();
    EXPECT_EQ(JournalOf({"TEXT", "AAAA", "PART", "Plain", "First"}),
              (Strings{"TEXT.PreRender", "AAAA.PreRender", "PART.PreRender", "Plain.PreDraw",
                       "First.PreDraw"}));
}

TEST_F(Passes, PostRenderPutsLabelsAndFlyingEffectsAboveTheTexts) {
    Build();
    scene->PostRender();
    EXPECT_EQ(Journal, (Strings{"AAAA.PostRender", "PART.PostRender", "Plain.PostDraw",
                                "First.PostDraw", "UIFxFlyTo.PostDraw", "Plain.TopDraw",
                                "First.TopDraw", "UIDecoredLabel.TopDraw", "AAAA.AfterRender",
                                "PART.AfterRender", "UIDecoredLabel.PostDraw", "TEXT.PostRender",
                                "TEXT.AfterRender", "UIFxFlyTo.TopDraw"}));
}

TEST_F(Passes, PauseResumeAndPostDrawAllReachEveryObject) {
    Build();
    scene->Pause();
    scene->Resume();
    scene->PostDrawAll();
    EXPECT_EQ(JournalOf({"Plain"}), (Strings{"Plain.Pause", "Plain.Resume", "Plain.PostDraw"}));
    EXPECT_EQ(
        JournalOf({"UIDecoredLabel"}),
        (Strings{"UIDecoredLabel.Pause", "UIDecoredLabel.Resume", "UIDecoredLabel.PostDraw"}));
}

// ---------------------------------------------------------------------------------------------
// Removing objects

class Removing : public SceneTest {
protected:
    void SetUp() override {
        scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "RECS"));
        LoadDefinitionsText("(Final (A Probe (Name CODE)) (B Probe) (C Probe (Name CODE))\n"
                            "       (Holder ProbeHolder))");
    }
};

TEST_F(Removing, DeadObjectsGoRightAfterTheStepAndAreNeverDrawnAgain) {
    LoadSceneText("(Objects (A) (B) (C))");
    Find("B")->onUpdate = [](Probe&, float) { return false; };
    scene->Update(0.1f);
    scene->RemoveDead();
    EXPECT_EQ(Names(), (Strings{"A", "C"}));
    EXPECT_EQ(Probe::alive, 2);
    Journal.clear();
    scene->Render();
    EXPECT_EQ(JournalOf({"A.", "B.", "C."}), (Strings{"A.Draw", "C.Draw"}));
}

TEST_F(Removing, CodeMapKeepsTheLaterObjectAndForgetsADestroyedOne) {
    LoadSceneText("(Objects (A) (C))");
    Probe* c = Find("C");
    EXPECT_EQ(scene->FindByCode(FourCC("CODE")), c);
    c->dead = true;
    scene->RemoveDead();
    EXPECT_EQ(scene->FindByCode(FourCC("CODE")), nullptr);
    EXPECT_EQ(scene->FindByCode(0), nullptr);
}

TEST_F(Removing, ClearEmptiesObjectsCodesAndPath) {
    LoadSceneText("(Objects (A) (B))");
    Journal.clear();
    scene->Clear();
    EXPECT_TRUE(scene->Objects().empty());
    EXPECT_EQ(scene->FindByCode(FourCC("CODE")), nullptr);
    EXPECT_EQ(scene->ScenePath(), "");
    EXPECT_EQ(Journal, (Strings{"RECS.ObjectRemoved A", "RECS.ObjectRemoved B"}));
    EXPECT_EQ(Probe::alive, 0);
}

TEST_F(Removing, DestroyObjectTellsSystemsThenFreesAndIgnoresStrangers) {
    LoadSceneText("(Objects (A) (B))");
    Journal.clear();
    scene->DestroyObject(Find("A"));
    EXPECT_EQ(Journal, (Strings{"RECS.ObjectRemoved A"}));
    EXPECT_EQ(Names(), (Strings{"B"}));
    EXPECT_EQ(Probe::alive, 1);
    Probe stranger(scene.get());
    scene->DestroyObject(&stranger);
    scene->DestroyObject(nullptr);
    EXPECT_EQ(Names(), (Strings{"B"}));
}

TEST_F(Removing, ListenersDropPointersBeforeSystemsSeeTheObjectGo) {
    LoadSceneText("(Objects (A) (B) (C) (Holder))");
    auto& holder = *Find("Holder");
    holder.held = {Find("A"), Find("B"), Find("C")};
    scene->AddRemovalListener(&holder);
    scene->AddRemovalListener(&holder);
    Find("A")->dead = true;
    Find("C")->dead = true;
    Journal.clear();
    scene->RemoveDead();
    EXPECT_EQ(Journal, (Strings{"Holder.OnObjectGoing A", "RECS.ObjectRemoved A",
                                "Holder.OnObjectGoing C", "RECS.ObjectRemoved C"}));
    EXPECT_EQ(holder.held, (std::vector<Object*>{Find("B")}));
}

TEST_F(Removing, ListenersHearOfEveryWayOut) {
    LoadSceneText("(Objects (Holder) (A) (B))");
    auto& holder = *Find("Holder");
    scene->AddRemovalListener(&holder);
    scene->DestroyObject(Find("A"));
    EXPECT_EQ(JournalOf({"Holder.OnObjectGoing"}), (Strings{"Holder.OnObjectGoing A"}));
    Journal.clear();
    scene->Clear(); // the listener goes first and stops listening
    EXPECT_EQ(JournalOf({"Holder.OnObjectGoing"}), Strings{});
}

TEST_F(Removing, ListenerThatStopsListeningHearsNothing) {
    LoadSceneText("(Objects (Holder) (A))");
    auto& holder = *Find("Holder");
    scene->AddRemovalListener(&holder);
    scene->RemoveRemovalListener(&holder);
    scene->DestroyObject(Find("A"));
    EXPECT_EQ(JournalOf({"Holder.OnObjectGoing"}), Strings{});
}

TEST_F(Removing, ListenerFreedOutsideTheSceneStopsListening) {
    LoadSceneText("(Objects (A))");
    {
        Probe outsider(scene.get());
        scene->AddRemovalListener(&outsider);
    }
    scene->DestroyObject(Find("A")); // must not reach the freed listener
    EXPECT_EQ(Probe::alive, 0);
}

// ---------------------------------------------------------------------------------------------
// Class factory

TEST(ClassFactory, EverySceneSeesTheSameMapAndNothingIsFiledTwice) {
    RegisterTestClasses();
    const ObjectsManager first;
    const auto registered = ClassFactoryMap.find("Probe");
    ASSERT_NE(registered, ClassFactoryMap.end());
    const std::size_t size = ClassFactoryMap.size();
    const ObjectsManager second;
    EXPECT_EQ(ClassFactoryMap.size(), size);
    EXPECT_EQ(ClassFactoryMap.find("Probe")->second, registered->second);
    EXPECT_EQ(ClassRegistry, nullptr);
}

// A class registered after scenes exist reaches the map with the next scene.
class LateClass : public Probe, public OCreator<LateClass> {
public:
    static constexpr std::string_view kClassName = "LateClass";
    explicit LateClass(ObjectsManager* owner) : Probe(owner) {
        SetCreator(static_cast<OCreator<LateClass>*>(this), 0, 0);
    }
};

TEST(ClassFactory, RegistrarsMadeLaterJoinWithTheNextScene) {
    static const Registerer<LateClass> late;
    ASSERT_NE(ClassRegistry, nullptr);
    ObjectsManager scene;
    ASSERT_TRUE(ClassFactoryMap.contains("LateClass"));
    EXPECT_EQ(scene.CreateObject("LateClass", true)->GetClassName(), "LateClass");
}

} // namespace
