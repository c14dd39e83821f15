#pragma once

#include <string>

// The demo's cut-scene under the game-data folder out: the Ogg Theora video "video/intro.ogv"
// (640 x 360, 15 frames a second, about 4 s), its sound "snd/video/intro_video.ogg" (Ogg Vorbis),
// the black curtain "gfx/video/curtain.jpg" that fades around it, the carved stone
// "gfx/levels/carved_stone.png" whose click starts it, and the glowing band
// "gfx/fx/gold_trail.jpg" that the wand's trail is drawn with.
void WriteVideoArt(const std::string& out);
