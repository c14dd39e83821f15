#include "puzzles/PuzzleClasses.h"

#include "engine/ClassFactory.h"
#include "puzzles/Background.h"
#include "puzzles/GestureGame.h"
#include "puzzles/PipesPuzzle.h"
#include "puzzles/Rockband.h"
#include "puzzles/RotatingTiles.h"
#include "puzzles/StartupEvent.h"

void RegisterPuzzleClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<Background> background;
    static const Registerer<StartupEvent> startupEvent;
    static const Registerer<PipesPuzzleChunk> pipesPiece;
    static const Registerer<PipesPuzzleMngr> pipesManager;
    static const Registerer<PuzzleChunk> tile;
    static const Registerer<PuzzleMngr> tilesManager;
    static const Registerer<RockbandObject> note;
    static const Registerer<RockbandKey> noteKey;
    static const Registerer<RockbandMngr> rhythmManager;
    static const Registerer<Organ> organ;
    static const Registerer<GestureGameElement> gestureElement;
    static const Registerer<GestureGameMngr> gestureManager;
}
