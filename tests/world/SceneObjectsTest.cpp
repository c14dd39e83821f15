#include "engine/ClassFactory.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/NormalLevelSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FlagCase {
    const char* name;
    const char* data;                  // the object's Data keys
    std::vector<std::string> flagsSet; // whole flag names set before the first step
    bool enabled;
};

class FlagRules : public SceneObjects, public testing::WithParamInterface<FlagCase> {};

TEST_P(FlagRules, DecideTheEnabledState) {
    for (const std::string& flag : GetParam().flagsSet) {
        CurrentPlayer->SetFlag(flag.substr(0, flag.find(':')), flag.substr(flag.find(':') + 1), 1);
    }
    Load("(Thing BaseGameObject (POSI) (SPRT) (Data " + std::string(GetParam().data) + "))",
         "(Thing (visName lamp))");
    Run(1);
    auto* lamp = dynamic_cast<BaseGameObject*>(Find("lamp"));
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->enabled, GetParam().enabled);
    EXPECT_EQ(dynamic_cast<RenderChunk*>(lamp->GetChunk(FourCC("SPRT"), 0))->visible,
              GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlagRules,
    testing::Values(
        FlagCase{"NoListsKeepsTheKey", "(enabled 0)", {}, false},
        FlagCase{"NoListsEnabled", "", {}, true},
        FlagCase{"EnableAllSet", "(enableFlag a b)", {"room:a", "room:b"}, true},
        FlagCase{"EnableOneMissing", "(enableFlag a b)", {"room:a"}, false},
        FlagCase{"EnableFlagAfterEnabledStillWaits", "(enabled 1) (enableFlag a)", {}, false},
        FlagCase{"GlobalListAloneDecides", "(enableFlag a) (enableGlobalFlag w:g)", {"w:g"}, true},
        FlagCase{
            "GlobalListOverridesLocal", "(enableFlag a) (enableGlobalFlag w:g)", {"room:a"}, false},
        FlagCase{"AnyDisableFlag", "(disableFlag a b)", {"room:b"}, false},
        FlagCase{
            "DisableWinsOverEnable", "(enableFlag a) (disableFlag b)", {"room:a", "room:b"}, false},
        FlagCase{"DisableGlobal", "(disableGlobalFlag w:x)", {"w:x"}, false},
        FlagCase{"OtherLevelsFlagsDoNotCount", "(enableFlag a)", {"hall:a"}, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SceneObjects, EvaluatesFirstAtOnceThenEveryUpdateDelay) {
    Load("(Thing BaseGameObject (Data (enableFlag a) (updateDelay 0.5)))",
         "(Thing (visName lamp))");
    auto* lamp = dynamic_cast<BaseGameObject*>(Find("lamp"));
    ASSERT_NE(lamp, nullptr);
    // The first evaluation is the load's own update; the steps below keep clear of the 0.5 s
    // boundary (30 steps), where rounding decides.
    Run(1);
    EXPECT_FALSE(lamp->enabled);
    CurrentPlayer->SetFlag("room", "a", 1);
    Run(28); // 29 steps since the load: not yet
    EXPECT_FALSE(lamp->enabled);
    Run(2);
    EXPECT_TRUE(lamp->enabled);
    EXPECT_EQ(Flag("lamp_enabled"), 1); // without a fade the flag is written at once
}

// The whole path of a flag-enabled object: it fades in over its time with its sound started
// once and "_enabled" in the profile; a kill-on-disable fade-out then leaves "_killed".
TEST_F(SceneObjects, FlagEnabledObjectFadesInThenFadesOutKilled) {
    Load("(GameAnim BaseGameObject (POSI) (SPRT) (Data (updateDelay 0.2) (enableFlag open) "
         "(disableFlag gone) "
         "(fadeOnEnable 1) (enableTime 1.0) (enableSound on) (fadeOnDisable 1) "
         "(killOnDisable 1) (disableTime 0.5) (disableSound off)))",
         "(GameAnim (visName door))");
    Run(1);
    EXPECT_EQ(Count("FxBlendIn"), 0);
    CurrentPlayer->SetFlag("room", "open", 1);
    Run(12); // the next evaluation starts the fade
    ASSERT_EQ(Count("FxBlendIn"), 1);
    Run(30);
    EXPECT_NEAR(Alpha("door"), 0.5f, 0.05f);
    EXPECT_EQ(Flag("door_enabled"), 0);
    Run(40);
    EXPECT_EQ(Count("FxBlendIn"), 0);
    EXPECT_FLOAT_EQ(Alpha("door"), 1.0f);
    EXPECT_EQ(Flag("door_enabled"), 1);
    EXPECT_NE(PlayerBytes("0.pla").find("room:door_enabled"), std::string::npos);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"on"});

    CurrentPlayer->SetFlag("room", "gone", 1);
    Run(13);
    ASSERT_EQ(Count("FxBlendOut"), 1);
    EXPECT_EQ(Flag("door_killed"), 0); // the fade kills, not the evaluation
    Run(40);
    EXPECT_EQ(Find("door"), nullptr);
    EXPECT_EQ(Count("FxBlendOut"), 0);
    EXPECT_EQ(Flag("door_killed"), 1);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"on", "off"}));
}

