// What a scene object's change of state shows besides its own fade: the particle effects of its
// "enableFx" and "disableFx", the slide of a blend-in with "move", and the enable and disable
// dialogues. Through the real level, parser and profile.

#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/BaseGameObject.h"
#include "world/FxParticles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Particle effects

// One particle a step, each living half a second, standing where it was born.
constexpr const char* kSpark =
    "(alpha 0 1) (alpha 0.5 1) (size 0 4) (max_parts 500) (flow 0 60) (vel 0 0 0) (gravity 0)\n";

class StateEffects : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        WriteData("gfx/fx/spark.prt", kSpark);
    }
    void TearDown() override {
        SceneObjects::TearDown();
        ResetMedia(); // the animations read stay cached otherwise
    }

    static int Alive(FxParticles& fx) {
        const std::vector<Particle>& particles = fx.Particles().emitter.Particles();
        return static_cast<int>(std::count_if(particles.begin(), particles.end(),
                                              [](const Particle& p) { return p.alive; }));
    }
    // Every living particle of the effect stands at (x, y).
    static bool AllAt(FxParticles& fx, float x, float y) {
        const std::vector<Particle>& particles = fx.Particles().emitter.Particles();
        return std::all_of(particles.begin(), particles.end(), [x, y](const Particle& p) {
            return !p.alive || (p.x == x && p.y == y);
        });
    }
};

TEST_F(StateEffects, ParticleEffectCarriesItsOwnChunksAndNeverEndsByItself) {
    Level& level = Load("(Thing BaseGameObject)", "(Thing (visName t))");
    std::unique_ptr<Object> created = level.CreateObject("FxParticles", true);
    auto& fx = dynamic_cast<FxParticles&>(*created);
    EXPECT_EQ(fx.GetClassName(), "FxParticles");
    fx.Position().x = 40.0f;
    Parcon parser;
    parser.OpenFile("gfx/fx/spark.prt", true);
    fx.Particles().emitter.Load(*parser.Root(), 0);
    fx.Particles().lifeTime = 1.0f;
    fx.ResolveDependencies();
    level.AddObject(std::move(created));
    Run(30);
    EXPECT_GT(Alive(fx), 0);
    EXPECT_TRUE(AllAt(fx, 40.0f, 0.0f));
    Run(90);
    EXPECT_FALSE(fx.Particles().emitter.emitting);
    EXPECT_EQ(Alive(fx), 0);
    EXPECT_EQ(All<FxParticles>().size(), 1u); // drawing nothing, still there
    level.Clear();
    EXPECT_TRUE(All<FxParticles>().empty());
}

TEST_F(StateEffects, ParticleEffectIsRefusedByASceneWithoutItsSystems) {
    ObjectsManager bare;
    bare.AddSystem(std::make_unique<PositionSystem>(&bare));
    try {
        bare.CreateObject("FxParticles", true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "Unknown system: PART");
    }
}

// An object that fades in shows its "enableFx" effects at their places, once, in the game
// level; when it fades out, its "disableFx" ones. Each emits for 3 s, then stays in the level.
TEST_F(StateEffects, FadingObjectShowsItsEffectsInTheGameLevel) {
    Load("(GameAnim BaseGameObject (POSI (position 100 50)) (SPRT) (Data (updateDelay 0.2) "
         "(enableFlag open) (fadeOnEnable 1) (enableTime 0.5) (disableFlag gone) (fadeOnDisable 1) "
         "(enableFx (fx gfx/fx/spark.prt 300 200) (other) (fx gfx/fx/spark.prt 10 20)) "
         "(disableFx (fx gfx/fx/spark.prt 5 6))))",
         "(GameAnim (visName door))");
    Run(1);
    CurrentPlayer->SetFlag("room", "open", 1);
    Run(12); // the evaluation that starts the fade, whose first step shows the effects
    std::vector<FxParticles*> shown = All<FxParticles>();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FLOAT_EQ(shown[0]->Position().x, 300.0f);
    EXPECT_FLOAT_EQ(shown[0]->Position().y, 200.0f);
    EXPECT_FLOAT_EQ(shown[1]->Position().x, 10.0f);
    EXPECT_FLOAT_EQ(shown[1]->Position().y, 20.0f);
    for (FxParticles* fx : shown) {
        EXPECT_FLOAT_EQ(fx->life, 4.5f);
        EXPECT_NEAR(fx->Particles().lifeTime, 3.0f, kStep + 1e-4f);
        EXPECT_TRUE(fx->Particles().emitter.IsLoaded());
    }
    Run(60);
    EXPECT_EQ(All<FxParticles>().size(), 2u); // not again at the later steps of the fade
    EXPECT_GT(Alive(*shown[0]), 0);
    EXPECT_TRUE(AllAt(*shown[0], 300.0f, 200.0f));
    Run(60 * 3);
    EXPECT_EQ(Alive(*shown[0]), 0);
    EXPECT_EQ(Alive(*shown[1]), 0);
    EXPECT_EQ(All<FxParticles>().size(), 2u);

    CurrentPlayer->SetFlag("room", "gone", 1);
    Run(13);
    shown = All<FxParticles>();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_FLOAT_EQ(shown[2]->Position().x, 5.0f);
    EXPECT_FLOAT_EQ(shown[2]->Position().y, 6.0f);
}

