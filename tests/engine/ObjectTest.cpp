#include "engine/Object.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "tests/engine/SceneFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

class ObjectDefinitions : public SceneTest {
protected:
    // The probe made from a definition, which the test owns.
    std::unique_ptr<Probe> Create(const std::string& definition) {
        std::unique_ptr<Object> object = scene->CreateObject(definition, false);
        auto* probe = dynamic_cast<Probe*>(object.get());
        EXPECT_NE(probe, nullptr);
        object.release();
        return std::unique_ptr<Probe>(probe);
    }
};

TEST(ObjectConstruction, OwnedObjectStartsEmpty) {
    ObjectsManager scene;
    Probe probe(&scene);
    EXPECT_EQ(probe.owner, &scene);
    EXPECT_FALSE(probe.dead);
    EXPECT_FALSE(probe.drawFirst);
    EXPECT_EQ(probe.code, 0u);
    EXPECT_EQ(probe.visName, "");
    EXPECT_EQ(probe.name, "");
    EXPECT_TRUE(probe.Chunks().empty());
    EXPECT_EQ(probe.GetClassName(), "Probe");
}

// An object that never enters a scene, made without an owner.
class Loose : public Object {
public:
    void SetProperty(const ParconCursor&) override {}
};

TEST(ObjectConstruction, ObjectWithoutOwnerIsUnknownAndHasNoClass) {
    Loose loose;
    EXPECT_EQ(loose.owner, nullptr);
    EXPECT_EQ(loose.visName, "unknown");
    EXPECT_EQ(loose.GetClassName(), "");
    EXPECT_TRUE(loose.Update(0.0f));
    loose.dead = true;
    EXPECT_FALSE(loose.Update(0.0f)) << "the default update keeps the object while it lives";
}

TEST_F(ObjectDefinitions, ClassNameIsTheRegisteredNameOfTheMostDerivedClass) {
    LoadDefinitionsText("(Final (Plain Probe) (Holder ProbeHolder))");
    EXPECT_EQ(Create("Plain")->GetClassName(), "Probe");
    EXPECT_EQ(Create("Holder")->GetClassName(), "ProbeHolder");
}

TEST_F(ObjectDefinitions, NamedDefinitionsAreReadWhereTheyStandAndLaterKeysOverride) {
    LoadDefinitionsText("(Base\n"
                        "  (Common (Data (colour red) (size 1)))\n"
                        "  (Second (Data (size 2))))\n"
                        "(Final\n"
                        "  (Lamp Probe (Data (first yes)) Common (Data (colour blue)) Second))\n");
    const std::unique_ptr<Probe> lamp = Create("Lamp");
    EXPECT_EQ(lamp->properties,
              (Strings{"first=yes", "colour=red", "size=1", "colour=blue", "size=2"}));
    EXPECT_EQ(lamp->name, "Lamp");
    EXPECT_EQ(lamp->owner, scene.get());
}

TEST_F(ObjectDefinitions, BaseDefinitionsAreReadBeforeTheDerivedKeys) {
    LoadDefinitionsText("(Base (Grand Probe (Data (level grand)) (Name GRAN))\n"
                        "      (Parent Grand (Data (level parent))))\n"
                        "(Final (Child Parent (Data (level child))))\n");
    const std::unique_ptr<Probe> child = Create("Child");
    EXPECT_EQ(child->properties, (Strings{"level=grand", "level=parent", "level=child"}));
    EXPECT_EQ(child->code, FourCC("GRAN"));
}

TEST_F(ObjectDefinitions, SceneEntrySkipsWordsAndOverridesTheDefinition) {
    LoadDefinitionsText("(Base (Common (Data (colour red))))\n"
                        "(Final (Lamp Probe (Data (colour blue))))\n");
    LoadSceneText("(Objects (Lamp Common (Data (colour green))))");
    ASSERT_NE(Find("Lamp"), nullptr);
    EXPECT_EQ(Find("Lamp")->properties, (Strings{"colour=blue", "colour=green"}));
}

