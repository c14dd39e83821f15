#pragma once

// Wires the layers of the game together at start-up, where only the program knows them all:
// the class list, the scene-load hooks, the main loop's hooks (profile save on close, the fonts
// around a lost device, the cursor over the pause picture, the scripted run's screenshots and
// end), the world's hooks to the layers, and the main menu's game process. Safe
// to call again.
void ConnectGameHooks();

// What the scripted run does after each presented frame: the screenshots that are due are
// written, and with the end after the first frame the quit message is posted.
void OnFramePresented();
