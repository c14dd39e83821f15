// The data ids that the layers' widgets ask every frame: the location, the player's progress, the
// settings and the current task texts.

#include "engine/Application.h"
#include "engine/FourCC.h"
#include "media/RenderChunk.h"
#include "media/Renderer.h"
#include "media/StringTable.h"
#include "ui/UIButton.h"
#include "ui/UserInterface.h"
#include "world/GameSettings.h"
#include "world/Level.h"
#include "world/Player.h"

#include <locale>
#include <sstream>
#include <vector>

namespace {

// One step of a world's story: shown from the moment every flag of "done" is set until one of
// "until" is.
struct TaskRule {
    int actWorld;
    std::vector<const char*> done;
    std::vector<const char*> until;
    const char* text;
};

const std::vector<TaskRule>& MainTasks() {
    static const std::vector<TaskRule> rules = {
        {0,
         {"z1-wood-glyphstone:dialog1_killed"},
         {"z1-quicksand:dialog1_killed"},
         "str.woodtask1"},
        {0, {"z1-quicksand:dialog1_killed"}, {"z1-quicksand:backpack_killed"}, "str.woodtask2"},
        {0,
         {"z1-puzzlegate:dialog1_killed"},
         {"z1-puzzlegate:minigame1_completed"},
         "str.woodtask2a"},
        {0,
         {"z1-puzzlegate:minigame1_completed"},
         {"z1-puzzlegate:minigame2_completed"},
         "str.woodtask2b"},
        {0,
         {"z1-puzzlegate:minigame2_completed"},
         {"z1-puzzlegate:puzzlegate_mappiece1_killed"},
         "str.woodtask2c"},
        {0, {"z1-barrow-out:dialog1_killed"}, {"z1-barrow-in:dialog1_killed"}, "str.woodtask3"},
        {0, {"z1-barrow-in:dialog1_killed"}, {"z1-barrow-in:dialog2_killed"}, "str.woodtask4"},
        {0, {"z1-barrow-in:dialog2_killed"}, {"z1-barrow-out:dialog2_killed"}, "str.woodtask5"},
        {0, {"z1-barrow-out:dialog2_killed"}, {"z1-hermitage-out:dialog1_killed"}, "str.woodtask6"},
        {0,
         {"z1-hermitage-out:dialog1_killed"},
         {"z1-hermitage-in:dialog1_killed"},
         "str.woodtask7"},
        {0,
         {"z1-hermitage-in:dialog1_killed"},
         {"z1-hermitage-in:dialog2_killed"},
         "str.woodtask8"},
        {0,
         {"z1-hermitage-in:dialog2_killed"},
         {"z1-hermitage-in:dialog5_killed"},
         "str.woodtask9"},
        {0,
         {"z1-hermitage-in:dialog5_killed"},
         {"z1-wood-glyphstone:dialog2_killed"},
         "str.woodtask10"},
        {0,
         {"z1-wood-glyphstone:dialog2_killed"},
         {"z1-wood-glyphstone:dialog3_killed"},
         "str.woodtask11"},
        {1,
         {"z2-fire-glyphstone:dialog1_killed"},
         {"z2-brotherhood:dialog1_killed"},
         "str.firetask1"},
        {1,
         {"z2-brotherhood:dialog1_killed"},
         {"z2-hearth-of-power-out:dialog1_killed"},
         "str.firetask2"},
        {1,
         {"z2-hearth-of-power-out:dialog1_killed"},
         {"z2-hearth-of-power-in:dialog1_killed"},
         "str.firetask3"},
        {1,
         {"z2-hearth-of-power-in:dialog1_killed"},
         {"z2-hearth-of-power-in:dialog4_killed"},
         "str.firetask4"},
        {1,
         {"z2-hearth-of-power-in:dialog4_killed"},
         {"z2-brotherhood:dialog2_killed"},
         "str.firetask5"},
        {1, {"z2-brotherhood:dialog2_killed"}, {"z1-barrow-out:dialog3_killed"}, "str.firetask6"},
        {1, {"z1-barrow-out:dialog3_killed"}, {"z1-barrow-out:dialog4_killed"}, "str.firetask7a"},
        {1, {"z1-barrow-out:dialog7_killed"}, {"z2-brotherhood:dialog3_killed"}, "str.firetask8"},
        {1,
         {"z2-brotherhood:dialog3_killed"},
         {"z2-fire-glyphstone:dialog3_killed"},
         "str.firetask9"},
        {2,
         {"z3-water-glyphstone:dialog1_killed"},
         {"z3-obelisk:dialog2_killed"},
         "str.watertask1"},
        {2, {"z3-obelisk:dialog2_killed"}, {"z3-tower:dialog1_killed"}, "str.watertask2"},
        {2, {"z3-tower:dialog1_killed"}, {"z3-tower-in:dialog1_killed"}, "str.watertask3"},
        {2, {"z3-tower-in:dialog1_killed"}, {"z3-tower-in:dialog3_killed"}, "str.watertask4"},
        {2,
         {"z3-tower-in:dialog3_killed"},
         {"z3-water-glyphstone:dialog3_killed"},
         "str.watertask5"},
        {3,
         {"z4-metal-glyphstone:dialog1_killed"},
         {"z4-gardens-out:dialog1_killed"},
         "str.metaltask1"},
        {3, {"z4-gardens-out:dialog1_killed"}, {"z4-hold:dialog3_killed"}, "str.metaltask3"},
        {3,
         {"z4-gardens-out:dialog6_killed"},
         {"z4-metal-glyphstone:dialog2_killed"},
         "str.metaltask4"},
        {4,
         {"z5-aether-glyphstone:dialog1_killed"},
         {"z5-wheel-of-time:dialog1_killed"},
         "str.aethertask1"},
        {4,
         {"z5-library-out:dialog1_killed"},
         {"z5-library-out:dialog2_killed"},
         "str.aethertask4"},
        {4,
         {"z5-library-out:dialog2_killed"},
         {"z5-library-out:dialog3_killed"},
         "str.aethertask5"},
        {4,
         {"z5-library-out:dialog3_killed"},
         {"z4-gardens-out:dialog7_killed"},
         "str.aethertask6"},
        {4,
         {"z4-gardens-out:dialog7_killed", "z3-tower-in:dialog4_killed"},
         {"z5-library-out:dialog4_killed"},
         "str.aethertask8"},
        {4,
         {"z5-library-out:dialog4_killed"},
         {"z5-library-out:minigame1_completed"},
         "str.aethertask9"},
        {4, {"z5-library-in:dialog1_killed"}, {"z5-library-in:dialog3_killed"}, "str.aethertask10"},
        {4,
         {"z5-library-in:dialog3_killed"},
         {"z5-aether-glyphstone:dialog2_killed"},
         "str.aethertask11"},
        {5,
         {"z6-acropolis:dialog1_killed"},
         {"z6-acropolis:minigame1_completed", "z6-acropolis:minigame2_completed",
          "z6-acropolis:minigame3_completed", "z6-acropolis:minigame4_completed",
          "z6-acropolis:minigame5_completed", "z6-acropolis:minigame6_completed"},
         "str.accropolistask2"},
    };
    return rules;
}

const std::vector<TaskRule>& SecondTasks() {
    static const std::vector<TaskRule> rules = {
        {1, {"z1-barrow-out:dialog3_killed"}, {"z1-barrow-out:dialog5_killed"}, "str.firetask7c"},
        {2,
         {"z3-obelisk:fo_mappiece_killed"},
         {"z3-obelisk:minigame1_completed"},
         "str.watertask2a"},
        {3, {"z4-gardens-out:dialog1_killed"}, {"z4-gardens-out:dialog3_killed"}, "str.metaltask2"},
        {3,
         {"z4-gardens-out:dialog3_killed"},
         {"z4-gardens-out:dialog4_killed"},
         "str.metaltask2a"},
        {4, {"z5-library-out:dialog3_killed"}, {"z3-tower-in:dialog4_killed"}, "str.aethertask7"},
        {5,
         {"z6-acropolis:dialog1_killed"},
         {"z6-acropolis:smartuiAether_killed", "z6-acropolis:smartuiFire_killed",
          "z6-acropolis:smartuiMetal_killed", "z6-acropolis:smartuiWater_killed",
          "z6-acropolis:smartuiWood_killed"},
         "str.accropolistask1"},
    };
    return rules;
}

const std::vector<TaskRule>& ThirdTasks() {
    static const std::vector<TaskRule> rules = {
        {1, {"z1-barrow-out:dialog3_killed"}, {"z1-barrow-out:dialog6_killed"}, "str.firetask7b"},
        {4,
         {"z5-wheel-of-time:dialog1_killed"},
         {"z5-wheel-of-time:minigame1_completed"},
         "str.aethertask2"},
        {4,
         {"z5-wheel-of-time:minigame1_completed"},
         {"z5-wheel-of-time:minigame2_completed"},
         "str.aethertask3"},
    };
    return rules;
}

bool Flag(const char* key) {
    return CurrentPlayer != nullptr && CurrentPlayer->GetFlag(key) != 0;
}

// The translated text of the first rule of the player's world that matches; empty when none.
std::string TaskText(const std::vector<TaskRule>& rules) {
    if (CurrentPlayer == nullptr) {
        return {};
    }
    const int actWorld = CurrentPlayer->GetActWorld();
    for (const TaskRule& rule : rules) {
        if (rule.actWorld != actWorld) {
            continue;
        }
        bool started = true;
        for (const char* flag : rule.done) {
            started = started && Flag(flag);
        }
        bool finished = false;
        for (const char* flag : rule.until) {
            finished = finished || Flag(flag);
        }
        if (started && !finished) {
            return std::string(StringTable::Translate(rule.text));
        }
    }
    return {};
}

bool LocationFlag(const char* name) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        return false;
    }
    return CurrentPlayer->GetFlag(GameLevel->name + ":" + name) != 0;
}

