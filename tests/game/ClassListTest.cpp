#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "engine/ObjectsManager.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace {

class GameClasses : public testing::Test {
protected:
    GameClasses() { RegisterGameClasses(); }
};

TEST_F(GameClasses, NamesAreCaseSensitive) {
    const ObjectsManager scene;
    EXPECT_FALSE(ClassFactoryMap.contains("GlyphstoneTutorial"));
    EXPECT_FALSE(ClassFactoryMap.contains("fxanim"));
    EXPECT_TRUE(ClassFactoryMap.contains("glyphstoneTutorial"));
}

TEST_F(GameClasses, RegisteringAgainChangesNothing) {
    const ObjectsManager first;
    const std::size_t known = ClassFactoryMap.size();
    RegisterGameClasses();
    EXPECT_EQ(ClassRegistry, nullptr);
    const ObjectsManager second;
    EXPECT_EQ(ClassFactoryMap.size(), known);
}

// The game's classes, in the game's registration order.
constexpr std::string_view kGameClasses[] = {
    "FxAnim", "FxPulseScale", "FxFlyTo", "FxParticles", "FxZoom", "FxRotate", "FxPipeRotate",
    "FxReplace", "FxReplaceAngle", "FxBlendIn", "FxBlendOut", "FxContainerOpenClose",
    "FxSlotOpenClose", "FxBackpack", "FxField", "FxPath", "FxPillar", "FxBook", "FxPulseAlpha",
    "FxPulseAlpha2", "WaterBlend", "WaterfallBlend", "FxLockRotate", "UIStatic", "UILabel",
    "UIDecoredLabel", "UIFrame", "UIAnimObject", "UIButton", "UIBitmapButton", "UITextButton",
    "UISkipButton", "UISlider", "UIShadowsFX", "UIAddMapPiece", "UITablesFX", "UICardsFX",
    "UILightsFX", "UIFogFX", "UICloudsFX", "UIMenuFX", "UIShiftBkgFX", "UIFlyInFX", "UIBonusFX",
    "UIFireworksFX", "UIInventorySlot", "UIInventoryMngr", "UIStoneSymbol", "UIStoneSymbolMngr",
    "UIPermanentSlot", "UIPermanentSlotMngr", "UIFxFlyTo", "UIFxMapPieceFly", "UIPartFx",
    "UICutsceneMngr", "UIFxRotate", "UIFxShiftObject", "UIFxScaleObject", "UIFxScale", "UIFxShift",
    "GameVideoEvent", "PuzzleGameChunk", "PuzzleGameSlot", "PuzzleGameMngr", "SlyderMngr",
    "TreeGamesManager", "PuzzleChunk", "PuzzleFrame", "PuzzleMngr", "CrystalSlot",
    "CrystalSlotsMngr", "SequenceAnimMngr", "SmartUISlot", "ScreenPuzzle", "ScreenPuzzleMngr",
    "LightPoint", "RockbandObject", "RockbandKey", "RockbandMngr", "Organ", "GestureGameElement",
    "GestureGameMngr", "GameTutorial", "Background", "SwitchPuzzleChunk", "SwitchPuzzleMngr",
    "PlacedSymbol", "PlacedSymbolsGroup", "SingleStoneMngr", "AllStonesMngr", "WheelOfTimeSegment",
    "WheelOfTimeMngr", "PipesPuzzleChunk", "PipesPuzzleMngr", "TetrisPuzzleChunk",
    "TetrisPuzzleMngr", "SteamMachineSlot", "SteamMachineMngr", "LaserPuzzleMirrorChunk",
    "LaserPuzzleMngr", "WhackAMoleTool", "WhackAMoleMngr", "GameModalDialog", "Furnace",
    "TelescopeGameMngr", "TelescopeViewGameMngr", "StartupEvent", "LockDoorMngr", "OakbeardQuest",
    "GuardianQuest", "CollectObjectsQuest", "GetObjectsQuest", "TelescopeGestureGameElement",
    "TelescopeGestureGameMngr", "MapPositionMngr", "ClockDoorGameMngr", "ClockGameSlot",
    "LibraryShelf", "LibraryMachine", "SpotTheDifferenceGameChunk", "SpotTheDifferenceGameSlot",
    "SpotTheDifferenceGameMngr", "glyphstoneTutorial", "OraclesQuest", "BaseGameObject",
    "GameHiddenObject", "SmartUI", "GameButtonX", "GameAnim", "Tutorial", "SequenceAnimObject",
    "LightPointsMngr", "MagicWand", "SteamMachineWheel", "MapPiece", "GamePermanentObject",
    "GameVideo", "UIInput", "UIMapZoomFX", "UIMusic", "UISound", "UITimeTrigger",
};

// The factory knows exactly the game's classes (each makes an object of its own class in a level,
// as the demo data test shows).
TEST_F(GameClasses, TheFactoryKnowsExactlyTheGamesClasses) {
    const ObjectsManager first;
    std::set<std::string, std::less<>> known;
    for (const auto& entry : ClassFactoryMap) {
        known.insert(entry.first);
    }
    const std::set<std::string, std::less<>> game(std::begin(kGameClasses), std::end(kGameClasses));
    EXPECT_EQ(known, game);
    EXPECT_EQ(known.size(), 142u);
}

} // namespace
