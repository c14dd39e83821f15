#include "media/AnimationCache.h"

#include "engine/FileSystem.h"

#include <map>

namespace {

std::map<std::string, std::shared_ptr<AnimationDefinition>> definitions;
// Keyed by the ".ani" name.
std::map<std::string, std::shared_ptr<AnimationSoundDefinition>> soundDefinitions;

} // namespace

namespace AnimationCache {

std::shared_ptr<AnimationDefinition> Definition(const std::string& fileName) {
    const auto found = definitions.find(fileName);
    if (found != definitions.end()) {
        return found->second;
    }
    // Filed only once whole, so a failed parse leaves no empty entry behind.
    std::shared_ptr<AnimationDefinition> definition = AnimationDefinition::Read(fileName);
    definitions.emplace(fileName, definition);
    return definition;
}

std::shared_ptr<AnimationSoundDefinition> Sounds(const std::string& fileName) {
    const auto found = soundDefinitions.find(fileName);
    if (found != soundDefinitions.end()) {
        return found->second;
    }
    const std::string companion = SoundCompanionName(fileName);
    if (companion.empty() || !Files.Exists(companion)) {
        return nullptr;
    }
    std::shared_ptr<AnimationSoundDefinition> sounds = AnimationSoundDefinition::Read(companion);
    soundDefinitions.emplace(fileName, sounds);
    return sounds;
}

bool HasDefinition(const std::string& fileName) {
    return definitions.contains(fileName);
}

void Clear() {
    for (const auto& [name, sounds] : soundDefinitions) {
        sounds->sets.clear();
        sounds->nameIndex.clear();
    }
    soundDefinitions.clear();
    for (const auto& [name, definition] : definitions) {
        definition->ReleaseTextures();
    }
    definitions.clear();
}

} // namespace AnimationCache
