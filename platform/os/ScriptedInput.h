#pragma once

#include "platform/os/Seams.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An input script for scripted runs of the real program: one event a line, placed by the pass of
// the main loop at which it is handed out (one look into the message queue is one pass, counted
// from 1). Blank lines and lines beginning with '#' are skipped. Each line is "PASS WHAT ...":
//   move X Y             the mouse moves to (X, Y) of the game's picture
//   down X Y / up X Y    the left button, at (X, Y)
//   rdown X Y / rup X Y  the right button
//   click X Y            move and left button down, and up again 4 passes later
//   keydown K / keyup K  a key: a decimal virtual-key code, a letter or digit, or one of enter,
//                        escape, space, backspace, alt, shift, control, f4
//   key K                down, and up again 4 passes later
//   type TEXT            letters, digits and spaces (the rest of the line), one key every
//                        8 passes, each held for 4
//   wheel N              N notches, up positive
//   focus-lost / focus-gained / leave / close
//   seed N               the game's random generator seeded with N (0 to 4294967295) at that
//                        pass, so that what the game shuffles after it is the same in every run
// A message takes one pass of the loop, and the game steps only in passes without one, so a
// button or key is held for a few passes: a step must see it down.
struct ScriptedEvent {
    int pass = 0;
    SyntheticEvent event; // window null: the game's window at the time it is handed out
    // A "seed" line: no event; the seed goes to Seams().reseed.
    std::optional<uint32_t> seed;
};

// The script's events, sorted by pass (events of one pass keep their order). False, with the
// line number and the reason in error, for anything it cannot read.
bool ParseInputScript(std::string_view text, std::vector<ScriptedEvent>& events,
                      std::string& error);

// Makes the seams' event source count the passes (Seams().pass), move the clock one step of
// 1/60 s at every pass when stepClock is set, hand out the events of each pass to the latest
// window (and the seeds to Seams().reseed), and post the quit message at Seams().endPass.
void InstallScriptedRun(std::vector<ScriptedEvent> events, bool stepClock);
