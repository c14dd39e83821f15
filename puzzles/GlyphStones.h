#pragma once

#include "media/AnimPlayer.h"
#include "engine/ClassFactory.h"
#include "puzzles/MiniGame.h"
#include "world/BaseGameObject.h"
#include "world/NormalLevelSystem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The glyph stones: the player picks a symbol on the screen's symbol buttons (the game level's
// selectedSymbol) and clicks a group of places on a stone; a place waiting for that symbol is
// carved. Three misses in a row fail the game; every place of every stone carved wins it.

class AllStonesMngr;
class SingleStoneMngr;

// One place of a group, waiting for its activation symbol; drawn by its group once carved.
class PlacedSymbol : public BaseGameObject, public OCreator<PlacedSymbol> {
public:
    static constexpr std::string_view kClassName = "PlacedSymbol";

    explicit PlacedSymbol(ObjectsManager* owner);

    // "active", "hidden", "elementsGroupName", "activationSymbol" and the four pictures
    // "sprNormal", "sprNormalOn", "sprDark", "sprLight"; no object keys. Each picture then
    // plays the animation named by the activation symbol.
    void SetProperty(const ParconCursor& cursor) override;

    bool active = false;
    bool hidden = false;
    std::string groupName;
    std::string activationSymbol;
    AnimPlayer normal;
    AnimPlayer normalOn;
    AnimPlayer dark;
    AnimPlayer light;
};

// A group of places on a stone, clicked as one.
class PlacedSymbolsGroup : public BaseGameObject, public OCreator<PlacedSymbolsGroup> {
public:
    static constexpr std::string_view kClassName = "PlacedSymbolsGroup";
    static constexpr float kDepth = 100.0f;

    explicit PlacedSymbolsGroup(ObjectsManager* owner);

    // A left press inside it carves the first waiting place of the picked symbol, or is a miss.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The object's keys, "elementsGroupName", "parentStoneName"; then its places of the scene
    // read so far and the scale of its pictures.
    void SetProperty(const ParconCursor& cursor) override;
    // The pulse clock, and whether every place is carved.
    bool Update(float dt) override;
    // The carved places: lit (pulsing, only when complete), light, dark and plain passes.
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    void MarkAllActive();
    // No place of the group waits.
    bool AllActive() const;

    float time = 0.0f;
    SingleStoneMngr* stone = nullptr;
    bool complete = false;
    bool initialised = false;
    std::string groupName;
    std::string parentStoneName;
    std::vector<PlacedSymbol*> symbols;
    float alpha = 1.0f;
    float size = 0.75f;
    ManagerLink manager;
};

// One stone: done once all its groups are complete.
class SingleStoneMngr : public BaseGameObject,
                        public StoneCompletion,
                        public OCreator<SingleStoneMngr> {
public:
    static constexpr std::string_view kClassName = "SingleStoneMngr";

    explicit SingleStoneMngr(ObjectsManager* owner);

    // "stoneName" only; then its groups of the scene read so far, and one step of 0 s, so a
    // stone complete at load is done at once. Each reading starts the stone afresh.
    void SetProperty(const ParconCursor& cursor) override;
    // Once every group is complete: every place carved for good and the stone done. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    // Every group complete and carved, and the stone done (the return from a won stone game).
    void ActivateAllSymbols() override;

    std::string stoneName;
    bool done = false;
    std::vector<PlacedSymbolsGroup*> groups;
};

// Watches the stones of the scene and runs the end of the game.
class AllStonesMngr : public MiniGameManager, public OCreator<AllStonesMngr> {
public:
    static constexpr std::string_view kClassName = "AllStonesMngr";
    static constexpr int kMostMisses = 2; // one more fails
    static constexpr float kLeaveBelowY = 512.0f;
    static constexpr float kBackgroundMargin = 30.0f;
    static constexpr const char* kStartScreen = "menus/mini-game.txt";
    static constexpr const char* kCloseScreen = "menus/mini-game-close.txt";
    static constexpr const char* kFailureDialog = "menus\\tutorials\\z1-wood-glyphstone\\msg9.txt";

    explicit AllStonesMngr(ObjectsManager* owner);

    // The stones and groups of the scene read so far (once); in a "stone" scene the symbol
    // screen on MapGameUI.
    void SetProperty(const ParconCursor& cursor) override;
    // Escape, or a left press outside the widened backdrop and not below y 512, leaves.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // See the .cpp: the win, the failure, the delay and the leave request.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    // One more miss in a row; a carving clears them.
    void Miss() { ++misses; }
    void Carved() {
        if (!finished) {
            misses = 0;
        }
    }
    bool Failed() const { return misses > kMostMisses; }

    std::vector<SingleStoneMngr*> stones;
    int32_t misses = 0;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    bool WinTest() override;

private:
    void LeaveStones();
    void OpenFailureDialog();
    bool collectedStones = false;
};
