#pragma once

#include "media/AnimationDefinition.h"

#include <memory>
#include <string>

// The definitions of ".ani" files and of their sound companions, parsed once per file name (the
// name exactly as given: no folding of case or separators) and shared by every player for the
// whole run. Players hold shared references, so an entry they use outlives the cache's hold.
namespace AnimationCache {

// The definition of a ".ani" file, parsed the first time the name is asked for. Throws the
// parser's Exception for a missing or malformed file; nothing is cached then.
std::shared_ptr<AnimationDefinition> Definition(const std::string& fileName);
// The sound companion of a ".ani" file, parsed the first time; null when the file layer has no
// companion. Throws as the companion's parse does; nothing is cached then.
std::shared_ptr<AnimationSoundDefinition> Sounds(const std::string& fileName);

// Whether the name's definition is in the cache.
bool HasDefinition(const std::string& fileName);

// Application shutdown, after the named sound sets are freed and before the texture manager and
// the sound layer shut down: deletes every sound set of every companion and gives back every
// frame's texture, so that no definition still held by a player (the global ones live until
// exit) touches a texture entry or a sample once they are gone; then forgets every entry.
void Clear();

} // namespace AnimationCache
