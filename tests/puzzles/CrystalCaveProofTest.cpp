// The crystal cave's mini-games proven as a player meets them: opened over a location by
// GameModalProc and run in the real main loop, won by the clicks that solve them, or left.

#include "engine/FourCC.h"
#include "media/RenderChunk.h"
#include "puzzles/CrystalSlots.h"
#include "puzzles/LaserPuzzle.h"
#include "puzzles/SpotTheDifference.h"
#include "tests/puzzles/MiniGameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSounds = {"game_won",    "crystal_pick", "warning",
                                          "light",       "push",         "pickup",
                                          "refract_light", "game_appear"};

const char* const kAltarDefinitions =
    "(Slot CrystalSlot (POSI) (KEYB) (SPRT) (Name PUZZ)"
    " (COLI (left -40) (right 40) (top -40) (bottom 40)) (Data))\n"
    "(Altar CrystalSlotsMngr (KEYB) (Data))\n";
const char* const kAltarScene = "(Meta (Name crystals) (Type crystals))\n(Objects\n"
                                "(Slot (visName crystal_red) (POSI (position 450 400)))\n"
                                "(Slot (visName crystal_blue) (POSI (position 570 400)))\n"
                                "(Altar))\n";

const char* const kSpotDefinitions =
    "(Spot SpotTheDifferenceGameSlot (POSI) (KEYB) (SPRT) (Name PUZZ)"
    " (COLI (left -30) (right 30) (top -30) (bottom 30)))\n"
    "(Loose SpotTheDifferenceGameChunk (POSI) (KEYB) (SPRT) (Name PUZZ)"
    " (COLI (left -30) (right 30) (top -30) (bottom 30)))\n"
    "(Pictures SpotTheDifferenceGameMngr (POSI) (KEYB) (SPRT) (Data))\n";
const char* const kSpotScene = "(Meta (Name minigame2) (Type puzzle))\n(Objects\n"
                               "(Spot (POSI (position 300 300)) (Data (activator cup)))\n"
                               "(Spot (POSI (position 700 300)) (Data (activator key)))\n"
                               "(Loose (visName cup) (POSI (position 300 600)))\n"
                               "(Loose (visName key) (POSI (position 700 600)))\n"
                               "(Pictures))\n";

const char* const kMirrorDefinitions =
    "(Mirror LaserPuzzleMirrorChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
    " (COLI (left -40) (right 40) (top -40) (bottom 40)))\n"
    "(Hall LaserPuzzleMngr (KEYB ()) (Data))\n";
const char* const kMirrorScene = "(Meta (Name minigame3) (Type puzzle))\n(Objects\n"
                                 "(Mirror (POSI (position 150 300)))\n"
                                 "(Mirror (POSI (position 150 450)))\n"
                                 "(Hall (Data (definition levels/boards/hall.txt))))\n";
// A crystal at (2, 0) and (3, 2), a wall at (2, 1), the source at (1, 3); cells of 88 from
// (336, 200).
const char* const kCaveBoard = "offsetX: 336\noffsetY: 200\nColumns: 4\nRows: 4\nBOARD_SHAPE:\n"
                               "EEGE\nEEWE\nEEEG\nELEE\n";

int CellX(int column) {
    return 336 + 88 * column + 44;
}
int CellY(int row) {
    return 200 + 88 * row + 44;
}

class CrystalCaveProof : public MiniGameHarness {
protected:
    void SetUp() override {
        MiniGameHarness::SetUp();
        WriteData("gfx/fx/object_hili2.prt", "(max_parts 4)\n(flow 0 10)\n");
        WriteData("gfx/puzzles/mirrorgame/objects.ani",
                  "(fileAnim crystal_off (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim crystal_on (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim idle (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim idle2 (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim cross (frame m.png 0 0 88 88 44 44))\n");
        WriteData("levels/boards/hall.txt", kCaveBoard);
    }

    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }
    static bool Played(const MiniGameResult& result, const std::string& sound) {
        return std::find(result.sounds.begin(), result.sounds.end(), sound) != result.sounds.end();
    }
    static void ExpectWon(const MiniGameResult& result) {
        EXPECT_EQ(result.word, 6);
        EXPECT_EQ(result.energyGained, 1);
        EXPECT_TRUE(Played(result, "game_won"));
        EXPECT_TRUE(result.wonAt);
        EXPECT_FALSE(result.returnFlagAt);
    }
    static void ExpectLeft(const MiniGameResult& result) {
        EXPECT_EQ(result.word, 5);
        EXPECT_EQ(result.energyGained, 0);
        EXPECT_FALSE(Played(result, "game_won"));
        EXPECT_FALSE(result.wonAt);
        EXPECT_TRUE(result.returnFlagAt);
    }
    // The carried mirror follows the mouse there, then the click.
    void ClickThere(int x, int y) {
        Move(x, y);
        Click(x, y);
    }
};

