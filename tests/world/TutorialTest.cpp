// The tutorial objects of the levels: the script state written back with the scene, the level
// system's list of them, and the glyph-stone hint.

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "tests/world/WorldFixture.h"
#include "world/GlyphstoneTutorial.h"
#include "world/NormalLevelSystem.h"
#include "world/Tutorial.h"
#include "world/WorldClasses.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

class Tutorials : public WorldTest {
protected:
    static constexpr float kStep = 1.0f / 60.0f;

    void SetUp() override {
        RegisterWorldClasses();
        WorldTest::SetUp();
        WriteData("scripts/objects.txt",
                  "(Final (Tutorial) (Glyph glyphstoneTutorial (POSI) (KEYB)))");
        WriteData("gfx/interface/ui_arrows.ani", "(anim tutorial)\n");
        WriteData("gfx/puzzles/slyder1_arrows.ani", "(anim exit_down)\n");
        TestWorld().setOverlayResult = [this](int32_t result) {
            hookCalls.push_back("overlay " + std::to_string(result));
        };
        TestWorld().skipDialoguePage = [this] { hookCalls.push_back("skip"); };
        TestWorld().setDialogueResult = [this](int32_t result) {
            hookCalls.push_back("dialogue " + std::to_string(result));
        };
    }

    // The game level with a scene of these object entries.
    Level& Scene(const std::string& objects) {
        WriteData("levels/t.txt", "(Meta (Name t) (levelPath levels\\t.txt))\n(Objects " +
                                      objects + ")\n");
        Level& level = MakeGameLevel();
        level.LoadScene("levels/t.txt", true);
        return level;
    }
    template <typename T>
    static T& First(Level& level) {
        for (const auto& object : level.Objects()) {
            if (auto* found = dynamic_cast<T*>(object.get())) {
                return *found;
            }
        }
        throw Exception("none");
    }
    static std::string Written(const Object& object) {
        std::ostringstream out;
        object.WriteDefinition(out);
        return out.str();
    }
};

TEST_F(Tutorials, TheScriptStateIsWrittenBackAndReadsBackTheSame) {
    struct Case {
        const char* what;
        const char* data;
        const char* written;
    };
    const Case cases[] = {
        {"every key", "(file t\\a.txt) (number 3) (next 4) (event OPEN) (oevent SHUT) "
                      "(oevent GONE) (stop 1) (arrow 10 20.5) (arrow -3 4) (trueTutorial 0)",
         "(file t\\a.txt)\n(number 3)\n(next 4)\n(event OPEN)\n(oevent SHUT)\n(oevent GONE)\n"
         "(stop 1)\n(arrow 10 20.5)\n(arrow -3 4)\n"},
        {"next 0 and no event", "(file a.txt) (next 0) (event \"\")",
         "(file a.txt)\n(number 0)\n"},
        {"texts a reader would split", "(file \"my tips.txt\") (oevent \"a(b\")",
         "(file \"my tips.txt\")\n(number 0)\n(oevent \"a(b\")\n"},
        {"nothing", "", "(file \"\")\n(number 0)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        Level& level = Scene(std::string("(Tutorial (Data ") + c.data + "))");
        const std::string written = Written(First<Tutorial>(level));
        EXPECT_EQ(written, c.written);
        // Read back from what was written, one list a line, it writes the same again.
        std::string lists = written;
        std::replace(lists.begin(), lists.end(), '\n', ' ');
        Level& again = Scene("(Tutorial (Data " + lists + "))");
        EXPECT_EQ(Written(First<Tutorial>(again)), written);
    }
}

TEST_F(Tutorials, TheLevelSystemHidesItsTutorialsAndForgetsThoseThatGo) {
    Level& level = Scene("(Tutorial (Data (arrow 1 2))) (Tutorial)");
    ASSERT_NE(level.levelSystem, nullptr);
    EXPECT_EQ(level.levelSystem->tutorials.size(), 2u);
    EXPECT_EQ(std::count(hookCalls.begin(), hookCalls.end(), "overlay 1"), 2);
    EXPECT_FALSE(First<Tutorial>(level).shown);

    level.DestroyObject(&First<Tutorial>(level));
    EXPECT_EQ(level.levelSystem->tutorials.size(), 1u);
    hookCalls.clear();
    level.levelSystem->Clear();
    EXPECT_TRUE(level.levelSystem->tutorials.empty());
    EXPECT_EQ(std::count(hookCalls.begin(), hookCalls.end(), "overlay 1"), 1);
}

TEST_F(Tutorials, TheGlyphstoneHintTakesAClickOnlyAfterTwoSecondsAndThenGoes) {
    MakeProfile(0, "Ann");
    Level& level = Scene("(Glyph (visName hint))");
    glyphstoneTutorial& hint = First<glyphstoneTutorial>(level);
    auto step = [&](float seconds) {
        for (int i = 0; i < static_cast<int>(std::lround(seconds / kStep)) && !hint.dead; ++i) {
            if (!hint.Update(kStep)) {
                hint.dead = true;
            }
        }
    };
    step(1.9f);
    EXPECT_FLOAT_EQ(hint.appear, 1.0f);
    hint.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    EXPECT_FALSE(hint.closing) << "too early: the click that opened it";
    step(0.2f);
    Mouse.x = 300.0f;
    Mouse.y = 200.0f;
    step(kStep);
    hint.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    EXPECT_TRUE(hint.closing);
    EXPECT_THAT(hookCalls, ::testing::Contains("skip"));
    // The game's pointer is held where the click was while the hint goes.
    Mouse.x = 900.0f;
    step(kStep);
    EXPECT_FLOAT_EQ(Mouse.x, 300.0f);
    EXPECT_FALSE(hint.dead);
    step(0.5f);
    EXPECT_TRUE(hint.dead);
    EXPECT_THAT(hookCalls, ::testing::Contains("dialogue 1"));
    EXPECT_EQ(CurrentPlayer->GetFlag("t:hint_killed"), 1);
}

} // namespace
