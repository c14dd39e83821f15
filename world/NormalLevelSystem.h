#pragma once

#include "engine/System.h"
#include "media/AnimPlayer.h"
#include "media/TextureManager.h"
#include "platform/os/Letterbox.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Level;
class Object;
class ObjectsManager;

// The system of a level that the level hands its messages to and clears with itself.
class LevelSystem : public System {
public:
    using System::System;

    virtual void OnMessage(const void* sender, uint32_t id, uint32_t param) = 0;
    virtual void Clear() = 0;
    virtual void Deactivate() = 0;
};

// What the return from a "stone" mini-game asks of the stone of that scene (the puzzles build
// it): every symbol place of the stone carved.
class StoneCompletion {
public:
    virtual void ActivateAllSymbols() = 0;

protected:
    ~StoneCompletion() = default;
};

// 'LEVH': the running logic of a level that belongs to no one object: the item held on the
// cursor, the return from a finished mini-game to the game level with its reward, the blurred
// and darkened backgrounds behind a mini-game, the lens, the developer keys and Alt+Enter.
// Each level has its own; while a mini-game runs, both the game level's and the mini-game's
// update.
class NormalLevelSystem : public LevelSystem {
public:
    static constexpr int kLensSize = 256;

    explicit NormalLevelSystem(ObjectsManager* owner);
    ~NormalLevelSystem() override;

    // What the lens copies of the back buffer: the 256 x 256 pixels around the mouse cut to the
    // 1024 x 768 screen (empty when nothing is left), and where that lands in the lens texture.
    struct LensCopy {
        PixelRect source;
        int targetX = 0;
        int targetY = 0;
    };
    static LensCopy LensCopyAround(float mouseX, float mouseY);

    // Whether a mini-game level of that Type has a way back to the game level.
    static bool KnowsMiniGameType(std::string_view type);

    // 'PUFX' starts the hint path over the mini-game; every other message is ignored.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The lens off, the tutorials hidden and forgotten, the capture and lens textures released.
    // Nothing of the held item: a level cleared for a new scene keeps what the cursor carries.
    void Clear() override;
    void Deactivate() override;

    // Developer keys, Alt+Enter, whether hidden objects are left, and the return from a
    // finished mini-game.
    void Update(float dt) override;
    // The blurred capture behind the mini-game, and the darkening.
    void Render() override;
    // The capture, the lens, the developer lines and the book tool-tip.
    void PostRender() override;
    // Wires the object's events to the HUD and applies the level's disable flags.
    void ObjectAdded(Object* object) override;
    void ObjectRemoved(Object* object) override;

    // Empties heldItemName and takes the item off the cursor.
    void DropHeldItem();
    // Makes the item the held one and puts its picture "gfx/objects/<item>.ani" on the cursor.
    void HoldItem(const std::string& item);

    bool captureNeeded = true;
    TextureHandle captureTexture; // the blurred screen behind a mini-game
    float lensMouseX = 0.0f;
    float lensMouseY = 0.0f;
    bool hiddenObjectsLeft = false;
    bool lensOff = true;
    TextureHandle lensTexture;
    AnimPlayer blackAnim; // "gfx/black.ani"
    AnimPlayer darkAnim;  // "gfx/fx/dark.ani"
    std::vector<Object*> tutorials;
    bool toolInUse = false;
    std::string heldItemName; // the inventory item on the cursor; empty when none
    std::string selectedSymbol; // the stone symbol picked on a symbol screen; empty when none
    bool menuOpen = false;    // the in-game options are open: the held item is not drawn
    bool leaveArmed = false;  // the mini-game of this level is over
    bool active = true;       // the return from the mini-game has not started yet
    bool darken = false;
    bool lightsSolved = false; // the location's light points are all lit

private:
    void DeveloperKeys();
    void FindHiddenObjectsLeft();
    void ReturnFromMiniGame();
    void DrawLens();
    void DrawBookToolTip() const;
};