TEST_F(CrystalCaveProof, TheAltarIsWonWithBothCrystalsSet) {
    WriteMiniGame("levels/crystals.txt", kAltarScene, kAltarDefinitions, kSounds);
    OpenMiniGame("levels/crystals.txt", 1);
    HoldItem("crystal_red1");
    Click(450, 400);
    HoldItem("crystal_blue1");
    Click(570, 400);
    const MiniGameResult result = Run();
    ExpectWon(result);
    EXPECT_EQ(Flag("crystals_completed"), 1);
    EXPECT_TRUE(Played(result, "light"));
    EXPECT_EQ(std::count(result.sounds.begin(), result.sounds.end(), "crystal_pick"), 2);
}

TEST_F(CrystalCaveProof, TheAltarIsLeftBesideIt) {
    WriteMiniGame("levels/crystals.txt", kAltarScene, kAltarDefinitions, kSounds);
    OpenMiniGame("levels/crystals.txt", 1);
    Click(100, 400);
    const MiniGameResult result = Run();
    ExpectLeft(result);
    EXPECT_EQ(Flag("crystals_completed"), 0);
}

TEST_F(CrystalCaveProof, AWrongCrystalEndsTheAltarAtOnce) {
    WriteMiniGame("levels/crystals.txt", kAltarScene, kAltarDefinitions, kSounds);
    OpenMiniGame("levels/crystals.txt", 1);
    HoldItem("crystal_blue1");
    Click(450, 400);
    // The altar fades out with its crystals hidden: the fade shows every piece it fades.
    int fadingSeen = 0;
    for (int look = 0; look < 12; ++look) {
        Wait(4);
        Then([this, &fadingSeen] {
            for (CrystalSlot* slot : Pieces<CrystalSlot>()) {
                const auto* sprite =
                    dynamic_cast<const RenderChunk*>(slot->GetChunk(FourCC("SPRT"), 0));
                ASSERT_NE(sprite, nullptr);
                EXPECT_FALSE(sprite->visible && sprite->alpha > 0.0f) << slot->visName;
                fadingSeen += sprite->alpha < 1.0f ? 1 : 0;
            }
        });
    }
    const MiniGameResult result = Run();
    ExpectLeft(result);
    EXPECT_TRUE(Played(result, "warning"));
    EXPECT_GT(fadingSeen, 0) << "the looks fell after the fade";
}

TEST_F(CrystalCaveProof, ThePicturesAreWonByCarryingEachObjectToItsSpot) {
    WriteMiniGame("levels/spot.txt", kSpotScene, kSpotDefinitions, kSounds);
    OpenMiniGame("levels/spot.txt", 1);
    Click(300, 600);
    ClickThere(300, 300);
    Click(700, 600);
    ClickThere(700, 300);
    const MiniGameResult result = Run();
    ExpectWon(result);
    EXPECT_EQ(Flag("minigame2_completed"), 1);
    EXPECT_EQ(std::count(result.sounds.begin(), result.sounds.end(), "push"), 2);
}

TEST_F(CrystalCaveProof, ThePicturesAreLeftAboveThem) {
    WriteMiniGame("levels/spot.txt", kSpotScene, kSpotDefinitions, kSounds);
    OpenMiniGame("levels/spot.txt", 1);
    Wait(150); // the scene's fade-in
    Click(500, 20);
    const MiniGameResult result = Run();
    ExpectLeft(result);
}

TEST_F(CrystalCaveProof, TheMirrorHallIsWonByTwoMirrorsTurnedOntoTheirCells) {
    WriteMiniGame("levels/mirrors.txt", kMirrorScene, kMirrorDefinitions, kSounds);
    OpenMiniGame("levels/mirrors.txt", 1);
    Click(150, 300);
    RightClick(600, 700);
    RightClick(600, 700);
    ClickThere(CellX(1), CellY(0));
    Click(150, 450);
    for (int turn = 0; turn < 3; ++turn) {
        RightClick(600, 700);
    }
    ClickThere(CellX(3), CellY(0));
    const MiniGameResult result = Run();
    ExpectWon(result);
    EXPECT_EQ(Flag("minigame3_completed"), 1);
    EXPECT_EQ(std::count(result.sounds.begin(), result.sounds.end(), "refract_light"), 2);
}

TEST_F(CrystalCaveProof, TheMirrorHallIsLeftByEscape) {
    WriteMiniGame("levels/mirrors.txt", kMirrorScene, kMirrorDefinitions, kSounds);
    OpenMiniGame("levels/mirrors.txt", 1);
    Wait(10);
    Escape();
    const MiniGameResult result = Run();
    ExpectLeft(result);
    EXPECT_EQ(Flag("minigame3_completed"), 0);
}

} // namespace
