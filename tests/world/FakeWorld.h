#pragma once

// The world's services as a test sets them: a member left empty does nothing and answers "none",
// as the world does with no layers above it.

#include "world/WorldServices.h"

#include <functional>
#include <optional>
#include <string>

struct FakeWorld final : WorldServices {
    void ShowHeldItem(const std::string& file) override { Call(showHeldItem, file); }
    void HideHeldItem() override { Call(hideHeldItem); }
    void InventorySlotEmptied(int slot) override { Call(inventorySlotEmptied, slot); }
    void RefillInventorySlots() override { Call(refillInventorySlots); }
    void RewardSpark(const std::string& file, float x, float y) override {
        Call(rewardSpark, file, x, y);
    }
    std::optional<std::string> PermanentToolInUse() const override {
        return permanentToolInUse ? permanentToolInUse() : std::nullopt;
    }
    void ResetToolSlots() override { Call(resetToolSlots); }
    bool LaunchTool(int tool) override { return launchTool && launchTool(tool); }
    bool GiveItemToFirstSlot(const std::string& item) override {
        return giveItemToFirstSlot && giveItemToFirstSlot(item);
    }
    bool CollectMapPiece(float x, float y) override {
        return collectMapPiece && collectMapPiece(x, y);
    }
    ObjectsManager* HudScene() const override { return hudScene ? hudScene() : nullptr; }
    void OpenDialogue(const std::string& file, int flag, const std::string& text) override {
        Call(openDialogue, file, flag, text);
    }
    bool DialogueShown() const override { return dialogueShown && dialogueShown(); }
    void ClearOverlay() override { Call(clearOverlay); }
    void DeleteLevelLayers() override { Call(deleteLevelLayers); }
    void ClearLayers() override { Call(clearLayers); }
    MessageReceiver* MainUiReceiver() const override {
        return mainUiReceiver ? mainUiReceiver() : nullptr;
    }
    MessageReceiver* MuiReceiver() const override { return muiReceiver ? muiReceiver() : nullptr; }
    void BindWidgetToMainUi(Object& widget) override { Call(bindWidgetToMainUi, widget); }
    void PostToMainUi(uint32_t id) override { Call(postToMainUi, id); }
    void SetTutorialResult(int32_t result) override { Call(setTutorialResult, result); }

    template <typename F, typename... Args>
    static void Call(const F& f, Args&&... args) {
        if (f) {
            f(std::forward<Args>(args)...);
        }
    }

    std::function<void(const std::string& animationFile)> showHeldItem;
    std::function<void()> hideHeldItem;
    std::function<void(int slot)> inventorySlotEmptied;
    std::function<void()> refillInventorySlots;
    std::function<void(const std::string& particleFile, float x, float y)> rewardSpark;
    std::function<std::optional<std::string>()> permanentToolInUse;
    std::function<void()> resetToolSlots;
    std::function<bool(int tool)> launchTool;
    std::function<bool(const std::string& item)> giveItemToFirstSlot;
    std::function<bool(float x, float y)> collectMapPiece;
    std::function<ObjectsManager*()> hudScene;
    std::function<void(const std::string& file, int flag, const std::string& text)> openDialogue;
    std::function<bool()> dialogueShown;
    std::function<void()> clearOverlay;
    std::function<void()> deleteLevelLayers;
    std::function<void()> clearLayers;
    std::function<MessageReceiver*()> mainUiReceiver;
    std::function<MessageReceiver*()> muiReceiver;
    std::function<void(Object& widget)> bindWidgetToMainUi;
    std::function<void(uint32_t id)> postToMainUi;
    std::function<void(int32_t result)> setTutorialResult;
};

// Installed by ResetWorldGlobals with nothing set; tests set what they watch.
FakeWorld& TestWorld();