TEST_F(SceneObjects, KilledObjectIsGoneOnTheNextLoad) {
    CurrentPlayer->SetFlag("room", "door_killed", 1);
    // As in the game's scene files, the entry's own Data list comes after its name: the
    // killed flag is checked there.
    Load("(Thing BaseGameObject (Data (enableSound on)))", "(Thing (visName door) (Data))");
    Run(1);
    EXPECT_EQ(Find("door"), nullptr);
}

TEST_F(SceneObjects, KillOnDisableWithoutFadeKillsAtTheEvaluation) {
    Load("(Thing BaseGameObject (Data (disableFlag x) (killOnDisable 1)))",
         "(Thing (visName box))");
    CurrentPlayer->SetFlag("room", "x", 1);
    Run(13); // the next evaluation
    EXPECT_EQ(Find("box"), nullptr);
    EXPECT_EQ(Flag("box_killed"), 1);
}

TEST_F(SceneObjects, AlreadyEnabledObjectPlaysNoEnableSoundAgain) {
    CurrentPlayer->SetFlag("room", "lamp_enabled", 1);
    Load("(Thing BaseGameObject (Data (enableFlag a) (enableSound on)))", "(Thing (visName lamp))");
    CurrentPlayer->SetFlag("room", "a", 1);
    Run(13); // the next evaluation turns it on
    EXPECT_TRUE(dynamic_cast<BaseGameObject*>(Find("lamp"))->enabled);
    EXPECT_TRUE(PlayedFiles().empty());
}

// A scene object that is not a BaseGameObject.
class Prop : public Object, public OCreator<Prop> {
public:
    static constexpr std::string_view kClassName = "Prop";
    explicit Prop(ObjectsManager* owner) : Object(owner) { SetCreator(this, 0, 0); }
    void SetProperty(const ParconCursor&) override {}
};
const Registerer<Prop> kProp;

constexpr const char* kLabelled =
    "(Back BaseGameObject (POSI) (SPRT) (Name BACK) (Data (killOnDisable 1))) "
    "(Propped Prop (POSI) (SPRT) (Name BACK)) (Other BaseGameObject (POSI) (SPRT) "
    "(Name BACX))";
constexpr const char* kLabelledObjects =
    "(Back (visName a)) (Propped (visName b)) (Other (visName c))";

TEST_F(SceneObjects, BlendOutSelectsByLabelAndFadesEveryKindOfTarget) {
    Level& level = Load(kLabelled, kLabelledObjects);
    Run(1);
    auto& blend = AddBlend<FxBlendOut>(level);
    blend.Start("BACKZ", 0, 0.0f);
    blend.time = 0.5f;
    EXPECT_EQ(blend.targets.size(), 2u);
    Run(15);
    EXPECT_NEAR(Alpha("a"), 0.5f, 0.04f);
    EXPECT_NEAR(Alpha("b"), 0.5f, 0.04f);
    EXPECT_FLOAT_EQ(Alpha("c"), 1.0f);
    Run(20);
    EXPECT_EQ(Find("a"), nullptr); // killOnDisable
    EXPECT_EQ(Flag("a_killed"), 1);
    EXPECT_FLOAT_EQ(Alpha("b"), 0.0f);
}

