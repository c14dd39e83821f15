#pragma once

#include <string>

// The pictures and sounds of the dialogues, tutorials, menu-screen effects and the cut-scene:
// the dialogue window and a portrait, the tutorial frame and arrows, the effects' small pictures,
// the cut-scene's backgrounds, and a voice with the effects' sounds.
void WriteDialogArt(const std::string& out);
