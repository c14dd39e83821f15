// Broken definition and scene files: each gives its error, and whatever was built of the
// broken object is gone.

#include "engine/ObjectsManager.h"
#include "tests/engine/SceneFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

std::string MoreData(const std::string& file, const std::string& value,
                     const std::string& listName) {
    return "Parcon Error: More data expected! Last read:\n\nFile: " + file + "\nValue: " + value +
           "\nList name: " + listName;
}

struct BrokenCase {
    const char* name;
    std::string definitions; // added to a definition of Good, a final Probe
    std::string scene;       // written as levels/test.txt
    std::string error;
    Strings objectsAfter; // what the scene holds after the failed load
};

std::ostream& operator<<(std::ostream& out, const BrokenCase& broken) {
    return out << broken.name;
}

class BrokenFiles : public SceneTest, public testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenFiles, GiveTheirErrorAndLeaveNoHalfBuiltObject) {
    scene->AddSystem(std::make_unique<SpriteStandInSystem>(scene.get()));
    LoadDefinitionsText("(Final (Good Probe (POSI))\n" + GetParam().definitions + ")\n");
    WriteData("levels/test.txt", GetParam().scene);
    EXPECT_EQ(ErrorOf([&] { scene->LoadScene("levels/test.txt", false); }), GetParam().error);
    EXPECT_EQ(Names(), GetParam().objectsAfter);
    EXPECT_EQ(static_cast<std::size_t>(Probe::alive), scene->Objects().size())
        << "an object outside the scene is still alive";
    EXPECT_EQ(scene->ScenePath(), "") << "a failed load is not a loaded scene";
}

const std::string kLong(1000, 'L');
const std::string kObjects = "(Objects (Good) (Broken) (Good))";

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenFiles,
    testing::Values(
        BrokenCase{"NoDefinition", "", kObjects, "Object Broken not found!", {"Good"}},
        BrokenCase{
            "BaseLeadsNowhere", "(Broken Nowhere)", kObjects, "Object Broken not found!", {"Good"}},
        BrokenCase{"NotFinal",
                   ")(Base (Broken Probe)",
                   kObjects,
                   "Incomplete object created (Broken)!",
                   {"Good"}},
        BrokenCase{"OwnBase",
                   "(Broken Broken)",
                   kObjects,
                   "Definition Broken refers back to itself!",
                   {"Good"}},
        BrokenCase{"BaseChainLoop",
                   "(Broken Other) (Other Broken)",
                   kObjects,
                   "Definition Broken refers back to itself!",
                   {"Good"}},
        BrokenCase{"WordLoop",
                   "(Broken Probe Other) (Other Probe Third) (Third Probe Other)",
                   kObjects,
                   "Definition Other refers back to itself!",
                   {"Good"}},
        BrokenCase{"WordNamesItself",
                   "(Broken Probe (Data (a 1)) Broken)",
                   kObjects,
                   "Definition Broken refers back to itself!",
                   {"Good"}},
        BrokenCase{"UnknownSystem",
                   "(Broken Probe (POSI) (ZZZZZ 1))",
                   kObjects,
                   "Unknown system: ZZZZZ",
                   {"Good"}},
        BrokenCase{
            "UnnamedSection", "(Broken Probe [1 2])", kObjects, "Unknown system: ", {"Good"}},
        BrokenCase{"SystemWithoutChunks",
                   "(Broken Probe (MSGS))",
                   kObjects,
                   "System MSGS makes no chunks (object Broken)",
                   {"Good"}},
        BrokenCase{"CollisionWithoutPosition",
                   "(Broken Probe (COLI))",
                   kObjects,
                   "Unresolved dependencies in systems",
                   {"Good"}},
        BrokenCase{"RegionWithoutSprite",
                   "(Broken Probe (POSI) (COLI) (regionFromSprite idle))",
                   kObjects,
                   "Broken has no SPRT chunk",
                   {"Good"}},
        BrokenCase{"RegionWithoutCollision",
                   "(Broken Probe (SPRT) (regionFromSprite idle))",
                   kObjects,
                   "Broken has no COLI chunk",
                   {"Good"}},
        BrokenCase{"RegionWithoutAnimation",
                   "(Broken Probe (SPRT) (POSI) (COLI) (regionFromSprite))",
                   kObjects,
                   MoreData("scripts/objects.txt", "regionFromSprite", "regionFromSprite"),
                   {"Good"}},
        BrokenCase{"NameWithoutText",
                   "(Broken Probe (Name))",
                   kObjects,
                   MoreData("scripts/objects.txt", "Name", "Name"),
                   {"Good"}},
        BrokenCase{"VisNameWithoutText",
                   "",
                   "(Objects (Good) (Good (visName)))",
                   MoreData("levels/test.txt", "visName", "visName"),
                   {"Good"}},
        BrokenCase{"PositionWithoutY",
                   "",
                   "(Objects (Good (POSI (position 1))))",
                   MoreData("levels/test.txt", "1", "position"),
                   {}},
        BrokenCase{"DefinitionReaderThrows",
                   "(Broken FailingProbe (Data (a 1)))",
                   kObjects,
                   "FailingProbe refuses its data",
                   {"Good"}},
        BrokenCase{"MetaWord",
                   "",
                   "(Meta (Name x) loose) (Objects (Good))",
                   "A Meta entry that is not a list in levels/test.txt",
                   {}},
        BrokenCase{"MetaUnnamedList",
                   "",
                   "(Meta [Name x])",
                   "A Meta entry without a key in levels/test.txt",
                   {}},
        BrokenCase{
            "MetaEmptyList", "", "(Meta ())", "A Meta entry without a key in levels/test.txt", {}},
        BrokenCase{"MetaWithoutValue",
                   "",
                   "(Meta (Name))",
                   MoreData("levels/test.txt", "Name", "Name"),
                   {}},
        BrokenCase{"ObjectsWord",
                   "",
                   "(Objects (Good) Good)",
                   "An Objects entry that is not a list in levels/test.txt",
                   {"Good"}},
        BrokenCase{"ObjectsUnnamedList",
                   "",
                   "(Objects (Good) [Good])",
                   "An Objects entry without a definition name in levels/test.txt",
                   {"Good"}},
        BrokenCase{"ObjectsEmptyList",
                   "",
                   "(Objects () (Good))",
                   "An Objects entry without a definition name in levels/test.txt",
                   {}},
        BrokenCase{"LongName",
                   "",
                   "(Objects (Good) (" + kLong + "))",
                   ("Object " + kLong).substr(0, 255),
                   {"Good"}},
        BrokenCase{"LongSystemName",
                   "",
                   "(Objects (Good (" + kLong + ")))",
                   ("Unknown system: " + kLong).substr(0, 255),
                   {}}),
    [](const testing::TestParamInfo<BrokenCase>& param) { return std::string(param.param.name); });

