#include "media/ParticleEmitter.h"

#include "engine/Parcon.h"
#include "engine/Random.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr float kStep = 1.0f / 60.0f;

// ---------------------------------------------------------------------------------------------
// Curves

TEST(ParticleCurve, KeysGivenOutOfOrderAreSortedAndASecondKeyAtATimeReplacesTheFirst) {
    ParticleCurve curve;
    EXPECT_TRUE(curve.AddKey(500, {5, 0, 0}));
    EXPECT_TRUE(curve.AddKey(0, {1, 0, 0}));
    EXPECT_TRUE(curve.AddKey(1000, {9, 0, 0}));
    EXPECT_TRUE(curve.AddKey(500, {6, 0, 0}));
    ASSERT_EQ(curve.Count(), 3);
    EXPECT_EQ(curve.KeyAt(0).time, 0);
    EXPECT_EQ(curve.KeyAt(1).time, 500);
    EXPECT_EQ(curve.KeyAt(1).value[0], 6.0f);
    EXPECT_EQ(curve.KeyAt(2).time, 1000);
}

TEST(ParticleCurve, EvaluatesBetweenItsKeys) {
    ParticleCurve curve;
    curve.AddKey(100, {10, 20, 30});
    curve.AddKey(300, {30, 0, 30});
    struct Case {
        int32_t time;
        ParticleCurve::Value value;
    };
    for (const Case& c :
         {Case{-50, {10, 20, 30}}, Case{100, {10, 20, 30}}, Case{150, {15, 15, 30}},
          Case{200, {20, 10, 30}}, Case{300, {30, 0, 30}}, Case{1 << 30, {30, 0, 30}}}) {
        SCOPED_TRACE(c.time);
        const ParticleCurve::Value value = curve.Evaluate(c.time);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(value[i], c.value[i]);
        }
    }
    EXPECT_EQ(ParticleCurve().Evaluate(5), (ParticleCurve::Value{0, 0, 0}));
    // Keys at the far ends of the range do not overflow the difference.
    ParticleCurve wide;
    wide.AddKey(INT32_MIN, {0, 0, 0});
    wide.AddKey(INT32_MAX, {2, 0, 0});
    EXPECT_NEAR(wide.Evaluate(0)[0], 1.0f, 1e-6);
}

TEST(ParticleCurve, HoldsSixteenKeysAtMost) {
    ParticleCurve curve;
    for (int32_t i = 0; i < ParticleCurve::kMostKeys; ++i) {
        EXPECT_TRUE(curve.AddKey(i * 10, {static_cast<float>(i), 0, 0}));
    }
    EXPECT_FALSE(curve.AddKey(5, {99, 0, 0}));
    EXPECT_TRUE(curve.AddKey(20, {42, 0, 0})); // an existing time still takes a new value
    EXPECT_EQ(curve.Count(), ParticleCurve::kMostKeys);
    EXPECT_EQ(curve.Evaluate(5)[0], 0.5f);
    EXPECT_EQ(curve.Evaluate(20)[0], 42.0f);
}

// ---------------------------------------------------------------------------------------------
// Emitters

class ParticleEmitterTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        InitRenderer();
        SeedRandom(7);
        folder.Write("spark.png", PngFile(SolidImage(16, 16, 0xFFFFFFFFu)));
        folder.Write("smoke.png", PngFile(SolidImage(16, 16, 0xFF808080u)));
    }

    // Loads the emitter from a definition text, as the particle chunk hands it over.
    void Load(ParticleEmitter& emitter, const std::string& text) {
        std::istringstream input(text);
        parser.ParseStream("test.prt", input);
        emitter.Load(*parser.Root(), 0);
    }

    static int Alive(const ParticleEmitter& emitter) {
        return static_cast<int>(std::count_if(emitter.Particles().begin(),
                                              emitter.Particles().end(),
                                              [](const Particle& p) { return p.alive; }));
    }

    // Particles alive after each of n steps.
    static std::vector<int> AliveAfterSteps(ParticleEmitter& emitter, int n) {
        std::vector<int> counts;
        for (int i = 0; i < n; ++i) {
            emitter.Update(kStep);
            counts.push_back(Alive(emitter));
        }
        return counts;
    }

    Parcon parser;
};