const char* Truth(bool value) {
    return value ? "1" : "0";
}

std::string Decimal(float value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

UIButton* LightstoneButton() {
    return MainUI != nullptr ? dynamic_cast<UIButton*>(MainUI->FindByCode(FourCC("LSTO")))
                             : nullptr;
}

bool LightstoneHovered() {
    const UIButton* lightstone = LightstoneButton();
    return lightstone != nullptr && lightstone->pointerOver;
}

bool LightstoneShown() {
    if (!Flag("z1-wood-glyphstone:dialog1_killed")) {
        return false;
    }
    UIButton* lightstone = LightstoneButton();
    if (lightstone == nullptr) {
        return true;
    }
    const auto* sprite = dynamic_cast<RenderChunk*>(lightstone->GetChunk(FourCC("SPRT"), 0));
    if (lightstone->pointerOver || (sprite != nullptr && sprite->alpha < 1.0f)) {
        return false;
    }
    return ModalLevel == nullptr || ModalLevel->type != "stone";
}

bool InventoryEnabled() {
    if (GameLevel == nullptr) {
        return true;
    }
    const std::string& id = GameLevel->levelId;
    if (id == "z1-quicksand" || id == "z0-chamber" || id == "z1-wood-glyphstone") {
        return Flag("z1-quicksand:inv_unlocked");
    }
    return true;
}

} // namespace

