#include "puzzles/PuzzleClasses.h"

#include "engine/ClassFactory.h"
#include "puzzles/Background.h"
#include "puzzles/ClockDoor.h"
#include "puzzles/GlyphStones.h"
#include "puzzles/LockDoor.h"
#include "puzzles/PipesPuzzle.h"
#include "puzzles/RotatingTiles.h"
#include "puzzles/ScreenPuzzle.h"
#include "puzzles/StartupEvent.h"
#include "puzzles/SteamMachine.h"
#include "puzzles/WheelOfTime.h"

void RegisterPuzzleClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<Background> background;
    static const Registerer<StartupEvent> startupEvent;
    static const Registerer<PipesPuzzleChunk> pipesPiece;
    static const Registerer<PipesPuzzleMngr> pipesManager;
    static const Registerer<PuzzleChunk> tile;
    static const Registerer<PuzzleMngr> tilesManager;
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
}
