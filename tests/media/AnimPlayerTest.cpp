#include "media/AnimPlayer.h"

#include "media/AnimationCache.h"
#include "tests/media/AnimationFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr float kStep = 1.0f / 60.0f;

class AnimPlayerTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        // sheet.png: 4 x 2 cells of 64.
        Write("a.ani", "(framedAnim first sheet.png 64 64 (frames 0 1))\n"
                       "(framedAnim three sheet.png 64 64 (frames 0 1 2))\n"
                       "(framedAnim other sheet.png 64 64 (fps 60) (frames 3 4))\n"
                       "(fileAnim picture (fps 10) (frame pic.png 8 4 16 20 3 5))\n"
                       "(fileAnim offset (frame pic.png 0 0 10 10 2.7 -1.5))\n"
                       "(emptyAnim empty)\n");
    }

    // Steps the player n times; the frame and the wrapped flag after each step.
    static std::vector<std::pair<int, bool>> Steps(AnimPlayer& player, int n) {
        std::vector<std::pair<int, bool>> seen;
        for (int i = 0; i < n; ++i) {
            player.Update(kStep);
            seen.emplace_back(player.CurrentFrame(), player.HasWrapped());
        }
        return seen;
    }

    // The quads the player draws at (100, 50), depth 7, otherwise as given.
    std::vector<RecordedDraw> Drawn(const AnimPlayer& player, float alpha = 1.0f, float fill = 1.0f,
                                    float leftCut = 0.0f, uint32_t tint = 0xFFFFFFFFu) {
        script.draws.clear();
        player.Draw(100.0f, 50.0f, 7.0f, 0.0f, alpha, 1.0f, fill, leftCut, tint);
        return script.draws;
    }
};

// ---------------------------------------------------------------------------------------------
// Timing

TEST_F(AnimPlayerTest, ALoopShowsEachFrameForTwoStepsAndWrapsAtATenthOfASecond) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    const std::vector<std::pair<int, bool>> seen = Steps(player, 13);
    const std::vector<std::pair<int, bool>> expected = {
        {0, false}, {1, false}, {1, false}, {2, false}, {2, false}, {0, true}, {0, false},
        {1, false}, {1, false}, {2, false}, {2, false}, {0, true},  {0, false}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(player.IsFinished());
}

TEST_F(AnimPlayerTest, AnAnimationPlayedOnceEndsAndIsNoLongerDrawn) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("three", false, false, true, 0.0f));
    for (int step = 1; step <= 5; ++step) {
        EXPECT_TRUE(player.Update(kStep)) << step;
    }
    EXPECT_FALSE(Drawn(player).empty());
    EXPECT_FALSE(player.Update(kStep));
    EXPECT_TRUE(player.IsFinished());
    EXPECT_THAT(Drawn(player), IsEmpty());
    EXPECT_FALSE(player.Update(kStep));

    // Played again, it starts over.
    ASSERT_TRUE(player.Play("three", false, false, true, 0.0f));
    EXPECT_FALSE(player.IsFinished());
    EXPECT_EQ(player.CurrentFrame(), 0);
    EXPECT_TRUE(player.Update(kStep));
}

TEST_F(AnimPlayerTest, ThenFirstGoesBackToTheFirstAnimationWithoutAName) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("other", false, true, true, 0.0f)); // 2 frames at 60 fps
    EXPECT_TRUE(player.Update(kStep));
    EXPECT_EQ(player.CurrentAnimName(), "other");
    EXPECT_TRUE(player.Update(kStep));
    EXPECT_EQ(player.CurrentIndex(), 0);
    EXPECT_EQ(player.CurrentAnimName(), "");
    EXPECT_FALSE(player.IsFinished());
}

