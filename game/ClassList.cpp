#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "puzzles/PuzzleClasses.h"
#include "ui/UiClasses.h"
#include "world/WorldClasses.h"

void RegisterGameClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    // Each library's own classes, the lower layers first.
    RegisterWorldClasses();
    RegisterUiClasses();
    RegisterPuzzleClasses();
}