TEST_F(SceneObjects, BlendOutsSecondStartAddsItsTargetsToTheFirst) {
    Level& level = Load(kLabelled, kLabelledObjects);
    Run(1);
    auto& blend = AddBlend<FxBlendOut>(level);
    blend.Start("BACK", 0, 0.0f);
    blend.Start("BACX", 0, 0.0f);
    blend.Start("BACK", 0, 0.0f); // nothing taken twice
    EXPECT_EQ(blend.targets.size(), 3u);
    EXPECT_EQ(blend.label, "BACK");
    blend.time = 0.5f;
    Run(15);
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_NEAR(Alpha(name), 0.5f, 0.04f) << name;
    }
    Run(20);
    EXPECT_FLOAT_EQ(Alpha("b"), 0.0f);
    EXPECT_FLOAT_EQ(Alpha("c"), 0.0f);
    EXPECT_FALSE(dynamic_cast<BaseGameObject*>(Find("c"))->enabled);
}

// A blend-in placed in a scene takes its label's objects from its own definition: they start at
// forceAlpha, 800 pixels above their place with move, and arrive at full alpha in their place.
TEST_F(SceneObjects, BlendInFromItsDefinitionTakesItsLabelsObjects) {
    struct Case {
        const char* forceAlpha;
        float midway;
    };
    for (const Case& test : {Case{"0", 0.5f}, Case{"0.25", 0.25f}}) {
        SCOPED_TRACE(test.forceAlpha);
        StartAgain();
        MakeProfile(0, "Ann");
        InstallDialogueHook();
        Load(std::string(kLabelled) + " (Rise FxBlendIn (Data (name BACK) (time 0.5) (move 1) " +
                 "(forceAlpha " + test.forceAlpha + ")))",
             std::string(kLabelledObjects) + " (Rise (visName rise))");
        ASSERT_EQ(Count("FxBlendIn"), 1);
        const auto& blend = dynamic_cast<const FxBlendIn&>(*Find("rise"));
        EXPECT_EQ(blend.targets.size(), 2u);
        auto y = [this](const char* name) {
            return dynamic_cast<PositionChunk*>(Find(name)->GetChunk(FourCC("POSI"), 0))->y;
        };
        EXPECT_FLOAT_EQ(y("a"), -FxBlendIn::kMoveDistance); // its place is (0, 0)
        EXPECT_FLOAT_EQ(Alpha("c"), 1.0f);
        Run(15);
        EXPECT_NEAR(Alpha("a"), test.midway, 0.04f);
        EXPECT_NEAR(Alpha("b"), test.midway, 0.04f);
        EXPECT_NEAR(y("a"), -400.0f, 30.0f);
        Run(20);
        EXPECT_EQ(Count("FxBlendIn"), 0);
        EXPECT_FLOAT_EQ(Alpha("a"), 1.0f);
        EXPECT_FLOAT_EQ(y("a"), 0.0f);
        EXPECT_EQ(Flag("b_enabled"), 1);
        EXPECT_EQ(Flag("c_enabled"), 0);
    }
}

