#pragma once

#include <string>

// The hermitage's outside with its chain of games, pillars and furnace; the library's shelf and
// card machine with the second rhythm game's look; the things the quests ask for; their sounds.
void WriteQuestArt(const std::string& out);
