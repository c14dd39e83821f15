#include "puzzles/PuzzleClasses.h"

#include "engine/ClassFactory.h"
#include "puzzles/Background.h"
#include "puzzles/StartupEvent.h"

void RegisterPuzzleClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<Background> background;
    static const Registerer<StartupEvent> startupEvent;
}
