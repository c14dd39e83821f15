#pragma once

// Wires the layers of the game together at start-up, where only the program knows them all: the
// class list, and one implementation of each interface through which a lower layer calls up:
// the main loop's client (profile save on close, the fonts around a lost device, the cursor over
// the pause picture, the scripted run's screenshots and end), the scene loads' listener, the
// game flow of the menu and the layers (the game process, the real main loop), and the world's
// services (the layers). Safe to call again.
void ConnectGameHooks();

// What the scripted run does after each presented frame: the screenshots that are due are
// written, and with the end after the first frame the quit message is posted.
void OnFramePresented();