// A fade-in shows the effects only of objects made under the names of the game's animated
// objects and buttons; a fade-out shows them for every object.
TEST_F(StateEffects, FadeInShowsEffectsOnlyForAnimationsAndButtons) {
    struct Case {
        const char* definition;
        bool shown;
    };
    for (const Case& c : {Case{"GameAnim", true}, Case{"GameButtonX", true}, Case{"Lamp", false}}) {
        SCOPED_TRACE(c.definition);
        StartAgain();
        MakeProfile(0, "Ann");
        InstallDialogueHook();
        const std::string name = c.definition;
        Load("(" + name +
                 " BaseGameObject (POSI) (SPRT) (Data (enableFlag open) (fadeOnEnable 1) " +
                 "(disableFlag gone) (fadeOnDisable 1) (enableFx (fx gfx/fx/spark.prt 1 1)) " +
                 "(disableFx (fx gfx/fx/spark.prt 2 2))))",
             "(" + name + " (visName x))");
        CurrentPlayer->SetFlag("room", "open", 1);
        Run(200);
        EXPECT_EQ(All<FxParticles>().size(), c.shown ? 1u : 0u);
        CurrentPlayer->SetFlag("room", "gone", 1);
        Run(13);
        EXPECT_EQ(All<FxParticles>().size(), c.shown ? 2u : 1u);
    }
}

TEST_F(StateEffects, MissingEffectFileIsAnErrorThatNamesIt) {
    Load("(GameAnim BaseGameObject (POSI) (SPRT) (Data (enableFlag open) (fadeOnEnable 1) "
         "(enableFx (fx gfx/fx/none.prt 1 1))))",
         "(GameAnim (visName x))");
    CurrentPlayer->SetFlag("room", "open", 1);
    try {
        Run(13);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.Text()).find("gfx/fx/none.prt"), std::string::npos)
            << error.Text();
    }
}

// An effect placed at (0, 0) on an object with a sprite stands at the middle of the first frame
// of the sprite's animation (its current one, else "idle"), halves cut toward zero.
TEST_F(StateEffects, EffectAtZeroIsPlacedAtTheMiddleOfTheSpritesFrame) {
    WriteData("pic.png", PngFile(SolidImage(64, 32, 0xFF808080u)));
    // idle: 31 x 21 from its top-left corner; walk: its right edge 11 left of its pivot.
    WriteData("s.ani", "(fileAnim idle (frame pic.png 0 0 31 21 0 0))\n"
                       "(fileAnim walk (frame pic.png 0 0 40 9 51 0))\n");
    const std::string effects = "(Data (enableFx (fx gfx/fx/spark.prt 0 0) "
                                "(fx gfx/fx/spark.prt 7 0)))";
    Load("(Idle BaseGameObject (POSI (position 100 50)) (SPRT (file s.ani)) " + effects + ") " +
             "(Walk BaseGameObject (POSI (position 100 50)) (SPRT (file s.ani) (animName walk)) " +
             effects + ") (Bare BaseGameObject (POSI (position 100 50)) " + effects + ")",
         "(Idle (visName idle)) (Walk (visName walk)) (Bare (visName bare))");
    struct Case {
        const char* object;
        float x, y;
    };
    for (const Case& c :
         {Case{"idle", 115.0f, 60.0f}, Case{"walk", 95.0f, 54.0f}, Case{"bare", 0.0f, 0.0f}}) {
        SCOPED_TRACE(c.object);
        const auto& object = dynamic_cast<const BaseGameObject&>(*Find(c.object));
        ASSERT_EQ(object.enableFx.size(), 2u);
        EXPECT_FLOAT_EQ(object.enableFx[0].x, c.x);
        EXPECT_FLOAT_EQ(object.enableFx[0].y, c.y);
        EXPECT_FLOAT_EQ(object.enableFx[1].x, 7.0f); // a place given is kept
        EXPECT_FLOAT_EQ(object.enableFx[1].y, 0.0f);
    }
}

