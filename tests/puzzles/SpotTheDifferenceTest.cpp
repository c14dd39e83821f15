// Spot the difference: carrying a loose object onto the spot it belongs to, the counter and its
// text, the win by the spots, leaving above the picture.

#include "puzzles/SpotTheDifference.h"

#include "engine/PositionSystem.h"
#include "tests/puzzles/CaveFixture.h"
#include "world/FxParticles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kGame =
    "(Spot SpotTheDifferenceGameSlot (POSI) (KEYB) (SPRT (file gfx\\spot.ani) (animName idle))"
    " (COLI) (Data (regionFromCenter 1)))\n"
    "(Loose SpotTheDifferenceGameChunk (POSI) (KEYB) (SPRT)"
    " (COLI (left -30) (right 30) (top -30) (bottom 30)))\n"
    "(Pictures SpotTheDifferenceGameMngr (POSI) (KEYB) (SPRT) (Data))\n";
// Two spots (60 x 40 around their centres) and their two loose objects.
const char* const kTwoDifferences = "(Spot (POSI (position 300 300)) (Data (activator cup)))\n"
                                    "(Spot (POSI (position 600 300)) (Data (activator key)))\n"
                                    "(Loose (visName cup) (POSI (position 200 600)))\n"
                                    "(Loose (visName key) (POSI (position 400 600)))\n"
                                    "(Pictures)";

class SpotTheDifferenceTest : public CaveTest {
protected:
    SpotTheDifferenceGameMngr& Manager() { return *All<SpotTheDifferenceGameMngr>().at(0); }
    SpotTheDifferenceGameSlot& Spot(std::size_t i) {
        return *All<SpotTheDifferenceGameSlot>().at(i);
    }
    SpotTheDifferenceGameChunk* Loose(const std::string& name) {
        for (SpotTheDifferenceGameChunk* chunk : All<SpotTheDifferenceGameChunk>()) {
            if (chunk->visName == name) {
                return chunk;
            }
        }
        return nullptr;
    }
};

TEST_F(SpotTheDifferenceTest, ASpotsClickAreaIsItsPicturesFirstFrameAroundIt) {
    LoadMiniGame(kGame, kTwoDifferences);
    const auto& area = Spot(0).RequireChunk<CollisionChunk>(FourCC("COLI"));
    EXPECT_EQ(area.left, -30.0f);
    EXPECT_EQ(area.right, 30.0f);
    EXPECT_EQ(area.top, -20.0f);
    EXPECT_EQ(area.bottom, 20.0f);
}

TEST_F(SpotTheDifferenceTest, AnObjectCarriedToAnotherSpotStaysHeldAndNoSecondIsPickedUp) {
    LoadMiniGame(kGame, kTwoDifferences);
    SpotTheDifferenceGameChunk* cup = Loose("cup");
    Press(200, 600);
    ASSERT_EQ(Manager().heldObject, cup);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"pickup"});
    // It follows the mouse.
    Mouse.x = 450;
    Mouse.y = 500;
    Step();
    EXPECT_EQ(cup->RequireChunk<PositionChunk>(FourCC("POSI")).x, 450.0f);
    // The key's spot does not take the cup.
    Press(600, 300);
    EXPECT_EQ(Manager().heldObject, cup);
    EXPECT_FALSE(Spot(1).found);
    EXPECT_EQ(Manager().differencesLeft, 9);
    // Nor is the key picked up while the cup is carried.
    Press(400, 600);
    EXPECT_EQ(Manager().heldObject, cup);
    EXPECT_EQ(PlayedFiles().size(), 1u);
}

TEST_F(SpotTheDifferenceTest, AMatchCountsDownShowsParticlesAtTheSpotAndRemovesTheObject) {
    LoadMiniGame(kGame, kTwoDifferences);
    Press(200, 600);
    Press(310, 290);
    EXPECT_TRUE(Spot(0).found);
    EXPECT_EQ(Manager().differencesLeft, 8) << "counted down from nine, whatever the spots";
    EXPECT_EQ(Manager().heldObject, nullptr);
    EXPECT_EQ(Loose("cup"), nullptr) << "the object went";
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"pickup", "push"}));
    const std::vector<FxParticles*> particles = All<FxParticles>();
    ASSERT_EQ(particles.size(), 1u);
    EXPECT_EQ(particles[0]->Position().x, 300.0f);
    EXPECT_EQ(particles[0]->Position().y, 300.0f);
    EXPECT_EQ(Manager().CounterText(), "str.differencesleft: 8");
    // A found spot takes nothing more.
    Press(400, 600);
    Press(300, 300);
    EXPECT_EQ(Manager().differencesLeft, 8);
}

TEST_F(SpotTheDifferenceTest, EverySpotFoundWinsAndTheSpotsGo) {
    LoadMiniGame(kGame, kTwoDifferences);
    for (const auto& [object, spot] : {std::pair{200.0f, 300.0f}, std::pair{400.0f, 600.0f}}) {
        Press(object, 600);
        Press(spot, 300);
    }
    Step();
    EXPECT_TRUE(Manager().finished);
    EXPECT_TRUE(All<SpotTheDifferenceGameSlot>().empty());
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_EQ(Manager().differencesLeft, 7) << "the counter is not the win";
    Step(55);
    EXPECT_FALSE(LeaveArmed());
    Step(10);
    EXPECT_TRUE(LeaveArmed());
}

TEST_F(SpotTheDifferenceTest, TheCountersAlphaFollowsTheManagersSprite) {
    const std::vector<std::pair<float, uint32_t>> cases = {
        {1.0f, 255}, {1.5f, 255}, {0.0f, 0}, {-0.5f, 0}, {0.5f, 128}, {0.25f, 64}};
    for (const auto& [alpha, byte] : cases) {
        SCOPED_TRACE(alpha);
        EXPECT_EQ(SpotTheDifferenceGameMngr::CounterAlpha(alpha), byte);
    }
}

TEST_F(SpotTheDifferenceTest, APressAboveY50LeavesOnlyWhileTheSceneTakesInput) {
    struct Case {
        float y;
        bool input;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {49, true, true}, {50, true, false}, {10, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.y) + (c.input ? " with input" : " during the fade"));
        LoadMiniGame(kGame, kTwoDifferences);
        ModalLevel->blendFinished = c.input;
        Press(500, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Manager().finished, c.leaves);
        EXPECT_FALSE(LeaveArmed()) << "the leave request waits for the delay";
    }
    // Escape too waits for the input flag.
    LoadMiniGame(kGame, kTwoDifferences);
    ModalLevel->blendFinished = false;
    PressEscape();
    EXPECT_FALSE(ModalLevel->returnFlag);
    ModalLevel->blendFinished = true;
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
}

TEST_F(SpotTheDifferenceTest, ACarriedObjectStopsFollowingOnceTheGameIsOver) {
    LoadMiniGame(kGame, kTwoDifferences);
    Press(200, 600);
    Press(500, 10); // leaves
    ASSERT_TRUE(Manager().finished);
    Mouse.x = 700;
    Mouse.y = 700;
    Step(80); // the manager goes after its delay
    ASSERT_TRUE(All<SpotTheDifferenceGameMngr>().empty());
    EXPECT_NE(Loose("cup")->RequireChunk<PositionChunk>(FourCC("POSI")).x, 700.0f);
}

} // namespace
