#include "tests/ui/HudFixture.h"

#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "ui/ModalProcesses.h"
#include "ui/hud/UIInventory.h"
#include "ui/hud/UIPermanentSlots.h"
#include "world/NormalLevelSystem.h"

namespace {

constexpr const char* kHudObjects = R"(
(Final
  (UIInventorySlot (POSI) (KEYB) (COLI (left -30) (right 30) (top -30) (bottom 30)))
  (UIInventoryMngr (Data))
  (UIPermanentSlot (POSI) (KEYB) (SPRT (file gfx\interface\gui_buttons.ani))
    (COLI (left -30) (right 30) (top -30) (bottom 30)))
  (UIPermanentSlotMngr (Data))
  (UIBitmapButton (POSI) (KEYB) (SPRT) (COLI))
  (Picture UIBitmapButton (POSI) (KEYB) (SPRT) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (UIStatic (POSI) (SPRT))
  (UIFxShift) (UIFxShiftObject) (UIFxScale) (UIFxScaleObject) (UIFxRotate)
)
)";

constexpr const char* kParticles = "(alpha 0 1) (alpha 0.3 0) (size 0 4) (max_parts 10) (flow 0 60)\n";

constexpr const char* kSounds[] = {"push",  "pickup",       "use_lens", "cannot",
                                   "crystal_pick", "scrying_orb", "game_won",
                                   "all_mappieces_collected"};

} // namespace

void HudTest::SetUp() {
    UiTest::SetUp();
    WriteData("scripts/ui_objects.txt", kHudObjects);
    for (const char* file : {"gfx/fx/hiddenObject_hili.prt", "gfx/fx/permanent_object_fly.prt",
                             "gfx/fx/chromatic_lens.prt"}) {
        WriteData(file, kParticles);
    }
    std::string animations;
    for (const char* tool : {"wand", "multitool", "chromatic_lens", "scrying_orb"}) {
        for (const char* ending : {"_idle", "_active", "_cursor"}) {
            animations += std::string("(emptyAnim ") + tool + ending + ")\n";
        }
    }
    WriteData("gfx/interface/gui_buttons.ani", animations + "(emptyAnim map_piece)\n");
    std::string sounds = "(set global";
    for (const char* sound : kSounds) {
        WriteData(std::string(sound) + ".wav", sound);
        sounds += std::string(" (") + sound + " " + sound + ".wav)";
    }
    WriteData("sounds.txt", sounds + ")\n");
    Sounds.LoadDefinitions("sounds.txt");
    for (const char* hint : {"stack", "sorb", "itemsNotFound", "ChamberDoor/msg6",
                             "z1-wood-glyphstone/msg6"}) {
        WriteData(std::string("menus/tutorials/") + hint + ".txt", "(Objects)\n");
    }
    for (const char* item : {"acorn", "key1", "key2", "feather", "multitool_rod", "gear_small1"}) {
        WriteData(std::string("gfx/objects/") + item + ".ani",
                  "(emptyAnim idle) (emptyAnim cursor) (emptyAnim empty)\n");
    }
    Fresh();
}

void HudTest::Fresh() {
    DeleteAllLayers();
    StartAgain();
    MakeProfile(0, "Ann");
    MakeGameLevel();
    InstallWorldServices(&layers);
    InstallGameFlow(this);
    HeldItemShown = false;
    ToolCursorShown = false;
}

int32_t HudTest::Run(std::unique_ptr<XProcess> process, bool) {
    if (auto* dialogue = dynamic_cast<DialogUiProc*>(process.get())) {
        ++dialoguesRun;
        dialogue->End();
    }
    return 1;
}

void HudTest::TearDown() {
    InstallGameFlow(nullptr);
    InstallWorldServices(&TestWorld());
    UiTest::TearDown();
}

UserInterface& HudTest::LoadHud(int slots, bool tools) {
    std::string screen;
    for (int i = 0; i < slots; ++i) {
        screen += "(UIInventorySlot (POSI (position " + std::to_string(kSlotX + 80.0f * i) + " " +
                  std::to_string(kSlotY) + ")))\n";
    }
    screen += "(UIInventoryMngr)\n";
    if (tools) {
        int i = 0;
        for (const char* tool : {"wand", "multitool", "chromatic_lens", "scrying_orb"}) {
            screen += "(UIPermanentSlot (POSI (position " + std::to_string(750 + 70 * i++) +
                      " 700)) (Data (slotName " + tool + ")))\n";
        }
        screen += "(UIPermanentSlotMngr)\n";
    }
    WriteScreen("hud", screen);
    return Layer(MainUI, "hud");
}

std::vector<Object*> HudTest::OfClass(const std::string& className) const {
    std::vector<Object*> found;
    for (const auto& object : MainUI->Objects()) {
        if (object != nullptr && object->GetClassName() == className) {
            found.push_back(object.get());
        }
    }
    return found;
}

UIInventorySlot& HudTest::Slot(int i) {
    return *dynamic_cast<UIInventorySlot*>(OfClass("UIInventorySlot").at(static_cast<std::size_t>(i)));
}

UIPermanentSlot& HudTest::Tool(int i) {
    return *dynamic_cast<UIPermanentSlot*>(OfClass("UIPermanentSlot").at(static_cast<std::size_t>(i)));
}

UIPermanentSlotMngr& HudTest::Tools() {
    return *dynamic_cast<UIPermanentSlotMngr*>(OfClass("UIPermanentSlotMngr").at(0));
}

void HudTest::Run(float seconds) {
    for (float t = 0.0f; t < seconds - kStepTime / 2.0f; t += kStepTime) {
        MoveTo(*MainUI, 0.0f, 0.0f);
        MainUI->RemoveDead();
    }
}

void HudTest::ClickSlot(int i) {
    ClickAt(*MainUI, kSlotX + 80.0f * static_cast<float>(i), kSlotY);
    MainUI->RemoveDead();
}

void HudTest::ClickTool(int i) {
    ClickAt(*MainUI, 750.0f + 70.0f * static_cast<float>(i), 700.0f);
    MainUI->RemoveDead();
}

std::string HudTest::Held() const {
    return GameLevel->levelSystem->heldItemName;
}

void HudTest::Hold(const std::string& item) {
    GameLevel->levelSystem->HoldItem(item);
}
