#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "puzzles/PuzzleClasses.h"
#include "ui/UiClasses.h"
#include "world/WorldClasses.h"

#include <deque>
#include <string_view>

namespace {

// The classes the game names that are not built yet, in the game's registration order. Each is
// known to the factory by name, and creating one throws until its class is built: a class that
// gets built is registered by its library and leaves this list (a name left here behind a built
// class does not hide it).
constexpr std::string_view kPendingClasses[] = {
};

} // namespace

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
    // Registrars live for the whole run; a deque never moves them once made.
    static std::deque<PendingRegisterer> pending;
    for (const std::string_view name : kPendingClasses) {
        pending.emplace_back(name);
    }
}