TEST_F(ParticleEmitterTest, LoadReadsEveryListAndFillsTheGaps) {
    ParticleEmitter emitter;
    Load(emitter, "(alpha 0 1) (alpha 0.75 0)\n"
                  "(color 0 1 0.5 0) (size 0.5 4)\n"
                  "(flow 0 30) (flow 2.0009 10) (angle 0 -90 90) (vel 1 5 50)\n"
                  "(texture spark.png) (coords 0 0 0.5 0.5) (coords 0.5 0 1 0.5)\n"
                  "(blending add) (max_parts 40) (gravity -12.5)\n"
                  "(unknown 1) stray\n");
    EXPECT_TRUE(emitter.IsLoaded());
    EXPECT_TRUE(emitter.emitting);
    EXPECT_FLOAT_EQ(emitter.ParticleLife(), 0.75f);
    EXPECT_FLOAT_EQ(emitter.CycleLength(), 2.0009f);
    EXPECT_EQ(emitter.Curve(ParticleEmitter::kFlow).KeyAt(1).time, 2000); // truncated
    EXPECT_EQ(emitter.Curve(ParticleEmitter::kAngle).KeyAt(0).value[1], 90.0f);
    EXPECT_EQ(emitter.Curve(ParticleEmitter::kColor).KeyAt(0).value[1], 0.5f);
    EXPECT_EQ(emitter.BlendingMode(), ParticleEmitter::kBlendAdd);
    EXPECT_EQ(emitter.MaxParts(), 40);
    EXPECT_EQ(emitter.Particles().size(), 40u);
    EXPECT_EQ(Alive(emitter), 0);
    EXPECT_FLOAT_EQ(emitter.Gravity(), -12.5f);
    EXPECT_EQ(emitter.TextureRects().size(), 2u);
    EXPECT_TRUE(emitter.Texture().valid);
}

TEST_F(ParticleEmitterTest, ADefinitionWithoutListsGetsTheDefaults) {
    ParticleEmitter emitter;
    Load(emitter, "");
    EXPECT_FLOAT_EQ(emitter.ParticleLife(), 1.0f);
    EXPECT_FLOAT_EQ(emitter.CycleLength(), 1.0f);
    EXPECT_FLOAT_EQ(emitter.Gravity(), 300.0f);
    EXPECT_EQ(emitter.BlendingMode(), ParticleEmitter::kBlendAlpha);
    EXPECT_EQ(emitter.MaxParts(), 0);
    ASSERT_EQ(emitter.TextureRects().size(), 1u);
    EXPECT_EQ(emitter.TextureRects()[0].uRight, 1.0f);
    EXPECT_FALSE(emitter.Texture().valid);
    emitter.Update(kStep); // no pool: nothing to emit into
    EXPECT_FALSE(emitter.IsAlive());
}

TEST_F(ParticleEmitterTest, MissingDataAndMissingTexturesAreFatal) {
    ParticleEmitter emitter;
    EXPECT_THAT(ErrorOf([&] { Load(emitter, "(color 0 1 1)"); }), HasSubstr("More data expected"));
    EXPECT_EQ(ErrorOf([&] { Load(emitter, "(max_parts 5) (texture gone.png)"); }),
              "Can't find texture file gone.png!");
    folder.Write("text.png", "a text, not a picture");
    EXPECT_EQ(ErrorOf([&] { Load(emitter, "(max_parts 5) (texture text.png)"); }),
              "Can't decode texture file text.png!");
    EXPECT_FALSE(emitter.IsLoaded());
    emitter.Update(kStep);
    emitter.Draw();
}

TEST_F(ParticleEmitterTest, ACycleShorterThanAMillisecondLastsASecond) {
    for (const char* flow : {"(flow 0.0004 10)", "(vel 0.0009 1 2)", "(angle 1e-9 0 1)"}) {
        SCOPED_TRACE(flow);
        ParticleEmitter emitter;
        Load(emitter, std::string(flow) + " (max_parts 4)");
        EXPECT_FLOAT_EQ(emitter.CycleLength(), 1.0f);
        emitter.Update(kStep);
        emitter.Update(kStep);
    }
}

