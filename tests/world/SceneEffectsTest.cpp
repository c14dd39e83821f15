#include "engine/Random.h"
#include "media/SpriteRenderSystem.h"
#include "tests/world/EffectsFixture.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"
#include "world/fx/FxAnim.h"
#include "world/fx/FxPillar.h"
#include "world/fx/FxPulseAlpha.h"
#include "world/fx/WaterBlend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// Pools and sheets of water as placed objects, labelled by "Name".
constexpr const char* kWater = "(Water BaseGameObject (POSI) (SPRT)) (Shimmer WaterBlend) "
                               "(Fall WaterfallBlend) (Glow FxPulseAlpha2)";

class Water : public Effects {
protected:
    RenderChunk& SpriteOf(const std::string& visName) const {
        return Find(visName)->RequireChunk<RenderChunk>(FourCC("SPRT"));
    }
};

TEST_F(Water, AShimmerTakesTheLastObjectOfItsLabelAndSwingsFromPointFourBetweenZeroAndPointEight) {
    Load(kWater, "(Water (visName first) (Name POOL)) (Water (visName last) (Name POOL)) "
                 "(Shimmer (Data (name POOLZ) (alphaOffset 0.5)))");
    Run(1);
    EXPECT_NEAR(SpriteOf("last").alpha, 0.4f, 0.02f);
    EXPECT_EQ(SpriteOf("first").alpha, 1.0f);
    float low = 1.0f;
    float high = 0.0f;
    for (int i = 0; i < 400; ++i) {
        Run(1);
        low = std::min(low, SpriteOf("last").alpha);
        high = std::max(high, SpriteOf("last").alpha);
    }
    EXPECT_NEAR(low, 0.0f, 0.001f);
    EXPECT_NEAR(high, 0.8f, 0.001f);
}

TEST_F(Water, AFallingSheetSlidesTwentyASecondJumpsBackEveryOneAndAHalfAndFlickers) {
    SeedRandom(11);
    Load(kWater, "(Water (visName sheet) (Name FALL) (POSI (position 0 100))) "
                 "(Fall (Data (name FALL)))");
    const PositionChunk& position = Find("sheet")->RequireChunk<PositionChunk>(FourCC("POSI"));
    std::vector<int> jumps;
    std::vector<float> alphas;
    float last = position.y;
    for (int step = 1; step <= 400; ++step) {
        Run(1);
        if (position.y < last) {
            jumps.push_back(step);
            EXPECT_EQ(position.y, 100.0f);
        }
        last = position.y;
        alphas.push_back(SpriteOf("sheet").alpha);
    }
    ASSERT_GE(jumps.size(), 4u);
    for (std::size_t i = 1; i < jumps.size(); ++i) {
        EXPECT_NEAR(jumps[i] - jumps[i - 1], 90, 1);
    }
    EXPECT_NEAR(jumps[0], 90, 1);
    EXPECT_GE(*std::min_element(alphas.begin(), alphas.end()), 0.2f);
    EXPECT_LE(*std::max_element(alphas.begin(), alphas.end()), 0.7f);
    EXPECT_GT(std::count_if(alphas.begin(), alphas.end(),
                            [&alphas](float alpha) { return alpha != alphas[0]; }),
              300);
}

TEST_F(Water, APulseRestsWhileAMiniGameBlendsInOrIsLeftThenResumesFromPhaseZero) {
    Load(kWater, "(Water (visName stone) (Name GLOW)) (Glow (Data (name GLOW)))");
    auto& stone = dynamic_cast<BaseGameObject&>(*Find("stone"));
    Level miniGame;
    ModalLevel = &miniGame;
    struct Phase {
        const char* name;
        bool blendFinished;
        bool returnFlag;
        bool paused;
    };
    for (const Phase& p :
         {Phase{"blending in", false, false, true}, Phase{"being left", true, true, true},
          Phase{"running", true, false, false}}) {
        SCOPED_TRACE(p.name);
        miniGame.blendFinished = p.blendFinished;
        miniGame.returnFlag = p.returnFlag;
        SpriteOf("stone").alpha = 0.25f;
        Run(30);
        EXPECT_EQ(stone.enabled, !p.paused);
        EXPECT_NEAR(All<FxPulseAlpha2>()[0]->phase, p.paused ? 0.0f : 30.0f * kStep, 1e-5f);
        EXPECT_NEAR(SpriteOf("stone").alpha,
                    p.paused ? 0.25f : (std::sin(60.0f * kStep) + 1.0f) * 0.5f, 1e-4f);
    }
    ModalLevel = nullptr;
}

TEST_F(Water, APulseOnAnObjectWithoutAnEnabledStateWritesTheAlphaAloneAndEndsWithIt) {
    TestPiece& piece = AddPiece();
    auto& pulse = Add<FxPulseAlpha>();
    pulse.target = &piece;
    Run(30);
    EXPECT_NEAR(piece.Sprite().alpha, 0.25f * std::sin(60.0f * kStep), 1e-4f);
    gameLevel->DestroyObject(&piece);
    Run(1);
    EXPECT_EQ(Count("FxPulseAlpha"), 0);
}

