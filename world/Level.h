#pragma once

#include "engine/MessageReceiver.h"
#include "engine/ObjectsManager.h"

#include <array>
#include <cstdint>
#include <string>

class NormalLevelSystem;

// One playable scene with its own systems and its definition keys: the location the player
// walks through (GameLevel) or the mini-game over it (ModalLevel). Each scene loaded into a level
// refreshes the backup inventory, and, while no mini-game runs, records the level as the player's
// last one and writes the player's save game.
//
// The scene's state word is the level's exit word: 0 after Load; 5 or 6 when a mini-game level
// has faded out.
class Level : public ObjectsManager, public MessageReceiver {
public:
    static constexpr int kMiniGames = 6;

    Level();
    // Clears the level (Level::Clear).
    ~Level() override;

    // The scene file's Meta keys; each key that matches exactly sets its field.
    // "renderBluredBackground" sets its flag whatever the value.
    void SetProperty(const std::string& key, const std::string& value) override;
    // Builds the level's systems (the level takes its keyboard system's messages; the gesture
    // system reads "gestures.txt", which must exist) and loads "scripts/objects.txt"; the caller
    // then loads the scene file (LoadScene).
    void Load();
    // Hands the message to the level system.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The objects go, the level system clears, levelId, the exits and the mini-game paths
    // empty, the type is "normal" again, and the map-game and tutorial layers are deleted.
    void Clear() override;
    // The autosave, after every scene load: see the class comment. The scene of a mini-game
    // level whose Type has no way back to the game is refused (Exception naming the file).
    void OnSceneLoaded() override;
    std::string GetName() const { return name; }

    // The game level while a dialogue is shown over it: only its "GameAnim" and "FxPulseAlpha2"
    // objects update, its "GameButtonX" objects keep their hover, and its particles run.
    static void UpdateUnderDialogue(float dt);
    // Starts the animation, not looping, on the sprite of the first object of the game level
    // whose code is the label's first four characters, or whose visName is objectName. Nothing
    // when none matches.
    static void PlayAnimByLabel(const std::string& label, const std::string& animName,
                                float duration);
    static void PlayObjectAnim(const std::string& objectName, const std::string& animName,
                               float duration);
    // Four sparks trace a frame over the mini-game, one side after the other; nothing while no
    // mini-game level exists.
    static void SpawnHintPath();
    static constexpr const char* kHintParticles = "gfx/fx/object_hili2.prt";
    static constexpr float kHintLegTime = 2.0f;
    // The end of a mini-game level's blend-out: the mini-game's level system armed to leave, the
    // frame clock restarted (the switch is not one long step), blendOutPending cleared and the
    // state word set, 5 here (left without reward) and 6 by CompleteBlendOutAndLeave.
    void CompleteBlendOut();
    void CompleteBlendOutAndLeave();

    // Writes the save game at path from levelPath and the current profile (whose inventory is
    // first copied into its backup, saving the profile). Nothing for a level without a levelPath
    // or while no profile is current. False (logged) when the file could not be written; the
    // old file then stays.
    bool SaveGameState(const std::string& path);
    // Restores the current profile from the save game at path and loads its scene into this
    // level. The whole file is read and checked first; a save game that is missing, cut short or
    // damaged changes nothing, and the result is false with the reason in failure (also logged).
    // A held item whose picture does not exist is dropped (logged).
    bool LoadGameState(const std::string& path, std::string* failure = nullptr);

    std::string name;            // "Name": the scope of the level's flags, the player's last level
    std::string levelPath;       // "levelPath": the scene file, first in a save game
    std::string type = "normal"; // "Type"; "map" is the world map
    NormalLevelSystem* levelSystem = nullptr; // set by Load
    int32_t loadMark = 0;
    std::string exitForward;
    std::string exitBack;
    std::array<std::string, kMiniGames> miniGamePaths; // "miniGame1Path" .. "miniGame6Path"
    std::string levelId;
    bool renderBluredBackground = false;
    bool blendFinished = true;
    bool returnFlag = false; // the mini-game was left without its reward
    bool won = false;        // the mini-game was won
    int32_t crystalsPlaced = 0; // the crystals set into their slots in this mini-game
    float blurredBackgroundAlpha = 0.0f;
    bool sceneLoaded = false;     // the first scene load has ended
    bool blendOutPending = false; // set by the user interface
    bool busy = false;            // a teleport runs: the inventory slots take no clicks
};

// The location being played; null before the game process makes it.
extern Level* GameLevel;
// The mini-game over it; null while no mini-game runs.
extern Level* ModalLevel;

// The level in the global, made and loaded (Level::Load) when missing.
Level& EnsureLevel(Level*& global);