TEST_F(AnimPlayerTest, AnEmptyAnimationEndsAtItsFirstStepUnlessItLoops) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("empty", false, false, true, 0.0f));
    EXPECT_FALSE(player.Update(kStep));
    EXPECT_TRUE(player.IsFinished());
    ASSERT_TRUE(player.Play("empty", true, false, true, 0.0f));
    EXPECT_TRUE(player.Update(kStep));
    EXPECT_TRUE(player.HasWrapped());
    EXPECT_THAT(Drawn(player), IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Binding and playing

TEST_F(AnimPlayerTest, AnUnboundPlayerDoesNothing) {
    AnimPlayer player;
    EXPECT_FALSE(player.Play("three", true, false, true, 0.0f));
    EXPECT_FALSE(player.Update(kStep));
    EXPECT_THAT(Drawn(player), IsEmpty());
    EXPECT_TRUE(player.GetFileName().empty());
    const FrameRect rect = player.GetFrameRect("three");
    EXPECT_EQ(rect.right, 0);
    player.Load("");
    EXPECT_TRUE(player.GetFileName().empty());
}

TEST_F(AnimPlayerTest, LoadingTheBoundFileAgainDoesNotRestart) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    Steps(player, 3);
    player.Load("a.ani");
    EXPECT_EQ(player.CurrentFrame(), 1);
    EXPECT_EQ(player.CurrentIndex(), 1);
    // Another file restarts at its first animation, keeping the name played last.
    Write("b.ani", "(emptyAnim idle)\n(framedAnim walk sheet.png 64 64 (frames 0))\n");
    player.Load("b.ani");
    EXPECT_EQ(player.CurrentIndex(), 0);
    EXPECT_EQ(player.CurrentFrame(), 0);
    EXPECT_EQ(player.CurrentAnimName(), "three");
}

TEST_F(AnimPlayerTest, PlayingTheRunningAnimationKeepsItGoing) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    Steps(player, 4);
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    EXPECT_EQ(player.CurrentFrame(), 2);
    ASSERT_TRUE(player.Play("first", true, false, true, 0.0f));
    EXPECT_EQ(player.CurrentFrame(), 0);
    EXPECT_EQ(player.CurrentAnimName(), "first");
}

TEST_F(AnimPlayerTest, AnUnknownNameChangesNothingButTheLoopFlag) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    Steps(player, 2);
    EXPECT_FALSE(player.Play("nope", false, false, true, 0.0f));
    EXPECT_EQ(player.CurrentAnimName(), "three");
    EXPECT_EQ(player.CurrentFrame(), 1);
    EXPECT_FALSE(player.SetAnim("nope"));
    // The loop flag was taken: the animation now ends instead of wrapping.
    Steps(player, 4);
    EXPECT_TRUE(player.IsFinished());
}

TEST_F(AnimPlayerTest, AFadeInRaisesAlphaOverItsTimeWhateverTheCallerPasses) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("picture", true, false, true, 2.0f));
    EXPECT_THAT(Drawn(player, 1.0f), IsEmpty()); // alpha 0 draws nothing
    for (int step = 0; step < 60; ++step) {
        player.Update(kStep);
    }
    std::vector<RecordedDraw> draws = Drawn(player, 0.1f);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_NEAR(static_cast<int>(draws[0].vertices[0].diffuse >> 24), 0x80, 1); // half way
    for (int step = 0; step < 90; ++step) {
        player.Update(kStep);
    }
    EXPECT_GT(player.FadeProgress(), 1.0f); // not clamped; the renderer clamps
    draws = Drawn(player, 0.1f);
    EXPECT_EQ(draws.at(0).vertices[0].diffuse >> 24, 0xFFu);
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(AnimPlayerTest, FillAndLeftCutShowPartsOfTheFrame) {
    // The frame: pic.png (64 x 32) at (8, 4), 16 x 20, pivot (3, 5).
    struct Case {
        float fill, leftCut;
        float left, width; // on screen, before the renderer's half pixel
        float uLeft, uRight;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 100.0f, 16.0f, 8.0f, 24.0f},   // whole
        {0.5f, 0.0f, 100.0f, 8.0f, 8.0f, 16.0f},    // left half, half as wide
        {1.0f, 0.25f, 104.0f, 12.0f, 12.0f, 24.0f}, // the right three quarters
        {0.5f, 0.5f, 108.0f, 4.0f, 16.0f, 20.0f},
    };
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("picture", true, false, true, 0.0f));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "fill " << c.fill << ", left cut " << c.leftCut);
        const std::vector<RecordedDraw> draws = Drawn(player, 1.0f, c.fill, c.leftCut);
        ASSERT_EQ(draws.size(), 1u);
        const std::vector<GfxVertex>& v = draws[0].vertices;
        EXPECT_FLOAT_EQ(v[0].x + 0.5f, c.left - 3.0f);
        EXPECT_FLOAT_EQ(v[1].x - v[0].x, c.width);
        EXPECT_FLOAT_EQ(v[0].y + 0.5f, 50.0f - 5.0f);
        EXPECT_FLOAT_EQ(v[3].y - v[0].y, 20.0f);
        EXPECT_FLOAT_EQ(v[0].u * 64.0f, c.uLeft);
        EXPECT_FLOAT_EQ(v[1].u * 64.0f, c.uRight);
        EXPECT_FLOAT_EQ(v[0].v * 32.0f, 4.0f);
        EXPECT_FLOAT_EQ(v[3].v * 32.0f, 24.0f);
        EXPECT_NE(draws[0].texture, 0);
    }
}

