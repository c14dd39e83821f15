#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class MessageReceiver;
class Object;

// What the levels and the profiles ask of the layers they cannot reach themselves: the cursor's
// animation player (HeldItemAnim with HeldItemShown) and the user-interface layers. The layers
// set their parts once at start-up; an unset part does nothing, which is also how the world
// runs in tests and before those layers exist.
struct WorldHooks {
    // Puts an item on the cursor: HeldItemAnim bound to the animation file, its animation
    // "cursor" started looping (then-first off, sounds on, no fade) and HeldItemShown set.
    std::function<void(const std::string& animationFile)> showHeldItem;
    // HeldItemShown cleared: the cursor carries no item.
    std::function<void()> hideHeldItem;

    // On the HUD (MainUI), when it exists: every UIInventorySlot showing that slot number is no
    // longer filled.
    std::function<void(int slot)> inventorySlotEmptied;
    // On the HUD: the i-th UIInventorySlot shows slot i again, with its item when it has one.
    std::function<void()> refillInventorySlots;
    // On the HUD: a UIPartFx with the particle file, started at (x, y).
    std::function<void(const std::string& particleFile, float x, float y)> rewardSpark;

    // Shows a dialogue file in the dialogue window and returns when it is closed: the dialogue
    // process made by DialogUiProc::Create (file, flag, text) and run at once in a nested main
    // loop. Scene objects pass flag 1 and an empty text.
    std::function<void(const std::string& file, int flag, const std::string& text)> openDialogue;
    // True while the dialogue layer (DialogueUI) exists.
    std::function<bool()> dialogueShown;

    // OverlayUI cleared, when it exists (a scene has been loaded into a level).
    std::function<void()> clearOverlay;
    // MapGameUI and TutorialUI deleted and their globals null (a level has been cleared).
    std::function<void()> deleteLevelLayers;

    // The receiver part of MainUI, and of mui: the layers that take the events of a level's
    // objects. Null while the layer does not exist.
    std::function<MessageReceiver*()> mainUiReceiver;
    std::function<MessageReceiver*()> muiReceiver;
    // A widget placed in a level's scene (a button, label or time trigger of the interface)
    // sends its events to MainUI, or to none while MainUI does not exist.
    std::function<void(Object& widget)> bindWidgetToMainUi;
    // Posts the event to MainUI through its message system, when it exists.
    std::function<void(uint32_t id)> postToMainUi;
    // MainUI, MapGameUI, DialogueUI, OverlayUI and LevelOverlayUI cleared, each that exists.
    std::function<void()> clearLayers;
    // TutorialUI's result word set, when it exists.
    std::function<void(int32_t result)> setTutorialResult;

    // On the HUD's "UIPermanentSlotMngr": the name of the tool in use; nothing when the HUD has
    // no such manager.
    std::function<std::optional<std::string>()> permanentToolInUse;
    // Every "UIPermanentSlotMngr" of the HUD resets its tool slots.
    std::function<void()> resetToolSlots;
    // The HUD's "UIPermanentSlotMngr" launches the tool (0 wand, 1 multitool, 2 chromatic lens,
    // 3 scrying orb), which adds it to the current player; false when the HUD has no such
    // manager, and the caller then adds it itself.
    std::function<bool(int tool)> launchTool;
    // The first UIInventorySlot of the HUD receives the item when it is the one showing
    // inventory slot 0.
    std::function<void(const std::string& item)> giveItemToFirstSlot;
};

void SetWorldHooks(WorldHooks hooks);
const WorldHooks& GetWorldHooks();