TEST_F(SceneTest, MissingSceneFileIsTheParsersError) {
    EXPECT_EQ(ErrorOf([&] { scene->LoadScene("levels/none.txt", true); }),
              "Parcon Error: Cannot find file levels/none.txt!");
}

struct BrokenDefinitions {
    const char* name;
    std::string text;
    std::string error;
};

std::ostream& operator<<(std::ostream& out, const BrokenDefinitions& broken) {
    return out << broken.name;
}

class BrokenDefinitionFiles : public SceneTest,
                              public testing::WithParamInterface<BrokenDefinitions> {};

TEST_P(BrokenDefinitionFiles, GiveTheirError) {
    WriteData("scripts/objects.txt", GetParam().text);
    EXPECT_EQ(ErrorOf([&] { scene->LoadDefinitions("scripts/objects.txt"); }), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenDefinitionFiles,
    testing::Values(BrokenDefinitions{"UnnamedDefinition", "(Final [Lamp Probe])",
                                      "A definition without a name in scripts/objects.txt"},
                    BrokenDefinitions{"EmptyDefinition", "(Base ())",
                                      "A definition without a name in scripts/objects.txt"},
                    BrokenDefinitions{"LabelWithoutText", "(Final (Lamp Probe (Label)))",
                                      MoreData("scripts/objects.txt", "Label", "Label")}),
    [](const testing::TestParamInfo<BrokenDefinitions>& param) {
        return std::string(param.param.name);
    });

TEST_F(SceneTest, MissingDefinitionsFileIsTheParsersError) {
    EXPECT_EQ(ErrorOf([&] { scene->LoadDefinitions("scripts/none.txt"); }),
              "Parcon Error: Cannot find file scripts/none.txt!");
}

TEST_F(SceneTest, DeepButFiniteDefinitionChainsAreRefusedBeforeTheStackRunsOut) {
    std::string text = "(Base\n";
    for (int i = 0; i < 5000; ++i) {
        text += "(D" + std::to_string(i) + " Probe D" + std::to_string(i + 1) + ")\n";
    }
    text += ")(Final (Top Probe D0))";
    LoadDefinitionsText(text);
    EXPECT_EQ(ErrorOf([&] { scene->CreateObject("Top", false); }),
              "Definitions nested too deeply at D99!");
    EXPECT_EQ(Probe::alive, 0);
}

TEST_F(SceneTest, ChainsWithinTheLimitAreRead) {
    std::string text = "(Base\n";
    for (int i = 0; i < 90; ++i) {
        text += "(D" + std::to_string(i) + " D" + std::to_string(i + 1) + ")\n";
    }
    text += "(D90 Probe (Data (depth 90))))(Final (Top D0))";
    LoadDefinitionsText(text);
    const std::unique_ptr<Object> top = scene->CreateObject("Top", false);
    EXPECT_EQ(dynamic_cast<Probe&>(*top).properties, (Strings{"depth=90"}));
}

} // namespace