TEST_F(ObjectDefinitions, DiamondsAndRepeatedNamesAreReadEachTimeTheyAreNamed) {
    LoadDefinitionsText("(Base (Root (Data (from root)))\n"
                        "      (Left Root (Data (from left)))\n"
                        "      (Right Root (Data (from right))))\n"
                        "(Final (Both Probe Left Right Root Root))\n");
    EXPECT_EQ(Create("Both")->properties, (Strings{"from=root", "from=left", "from=root",
                                                   "from=right", "from=root", "from=root"}));
}

TEST_F(ObjectDefinitions, CommonKeysSetTheirFields) {
    LoadDefinitionsText("(Final (Lamp Probe (visName \"A lamp\") (enableFlag a b) (disableFlag c)\n"
                        "  (enableFlag d) (Label ignored here) (Name BPAK)))\n");
    const std::unique_ptr<Probe> lamp = Create("Lamp");
    EXPECT_EQ(lamp->visName, "A lamp");
    EXPECT_EQ(lamp->GetEnableFlags(), (Strings{"a", "b", "d"}));
    EXPECT_EQ(lamp->GetDisableFlags(), (Strings{"c"}));
    EXPECT_EQ(lamp->code, 0x4250414Bu);
    EXPECT_TRUE(lamp->properties.empty());
}

TEST_F(ObjectDefinitions, ShortAndLongCodesArePackedLikeIds) {
    LoadDefinitionsText("(Final (Short Probe (Name AB)) (Long Probe (Name LONGER)))");
    EXPECT_EQ(Create("Short")->code, 0x41420000u);
    EXPECT_EQ(Create("Long")->code, FourCC("LONG"));
}

TEST_F(ObjectDefinitions, DataMustBeTheWholeHead) {
    LoadDefinitionsText("(Final (Lower Probe (data (a 1))) (Longer Probe (Datas (a 1))))");
    EXPECT_EQ(ErrorOf([&] { Create("Lower"); }), "Unknown system: data");
    EXPECT_EQ(ErrorOf([&] { Create("Longer"); }), "Unknown system: Datas");
}

TEST_F(ObjectDefinitions, RepeatedSectionReachesTheSameChunk) {
    LoadDefinitionsText("(Final (Lamp Probe (POSI (position 1 2) (rotation 30))))");
    LoadSceneText("(Objects (Lamp (POSI (position 5 6))))");
    Probe* lamp = Find("Lamp");
    ASSERT_NE(lamp, nullptr);
    ASSERT_EQ(lamp->Chunks().at(FourCC("POSI")).size(), 1u);
    const auto& position = lamp->RequireChunk<PositionChunk>(FourCC("POSI"));
    EXPECT_EQ(position.x, 5.0f);
    EXPECT_EQ(position.y, 6.0f);
    EXPECT_EQ(position.initialX, 5.0f);
    EXPECT_EQ(position.rotation, 30.0f);
}

TEST_F(ObjectDefinitions, IndexWordsGiveFurtherChunksOfOneSystem) {
    scene->AddSystem(std::make_unique<SpriteStandInSystem>(scene.get()));
    LoadDefinitionsText("(Final (Lamp Probe (SPRT) (SPRT 1) (SPRT button) (SPRT 1)))");
    const std::unique_ptr<Probe> lamp = Create("Lamp");
    const std::vector<SystemChunk*>& sprites = lamp->Chunks().at(FourCC("SPRT"));
    ASSERT_EQ(sprites.size(), 3u);
    EXPECT_EQ(lamp->GetChunk(FourCC("SPRT"), 0), sprites[0]);
    EXPECT_EQ(lamp->GetChunk(FourCC("SPRT"), FourCC("1")), sprites[1]);
    EXPECT_EQ(lamp->GetChunk(FourCC("SPRT"), FourCC("butt")), sprites[2]);
    EXPECT_EQ(sprites[2]->index, FourCC("button"));
    EXPECT_EQ(lamp->GetChunk(FourCC("SPRT"), FourCC("2")), nullptr);
    EXPECT_EQ(lamp->GetChunk(FourCC("TEXT"), 0), nullptr);
    EXPECT_EQ(sprites[1]->object, lamp.get());
}

TEST_F(ObjectDefinitions, FirstSpriteChunkIsIndexZeroWhateverItsIndex) {
    scene->AddSystem(std::make_unique<SpriteStandInSystem>(scene.get()));
    LoadDefinitionsText("(Final (Lamp Probe (SPRT 1) (SPRT 2)))");
    const std::unique_ptr<Probe> lamp = Create("Lamp");
    EXPECT_EQ(lamp->GetChunk(FourCC("SPRT"), 0), lamp->GetChunk(FourCC("SPRT"), FourCC("1")));
}

