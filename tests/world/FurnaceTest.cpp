#include "world/Furnace.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr const char* kCoal = "hearth-of-power-in-coal3";

// The furnace at (100, 100), 100 x 100, in the room, with its sound and sparks.
class Furnaces : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        Reset();
    }

    void Reset() {
        StartAgain();
        InstallDialogueHook();
        WriteData("furnace_coal.wav", "furnace_coal");
        WriteData("sounds.txt", "(set global (furnace_coal furnace_coal.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData(Furnace::kSparks, "(max_parts 4)\n(flow 0 10)\n");
        MakeProfile(0, "Ann");
    }

    Furnace& LoadFurnace() {
        Load("(Oven Furnace (POSI (position 100 100)) (COLI (left 0) (right 100) (top 0) "
             "(bottom 100)))",
             "(Oven (visName furnace) (Data))");
        auto* furnace = dynamic_cast<Furnace*>(Find("furnace"));
        EXPECT_NE(furnace, nullptr);
        return *furnace;
    }

    void Click(Furnace& furnace, const std::string& held, float x = 150.0f) {
        gameLevel->levelSystem->heldItemName = held;
        Mouse.x = x;
        Mouse.y = 150.0f;
        furnace.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    }
};

struct CoalCase {
    const char* name;
    int32_t coalsBefore;
    bool lastMeterOut; // "heat-meter-2_killed" set before the click
    std::string held;
    float x;
    int32_t coalsAfter;
    std::vector<int> metersOut; // the meters whose flags the click set
    int32_t energy;
    bool taken; // the coal left the cursor with its sound and sparks
};

TEST_F(Furnaces, EachCoalIsCountedAndEveryThirdPutsOutAMeter) {
    constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
    const CoalCase cases[] = {
        {"the first coal", 0, false, kCoal, 150.0f, 1, {}, 0, true},
        {"the third coal", 2, false, kCoal, 150.0f, 3, {0}, 0, true},
        {"the sixth coal", 5, false, kCoal, 150.0f, 6, {1}, 0, true},
        {"the ninth coal gives energy", 8, false, kCoal, 150.0f, 9, {2}, 1, true},
        {"the ninth coal after the meter went", 8, true, kCoal, 150.0f, 9, {}, 0, true},
        {"the tenth coal is only counted", 9, false, kCoal, 150.0f, 10, {}, 0, true},
        {"any coal of the stack", 0, false, "hearth-of-power-in-coal", 150.0f, 1, {}, 0, true},
        {"a name one short of the test", 0, false, "hearth-of-power-in-co", 150.0f, 0, {}, 0,
         false},
        {"another item", 2, false, "rope", 150.0f, 2, {}, 0, false},
        {"nothing held", 2, false, "", 150.0f, 2, {}, 0, false},
        {"outside the furnace", 2, false, kCoal, 250.0f, 2, {}, 0, false},
        {"a negative count reads as none", -7, false, kCoal, 150.0f, 1, {}, 0, true},
        {"a count at the top of its range", kMost, false, kCoal, 150.0f, kMost, {}, 0, true},
    };
    for (const CoalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        CurrentPlayer->SetFlag("room", Furnace::kCoalsFlag, c.coalsBefore);
        if (c.lastMeterOut) {
            CurrentPlayer->SetFlag("room", "heat-meter-2_killed", 1);
        }
        Furnace& furnace = LoadFurnace();
        const int32_t energy = CurrentPlayer->GetEnergy();
        const std::size_t played = PlayedFiles().size();

        Click(furnace, c.held, c.x);

        EXPECT_EQ(furnace.coals, c.coalsAfter);
        if (c.taken) {
            EXPECT_EQ(Flag(Furnace::kCoalsFlag), c.coalsAfter);
        }
        for (int meter = 0; meter < Furnace::kMeters; ++meter) {
            const bool expected = std::find(c.metersOut.begin(), c.metersOut.end(), meter) !=
                                  c.metersOut.end();
            const bool before = c.lastMeterOut && meter == 2;
            EXPECT_EQ(Flag("heat-meter-" + std::to_string(meter) + "_killed") != 0,
                      expected || before)
                << "meter " << meter;
        }
        EXPECT_EQ(CurrentPlayer->GetEnergy() - energy, c.energy);
        EXPECT_EQ(gameLevel->levelSystem->heldItemName.empty(), c.taken || c.held.empty());
        EXPECT_EQ(PlayedFiles().size() - played, c.taken ? 1u : 0u);
        EXPECT_EQ(Count("FxParticles"), c.taken ? 1 : 0);
    }
}

TEST_F(Furnaces, TheCountSurvivesLeavingAndComingBack) {
    Furnace& first = LoadFurnace();
    for (int coal = 0; coal < 4; ++coal) {
        Click(first, kCoal);
    }
    Furnace& again = LoadFurnace();
    EXPECT_EQ(again.coals, 4);
    Click(again, kCoal);
    Click(again, kCoal);
    EXPECT_EQ(Flag("heat-meter-1_killed"), 1);
    EXPECT_EQ(Flag(Furnace::kCoalsFlag), 6);
}

} // namespace
