#pragma once

#include "engine/ObjectLink.h"
#include "world/GameAnim.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rhythm game: notes fall down the columns of a board and the player clicks the key under a
// column while its note is in the bottom two rows. The game is won when every note of the board
// file's pattern has been hit, and lost as soon as one note reaches the bottom. The organ of a
// location opens it when one of its activator items is used on it.

class RockbandMngr;

// The manager a key or note was given. The manager leaves the scene when its game is over, before
// its pieces: a link to a manager that has gone reads as finished, never as "no manager".
class RockbandLink {
public:
    void Set(RockbandMngr* manager);
    // The manager while it is alive in the piece's scene; null otherwise.
    RockbandMngr* In(const ObjectsManager* scene) const;
    bool Given() const { return !link.Empty(); }
    // A manager was given and it has finished its game or gone.
    bool Finished(const ObjectsManager* scene) const;

private:
    ObjectLink link;
};

// One falling note, made by the manager at the top of a column; it heads for the cell below the
// board's last row.
class RockbandObject : public GameAnim, public OCreator<RockbandObject> {
public:
    static constexpr std::string_view kClassName = "RockbandObject";
    // Within this many pixels of its target the note has reached the bottom: the game is lost.
    static constexpr float kReachedDistance = 5.0f;

    explicit RockbandObject(ObjectsManager* owner);

    // Falls toward the target; hittable in the board's bottom two rows; at the bottom it plays
    // "warning" and fails the game. False once the manager has finished or gone, or without one.
    bool Update(float dt) override;

    RockbandLink manager;
    float targetX = 0.0f;
    float targetY = 0.0f;
    float speed = 100.0f;
    bool hittable = false;
    int32_t column = -1;
};

// The key under one column: a left press inside it hands its column to the manager.
class RockbandKey : public GameButtonX, public OCreator<RockbandKey> {
public:
    static constexpr std::string_view kClassName = "RockbandKey";

    explicit RockbandKey(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "columnId".
    void SetProperty(const ParconCursor& cursor) override;
    // The pressed look: version 1 shows the sprite only while pressed; version 2 plays "key%d"
    // while pressed and "key%d_pressed" while not. Always true.
    bool Update(float dt) override;

    RockbandLink manager;
    bool pressedLook = false;
    int32_t column = -1;
};

class RockbandMngr : public GameButtonX, public OCreator<RockbandMngr> {
public:
    static constexpr std::string_view kClassName = "RockbandMngr";
    static constexpr int32_t kCellSize = 64;
    static constexpr float kSpawnInterval = 0.8f;
    static constexpr float kEndDelay = 2.0f;
    static constexpr float kNoteDepth = 355.0f;

    struct Cell {
        int32_t x = 0;
        int32_t y = 0;
    };

    explicit RockbandMngr(ObjectsManager* owner);

    // Takes no input: leaving is left to the game's end.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Only "definition" (the board file) and "version"; then the scene's keys are given the
    // manager. A broken board throws, naming the file.
    void SetProperty(const ParconCursor& cursor) override;
    // The pending column pressed, a note every 0.8 s; once finished, after the end delay, the
    // close flag (lost) or the won flag, the leave request, and false.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    // Hits every hittable note of the column ("note%d" with the column plus one unless quiet, and
    // sparks); "cannot" when none was hit.
    void PressColumn(int32_t column, bool quiet);
    // A note at the top of a random column, while notes of the pattern are left to make.
    void SpawnNote();
    // Reads the board file: see the class comment in the source.
    void ReadBoard(const std::string& path);

    const Cell& CellAt(int32_t column, int32_t row) const;
    const std::vector<RockbandObject*>& Notes() const { return notes; }

    int32_t offsetX = 100;
    int32_t offsetY = 100;
    int32_t rows = 0;
    int32_t columns = 0;
    float speed = 10.0f;
    int32_t notesToCreate = 5;
    int32_t pendingColumn = -1;
    bool failed = false;
    int32_t notesLeft = 5;
    float spawnTimer = kSpawnInterval;
    bool finished = false;
    float endDelay = kEndDelay;
    int32_t version = 1;

private:
    std::vector<RockbandObject*> notes; // living notes in creation order; the scene owns them
    std::vector<std::vector<Cell>> cells; // by column, then row
};

// The organ of a location: one of its activator items used on it opens the rhythm game
// "levels/rockband1.txt"; its wins are counted in the location's flags.
class Organ : public GameButtonX, public OCreator<Organ> {
public:
    static constexpr std::string_view kClassName = "Organ";
    static constexpr const char* kGameScene = "levels/rockband1.txt";
    static constexpr const char* kRefusal = "menus\\tutorials\\OraclesHermitageInterior\\msg9.txt";
    static constexpr const char* kLoss = "menus\\tutorials\\OraclesHermitageInterior\\msg10.txt";
    // More wins than this complete the organ.
    static constexpr int32_t kWinsToComplete = 5;

    explicit Organ(ObjectsManager* owner);

    // A left press on the organ while no mini-game is open: an activator held on the cursor
    // plays (UseItem); anything else is refused with the dialogue "dialog99".
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "activators"; the wins so far from the flag "OrganGame".
    void SetProperty(const ParconCursor& cursor) override;
    // Runs the rhythm game over the location and keeps its outcome: the flags of a win, or the
    // dialogue "dialog10" and the save game read back after a loss.
    void UseItem(const std::string& item);

    int32_t gamesWon = 0;
    std::vector<std::string> activators;
};