TEST_F(AnimPlayerTest, TheTintColoursTheFrame) {
    AnimPlayer player;
    player.Load("a.ani");
    ASSERT_TRUE(player.Play("picture", true, false, true, 0.0f));
    EXPECT_EQ(Drawn(player, 1.0f, 1.0f, 0.0f, 0xFF8000u).at(0).vertices[0].diffuse, 0xFFFF8000u);
    EXPECT_EQ(Drawn(player, 0.5f).at(0).vertices[0].diffuse, 0x80FFFFFFu);
}

TEST_F(AnimPlayerTest, TheFrameRectangleIsTheFirstFrameAroundItsPivot) {
    AnimPlayer player;
    player.Load("a.ani");
    struct Case {
        const char* name;
        FrameRect rect;
    };
    for (const Case& c : {Case{"picture", {-3, -5, 13, 15}}, Case{"three", {-32, -32, 32, 32}},
                          Case{"offset", {-2, 1, 7, 11}}, Case{"empty", {0, 0, 0, 0}},
                          Case{"nope", {0, 0, 0, 0}}}) {
        SCOPED_TRACE(c.name);
        const FrameRect rect = player.GetFrameRect(c.name);
        EXPECT_EQ(rect.left, c.rect.left);
        EXPECT_EQ(rect.top, c.rect.top);
        EXPECT_EQ(rect.right, c.rect.right);
        EXPECT_EQ(rect.bottom, c.rect.bottom);
    }
}

// ---------------------------------------------------------------------------------------------
// Sounds

class AnimPlayerSoundTest : public AnimPlayerTest {
protected:
    void SetUp() override {
        AnimPlayerTest::SetUp();
        for (const char* file : {"step.wav", "idle.wav", "jump.wav"}) {
            Write(file, file);
        }
        // "first" and "three" share a looping set; "other" has a set that does not loop.
        Write("a.snd", "(sound (anims first three) (files step.wav) (loop 1))\n"
                       "(sound (anims other) (files jump.wav))\n"
                       "(sound (anims picture) (files idle.wav))\n");
        player.Load("a.ani");
    }

    // Ends every playback, as if each had played out.
    void EndSounds() {
        for (const RecordingAudio::Playback& playback : audio.Playbacks()) {
            audio.EndChannel(playback.channel);
        }
    }

    AnimPlayer player;
};

