#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "engine/Exception.h"
#include "engine/ObjectsManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Every creatable class of the game, spelled as the game's data names them.
const char* const kGameClasses[] = {
    "FxAnim",
    "FxPulseScale",
    "FxFlyTo",
    "FxParticles",
    "FxZoom",
    "FxRotate",
    "FxPipeRotate",
    "FxReplace",
    "FxReplaceAngle",
    "FxBlendIn",
    "FxBlendOut",
    "FxContainerOpenClose",
    "FxSlotOpenClose",
    "FxBackpack",
    "FxField",
    "FxPath",
    "FxPillar",
    "FxBook",
    "FxPulseAlpha",
    "FxPulseAlpha2",
    "WaterBlend",
    "WaterfallBlend",
    "FxLockRotate",
    "UIStatic",
    "UILabel",
    "UIDecoredLabel",
    "UIFrame",
    "UIAnimObject",
    "UIButton",
    "UIBitmapButton",
    "UITextButton",
    "UISkipButton",
    "UISlider",
    "UIShadowsFX",
    "UIAddMapPiece",
    "UITablesFX",
    "UICardsFX",
    "UILightsFX",
    "UIFogFX",
    "UICloudsFX",
    "UIMenuFX",
    "UIShiftBkgFX",
    "UIFlyInFX",
    "UIBonusFX",
    "UIFireworksFX",
    "UIInventorySlot",
    "UIInventoryMngr",
    "UIStoneSymbol",
    "UIStoneSymbolMngr",
    "UIPermanentSlot",
    "UIPermanentSlotMngr",
    "UIFxFlyTo",
    "UIFxMapPieceFly",
    "UIPartFx",
    "UICutsceneMngr",
    "UIFxRotate",
    "UIFxShiftObject",
    "UIFxScaleObject",
    "UIFxScale",
    "UIFxShift",
    "GameVideoEvent",
    "PuzzleGameChunk",
    "PuzzleGameSlot",
    "PuzzleGameMngr",
    "SlyderMngr",
    "TreeGamesManager",
    "PuzzleChunk",
    "PuzzleFrame",
    "PuzzleMngr",
    "CrystalSlot",
    "CrystalSlotsMngr",
    "SequenceAnimMngr",
    "SmartUISlot",
    "ScreenPuzzle",
    "ScreenPuzzleMngr",
    "LightPoint",
    "RockbandObject",
    "RockbandKey",
    "RockbandMngr",
    "Organ",
    "GestureGameElement",
    "GestureGameMngr",
    "GameTutorial",
    "Background",
    "SwitchPuzzleChunk",
    "SwitchPuzzleMngr",
    "PlacedSymbol",
    "PlacedSymbolsGroup",
    "SingleStoneMngr",
    "AllStonesMngr",
    "WheelOfTimeSegment",
    "WheelOfTimeMngr",
    "PipesPuzzleChunk",
    "PipesPuzzleMngr",
    "TetrisPuzzleChunk",
    "TetrisPuzzleMngr",
    "SteamMachineSlot",
    "SteamMachineMngr",
    "LaserPuzzleMirrorChunk",
    "LaserPuzzleMngr",
    "WhackAMoleTool",
    "WhackAMoleMngr",
    "GameModalDialog",
    "Furnace",
    "TelescopeGameMngr",
    "TelescopeViewGameMngr",
    "StartupEvent",
    "LockDoorMngr",
    "OakbeardQuest",
    "GuardianQuest",
    "CollectObjectsQuest",
    "GetObjectsQuest",
    "TelescopeGestureGameElement",
    "TelescopeGestureGameMngr",
    "MapPositionMngr",
    "ClockDoorGameMngr",
    "ClockGameSlot",
    "LibraryShelf",
    "LibraryMachine",
    "SpotTheDifferenceGameChunk",
    "SpotTheDifferenceGameSlot",
    "SpotTheDifferenceGameMngr",
    "glyphstoneTutorial",
    "OraclesQuest",
    "BaseGameObject",
    "GameHiddenObject",
    "SmartUI",
    "GameButtonX",
    "GameAnim",
    "Tutorial",
    "SequenceAnimObject",
    "LightPointsMngr",
    "MagicWand",
    "SteamMachineWheel",
    "MapPiece",
    "GamePermanentObject",
    "GameVideo",
    "UIInput",
    "UIMapZoomFX",
    "UIMusic",
    "UISound",
    "UITimeTrigger",
};

class GameClasses : public testing::Test {
protected:
    GameClasses() { RegisterGameClasses(); }
};

TEST_F(GameClasses, AllAreKnownToTheFirstScene) {
    ASSERT_EQ(std::size(kGameClasses), 142u);
    const ObjectsManager scene;
    for (const char* name : kGameClasses) {
        const auto registered = ClassFactoryMap.find(name);
        ASSERT_NE(registered, ClassFactoryMap.end()) << name;
        EXPECT_EQ(registered->second->GetName(), name);
    }
    EXPECT_EQ(ClassFactoryMap.size(), 142u);
}

TEST_F(GameClasses, NamesAreCaseSensitive) {
    const ObjectsManager scene;
    EXPECT_FALSE(ClassFactoryMap.contains("GlyphstoneTutorial"));
    EXPECT_FALSE(ClassFactoryMap.contains("fxanim"));
    EXPECT_TRUE(ClassFactoryMap.contains("glyphstoneTutorial"));
}

TEST_F(GameClasses, RegisteringAgainChangesNothing) {
    const ObjectsManager first;
    RegisterGameClasses();
    EXPECT_EQ(ClassRegistry, nullptr);
    const ObjectsManager second;
    EXPECT_EQ(ClassFactoryMap.size(), 142u);
}

TEST_F(GameClasses, ClassesNotBuiltYetSayWhichWhenCreated) {
    ObjectsManager scene;
    try {
        scene.CreateObject("FxAnim", true);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "Class FxAnim is not available yet");
    }
}

TEST_F(GameClasses, BuiltClassesAreCreatedByName) {
    ObjectsManager scene;
    for (const char* name : {"UIButton", "UIBitmapButton", "UITextButton", "UISkipButton",
                             "UIStatic", "UIAnimObject", "UILabel", "UIFrame", "UISlider",
                             "UIInput", "UISound", "UIMusic", "UITimeTrigger", "GameVideoEvent"}) {
        const std::unique_ptr<Object> object = scene.CreateObject(name, true);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->GetClassName(), name);
    }
}

} // namespace
