#pragma once

// Registers the mini-games' classes, the start-up event and the backdrop with the class factory.
void RegisterPuzzleClasses();
