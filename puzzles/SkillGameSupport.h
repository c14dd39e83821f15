#pragma once

#include <cstdint>
#include <string>

class Object;
class ObjectsManager;

// Steps the skill games (the rhythm game, the gesture games, the forge and the telescope's games)
// share beside the frame and the puzzles' shared pieces (PuzzleSupport.h).

// The close flag of the mini-game level set; logged when there is none.
void SetCloseFlag();
// "<location>:<name>" set to value; skipped (logged) without a location or a profile.
void SetLocationFlag(const std::string& name, int value);
// The open tutorial pop-up told to close.
void CloseTutorialPopUp();

// The first object of the scene whose visName is name, else the first made under that
// definition name; null when none (or no scene).
Object* FindNamed(ObjectsManager* scene, const std::string& name);

// The leave rule of the forge and the telescope's views: a left press outside the backdrop grown
// by 100 pixels (above the HUD), or Escape, while the backdrop is shown (alpha above 0.8). Sets
// the close flag and is true when the game was left; without a backdrop nothing leaves.
bool LeaveByBackdrop(uint32_t id, uint32_t param);
