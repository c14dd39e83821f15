#pragma once

// Registers every creatable class of the game with the class factory, so that the first scene
// knows all of them. Call it once at start-up, before the first scene is constructed; later
// calls do nothing.
void RegisterGameClasses();
