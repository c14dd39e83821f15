#include "world/WorldServices.h"

#include "engine/Log.h"

namespace {

// The world without the layers above it: what it would show goes nowhere.
class DetachedWorld final : public WorldServices {
public:
    void ShowHeldItem(const std::string&) override {}
    void HideHeldItem() override {}
    void InventorySlotEmptied(int) override {}
    void RefillInventorySlots() override {}
    void RewardSpark(const std::string&, float, float) override {}
    std::optional<std::string> PermanentToolInUse() const override { return std::nullopt; }
    void ResetToolSlots() override {}
    bool LaunchTool(int) override { return false; }
    bool GiveItemToFirstSlot(const std::string&) override { return false; }
    bool CollectMapPiece(float, float) override { return false; }
    ObjectsManager* HudScene() const override { return nullptr; }
    void OpenDialogue(const std::string& file, int, const std::string&) override {
        DebugLog("Dialogue %s not shown: no dialogue window\n", file.c_str());
    }
    bool DialogueShown() const override { return false; }
    void ClearOverlay() override {}
    void DeleteLevelLayers() override {}
    void ClearLayers() override {}
    MessageReceiver* MainUiReceiver() const override { return nullptr; }
    MessageReceiver* MuiReceiver() const override { return nullptr; }
    void BindWidgetToMainUi(Object&) override {}
    void PostToMainUi(uint32_t) override {}
    void SetTutorialResult(int32_t) override {}
};

DetachedWorld detached;
WorldServices* installed = &detached;

} // namespace

void InstallWorldServices(WorldServices* services) {
    installed = services != nullptr ? services : &detached;
}

WorldServices& World() {
    return *installed;
}