TEST_F(Water, AnAnimationEffectGoesWhenItsAnimationHasEnded) {
    WriteData("gfx/puff.ani", "(framedAnim puff sheet.png 64 64 (fps 60) (frames 0 1 2))\n");
    auto& puff = Add<FxAnim>();
    puff.Sprite().player.Load("gfx/puff.ani");
    ASSERT_TRUE(puff.Sprite().player.Play("puff", false, false, false, 0.0f));
    const int steps = RunOut("FxAnim");
    EXPECT_GE(steps, 3);
    EXPECT_LE(steps, 5);

    Add<FxAnim>(); // nothing plays
    Run(1);
    EXPECT_EQ(Count("FxAnim"), 0);
}

// A pillar and a book that rise into place, with their sounds and the dust.
class Rising : public Effects {
protected:
    void SetUp() override {
        Effects::SetUp();
        for (const char* sound : {"column_move", "explosionlarge", "paper_place"}) {
            WriteData(std::string(sound) + ".wav", sound);
        }
        WriteData("sounds.txt",
                  "(set global (column_move column_move.wav) "
                  "(explosionlarge explosionlarge.wav) (paper_place paper_place.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/fx/tomb_dust.prt", "(alpha 0 1) (size 0 4) (max_parts 50) (flow 0 60) "
                                          "(vel 0 0 0) (gravity 0)\n");
        WriteData("msg5.txt", "");
    }
};

TEST_F(Rising, APillarWithDelayOneStaysHiddenASecondRisesASecondThenDustsAndBooms) {
    TestPiece& pillar = AddPiece(200.0f, 300.0f);
    Add<FxPillar>().Start(&pillar, 1.0f);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"column_move"});
    EXPECT_EQ(pillar.Position().y, 428.0f);
    Run(59);
    EXPECT_EQ(pillar.Sprite().alpha, 0.0f);
    EXPECT_EQ(pillar.Position().y, 428.0f);
    Run(31);
    EXPECT_NEAR(pillar.Sprite().alpha, 0.5f, 0.03f);
    EXPECT_NEAR(pillar.Position().y, 364.0f, 4.0f);
    EXPECT_LE(RunOut("FxPillar"), 32);
    EXPECT_EQ(pillar.Position().y, 300.0f);
    EXPECT_EQ(pillar.Position().x, 200.0f);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"column_move", "explosionlarge"}));
    const std::vector<FxParticles*> dust = All<FxParticles>();
    ASSERT_EQ(dust.size(), 1u);
    EXPECT_EQ(dust[0]->Position().x, 200.0f);
    EXPECT_EQ(dust[0]->life, 3.0f);
}

TEST_F(Rising, ABookFliesFromTheMachineToItsPlaceAndTheFirstBringsTheLibrariansDialogue) {
    struct Case {
        const char* name;
        std::function<void()> before;
        bool dialogue;
    };
    const Case cases[] = {
        {"the first book", [] {}, true},
        {"the book's own flag set", [] { CurrentPlayer->SetFlag("room", "book", 1); }, false},
        {"dialog3 shown", [] { CurrentPlayer->SetFlag("z5-library-in", "dialog3_killed", 1); },
         false},
        {"four cards", [] { CurrentPlayer->SetFlag("z5-library-in", "machine_actCards", 4); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        MakeProfile(0, "Ann");
        InstallDialogueHook();
        Load("", "");
        c.before();
        TestPiece& book = AddPiece(100.0f, 50.0f);
        book.visName = "book";
        std::vector<std::string> shown; // the dialogue object's name, killOnDisable and flags
        duringDialogue = [this, &shown] {
            for (const GameModalDialog* dialog : All<GameModalDialog>()) {
                shown.push_back(dialog->visName + (dialog->killOnDisable ? " killOnDisable" : ""));
                for (const std::string& flag : dialog->GetDisableFlags()) {
                    shown.push_back(flag);
                }
            }
        };
        Add<FxBook>().Start(&book, 0.0f);
        EXPECT_EQ(Flag("book_enabled"), 1);
        EXPECT_EQ(book.Position().x, FxBook::kSlotX);
        EXPECT_EQ(book.Position().y, FxBook::kSlotY);
        EXPECT_LE(RunOut("FxBook"), 32);
        EXPECT_EQ(book.Position().x, 100.0f);
        EXPECT_EQ(book.Position().y, 50.0f);
        EXPECT_EQ(PlayedFiles().back(), "paper_place");
        EXPECT_EQ(All<FxParticles>().size(), 1u);
        Run(1);
        if (c.dialogue) {
            EXPECT_EQ(dialogues,
                      std::vector<std::string>{std::string(FxBook::kDialogue) + " 1 []"});
            EXPECT_EQ(shown, (std::vector<std::string>{"dialog5 killOnDisable", "dialog5_killed",
                                                       "dialog3_killed"}));
            EXPECT_EQ(Flag("dialog5_killed"), 1);
        } else {
            EXPECT_TRUE(dialogues.empty());
        }
        dialogues.clear();
        duringDialogue = nullptr;
    }
}

TEST_F(Rising, ATargetThatGoesBeforeTheLandingEndsTheRiseWithoutDust) {
    TestPiece& pillar = AddPiece(200.0f, 300.0f);
    Add<FxPillar>().Start(&pillar, 0.0f);
    Run(10);
    gameLevel->DestroyObject(&pillar);
    Run(1);
    EXPECT_EQ(Count("FxPillar"), 0);
    EXPECT_TRUE(All<FxParticles>().empty());
}

} // namespace
