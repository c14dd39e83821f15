#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/GameModalDialog.h"

#include <deque>
#include <string_view>

namespace {

// The classes the game names that are not built yet, in the game's registration order. Each is
// known to the factory by name, and creating one throws until its class is built: a class that
// gets built leaves this list and gets a Registerer in RegisterGameClasses.
constexpr std::string_view kPendingClasses[] = {
    "FxAnim",
    "FxPulseScale",
    "FxFlyTo",
    "FxParticles",
    "FxZoom",
    "FxRotate",
    "FxPipeRotate",
    "FxReplace",
    "FxReplaceAngle",
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

} // namespace

void RegisterGameClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    // Built classes are registered here, each with a static Registerer<T>.
    static Registerer<FxBlendIn> fxBlendIn;
    static Registerer<FxBlendOut> fxBlendOut;
    static Registerer<GameModalDialog> gameModalDialog;
    static Registerer<BaseGameObject> baseGameObject;
    // Registrars live for the whole run; a deque never moves them once made.
    static std::deque<PendingRegisterer> pending;
    for (const std::string_view name : kPendingClasses) {
        pending.emplace_back(name);
    }
}
