#pragma once

// Registers every class the game names with the class factory, so that the first scene knows all
// of them: each library's own classes through its registration function. Call it once at
// start-up, before the first scene is constructed; later calls do nothing.
void RegisterGameClasses();
