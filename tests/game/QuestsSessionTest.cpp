// The real orvexgame on the demo's hermitage and clearing, in short runs on one profile that the
// test made: a scripted player wins the hermitage stone's chain of games and feeds the furnace its
// nine coals; fills the library shelf and wins the card machine's tune; and finds the clearing's
// three things. What the player keeps (the profile), what the player saw (the risen pillars, the
// furnace without its meters, the clearing's tip) and the exit status of each run.

#include "engine/Application.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One run: the location it starts at, its script and its pictures (pass and file name).
struct SessionRun {
    std::string location;
    std::string script;
    int endPass;
    std::vector<std::pair<int, std::string>> pictures;
};

class QuestsSession : public testing::Test {
protected:
    void SetUp() override {
        fs::copy(DEMO_GAME_FOLDER, game, fs::copy_options::recursive);
        fs::copy_file(game + "/config.txt", folder / "config.txt");
        fs::create_directories(saves);
        App.saveFolder = saves;
        ASSERT_TRUE(CreatePlayerFileFolder());
        ASSERT_TRUE(Player::CreateProfile(0, "Ann"));
        ResetWorldGlobals();
    }

    void TearDown() override {
        ResetWorldGlobals();
        App = Application();
    }

    // The run, started at its location with the profile as the runs before left it.
    int Run(const SessionRun& session) {
        fs::copy_file(folder / "config.txt", game + "/config.txt",
                      fs::copy_options::overwrite_existing);
        {
            std::ofstream config(game + "/config.txt", std::ios::app);
            config << "(start_from_level \"levels\\" << session.location << ".txt\")\n";
        }
        std::string screenshots;
        for (const auto& [pass, name] : session.pictures) {
            screenshots += (screenshots.empty() ? "" : ";") + std::to_string(pass) + ":" +
                           std::string(folder / name);
        }
        ProgramRun run;
        run.folder = game;
        run.environment = {
            {"XDG_DATA_HOME", folder / "profile"},
            {"ORVEX_INSTANCE", "orvex-quests-" + std::to_string(::getpid())},
            {"ORVEX_MESSAGE_BOX", std::nullopt}, // a box would be a failure here
            {"ORVEX_SEED", "1"},
            {"ORVEX_STEP_CLOCK", "1"},
            {"ORVEX_SCRIPT", std::string(ORVEX_TEST_SESSIONS) + "/" + session.script},
            {"ORVEX_SCREENSHOT", screenshots},
            {"ORVEX_END", std::to_string(session.endPass)},
        };
        return RunProgram(run);
    }

    // The profile as the last run left it.
    Player& Profile() { return ReadSessionProfile(saves); }

    // The picture taken under its name against the reference of that name.
    void ExpectLooksLike(const std::string& name) { ExpectLooksLikeReference(folder / name, name); }

    TempFolder folder;
    const std::string game = folder / "game";
    const std::string saves = folder / "profile/Saved Games/Vostrel Games/Orvex/";
};

TEST_F(QuestsSession, TheChainTheFurnaceTheLibraryAndTheClearingsQuestPlayThrough) {
    // Before the hermitage: both games of the chain won, nine coals fed.
    ASSERT_EQ(Run({"z1-hermitage-out",
                   "quests_chain.txt",
                   2560,
                   {{1240, "quests_pillars.png"}, {2540, "quests_furnace.png"}}}),
              0);
    {
        Player& player = Profile();
        for (const char* flag :
             {"PillarsGamesManager_1_completed", "PillarsGamesManager_2_completed",
              "PillarsGamesManager_completed", "heat-meter-0_killed", "heat-meter-1_killed",
              "heat-meter-2_killed"}) {
            EXPECT_EQ(player.GetFlag(std::string("z1-hermitage-out:") + flag), 1) << flag;
        }
        EXPECT_EQ(player.GetFlag("z1-hermitage-out:PillarsGamesManager_3_completed"), 0);
        EXPECT_EQ(player.GetFlag("z1-hermitage-out:Furnace_coals"), 9);
        // A reward for each game won, and the furnace's for its ninth coal.
        EXPECT_EQ(player.GetEnergy(), 3);
        EXPECT_EQ(player.CountItem("hearth-of-power-in-coal"), 0);
    }
    // Looked at: two pillars standing on the trodden ground with both runes lit and the map
    // piece risen between them, the stone gone; then the furnace with none of its three meters.
    ExpectLooksLike("quests_pillars.png");
    ExpectLooksLike("quests_furnace.png");

    // Inside: the shelf filled, the machine's one tune won.
    ASSERT_EQ(Run({"z1-hermitage-in", "quests_library.txt", 1120, {{1100, "quests_library.png"}}}),
              0);
    {
        Player& player = Profile();
        EXPECT_EQ(player.GetFlag("z1-hermitage-in:library_shelf_actBooks"), 2);
        EXPECT_EQ(player.GetFlag("z1-hermitage-in:library_shelf_killed"), 1);
        EXPECT_EQ(player.GetFlag("z1-hermitage-in:library_machine_actCards"), 1);
        EXPECT_EQ(player.GetFlag("z1-hermitage-in:library_machine_killed"), 1);
        EXPECT_EQ(player.GetFlag("z1-hermitage-in:book1_enabled"), 1);
        // The tune's reward and the machine's for its last card.
        EXPECT_EQ(player.GetEnergy(), 5);
    }
    // Looked at: the full shelf with the machine's book on it, the machine gone.
    ExpectLooksLike("quests_library.png");

    // The clearing: its three things found, its quest done with its tip.
    ASSERT_EQ(Run({"z1-wood-glyphstone", "quests_wood.txt", 320, {{300, "quests_tip.png"}}}), 0);
    {
        Player& player = Profile();
        EXPECT_EQ(player.GetFlag("z1-wood-glyphstone:clearing_finds_killed"), 1);
        EXPECT_EQ(player.GetEnergy(), 5);
    }
    // Looked at: the three things in the bar and the tip above where the mushroom lay.
    ExpectLooksLike("quests_tip.png");
}

} // namespace
