#include "game/RunApplication.h"
#include "platform/os/Seams.h"

#include <cstdio>
#include <string>
#include <vector>

int main() {
    // A normal start sets none of these; a malformed one is a mistake in a scripted run.
    const std::vector<std::string> malformed = ReadSeamsFromEnvironment();
    for (const std::string& name : malformed) {
        std::fprintf(stderr, "orvexgame: ignoring malformed %s\n", name.c_str());
    }
    return RunApplication();
}
