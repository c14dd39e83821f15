// Light points on a location: which points the manager waits for, lighting with the right item or
// tool, the hint with the wand, the one-time reward and what the solved puzzle leaves behind.

#include "puzzles/LightPoints.h"

#include "tests/puzzles/CaveFixture.h"
#include "world/FxBlend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kLamps = "(Point LightPoint (Name LIGH) (POSI) (KEYB) (SPRT)"
                           " (COLI (left -20) (right 20) (top -20) (bottom 20)))\n"
                           "(Flame BaseGameObject (POSI) (SPRT))\n"
                           "(Lights LightPointsMngr (POSI) (SPRT) (Data))\n";
// A lamp that takes a candle, a lamp lit by the wand, their flames, the manager.
const char* const kTwoLamps =
    "(Point (visName lamp_a) (POSI (position 200 200))"
    " (Data (activator candle) (lightAnim FLMA) (clickSoundName lamp)))\n"
    "(Point (visName lamp_b) (POSI (position 600 200)) (Data (magicActivator wand) (lightAnim FLMB)))\n"
    "(Flame (Name FLMA) (POSI (position 200 150)))\n"
    "(Flame (Name FLMB) (POSI (position 600 150)))\n"
    "(Lights (visName cave_lights))";

class LightPointsTest : public CaveTest {
protected:
    LightPoint* Point(const std::string& name) {
        for (LightPoint* point : OnLocation<LightPoint>()) {
            if (point->visName == name) {
                return point;
            }
        }
        return nullptr;
    }
    LightPointsMngr* Manager() {
        const std::vector<LightPointsMngr*> found = OnLocation<LightPointsMngr>();
        return found.empty() ? nullptr : found[0];
    }
    int32_t Flag(const std::string& name) { return CurrentPlayer->GetFlag("gate:" + name); }
    std::vector<FxBlendIn*> Blends() { return OnLocation<FxBlendIn>(); }
};

TEST_F(LightPointsTest, TheRightItemLightsAPointAndIsUsedUp) {
    LoadLocation(kLamps, kTwoLamps);
    ASSERT_EQ(Manager()->Points().size(), 2u);
    Hold("candle1");
    PressOnLocation(200, 200);
    EXPECT_TRUE(Point("lamp_a")->lit);
    EXPECT_EQ(Flag("lamp_a_killed"), 1);
    EXPECT_TRUE(Held().empty()) << "name and picture both go";
    EXPECT_FALSE(HeldItemShown);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"lamp"});
    // The flame fades in.
    const std::vector<FxBlendIn*> blends = Blends();
    ASSERT_EQ(blends.size(), 1u);
    EXPECT_EQ(blends[0]->targets.size(), 1u);
    EXPECT_NEAR(blends[0]->delay, 0.5f, kStep * 1.01f) << "its first step may have run";
    EXPECT_EQ(blends[0]->time, 2.0f);
    // A lit point takes no more clicks.
    Hold("candle2");
    PressOnLocation(200, 200);
    EXPECT_EQ(Held(), "candle2");
    EXPECT_EQ(Blends().size(), 1u);
}

TEST_F(LightPointsTest, AWrongItemOpensTheHintOnlyWithTheWand) {
    for (const bool wand : {false, true}) {
        SCOPED_TRACE(wand ? "wand selected" : "no wand");
        LoadLocation(kLamps, kTwoLamps);
        GameLevel->levelSystem->toolInUse = wand;
        Hold("feather");
        const std::size_t played = PlayedSince(0).size();
        PressOnLocation(200, 200);
        EXPECT_FALSE(Point("lamp_a")->lit);
        EXPECT_EQ(Held(), "feather");
        EXPECT_EQ(PlayedSince(played), std::vector<std::string>{"lamp"});
        // The hint is shown once: it leaves its flag.
        StepLocation();
        EXPECT_EQ(Flag(std::string(LightPoint::kWandHintName) + "_killed"), wand ? 1 : 0);
    }
}

TEST_F(LightPointsTest, AMagicPointWaitsForItsToolAndLeavesTheCursorAsItIs) {
    LoadLocation(kLamps, kTwoLamps);
    StandInToolSlots& tools = ToolSlots();
    tools.tool = "multitool";
    PressOnLocation(600, 200);
    EXPECT_FALSE(Point("lamp_b")->lit);
    EXPECT_TRUE(PlayedFiles().empty()) << "a tool mismatch is silent";
    tools.tool = "wand";
    Hold("feather");
    PressOnLocation(600, 200);
    EXPECT_TRUE(Point("lamp_b")->lit);
    EXPECT_EQ(Held(), "feather") << "a point without an activator uses nothing up";
}

TEST_F(LightPointsTest, AllLitSolvesOnceWithOneEnergyTheToolsResetAndTheOverlayFading) {
    LoadLocation(kLamps, kTwoLamps);
    StandInToolSlots& tools = ToolSlots();
    tools.tool = "wand";
    ToolCursorShown = true;
    const int32_t energy = CurrentPlayer->GetEnergy();
    Hold("candle1");
    PressOnLocation(200, 200);
    StepLocation();
    EXPECT_FALSE(Manager()->solved);
    PressOnLocation(600, 200);
    ASSERT_TRUE(Manager()->solved);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
    EXPECT_EQ(Flag("cave_lights_killed"), 1);
    EXPECT_TRUE(GameLevel->levelSystem->lightsSolved);
    EXPECT_EQ(tools.resets, 1);
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_TRUE(OnLocation<LightPoint>().empty()) << "the points went quietly";
    // The overlay fades from 1 to 0 over two seconds, then the manager goes.
    StepLocation(60);
    EXPECT_NEAR(Manager()->overlayAlpha, 0.5f, 0.02f);
    StepLocation(62);
    EXPECT_EQ(Manager(), nullptr);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);

    // Back on the location: every point was lit before, so it is solved at once, with no second
    // reward.
    LoadLocation(kLamps, kTwoLamps);
    StepLocation();
    EXPECT_TRUE(OnLocation<LightPoint>().empty()) << "killed points do not come back";
    StepLocation(200);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
}

TEST_F(LightPointsTest, KilledPointsAreNotWaitedForAndTheRestSolveAtOnce) {
    CurrentPlayer->SetFlag("gate", "lamp_b_killed", 1);
    const int32_t energy = CurrentPlayer->GetEnergy();
    LoadLocation(kLamps, kTwoLamps);
    ASSERT_EQ(Manager()->Points().size(), 1u);
    Hold("candle1");
    PressOnLocation(200, 200);
    EXPECT_TRUE(Manager()->solved);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
}

TEST_F(LightPointsTest, APointThatLeavesTheSceneMidPlayNoLongerCounts) {
    LoadLocation(kLamps, kTwoLamps);
    ASSERT_EQ(Manager()->Points().size(), 2u);
    Point("lamp_b")->dead = true;
    StepLocation();
    EXPECT_EQ(Manager()->Points().size(), 1u);
    Hold("candle1");
    PressOnLocation(200, 200);
    EXPECT_TRUE(Manager()->solved);
}

} // namespace
