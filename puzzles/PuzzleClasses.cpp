#include "puzzles/PuzzleClasses.h"

#include "engine/ClassFactory.h"
#include "puzzles/Background.h"
#include "puzzles/BallSlider.h"
#include "puzzles/BlockPlacement.h"
#include "puzzles/ClockDoor.h"
#include "puzzles/CrystalSlots.h"
#include "puzzles/GestureGame.h"
#include "puzzles/GlyphStones.h"
#include "puzzles/LaserPuzzle.h"
#include "puzzles/Library.h"
#include "puzzles/LightPoints.h"
#include "puzzles/LockDoor.h"
#include "puzzles/MapPlacement.h"
#include "puzzles/PipesPuzzle.h"
#include "puzzles/Rockband.h"
#include "puzzles/RotatingTiles.h"
#include "puzzles/ScreenPuzzle.h"
#include "puzzles/SpotTheDifference.h"
#include "puzzles/StartupEvent.h"
#include "puzzles/SteamMachine.h"
#include "puzzles/SwitchPuzzle.h"
#include "puzzles/TelescopeGames.h"
#include "puzzles/TreeGames.h"
#include "puzzles/WhackAMole.h"
#include "puzzles/WheelOfTime.h"

void RegisterPuzzleClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<Background> background;
    static const Registerer<StartupEvent> startupEvent;
    static const Registerer<PipesPuzzleChunk> pipesPiece;
    static const Registerer<PipesPuzzleMngr> pipesManager;
    static const Registerer<PuzzleChunk> tile;
    static const Registerer<PuzzleMngr> tilesManager;
    static const Registerer<TreeGamesManager> treeGamesManager;
    static const Registerer<LibraryShelf> libraryShelf;
    static const Registerer<LibraryMachine> libraryMachine;
    static const Registerer<RockbandObject> note;
    static const Registerer<RockbandKey> noteKey;
    static const Registerer<RockbandMngr> rhythmManager;
    static const Registerer<Organ> organ;
    static const Registerer<PuzzleGameChunk> mapPiece;
    static const Registerer<PuzzleGameSlot> mapSlot;
    static const Registerer<PuzzleGameMngr> mapManager;
    static const Registerer<TetrisPuzzleChunk> block;
    static const Registerer<TetrisPuzzleMngr> blocksManager;
    static const Registerer<SwitchPuzzleChunk> switchTile;
    static const Registerer<SwitchPuzzleMngr> switchManager;
    static const Registerer<SlyderMngr> slider;
    static const Registerer<CrystalSlot> crystalSlot;
    static const Registerer<CrystalSlotsMngr> crystalSlots;
    static const Registerer<SequenceAnimMngr> sequenceHint;
    static const Registerer<SpotTheDifferenceGameChunk> spotObject;
    static const Registerer<SpotTheDifferenceGameSlot> spot;
    static const Registerer<SpotTheDifferenceGameMngr> spotManager;
    static const Registerer<LightPoint> lightPoint;
    static const Registerer<LightPointsMngr> lightPoints;
    static const Registerer<LaserPuzzleMirrorChunk> mirror;
    static const Registerer<LaserPuzzleMngr> mirrorManager;
    static const Registerer<PlacedSymbol> placedSymbol;
    static const Registerer<PlacedSymbolsGroup> placedSymbolsGroup;
    static const Registerer<SingleStoneMngr> singleStone;
    static const Registerer<AllStonesMngr> allStones;
    static const Registerer<SteamMachineSlot> steamSlot;
    static const Registerer<SteamMachineMngr> steamManager;
    static const Registerer<SteamMachineWheel> steamWheel;
    static const Registerer<ClockGameSlot> clockSlot;
    static const Registerer<ClockDoorGameMngr> clockManager;
    static const Registerer<WheelOfTimeSegment> wheelSegment;
    static const Registerer<WheelOfTimeMngr> wheelManager;
    static const Registerer<LockDoorMngr> lockManager;
    static const Registerer<ScreenPuzzle> screenPlace;
    static const Registerer<ScreenPuzzleMngr> screenManager;
    static const Registerer<PuzzleFrame> puzzleFrame;
    static const Registerer<GestureGameElement> gestureElement;
    static const Registerer<GestureGameMngr> gestureManager;
    static const Registerer<WhackAMoleTool> forgeTool;
    static const Registerer<WhackAMoleMngr> forgeManager;
    static const Registerer<TelescopeGestureGameElement> lensElement;
    static const Registerer<TelescopeGestureGameMngr> telescopeGestures;
    static const Registerer<TelescopeGameMngr> telescopeSearch;
    static const Registerer<TelescopeViewGameMngr> telescopeView;
}
