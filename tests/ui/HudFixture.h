#pragma once

// The HUD as the game builds it, on the real player: a screen of inventory slots and tool slots
// under their class names with their managers, the layers' services installed for the world, a
// game level holding the cursor's item, and the pictures, particles and sounds the parts load.

#include "mainloop/MainLoop.h"
#include "tests/ui/UiFixture.h"
#include "engine/XProcess.h"
#include "ui/GameFlow.h"
#include "ui/LayerServices.h"

#include <string>
#include <vector>

class UIInventorySlot;
class UIPermanentSlot;
class UIPermanentSlotMngr;

class HudTest : public UiTest, public GameFlow {
protected:
    static constexpr float kSlotX = 100.0f; // slot i stands at (kSlotX + 80 i, kSlotY)
    static constexpr float kSlotY = 700.0f;

    void SetUp() override;
    void TearDown() override;
    // No HUD, a new profile and game level: the next case of a table.
    void Fresh();

    // MainUI with the screen: `slots` inventory slots and their manager, then the four tool
    // slots and theirs (unless tools is false).
    UserInterface& LoadHud(int slots = 8, bool tools = true);
    UIInventorySlot& Slot(int i);
    UIPermanentSlot& Tool(int i);
    UIPermanentSlotMngr& Tools();
    // The objects of MainUI of the class, in order.
    std::vector<Object*> OfClass(const std::string& className) const;
    // MainUI updated for the seconds, in whole steps.
    void Run(float seconds);
    // A left click on inventory slot i, then on tool slot i.
    void ClickSlot(int i);
    void ClickTool(int i);
    // The cursor's item, and an item put on it.
    std::string Held() const;
    void Hold(const std::string& item);
    // The sound sets played, by their files' names, in order.
    std::vector<std::string> Played() const { return PlayedFiles(); }

    // The dialogues opened end at once; their screens are counted.
    std::unique_ptr<XProcess> CreateGameProcess() override { return nullptr; }
    int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass) override;

    LayerServices layers;
    int dialoguesRun = 0;
};
