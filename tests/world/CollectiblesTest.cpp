#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/GamePermanentObject.h"
#include "world/MapPiece.h"
#include "world/NormalLevelSystem.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A map piece, a lens, an orb, a stone and the wand lying in the room, each 50 x 50 at its
// position.
class Collectibles : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        WriteItemArt("wand");
        FakeWorld& hooks = TestWorld();
        hooks.collectMapPiece = [this](float x, float y) {
            journal.push_back("map piece from " + std::to_string(static_cast<int>(x)) + "," +
                              std::to_string(static_cast<int>(y)));
            return hudComplete;
        };
        hooks.launchTool = [this](int tool) {
            journal.push_back("launch " + std::to_string(tool));
            return hudComplete;
        };
        hooks.permanentToolInUse = [this]() -> std::optional<std::string> { return toolInUse; };
        Load("(Piece MapPiece (POSI (position 100 100)) (KEYB) (SPRT) "
             "(COLI (left 0) (right 50) (top 0) (bottom 50)))"
             "(Tool GamePermanentObject (POSI (position 200 100)) (KEYB) (SPRT) "
             "(COLI (left 0) (right 50) (top 0) (bottom 50)))"
             "(Wand MagicWand (POSI (position 300 100)) (KEYB) (SPRT) "
             "(COLI (left 0) (right 50) (top 0) (bottom 50)))",
             "(Piece (visName piece1) (Data (magicActivator wand)))"
             "(Tool (visName chromatic_lens1) (POSI (position 200 100)) (Data))"
             "(Tool (visName scrying_orb) (POSI (position 200 200)) (Data))"
             "(Tool (visName stone) (POSI (position 200 300)) (Data))"
             "(Wand (visName wand) (Data))");
        Run(1);
    }

    void Click(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        for (const auto& object : gameLevel->Objects()) {
            if (object != nullptr) {
                object->OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
            }
        }
        Run(1);
    }

    std::vector<std::string> journal;
    bool hudComplete = true;
    std::optional<std::string> toolInUse = "wand";
};

TEST_F(Collectibles, AMapPieceGoesToTheHudOrIsCountedWithoutItsCounter) {
    for (const bool counter : {true, false}) {
        SCOPED_TRACE(counter);
        journal.clear();
        hudComplete = counter;
        if (!counter) {
            StartAgain();
            MakeProfile(0, "Ann");
            SetUp();
        }
        const int before = CurrentPlayer->GetMapPieces();
        Click(110, 110);
        EXPECT_EQ(journal, std::vector<std::string>{"map piece from 100,100"});
        EXPECT_EQ(CurrentPlayer->GetMapPieces(), before + (counter ? 0 : 1));
        EXPECT_EQ(Find("piece1"), nullptr);
        EXPECT_EQ(Flag("piece1_killed"), 1);
    }
}

TEST_F(Collectibles, AMapPieceIsRefusedWithTheWrongToolOrAnItemHeld) {
    toolInUse = "chromatic_lens";
    Click(110, 110);
    EXPECT_NE(Find("piece1"), nullptr);
    toolInUse = "wand";
    gameLevel->levelSystem->HoldItem("wand");
    Click(110, 110);
    EXPECT_NE(Find("piece1"), nullptr);
    EXPECT_TRUE(journal.empty());
}

TEST_F(Collectibles, APermanentObjectLaunchesItsToolByItsNameOrIsCountedWithoutTheSlots) {
    Click(210, 110);
    Click(210, 210);
    Click(210, 310);
    EXPECT_EQ(journal, (std::vector<std::string>{"launch 2", "launch 3"}));
    EXPECT_EQ(Find("chromatic_lens1"), nullptr);
    EXPECT_EQ(Find("scrying_orb"), nullptr);
    EXPECT_NE(Find("stone"), nullptr) << "no tool of that name: it stays";
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 0) << "the HUD counts it";

    hudComplete = false;
    StartAgain();
    MakeProfile(0, "Ann");
    SetUp();
    hudComplete = false;
    Click(210, 110);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 1);
}

TEST_F(Collectibles, AMapPieceFadesOutOnItsOwnClockAndStaysClickable) {
    WriteData("levels/room.txt", "(Meta (Name room))\n(Objects (Piece (visName faded) "
                                 "(Data (fadeOutStart 0.5) (fadeOutTime 0.5))))\n");
    gameLevel->LoadScene("levels/room.txt", true);
    Run(45);
    EXPECT_NEAR(Alpha("faded"), 0.5f, 0.05f);
    Run(30);
    EXPECT_EQ(Alpha("faded"), 0.0f);
    Click(110, 110);
    EXPECT_EQ(Find("faded"), nullptr);
}

TEST_F(Collectibles, TheWandIsPickedUpLikeAHiddenThingAndNeverFades) {
    CurrentPlayer->SetFlag("room", "wand_enabled", 0);
    Click(310, 110);
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "wand");
}

} // namespace
