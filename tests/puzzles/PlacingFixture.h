#pragma once

// The placing and turning games' fixture: the frame's mini-game harness with the games' sounds,
// a backdrop of known size, items held on the game level's cursor and scenes of any Type.

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "ui/UiClasses.h"

#include <string>

class PlacingTest : public PuzzleTest {
public:
    // The backdrop's definition, centred at (512, 300): x 312 to 712, y 100 to 500.
    static constexpr const char* kBackdrop =
        "(Backdrop Background (POSI) (SPRT (file gfx/back.ani) (animName idle)) (COLI)"
        " (Name BACK))\n";
    static constexpr const char* kBackdropEntry = "(Backdrop (POSI (position 512 300)))\n";

protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        RegisterUiClasses();
        std::string sets = "(set global";
        for (const char* sound :
             {"game_won", "metal_scrape", "carve_correct", "carve_wrong", "gear_moving",
              "gear_nomoving", "key_unlock", "warning", "divination_move", "lightstone_select",
              "place_click"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        // The backdrop: 400 x 400 around its position, the same picture for "idle" and "back".
        WriteData("back.png", PngFile(SolidImage(400, 400, 0xFF808080u)));
        WriteData("gfx/back.ani", "(framedAnim idle back.png 400 400 (frames 0))\n"
                                  "(framedAnim back back.png 400 400 (frames 0))\n");
        WriteData("gfx/fx/hiddenObject_hili2.prt", "(max_parts 4)\n(flow 0 10)\n");
    }

    // The mini-game scene of these objects with that Type and levelId, loaded into a new
    // ModalLevel named "minigame1".
    Level& LoadGame(const std::string& definitions, const std::string& objects,
                    const std::string& type = "puzzle", const std::string& levelId = "") {
        WriteData("scripts/objects.txt", "(Final\n" + definitions + "\n)\n");
        std::string meta = "(Meta (Name minigame1) (Type " + type + ")";
        if (!levelId.empty()) {
            meta += " (levelId " + levelId + ")";
        }
        WriteData("levels/board.txt", meta + ")\n(Objects\n" + objects + "\n)\n");
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        EnsureLevel(ModalLevel).LoadScene("levels/board.txt", true);
        return *ModalLevel;
    }

    // The item on the game level's cursor, with its picture.
    void Hold(const std::string& item) {
        WriteItemArt(item);
        GameLevel->levelSystem->HoldItem(item);
    }
    std::string Held() const { return GameLevel->levelSystem->heldItemName; }

    int32_t CompletionFlag() const { return CurrentPlayer->GetFlag("gate:minigame1_completed"); }

    static PositionChunk& Position(Object& object) {
        return *dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
    }
    static SpriteRenderChunk& Sprite(Object& object) {
        return *dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
    }

    // Steps until the time has passed (at the harness's step).
    void StepSeconds(float seconds) { Step(static_cast<int>(seconds / kStep) + 1); }
};
