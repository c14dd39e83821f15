#pragma once

// What the in-game event table and the location changes share: how they run processes, the game
// level, the save game and the player's flags.

#include <cstdint>
#include <memory>
#include <string>

class Level;
class Object;
class XProcess;

// A location's map is complete with this many pieces.
constexpr int kMapPiecesForMap = 10;

// Runs the process through the game flow in a nested main loop with the "maxfps" option; its
// result word. 0 for null.
int32_t RunInGameProcess(std::unique_ptr<XProcess> process);
// A new game process on the game level as it is; its result word. 0 when the program gave none.
int32_t RunNewGameProcess();
// The full-screen quit question ("menus/ask_quit_full.txt") on mui, made when missing: its
// quitQuestion flag is set while it is asked and cleared by a Yes or No. On Yes the settings are
// saved, mui's result word set to 1 and the quit message posted. True on Yes.
bool AskFullScreenQuit();
// The mini-game level cleared and deleted, ModalLevel null; nothing when there is none.
void DeleteModalLevel();
// A mini-game left back: its level deleted, and the normal save game read back at MainUI's
// next update.
void LeaveMiniGameBack();
// The location file that 'SLV0'..'SLVF' choose; null for any other id.
const char* LocationOfChoice(uint32_t id);
// "levels/" and the exit; an exit written with its own leading separator keeps it.
std::string LocationFile(const std::string& exit);
// The game level's normal or quick save game; nothing without a level or a profile.
void WriteSaveGame(bool quick);
// The current player's flag; 0 without a player.
int32_t PlayerFlag(const std::string& key);
// The widget's fade-in starts again after the delay, over the duration, on its own clock;
// widgets that do not fade are left alone.
void RestartFadeIn(Object& object, float delay, float duration);
// The HUD parts that a dialogue or a video faded out ("lightstone", "ls_progress", "holder",
// "map_pieces", "options") fade back in over 0.3 s; nothing without MainUI.
void RestoreHud();
// One of the five HUD parts that leave while a character speaks: "lightstone", "ls_progress",
// "holder", "map_pieces" and "options", by the object's name.
bool IsFadingHudPart(const Object& object);