TEST_F(ParticleEmitterTest, TheSeventeenthKeyOfACurveIsIgnoredWithALogLine) {
    std::string text;
    for (int i = 0; i <= 16; ++i) {
        text += "(size " + std::to_string(i) + " " + std::to_string(i * 2) + ")\n";
    }
    const LogCapture log;
    ParticleEmitter emitter;
    Load(emitter, text);
    EXPECT_EQ(emitter.Curve(ParticleEmitter::kSize).Count(), 16);
    EXPECT_EQ(emitter.Curve(ParticleEmitter::kSize).Evaluate(16000)[0], 30.0f);
    EXPECT_THAT(log.Text(), HasSubstr("test.prt: the curve \"size\" has 16 keys already; the key "
                                      "at 16000 ms is ignored"));
}

TEST_F(ParticleEmitterTest, MaxPartsIsHeldInsideItsRangeWithALogLine) {
    struct Case {
        int asked;
        int kept;
        bool logged;
    };
    for (const Case c :
         {Case{-5, 0, true}, Case{0, 0, false}, Case{250, 250, false}, Case{100000, 100000, false},
          Case{100001, 100000, true}, Case{2000000000, 100000, true}}) {
        SCOPED_TRACE(c.asked);
        const LogCapture log;
        ParticleEmitter emitter;
        Load(emitter, "(max_parts " + std::to_string(c.asked) + ")");
        EXPECT_EQ(emitter.MaxParts(), c.kept);
        EXPECT_EQ(emitter.Particles().size(), static_cast<std::size_t>(c.kept));
        EXPECT_EQ(log.Text().find("max_parts") != std::string::npos, c.logged) << log.Text();
    }
}

TEST_F(ParticleEmitterTest, ASecondPoolOrTextureReplacesTheFirst) {
    ParticleEmitter emitter;
    Load(emitter, "(max_parts 10) (texture spark.png) (max_parts 3) (texture smoke.png)");
    EXPECT_EQ(emitter.Particles().size(), 3u);
    EXPECT_EQ(emitter.Texture().entry->imageName, "smoke.png");
    for (const std::unique_ptr<TextureEntry>& entry : TextureManager::Entries()) {
        EXPECT_EQ(entry->referenceCount, entry->imageName == "smoke.png" ? 1 : 0)
            << entry->imageName;
    }
    // Loading again lets go of everything of the previous definition, rectangles included.
    Load(emitter, "(coords 0 0 0.5 0.5)");
    EXPECT_FALSE(emitter.Texture().valid);
    EXPECT_EQ(emitter.TextureRects().size(), 1u);
    EXPECT_EQ(emitter.TextureRects()[0].uRight, 0.5f);
    for (const std::unique_ptr<TextureEntry>& entry : TextureManager::Entries()) {
        EXPECT_EQ(entry->referenceCount, 0) << entry->imageName;
    }
}

// ---------------------------------------------------------------------------------------------
// Emission

struct EmissionCase {
    const char* name;
    std::string flow; // lists for the definition
    int steps;
    int emitted; // particles alive after the steps (all live longer than the steps)
    int tolerance;
};

void PrintTo(const EmissionCase& c, std::ostream* out) {
    *out << c.name;
}

class Emission : public ParticleEmitterTest, public testing::WithParamInterface<EmissionCase> {};