TEST_F(StateEffects, WithoutGameLevelNoEffectIsShown) {
    ObjectsManager menu;
    BaseGameObject object(&menu);
    object.enableFx.push_back({"gfx/fx/spark.prt", 1.0f, 2.0f});
    object.SpawnStateFx(false);
    EXPECT_TRUE(menu.Objects().empty());
}

// ---------------------------------------------------------------------------------------------
// The slide of a blend-in with "move"

struct MoveCase {
    const char* name;
    const char* move; // the blend's "move" value
    float x, y;       // the target's place
    float startY;     // where the slide starts (the lowered initial y)
    float midY;       // half-way through the blend
};

void PrintTo(const MoveCase& c, std::ostream* out) {
    *out << c.name;
}

class BlendInMove : public SceneObjects, public testing::WithParamInterface<MoveCase> {
protected:
    PositionChunk& Place(const std::string& visName) const {
        return Find(visName)->RequireChunk<PositionChunk>(FourCC("POSI"));
    }
};

// The blend lowers each target's initial y by 800 when it is read; the target then slides from
// there to its initial y + 800 (where it stood) over the blend's time. Its x never changes.
TEST_P(BlendInMove, TargetsSlideDownInto) {
    const MoveCase& c = GetParam();
    const std::string place = "(position " + std::to_string(c.x) + " " + std::to_string(c.y) + ")";
    Load("(Stone BaseGameObject (POSI " + place +
             ") (SPRT) (Name ROCK)) "
             "(Rise FxBlendIn (Data (name ROCK) (time 1.0) (move " +
             c.move + ")))",
         "(Stone (visName s)) (Rise (visName rise))");
    EXPECT_FLOAT_EQ(Place("s").initialY, c.startY);
    EXPECT_FLOAT_EQ(Place("s").initialX, c.x);
    EXPECT_FLOAT_EQ(Place("s").y, c.startY); // the scene's first step of the blend
    Run(30);
    EXPECT_NEAR(Place("s").y, c.midY, 15.0f);
    EXPECT_FLOAT_EQ(Place("s").x, c.x);
    Run(31);
    ASSERT_EQ(Count("FxBlendIn"), 0);
    EXPECT_FLOAT_EQ(Place("s").y, c.y);
    EXPECT_FLOAT_EQ(Place("s").initialY, c.startY); // the lowered initial y stays
    EXPECT_FLOAT_EQ(Place("s").x, c.x);
}

INSTANTIATE_TEST_SUITE_P(Table, BlendInMove,
                         testing::Values(MoveCase{"Move", "1", 100.0f, 300.0f, -500.0f, -100.0f},
                                         MoveCase{"MoveFromBelowTheScreen", "1", 0.0f, 900.0f,
                                                  100.0f, 500.0f}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SceneObjects, BlendInWithoutMoveLeavesItsTargetsInPlace) {
    Load("(Stone BaseGameObject (POSI (position 100 300)) (SPRT) (Name ROCK)) "
         "(Rise FxBlendIn (Data (name ROCK) (time 0.5)))",
         "(Stone (visName s)) (Rise (visName rise))");
    const auto& place = Find("s")->RequireChunk<PositionChunk>(FourCC("POSI"));
    for (int step = 0; step < 40; ++step) {
        Run(1);
        ASSERT_FLOAT_EQ(place.y, 300.0f) << step;
        ASSERT_FLOAT_EQ(place.initialY, 300.0f) << step;
    }
}

TEST_F(SceneObjects, MoveOfATargetWithoutPositionIsADefinitionError) {
    WriteData("scripts/objects.txt", "(Final (Flat BaseGameObject (Name ROCK)) "
                                     "(Rise FxBlendIn (Data (name ROCK) (move 1))))");
    WriteData("levels/room.txt", "(Meta (Name room))\n(Objects (Flat) (Rise))\n");
    Level& level = MakeGameLevel();
    try {
        level.LoadScene("levels/room.txt", true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.Text()).find("no position"), std::string::npos) << error.Text();
    }
}

