#include "media/ParticleRenderSystem.h"

#include "engine/FourCC.h"
#include "tests/media/RenderSceneFixture.h"
#include "tests/support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr float kStep = 1.0f / 60.0f;

class ParticleRenderSystemTest : public RenderSceneTest {
protected:
    void SetUp() override {
        RenderSceneTest::SetUp();
        // One particle a step, each living half a second, standing still.
        Write("p.prt", "(alpha 0 1) (alpha 0.5 1) (size 0 4) (max_parts 500) (flow 0 60)"
                       "(vel 0 0 0) (gravity 0)\n");
        system = scene->FindSystem(FourCC("PART"));
    }

    static ParticleChunk& ParticlesOf(Object* object) {
        return ChunkOf<ParticleChunk>(object, "PART");
    }

    static int Alive(const ParticleChunk& chunk) {
        const std::vector<Particle>& particles = chunk.emitter.Particles();
        return static_cast<int>(std::count_if(particles.begin(), particles.end(),
                                              [](const Particle& p) { return p.alive; }));
    }

    // Particles alive after each second of steps of the scene's particle update.
    std::vector<int> AlivePerSecond(const ParticleChunk& chunk, int seconds) {
        std::vector<int> counts;
        for (int second = 0; second < seconds; ++second) {
            for (int step = 0; step < 60; ++step) {
                scene->UpdateParticles(kStep);
            }
            counts.push_back(Alive(chunk));
        }
        return counts;
    }

    System* system = nullptr;
};

TEST_F(ParticleRenderSystemTest, WithoutLifeTimeOrStaticNothingIsEmitted) {
    const ParticleChunk& chunk = ParticlesOf(Add("(thing (POSI) (PART (file p.prt)))"));
    EXPECT_THAT(AlivePerSecond(chunk, 2), ElementsAre(0, 0));
}

TEST_F(ParticleRenderSystemTest, ALifeTimeEmitsForItsSecondsAndTheParticlesDieOut) {
    const ParticleChunk& chunk =
        ParticlesOf(Add("(thing (POSI) (PART (file p.prt) (lifeTime 2)))"));
    const std::vector<int> alive = AlivePerSecond(chunk, 3);
    EXPECT_NEAR(alive[0], 31, 1); // half a second of them
    EXPECT_NEAR(alive[1], 31, 1);
    EXPECT_EQ(alive[2], 0);
}

TEST_F(ParticleRenderSystemTest, AStaticEffectEmitsForEver) {
    const ParticleChunk& chunk = ParticlesOf(Add("(thing (POSI) (PART (file p.prt) (static 1)))"));
    EXPECT_NEAR(AlivePerSecond(chunk, 5).back(), 31, 1);
}

TEST_F(ParticleRenderSystemTest, ParticlesStartWhereTheObjectIsNow) {
    Object* object = Add("(thing (POSI (position 100 50)) (PART (file p.prt) (static 1)))");
    ParticleChunk& chunk = ParticlesOf(object);
    chunk.offsetX = 5.0f;
    scene->UpdateParticles(kStep);
    ChunkOf<PositionChunk>(object, "POSI").x = 300.0f;
    scene->UpdateParticles(kStep);
    const std::vector<Particle>& particles = chunk.emitter.Particles();
    EXPECT_FLOAT_EQ(particles[0].x, 105.0f);
    EXPECT_FLOAT_EQ(particles[0].y, 50.0f);
    EXPECT_FLOAT_EQ(particles[1].x, 305.0f);
}

TEST_F(ParticleRenderSystemTest, ThePassKeysAreNotReadSoParticlesDrawInTheMainPass) {
    ParticleChunk& chunk = ParticlesOf(
        Add("(thing (POSI (position 10 10)) (PART (file p.prt) (static 1) (postRender 1)"
            " (zOrder 5)))"));
    EXPECT_FALSE(chunk.postRender);
    EXPECT_EQ(chunk.zOrder, 0.0f);
    scene->UpdateParticles(kStep);
    script.draws.clear();
    system->PostRender();
    system->AfterRender();
    EXPECT_THAT(script.draws, IsEmpty());
    system->Render();
    EXPECT_EQ(script.draws.size(), 1u);

    // Set by code, the flags move it to the other passes.
    chunk.postRender = true;
    chunk.afterAllRender = true;
    script.draws.clear();
    system->Render();
    EXPECT_THAT(script.draws, IsEmpty());
    system->PostRender();
    system->AfterRender();
    EXPECT_EQ(script.draws.size(), 2u);
}

TEST_F(ParticleRenderSystemTest, DeeperEffectsDrawFirst) {
    Write("big.prt", "(alpha 0 1) (size 0 8) (max_parts 1) (flow 0 0)\n");
    Object* near = Add("(thing (POSI (position 100 10)) (PART (file big.prt) (static 1)))");
    Add("(thing (POSI (position 200 10)) (PART (file big.prt) (static 1)))");
    ParticlesOf(near).zOrder = 3.0f;
    scene->UpdateParticles(kStep);
    script.draws.clear();
    system->Render();
    ASSERT_EQ(script.draws.size(), 2u);
    EXPECT_FLOAT_EQ(script.draws[0].vertices[0].x + 0.5f, 196.0f);
    EXPECT_FLOAT_EQ(script.draws[1].vertices[0].x + 0.5f, 96.0f);
}

TEST_F(ParticleRenderSystemTest, AMissingDefinitionIsFatal) {
    EXPECT_EQ(ErrorOf([&] { Add("(thing (POSI) (PART (file none.prt)))"); }),
              "Parcon Error: Cannot find file none.prt!");
}

} // namespace