TEST_P(Emission, EmitsWhatIsDue) {
    const EmissionCase& c = GetParam();
    ParticleEmitter emitter;
    Load(emitter, "(alpha 10 1) (max_parts 5000) " + c.flow);
    const std::vector<int> alive = AliveAfterSteps(emitter, c.steps);
    EXPECT_NEAR(alive.back(), c.emitted, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Emission,
    testing::Values(EmissionCase{"sixty a second: one a step", "(flow 0 60)", 60, 60, 1},
                    EmissionCase{"a hundred and twenty: two a step", "(flow 0 120)", 30, 60, 1},
                    EmissionCase{"ten a second", "(flow 0 10)", 120, 20, 1},
                    EmissionCase{"no flow key: a single particle", "", 60, 1, 0},
                    EmissionCase{"a rate of zero: one, then none", "(flow 0 0)", 60, 1, 0},
                    EmissionCase{"a negative rate: one, then none", "(flow 0 -30)", 60, 1, 0},
                    EmissionCase{"a rate of no number: one, then none", "(flow 0 nan)", 60, 1, 0},
                    EmissionCase{"a huge rate fills the pool at once", "(flow 0 1e30)", 2, 5000,
                                 0}));

TEST_F(ParticleEmitterTest, OneStepsParticlesShareItsRanges) {
    ParticleEmitter emitter;
    // Two a step; the direction range changes in the middle of the cycle.
    Load(emitter, "(alpha 10 1) (max_parts 100) (flow 0 120) (vel 0 100 100)"
                  "(angle 0 0 0) (angle 0.5 90 90) (angle 1 90 90)");
    emitter.Update(kStep);
    ASSERT_EQ(Alive(emitter), 2);
    for (const Particle& particle : emitter.Particles()) {
        if (particle.alive) {
            EXPECT_NEAR(particle.vx, 100.0f, 1e-3);
            EXPECT_NEAR(particle.vy, 0.0f, 1e-3);
        }
    }
}

TEST_F(ParticleEmitterTest, DirectionsSpreadOverTheAngleRange) {
    struct Case {
        const char* angle;
        bool allDown;
    };
    for (const Case c : {Case{"(angle 0 90 90)", true}, Case{"(angle 0 0 360)", false}}) {
        SCOPED_TRACE(c.angle);
        ParticleEmitter emitter;
        Load(emitter, std::string("(alpha 10 1) (max_parts 200) (flow 0 60000) (vel 0 10 10)"
                                  "(gravity 0) ") +
                          c.angle);
        emitter.x = 300.0f;
        emitter.y = 200.0f;
        emitter.Update(kStep);
        int right = 0;
        int left = 0;
        int up = 0;
        int down = 0;
        for (const Particle& particle : emitter.Particles()) {
            ASSERT_TRUE(particle.alive);
            EXPECT_FLOAT_EQ(particle.x, 300.0f);
            EXPECT_FLOAT_EQ(particle.y, 200.0f);
            right += particle.vx > 1.0f ? 1 : 0;
            left += particle.vx < -1.0f ? 1 : 0;
            down += particle.vy > 1.0f ? 1 : 0;
            up += particle.vy < -1.0f ? 1 : 0;
        }
        if (c.allDown) {
            EXPECT_EQ(down, 200);
            EXPECT_EQ(left + right + up, 0);
        } else {
            EXPECT_GT(std::min({left, right, up, down}), 20);
        }
    }
}

TEST_F(ParticleEmitterTest, AFullPoolLosesEmissionsWithoutABurstLater) {
    ParticleEmitter emitter;
    Load(emitter, "(alpha 0.1 1) (max_parts 3) (flow 0 60)");
    // A particle lives 0.1 s: it is emitted, ages six steps, and dies in the seventh.
    const std::vector<int> alive = AliveAfterSteps(emitter, 12);
    EXPECT_THAT(alive, ElementsAre(1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3));
    // Slots free up one a step and are taken one a step: never more than the rate gives.
    emitter.emitting = false;
    const std::vector<int> dying = AliveAfterSteps(emitter, 8);
    EXPECT_EQ(dying.back(), 0);
    emitter.emitting = true;
    EXPECT_THAT(AliveAfterSteps(emitter, 2), ElementsAre(1, 2));
}

TEST_F(ParticleEmitterTest, AParticleIsDrawnAtTheEndOfItsLifeAndDiesAfterIt) {
    ParticleEmitter emitter;
    Load(emitter, "(alpha 0 1) (alpha 1 1) (size 0 4) (max_parts 1) (flow 0 0)");
    emitter.Update(kStep); // emitted with age 0
    emitter.Update(0.5f);
    emitter.Update(0.5f);
    ASSERT_EQ(emitter.Particles()[0].age, 1.0f);
    script.draws.clear();
    emitter.Draw();
    EXPECT_EQ(script.draws.size(), 1u);
    EXPECT_TRUE(emitter.drawnOnce);
    emitter.Update(kStep); // an age of exactly its life is not above it
    EXPECT_TRUE(emitter.IsAlive());
    emitter.Update(kStep);
    EXPECT_FALSE(emitter.IsAlive());
}

TEST_F(ParticleEmitterTest, ParticlesMoveFallAndTurn) {
    ParticleEmitter emitter;
    Load(emitter, "(alpha 10 1) (max_parts 1) (flow 0 0) (vel 0 60 60) (angle 0 0 0)"
                  "(gravity 120)");
    emitter.x = 10.0f;
    emitter.Update(kStep); // emitted
    emitter.Update(0.5f);
    const Particle& particle = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(particle.x, 40.0f);
    EXPECT_FLOAT_EQ(particle.y, 0.0f);
    EXPECT_FLOAT_EQ(particle.vy, 60.0f);
    EXPECT_FLOAT_EQ(particle.rotation, 0.5f * 190.0f / 180.0f);
    emitter.Update(0.5f);
    EXPECT_FLOAT_EQ(particle.y, 30.0f);
}

TEST_F(ParticleEmitterTest, ResetKillsEveryParticleAndRestartsTheCycle) {
    ParticleEmitter emitter;
    Load(emitter, "(alpha 10 1) (max_parts 10) (flow 0 60)");
    AliveAfterSteps(emitter, 5);
    emitter.Reset();
    EXPECT_FALSE(emitter.IsAlive());
    EXPECT_EQ(emitter.EmitClock(), 0.0);
    EXPECT_THAT(AliveAfterSteps(emitter, 1), ElementsAre(1));
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(ParticleEmitterTest, SizeColourAndAlphaFollowTheParticlesAge) {
    ParticleEmitter emitter;
    Load(emitter, "(size 0 10) (size 1 30) (color 0 1 0 0) (color 1 0 0 1)"
                  "(alpha 0 1) (alpha 1 0) (max_parts 1) (flow 0 0) (vel 0 0 0) (gravity 0)"
                  "(texture spark.png) (coords 0.25 0 0.75 1)");
    emitter.x = 100.0f;
    emitter.y = 200.0f;
    emitter.Update(kStep);
    emitter.Update(0.5f); // age 0.5 s
    script.draws.clear();
    emitter.Draw();
    ASSERT_EQ(script.draws.size(), 1u);
    const std::vector<GfxVertex>& v = script.draws[0].vertices;
    // A 20-pixel square centred on the particle, at depth 200, half purple, half opaque.
    EXPECT_FLOAT_EQ(v[0].x + 0.5f, 90.0f);
    EXPECT_FLOAT_EQ(v[0].y + 0.5f, 190.0f);
    // Turned a little about its corner: half a second at 190/180 degrees a second.
    EXPECT_NEAR(v[2].x - v[0].x, 20.0f, 0.5f);
    EXPECT_NEAR(v[2].y - v[0].y, 20.0f, 0.5f);
    EXPECT_FLOAT_EQ(v[0].z, ParticleEmitter::kDepth);
    EXPECT_FLOAT_EQ(v[0].u, 0.25f);
    EXPECT_FLOAT_EQ(v[1].u, 0.75f);
    EXPECT_EQ(v[0].diffuse, 0x80800080u);
    EXPECT_NE(script.draws[0].texture, 0);
}

TEST_F(ParticleEmitterTest, DrawingSetsAndRestoresTheStatesOfItsBlending) {
    struct Case {
        const char* blending;
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"alpha", {}, {}},
        {"add",
         {"SetRenderState SrcBlend 5", "SetRenderState DestBlend 2"},
         {"SetRenderState SrcBlend 5", "SetRenderState DestBlend 6"}},
        {"subtr", {"SetRenderState BlendOp 3"}, {"SetRenderState BlendOp 1"}},
        {"unknown", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blending);
        ParticleEmitter emitter;
        Load(emitter, std::string("(alpha 10 1) (size 0 4) (max_parts 1) (flow 0 0) (blending ") +
                          c.blending + ")");
        emitter.Update(kStep);
        script.calls.clear();
        emitter.Draw();
        std::vector<std::string> expected = {"SetRenderState ZFunc 8",
                                             "SetRenderState ZWriteEnable 0"};
        expected.insert(expected.end(), c.before.begin(), c.before.end());
        const auto draw =
            std::find_if(script.calls.begin(), script.calls.end(), [](const std::string& call) {
                return call.starts_with("DrawPrimitive TriangleFan");
            });
        ASSERT_NE(draw, script.calls.end());
        std::vector<std::string> states;
        for (const std::string& call : script.calls) {
            if (call.starts_with("SetRenderState")) {
                states.push_back(call);
            }
        }
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        expected.insert(expected.end(),
                        {"SetRenderState ZFunc 4", "SetRenderState ZWriteEnable 1"});
        EXPECT_EQ(states, expected);
        EXPECT_EQ(std::count_if(
                      script.calls.begin(), draw,
                      [](const std::string& call) { return call.starts_with("SetRenderState"); }),
                  static_cast<std::ptrdiff_t>(2 + c.before.size()));
    }
}

} // namespace
