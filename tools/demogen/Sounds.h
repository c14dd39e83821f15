#pragma once

#include <string>

// The sound effects (WAV) and the music (Ogg Vorbis) of the demo, under the game-data folder out.
void WriteSounds(const std::string& out);
