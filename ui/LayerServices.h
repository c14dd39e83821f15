#pragma once

#include "world/WorldServices.h"

// What the world asks of the layers, answered by the layers: the cursor's held item, the HUD's
// parts, the dialogue window (run as a DialogUiProc through the installed game flow) and the
// layers a level clears or posts to. The game installs one at start-up.
class LayerServices final : public WorldServices {
public:
    void ShowHeldItem(const std::string& animationFile) override;
    void HideHeldItem() override;
    void InventorySlotEmptied(int slot) override;
    void RefillInventorySlots() override;
    void RewardSpark(const std::string& particleFile, float x, float y) override;
    std::optional<std::string> PermanentToolInUse() const override;
    void ResetToolSlots() override;
    bool LaunchTool(int tool) override;
    bool GiveItemToFirstSlot(const std::string& item) override;
    bool CollectMapPiece(float x, float y) override;
    ObjectsManager* HudScene() const override;
    void OpenDialogue(const std::string& file, int flag, const std::string& text) override;
    bool DialogueShown() const override;
    void ClearOverlay() override;
    void DeleteLevelLayers() override;
    void ClearLayers() override;
    MessageReceiver* MainUiReceiver() const override;
    MessageReceiver* MuiReceiver() const override;
    void BindWidgetToMainUi(Object& widget) override;
    void PostToMainUi(uint32_t id) override;
    void SetTutorialResult(int32_t result) override;
};