TEST_F(ObjectDefinitions, RegionFromSpriteSetsTheCurrentRectangleOnly) {
    scene->AddSystem(std::make_unique<SpriteStandInSystem>(scene.get()));
    LoadDefinitionsText("(Final (Button Probe (SPRT) (POSI) (COLI (left 1) (right 2) (top 3)\n"
                        "  (bottom 4)) (regionFromSprite idle)))\n");
    const std::unique_ptr<Probe> button = Create("Button");
    const auto& collision = button->RequireChunk<CollisionChunk>(FourCC("COLI"));
    EXPECT_EQ(collision.left, -10.0f);
    EXPECT_EQ(collision.top, -20.0f);
    EXPECT_EQ(collision.right, 30.0f);
    EXPECT_EQ(collision.bottom, 40.0f);
    EXPECT_EQ(collision.readLeft, 1.0f);
    EXPECT_EQ(collision.readRight, 2.0f);
    EXPECT_EQ(collision.readTop, 3.0f);
    EXPECT_EQ(collision.readBottom, 4.0f);
}

TEST_F(ObjectDefinitions, RegionFromSpriteNeedsAnAnimationPlayer) {
    // A 'SPRT' system whose chunks have no animation player.
    scene->AddSystem(std::make_unique<RecordingSystem>(scene.get(), "SPRT", true));
    LoadDefinitionsText("(Final (Button Probe (SPRT) (POSI) (COLI) (regionFromSprite idle)))");
    EXPECT_EQ(ErrorOf([&] { Create("Button"); }),
              "Button: its SPRT chunk has no animation player for regionFromSprite");
}

TEST_F(ObjectDefinitions, ResolvingLinksCollisionToPosition) {
    LoadDefinitionsText("(Final (Button Probe (POSI (position 100 50))\n"
                        "  (COLI (left -5) (right 5) (top -2) (bottom 2))))\n");
    const std::unique_ptr<Probe> button = Create("Button");
    const auto& collision = button->RequireChunk<CollisionChunk>(FourCC("COLI"));
    EXPECT_FALSE(collision.Contains(100.0f, 50.0f)) << "not linked yet";
    button->ResolveDependencies();
    EXPECT_TRUE(collision.Contains(100.0f, 50.0f));
    EXPECT_TRUE(collision.Contains(95.0f, 48.0f));
    EXPECT_FALSE(collision.Contains(94.9f, 50.0f));
}

TEST_F(ObjectDefinitions, MissingChunkIsAClearErrorForCode) {
    LoadDefinitionsText("(Final (Bare Probe) (Placed Probe (POSI)))");
    const std::unique_ptr<Probe> bare = Create("Bare");
    EXPECT_EQ(ErrorOf([&] { bare->RequireChunk(FourCC("COLI")); }), "Bare has no COLI chunk");
    // A chunk of another kind under the id counts as missing.
    const std::unique_ptr<Probe> placed = Create("Placed");
    EXPECT_EQ(ErrorOf([&] { placed->RequireChunk<CollisionChunk>(FourCC("POSI")); }),
              "Placed has no POSI chunk");
}

TEST_F(ObjectDefinitions, DestroyingAnObjectGivesItsChunksBackToTheirSystems) {
    LoadDefinitionsText("(Final (Button Probe (POSI) (COLI)))");
    const System& collisions = *scene->FindSystem(FourCC("COLI"));
    {
        const std::unique_ptr<Probe> button = Create("Button");
        EXPECT_EQ(collisions.Chunks().size(), 1u);
    }
    EXPECT_TRUE(collisions.Chunks().empty());
}

TEST_F(ObjectDefinitions, SystemGoingFirstLeavesNoChunkBehind) {
    auto system = std::make_unique<RecordingSystem>(scene.get(), "KEPT", true);
    Probe probe(scene.get());
    probe.AddToSystem(system.get(), 0);
    system.reset();
    EXPECT_TRUE(probe.Chunks().empty());
    EXPECT_EQ(scene->FindSystem(FourCC("KEPT")), nullptr);
}

} // namespace