std::string UserInterface::AnswerData(uint32_t id) const {
    switch (id) {
    case FourCC("LVNM"):
        return GameLevel != nullptr ? GameLevel->name : std::string();
    case FourCC("MSGT"):
        return messageText;
    case FourCC("MSG2"):
        return secondText;
    case FourCC("MSG3"):
        return thirdText;
    case FourCC("SVOL"):
        return Decimal(GameSettings.soundVolume);
    case FourCC("MVOL"):
        return Decimal(GameSettings.musicVolume);
    case FourCC("FULL"):
        if (Renderer::State().smallDesktop) {
            return {};
        }
        return std::string(StringTable::Translate(App.fullScreen ? "str.switchtowindowed"
                                                                 : "str.switchtofullscreen"));
    case FourCC("TASK"):
        return InGameMenuOpen ? std::string() : TaskText(MainTasks());
    case FourCC("TAS2"):
        return TaskText(SecondTasks());
    case FourCC("TAS3"):
        return TaskText(ThirdTasks());
    case FourCC("PREV"):
        return Truth(GameLevel != nullptr && !GameLevel->exitBack.empty() && ModalLevel == nullptr);
    case FourCC("STG1"):
        return Truth(!LocationFlag("minigame1_completed"));
    case FourCC("STG2"):
        return Truth(LocationFlag("minigame1_completed") && !LocationFlag("minigame2_completed"));
    case FourCC("INVE"):
        return Truth(InventoryEnabled());
    case FourCC("MAPT"):
        return Truth(!Flag("map_metal:minigame4_completed"));
    case FourCC("LV2S"):
        return Truth(LocationFlag("minigame1_completed"));
    case FourCC("LIGT"):
        return Truth(Flag("z1-wood-glyphstone:dialog1_killed"));
    case FourCC("LVER"):
        return Truth(LightstoneHovered());
    case FourCC("LVEP"):
        return Truth(LightstoneHovered() && Flag("z1-quicksand:inv_unlocked") &&
                     !Flag("map_metal:minigame4_completed"));
    case FourCC("HOLD"):
        return "1";
    case FourCC("LVES"):
        return Truth(LightstoneShown());
    case FourCC("LV2C"):
        return Truth(LocationFlag("minigame2_completed"));
    case FourCC("BULD"):
        return std::string(StringTable::Translate("str.version")) + ": " + App.versionInfo[0] +
               (App.mainNumber.empty() ? std::string("102") : App.mainNumber) + App.versionInfo[1];
    case FourCC("MACC"):
        if (CurrentPlayer == nullptr || Flag("map_metal:minigame4_completed")) {
            return {};
        }
        return std::to_string(CurrentPlayer->GetMapPieces()) + " " +
               std::string(StringTable::Translate("str.of")) + " 10";
    default:
        return {};
    }
}
