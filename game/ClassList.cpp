#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "ui/UIButton.h"
#include "ui/UIInput.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UISoundWidgets.h"
#include "ui/UIStatic.h"
#include "ui/UITriggers.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/FxParticles.h"
#include "world/FxPath.h"
#include "world/GameHiddenObject.h"
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
    "FxZoom",
    "FxRotate",
    "FxPipeRotate",
    "FxReplace",
    "FxReplaceAngle",
    "FxContainerOpenClose",
    "FxSlotOpenClose",
    "FxBackpack",
    "FxField",
    "FxPillar",
    "FxBook",
    "FxPulseAlpha",
    "FxPulseAlpha2",
    "WaterBlend",
    "WaterfallBlend",
    "FxLockRotate",
    "UIDecoredLabel",
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
    "UIMapZoomFX",
};

} // namespace

void RegisterGameClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    // Built classes are registered here, each with a static Registerer<T>.
    static const Registerer<FxBlendIn> fxBlendIn;
    static const Registerer<FxBlendOut> fxBlendOut;
    static const Registerer<FxParticles> fxParticles;
    static const Registerer<GameModalDialog> gameModalDialog;
    static const Registerer<BaseGameObject> baseGameObject;
    static const Registerer<UIButton> button;
    static const Registerer<UIBitmapButton> bitmapButton;
    static const Registerer<UITextButton> textButton;
    static const Registerer<UISkipButton> skipButton;
    static const Registerer<UIStatic> picture;
    static const Registerer<UIAnimObject> animObject;
    static const Registerer<UILabel> label;
    static const Registerer<UIFrame> frame;
    static const Registerer<UISlider> slider;
    static const Registerer<UIInput> input;
    static const Registerer<UISound> sound;
    static const Registerer<UIMusic> music;
    static const Registerer<UITimeTrigger> timeTrigger;
    static const Registerer<GameVideoEvent> videoEvent;
    static const Registerer<GameHiddenObject> hiddenObject;
    static const Registerer<FxPath> fxPath;
    // Registrars live for the whole run; a deque never moves them once made.
    static std::deque<PendingRegisterer> pending;
    for (const std::string_view name : kPendingClasses) {
        pending.emplace_back(name);
    }
}
