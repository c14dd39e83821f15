#pragma once

#include <cstdint>

// The result words of processes and of the scenes they run (the scene's state word): 0 while a
// screen runs; a non-zero word ends the modal process that runs it, which returns the word to
// its opener. Question screens answer with Yes and No; the game process passes on the word that
// ended its level; a mini-game level ends with Left or LeftBack.
enum ProcessResult : int32_t {
    kResultNone = 0,
    // Closes any modal screen; a game process goes back to the main menu; the menu ends the game.
    kResultClose = 1,
    kResultYes = 2,
    kResultNo = 3,
    // A game process: the location's forward and back exits.
    kResultForward = 2,
    kResultBack = 3,
    // A mini-game left without its reward (the player gave up), and left normally.
    kResultLeftBack = 5,
    kResultLeft = 6,
    // The game is finished: the credits.
    kResultCredits = 8,
};
