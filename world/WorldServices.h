#pragma once

#include <cstdint>
#include <optional>
#include <string>

class MessageReceiver;
class Object;
class ObjectsManager;

// What the levels, their objects and the profiles ask of the layers above the world: the cursor
// and its held item, the user-interface layers and the HUD's parts. The layers implement it and
// the game installs that one implementation at start-up. Until then (and in tests that install
// nothing) the world runs detached: nothing is shown, posted or bound, queries answer "none".
class WorldServices {
public:
    // Puts an item on the cursor: HeldItemAnim bound to the animation file, its animation
    // "cursor" started looping (then-first off, sounds on, no fade) and HeldItemShown set.
    virtual void ShowHeldItem(const std::string& animationFile) = 0;
    // HeldItemShown cleared: the cursor carries no item.
    virtual void HideHeldItem() = 0;

    // On the HUD: every "UIInventorySlot" showing that slot number is no longer filled.
    virtual void InventorySlotEmptied(int slot) = 0;
    // On the HUD: the i-th "UIInventorySlot" shows slot i again, with its item when it has one.
    virtual void RefillInventorySlots() = 0;
    // On the HUD: a "UIPartFx" with the particle file, started at (x, y).
    virtual void RewardSpark(const std::string& particleFile, float x, float y) = 0;
    // The HUD's tool bar ("UIPermanentSlotMngr"): the name of the tool in use; nothing when the
    // HUD has no tool bar.
    virtual std::optional<std::string> PermanentToolInUse() const = 0;
    // Every tool bar of the HUD puts its tool slots back to idle.
    virtual void ResetToolSlots() = 0;
    // The tool bar launches the tool (0 wand, 1 multitool, 2 chromatic lens, 3 scrying orb),
    // which adds it to the current player; false when the HUD has no tool bar, and the caller
    // then adds it itself.
    virtual bool LaunchTool(int tool) = 0;
    // A grant through the first "UIInventorySlot" of the HUD, when it shows inventory slot 0: into
    // that slot when free or of the item's kind, else the first free, else the first of its
    // kind. False when no slot took it (or there is no such HUD slot): the caller keeps it.
    virtual bool GiveItemToFirstSlot(const std::string& item) = 0;

    // A map piece picked up at (x, y): the HUD's counter adds it to the current player and its
    // picture flies to the HUD. False when the HUD has no counter: the caller then counts it.
    virtual bool CollectMapPiece(float x, float y) = 0;
    // The scene of the HUD's widgets (MainUI), for effects that move them; null while there is
    // none.
    virtual ObjectsManager* HudScene() const = 0;

    // Shows a dialogue file in the dialogue window and returns when it is closed: the dialogue
    // process (file, flag, text) run at once in a nested main loop. Scene objects pass flag 1
    // (the location stays drawn beneath) and an empty text.
    virtual void OpenDialogue(const std::string& file, int flag, const std::string& text) = 0;
    // True while the dialogue layer (DialogueUI) exists.
    virtual bool DialogueShown() const = 0;

    // OverlayUI cleared, when it exists (a scene has been loaded into a level).
    virtual void ClearOverlay() = 0;
    // MapGameUI and TutorialUI deleted (a level has been cleared).
    virtual void DeleteLevelLayers() = 0;
    // MainUI, MapGameUI, DialogueUI, OverlayUI and LevelOverlayUI cleared, each that exists.
    virtual void ClearLayers() = 0;

    // The layers that take the events of a level's objects: MainUI and mui. Null while the
    // layer does not exist.
    virtual MessageReceiver* MainUiReceiver() const = 0;
    virtual MessageReceiver* MuiReceiver() const = 0;
    // A widget placed in a level's scene (a button, label or time trigger of the interface)
    // sends its events to MainUI, or to none while MainUI does not exist.
    virtual void BindWidgetToMainUi(Object& widget) = 0;
    // Posts the event to MainUI through its message system, when it exists.
    virtual void PostToMainUi(uint32_t id) = 0;
    // TutorialUI's result word set, when it exists.
    virtual void SetTutorialResult(int32_t result) = 0;

protected:
    ~WorldServices() = default;
};

// Installs the layers' implementation; null goes back to running detached. The caller keeps
// it alive while it is installed.
void InstallWorldServices(WorldServices* services);
// The installed implementation, or the detached one.
WorldServices& World();
