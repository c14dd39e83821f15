#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/GameAnim.h"
#include "world/GameButtonX.h"
#include "world/MapPositionMngr.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using AnimatedObjects = SceneObjects;

TEST_F(AnimatedObjects, AnAnimationFadesInAndOutByTheTimeItHasBeenEnabled) {
    struct Sample {
        int steps; // run before the sample
        float alpha;
    };
    struct Case {
        const char* name;
        const char* data;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {"in from 1 over 2",
         "(fadeInStart 1) (fadeInTime 2)",
         {{59, 0.0f}, {61, 0.4f}, {60, 0.8f}, {60, 0.8f}}},
        {"out from 1 over 1",
         "(fadeOutStart 1) (fadeOutTime 1)",
         {{30, 0.8f}, {60, 0.4f}, {31, 0.0f}, {300, 0.0f}}},
        {"in without time", "(fadeInStart 1) (fadeInTime 0)", {{59, 0.0f}, {2, 0.8f}}},
        {"out without time", "(fadeOutStart 1) (fadeOutTime 0)", {{59, 0.8f}, {2, 0.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        MakeProfile(0, "Ann");
        Load("(Creature GameAnim (POSI) (SPRT (alpha 0.8)))",
             std::string("(Creature (visName wisp) (Data ") + c.data + "))");
        for (const Sample& sample : c.samples) {
            Run(sample.steps);
            EXPECT_NEAR(Alpha("wisp"), sample.alpha, 0.01f);
        }
    }
}

TEST_F(AnimatedObjects, AnAnimationsClockRunsOnlyWhileItIsEnabled) {
    Load("(Creature GameAnim (POSI) (SPRT))",
         "(Creature (visName wisp) (enableFlag woke) (Data (fadeInStart 0) (fadeInTime 1)))");
    Run(120);
    auto& wisp = dynamic_cast<GameAnim&>(*Find("wisp"));
    EXPECT_EQ(wisp.elapsed, 0.0f);
    CurrentPlayer->SetFlag("room", "woke", 1);
    Run(31);
    // The flag is seen at the next state evaluation, within a tenth of a second.
    EXPECT_GT(wisp.elapsed, 0.4f);
    EXPECT_LE(wisp.elapsed, 31.0f * kStep + 1e-4f);
    EXPECT_NEAR(Alpha("wisp"), wisp.elapsed, 1e-4f);
}

TEST_F(AnimatedObjects, ASequenceObjectReadsOnlyItsSequenceIdAndWithoutOneNeverMatches) {
    Load("(Step SequenceAnimObject (POSI) (SPRT))",
         "(Step (visName third) (Data (sequenceId 2) (enabled 0))) (Step (visName loose) (Data))");
    Run(1);
    auto& third = dynamic_cast<SequenceAnimObject&>(*Find("third"));
    EXPECT_EQ(third.sequenceId, 2);
    EXPECT_TRUE(third.enabled);
    EXPECT_EQ(dynamic_cast<SequenceAnimObject&>(*Find("loose")).sequenceId,
              SequenceAnimObject::kNoSequence);
}

constexpr const char* kButtonWithSprite =
    "(GameButtonX (POSI) (SPRT (file gfx\\map.ani) (animName idle)))";

// The world map: buttons with their "mapIndicator", the marker after them.
class WorldMap : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        WriteData("gfx/interface/maps/arrow_katya.ani", "(emptyAnim idle)\n");
        WriteData("gfx/map.ani", "(framedAnim idle sheet.png 64 48 (frames 0))\n"
                                 "(framedAnim farsees_tower sheet.png 64 48 (frames 0))\n");
    }

    // The map with one button (its entry's keys given) and the marker; the arrow, or null. The
    // marker looks for objects made under the definition name "GameButtonX".
    Object* LoadMap(const std::string& button, const std::string& definitions = kButtonWithSprite) {
        Load("(GameAnim (POSI) (SPRT)) " + definitions + " (Marker MapPositionMngr)",
             "(GameButtonX (visName wood) " + button + ") (Marker (Data))");
        for (const auto& object : gameLevel->Objects()) {
            if (object != nullptr && object->code == FourCC("PUZZ")) {
                return object.get();
            }
        }
        return nullptr;
    }
};

TEST_F(WorldMap, TheArrowStandsOverTheButtonOfTheLastLevel) {
    struct Case {
        const char* name;
        const char* button;
        float x;
        float y;
    };
    const Case cases[] = {
        {"the middle, 5 above", "(POSI (position 300 200)) (Data (mapIndicator z1-wood))", 332.0f,
         195.0f},
        {"never above 54", "(POSI (position 300 40)) (Data (mapIndicator z1-wood))", 332.0f, 54.0f},
        {"the tower off its middle",
         "(POSI (position 300 200)) (SPRT (animName farsees_tower)) (Data (mapIndicator z1-wood))",
         297.0f, 195.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        MakeProfile(0, "Ann").SetLastLevelId("z1-wood");
        Object* arrow = LoadMap(c.button);
        ASSERT_NE(arrow, nullptr);
        EXPECT_EQ(arrow->name, "GameAnim");
        const auto& position = arrow->RequireChunk<PositionChunk>(FourCC("POSI"));
        EXPECT_EQ(position.x, c.x);
        EXPECT_EQ(position.y, c.y);
        EXPECT_EQ(position.initialY, c.y);
        const auto& sprite = arrow->RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
        EXPECT_EQ(sprite.scale, MapPositionMngr::kArrowScale);
        EXPECT_EQ(sprite.player.GetFileName(), MapPositionMngr::kArrowFile);
        EXPECT_EQ(sprite.player.CurrentAnimName(), "idle");
    }
}

TEST_F(WorldMap, NoArrowWithoutAMatchingButtonWithASpriteOrWithoutAPlayer) {
    struct Case {
        const char* name;
        std::function<void()> before;
        const char* definitions;
    };
    const Case cases[] = {
        {"another last level", [] { CurrentPlayer->SetLastLevelId("z1-barrow-out"); },
         kButtonWithSprite},
        {"no player", [] { CurrentPlayer = nullptr; }, kButtonWithSprite},
        {"a button without a sprite", [] { CurrentPlayer->SetLastLevelId("z1-wood"); },
         "(GameButtonX (POSI))"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        MakeProfile(0, "Ann");
        c.before();
        EXPECT_EQ(LoadMap("(POSI (position 300 200)) (Data (mapIndicator z1-wood))", c.definitions),
                  nullptr);
    }
}

} // namespace
