#pragma once

// The program: start-up, the game, shutdown. Returns the exit status: 0 after a normal end,
// a quit and when another copy already runs; 1 after a fatal error, which is shown in a box
// titled "Error" once everything has been shut down.
int RunApplication();