TEST_F(AnimPlayerSoundTest, ChangingToAnAnimationWithAnotherSetPlaysIt) {
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f)); // from no set
    ASSERT_TRUE(player.Play("other", true, false, true, 0.0f));
    ASSERT_TRUE(player.Play("picture", true, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav", "jump.wav", "idle.wav"));
    EXPECT_FALSE(audio.Playbacks().back().loop);
}

TEST_F(AnimPlayerSoundTest, TheRunningAnimationOrOneOfTheSameSetIsSilent) {
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    Steps(player, 2);
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    ASSERT_TRUE(player.Play("first", true, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav"));
}

TEST_F(AnimPlayerSoundTest, ALoopingSetSoundsAgainWhenItsAnimationWraps) {
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    Steps(player, 5);
    EXPECT_FALSE(player.HasWrapped());
    ASSERT_TRUE(player.Play("three", true, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav"));

    // The wrapping step: skipped while the sound still plays, played once it has ended.
    Steps(player, 1);
    ASSERT_TRUE(player.HasWrapped());
    ASSERT_TRUE(player.SetAnim("three"));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav"));
    EndSounds();
    ASSERT_TRUE(player.SetAnim("three"));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav", "step.wav"));
    EXPECT_EQ(player.CurrentFrame(), 0); // a wrapped animation is not reset again
}

TEST_F(AnimPlayerSoundTest, ASetThatDoesNotLoopSoundsOnlyOnAChange) {
    ASSERT_TRUE(player.Play("other", true, false, true, 0.0f));
    Steps(player, 2);
    ASSERT_TRUE(player.HasWrapped());
    EndSounds();
    ASSERT_TRUE(player.Play("other", true, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), ElementsAre("jump.wav"));
}

TEST_F(AnimPlayerSoundTest, AFinishedAnimationOfALoopingSetSoundsWhenPlayedAgain) {
    ASSERT_TRUE(player.Play("three", false, false, true, 0.0f));
    Steps(player, 6);
    ASSERT_TRUE(player.IsFinished());
    EndSounds();
    ASSERT_TRUE(player.Play("three", false, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), ElementsAre("step.wav", "step.wav"));
}

TEST_F(AnimPlayerSoundTest, SoundsOffPlaysNothing) {
    ASSERT_TRUE(player.Play("three", true, false, false, 0.0f));
    ASSERT_TRUE(player.Play("other", true, false, false, 0.0f));
    EXPECT_THAT(PlayedFiles(), IsEmpty());
}

TEST_F(AnimPlayerSoundTest, AFileWithoutACompanionTakesTheOldSoundsAway) {
    Write("b.ani", "(emptyAnim idle)\n(framedAnim other sheet.png 64 64 (frames 0))\n");
    player.Load("b.ani");
    ASSERT_TRUE(player.Play("other", true, false, true, 0.0f));
    EXPECT_THAT(PlayedFiles(), IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Shutdown

TEST_F(AnimPlayerSoundTest, ClearingTheCacheLetsGoOfTexturesAndSoundsBeforeTheyGo) {
    CursorAnim.Load("a.ani");
    ASSERT_TRUE(CursorAnim.Play("three", true, false, true, 0.0f));
    TextureEntry* sheet = nullptr;
    for (const std::unique_ptr<TextureEntry>& entry : TextureManager::Entries()) {
        if (entry->imageName == "sheet.png") {
            sheet = entry.get();
        }
    }
    ASSERT_NE(sheet, nullptr);
    EXPECT_GT(sheet->referenceCount, 0);

    AnimationCache::Clear(); // the application's shutdown order
    EXPECT_EQ(sheet->referenceCount, 0);
    for (const RecordingAudio::Sample& sample : audio.Samples()) {
        EXPECT_TRUE(sample.freed) << sample.id;
    }
    TextureManager::ReleaseAll();

    // The global player still holds its definition: it plays on silently and untextured,
    // touching no entry that is gone.
    const std::size_t played = audio.Playbacks().size();
    EXPECT_TRUE(CursorAnim.Play("other", true, false, true, 0.0f));
    CursorAnim.Update(kStep);
    const std::vector<RecordedDraw> draws = Drawn(CursorAnim);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].texture, 0);
    EXPECT_EQ(audio.Playbacks().size(), played);
    EXPECT_FALSE(AnimationCache::HasDefinition("a.ani"));
}

} // namespace