TEST_F(SceneObjects, BlendInOfTimeZeroEndsAtTheFirstStep) {
    Level& level = Load(kLabelled, kLabelledObjects);
    auto& blend = AddBlend<FxBlendIn>(level);
    blend.Start("BACK", 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(Alpha("a"), 0.0f);
    Run(1);
    EXPECT_FLOAT_EQ(Alpha("a"), 1.0f);
    EXPECT_FLOAT_EQ(Alpha("b"), 1.0f);
    EXPECT_EQ(Flag("a_enabled"), 1);
    EXPECT_EQ(Flag("b_enabled"), 1);
    EXPECT_EQ(Flag("c_enabled"), 0);
}

TEST_F(SceneObjects, BlendDropsATargetThatLeavesTheScene) {
    Level& level = Load(kLabelled, kLabelledObjects);
    auto& blend = AddBlend<FxBlendIn>(level);
    blend.Start("BACK", 0.0f, 1.0f);
    level.DestroyObject(Find("b"));
    EXPECT_EQ(blend.targets.size(), 1u);
    Find("a")->dead = true;
    blend.PurgeDeadTargets();
    EXPECT_TRUE(blend.targets.empty());
    Run(70);
}

TEST_F(SceneObjects, BlendOutClosesTheMiniGameAfterItsHold) {
    for (const bool returnFlag : {false, true}) {
        SCOPED_TRACE(returnFlag);
        Load(kLabelled, kLabelledObjects);
        Level miniGame;
        miniGame.Load();
        ModalLevel = &miniGame;
        miniGame.returnFlag = returnFlag;
        miniGame.levelSystem->leaveArmed = true;
        auto& blend = AddBlend<FxBlendOut>(*gameLevel);
        blend.Start("PUZZ", 0, 0.0f);
        blend.time = 0.5f;
        Run(31);
        EXPECT_EQ(miniGame.state, 0); // holding at alpha 0
        Run(90);
        EXPECT_EQ(miniGame.state, returnFlag ? 5 : 6);
        EXPECT_TRUE(miniGame.blendFinished);
        ModalLevel = nullptr;
    }
}

TEST_F(SceneObjects, DialogueOpensItsDelayAfterTheSceneHasLoaded) {
    Level& level = Load("(Talk GameModalDialog (Data (fileName t.txt) (delay 0.5)))",
                        "(Talk (visName dialog3))");
    level.sceneLoaded = false;
    Run(60);
    EXPECT_TRUE(dialogues.empty());
    level.sceneLoaded = true;
    Run(30);
    EXPECT_TRUE(dialogues.empty());
    Run(2);
    EXPECT_EQ(dialogues, std::vector<std::string>{"t.txt 1 []"});
    EXPECT_EQ(Find("dialog3"), nullptr);
    EXPECT_EQ(Flag("dialog3_killed"), 1);
}

TEST_F(SceneObjects, ShownDialogueNeverShowsAgainUnlessRepeatable) {
    CurrentPlayer->SetFlag("room", "dialog3_killed", 1);
    Load("(Talk GameModalDialog (Data (fileName t.txt))) "
         "(Again GameModalDialog (Data (fileName u.txt) (repeat 1)))",
         "(Talk (visName dialog3) (Data)) (Again (visName again) (Data))");
    Run(3);
    EXPECT_EQ(dialogues, std::vector<std::string>{"u.txt 1 []"});
    EXPECT_EQ(Flag("again_killed"), 0);
}

TEST_F(SceneObjects, DialogueThatLosesItsSceneMeanwhileTouchesNothing) {
    Level& level = Load("(Talk GameModalDialog (Data (fileName t.txt)))", "(Talk (visName d))");
    duringDialogue = [&level] { level.Clear(); };
    Run(2);
    EXPECT_EQ(dialogues.size(), 1u);
    EXPECT_EQ(Flag("d_killed"), 0);
}

TEST_F(SceneObjects, WithoutGameLevelOrPlayerFlagsReadZeroAndWritesAreSkipped) {
    ObjectsManager menu;
    BaseGameObject object(&menu);
    object.visName = "button";
    object.Kill();
    EXPECT_TRUE(object.dead);
    EXPECT_EQ(BaseGameObject::GetLevelFlag("button_killed"), 0);
    Load("(Thing BaseGameObject)", "(Thing (visName t))");
    CurrentPlayer = nullptr;
    Run(1);
    dynamic_cast<BaseGameObject*>(Find("t"))->Kill();
    Run(1);
}

TEST(BaseGameObjectDefaults, OwnerlessHasTheSameDefaults) {
    const BaseGameObject object;
    EXPECT_TRUE(object.enabled);
    EXPECT_FLOAT_EQ(object.enableTime, 2.0f);
    EXPECT_FLOAT_EQ(object.disableTime, 1.5f);
    EXPECT_FLOAT_EQ(object.updateDelay, 0.2f);
    EXPECT_FLOAT_EQ(object.stateTimer, -1.0f);
    EXPECT_EQ(object.highlightEmitter, nullptr);
    EXPECT_EQ(object.eventReceiver, nullptr);
}

} // namespace
