#pragma once

#include <string>

// The pictures of the scene objects and the world map: the map with its places, the arrow that
// marks the last location and the HUD's map button, the barrow's chest, pool, stream and the ring
// behind the chest, the glow of the glyphstone and the wisp of the wood.
void WriteSceneArt(const std::string& out);
