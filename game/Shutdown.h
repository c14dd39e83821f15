#pragma once

// Releases everything that start-up and the game made, in an order in which nothing still
// alive refers to what has gone. Safe to call more than once and after a start-up that stopped
// part-way: each thing is tested, released and forgotten.
void Shutdown();