// ---------------------------------------------------------------------------------------------
// Enable and disable dialogues

struct DialogueCase {
    const char* name;
    const char* data;     // the object's Data keys
    const char* flag;     // set after the first evaluation
    const char* dialogue; // the file expected
    int earliest, latest; // steps after the flag within which it opens
};

void PrintTo(const DialogueCase& c, std::ostream* out) {
    *out << c.name;
}

class StateDialogues : public SceneObjects, public testing::WithParamInterface<DialogueCase> {};

// Each change of state opens its dialogue once, after the enable delay or after 2.7 s. The
// dialogue object bears the object's name, so once shown it leaves that name's killed flag.
TEST_P(StateDialogues, OpenOnceAfterTheirDelay) {
    const DialogueCase& c = GetParam();
    Load("(Lamp BaseGameObject (POSI) (SPRT) (Data " + std::string(c.data) + "))",
         "(Lamp (visName lamp))");
    Run(1);
    EXPECT_TRUE(dialogues.empty());
    CurrentPlayer->SetFlag("room", c.flag, 1);
    Run(c.earliest);
    EXPECT_TRUE(dialogues.empty());
    Run(c.latest - c.earliest);
    EXPECT_EQ(dialogues, std::vector<std::string>{std::string(c.dialogue) + " 1 []"});
    EXPECT_EQ(Flag("lamp_killed"), 1);
    Run(120); // later evaluations see no change
    EXPECT_EQ(dialogues.size(), 1u);
    EXPECT_EQ(Count("GameModalDialog"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateDialogues,
    testing::Values(
        // The evaluation comes within 13 steps of the flag; the delay counts from there.
        DialogueCase{"Enable", "(enableFlag a) (enableDialog e.txt) (enableDelay 1.0)", "a",
                     "e.txt", 60, 75},
        DialogueCase{"EnableWithoutDelay", "(enableFlag a) (enableDialog e.txt)", "a", "e.txt", 0,
                     14},
        DialogueCase{"Disable",
                     "(disableFlag b) (disableDialog d.txt) (enableDelay 1.0) (disableDelay 0.1)",
                     "b", "d.txt", 162, 177}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SceneObjects, ObjectEnabledFromTheStartOpensNoEnableDialogue) {
    Load("(Lamp BaseGameObject (Data (enableDialog e.txt) (disableFlag b) (disableDialog d.txt)))",
         "(Lamp (visName lamp))");
    Run(60);
    EXPECT_TRUE(dialogues.empty());
    EXPECT_EQ(Count("GameModalDialog"), 0);
}

TEST_F(SceneObjects, DialogueOfAFadingObjectOpensWithItsFade) {
    Load("(Lamp BaseGameObject (POSI) (SPRT) (Data (enableFlag a) (fadeOnEnable 1) "
         "(enableTime 2.0) (enableDelay 0.5) (enableDialog e.txt)))",
         "(Lamp (visName lamp))");
    Run(1);
    CurrentPlayer->SetFlag("room", "a", 1);
    Run(12); // the evaluation that starts both, at most a step ago
    ASSERT_EQ(Count("FxBlendIn"), 1);
    Run(28);
    EXPECT_TRUE(dialogues.empty());
    EXPECT_FLOAT_EQ(Alpha("lamp"), 0.0f); // held through the same delay
    Run(5);
    EXPECT_EQ(dialogues.size(), 1u);
    EXPECT_LT(Alpha("lamp"), 0.05f); // the fade has only just begun
}

} // namespace
