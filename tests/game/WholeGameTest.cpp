// The whole demo game played by the real program, headless, in stages: each stage starts the
// program on the player files the stage before it left (kept in the tests, so that a stage runs
// alone), plays its script from the main menu and quits. It then holds what a player would see
// and keep against what the tests keep for that stage: the pictures at fixed passes, every file
// the game wrote into the profile folder (each of them read back whole), the sound sets and
// music started, and the exit status.
//
// ORVEX_WHOLE_GAME_WRITE=1 writes a stage's expected files and pictures anew instead of holding
// the run against them (each picture is looked at before it is kept).

#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "tests/game/ProgramRun.h"
#include "tests/game/ReferencePicture.h"
#include "tests/support/TempFolder.h"
#include "world/Player.h"
#include "world/PlayerFile.h"
#include "world/SaveGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Shot {
    int pass;
    const char* name; // the reference is "whole_<stage>_<name>.png"
};

struct Stage {
    const char* name;  // its script is "sessions/whole_<name>.txt", its files "whole/<name>/"
    const char* after; // the stage whose player files it starts from; "" for no profile
    int endPass;       // only reached when the script goes wrong: the script quits the game
    std::vector<Shot> pictures;
};

// A failure names the stage, not the bytes of its row.
void PrintTo(const Stage& stage, std::ostream* out) {
    *out << stage.name;
}

// The walkthrough's order. Each script's comment says what it plays and what its pictures show.
const std::vector<Stage>& Stages() {
    static const std::vector<Stage> stages = {
        {"new_profile", "", 3000, {{500, "clearing"}, {1160, "lens"}, {1330, "quest"}}},
        {"barrow_out", "new_profile", 4000, {{520, "map"}, {1650, "cutscene"}, {2600, "wand"}}},
        {"barrow_in", "barrow_out", 4000,
         {{980, "wall"}, {1300, "stones"}, {2180, "lock"}, {2600, "chamber"}}},
        {"barrow_machines", "barrow_in", 5000,
         {{1702, "steam"}, {2480, "clock"}, {3305, "wheel"}, {3560, "chamber"}}},
        {"puzzle_gate", "barrow_machines", 3000, {{988, "pipes"}, {1920, "gate"}}},
        {"workshop", "puzzle_gate", 5000, {{540, "workshop"}, {1250, "chest"}, {3430, "picture"}}},
        {"workshop_map", "workshop", 4000, {{1810, "map_game"}, {2280, "barrow"}}},
        {"crystal_cave", "workshop_map", 5000,
         {{990, "cave"}, {1620, "lamps"}, {3450, "mirrors"}, {3780, "cave_won"}}},
        {"hermitage_out", "crystal_cave", 4300,
         {{500, "map"}, {680, "arrival"}, {1950, "pillars"}, {3260, "furnace"}}},
        {"hermitage_in", "hermitage_out", 8900,
         {{390, "room"},
          {1400, "library"},
          {2300, "organ"},
          {3250, "sky"},
          {3690, "glyph"},
          {4050, "forge"},
          {5000, "slab"},
          {6900, "sign"},
          {7700, "lantern"},
          {7900, "outro"},
          {8200, "credits"}}},
        {"continued", "hermitage_in", 900, {{390, "room"}}},
    };
    return stages;
}

constexpr double kHungStageSeconds = 3000.0;

// The folder under XDG_DATA_HOME that holds the player files.
constexpr const char* kSaveFolder = "Saved Games/Vostrel Games/Orvex";

std::string WholeFolder(const std::string& stage) {
    return std::string(ORVEX_TEST_WHOLE) + "/" + stage;
}

// Every regular file under the folder, by its path relative to it, sorted.
std::vector<std::string> FilesUnder(const fs::path& folder) {
    std::vector<std::string> names;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                names.push_back(fs::relative(entry.path(), folder).string());
            }
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The current folder for a while: the save games name their level by the data folder's files.
class InGameFolder {
public:
    InGameFolder() : previous(fs::current_path()) {
        fs::current_path(DEMO_GAME_FOLDER);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
    }
    ~InGameFolder() {
        fs::current_path(previous);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
    }
    InGameFolder(const InGameFolder&) = delete;
    InGameFolder& operator=(const InGameFolder&) = delete;

private:
    fs::path previous;
};

// Each player file in the folder read back by the game's own readers, and nothing else there.
void ExpectPlayerFilesWhole(const std::string& saves) {
    const InGameFolder inGame;
    const Application kept = App;
    App.saveFolder = saves + "/";
    for (const std::string& name : FilesUnder(saves)) {
        SCOPED_TRACE(name);
        std::string text;
        ASSERT_EQ(ReadPlayerFile(saves + "/" + name, text), FileRead::Read);
        const std::string stem = fs::path(name).stem().string();
        const std::string extension = fs::path(name).extension().string();
        const std::optional<int32_t> slot = ParseInt32(stem);
        if (name == "last.pla") {
            const std::optional<int32_t> last = ParseInt32(text);
            EXPECT_TRUE(last && *last >= 0 && *last < Player::kProfiles) << text;
        } else if (name == "settings.dat") {
            std::istringstream in(text);
            int fullScreen = -1;
            float music = -1.0f;
            float sound = -1.0f;
            in >> fullScreen >> music >> sound;
            EXPECT_TRUE(in && (fullScreen == 0 || fullScreen == 1) && music >= 0.0f &&
                        music <= 1.0f && sound >= 0.0f && sound <= 1.0f)
                << text;
        } else if (extension == ".pla" && slot && *slot >= 0 && *slot < Player::kProfiles) {
            Player player;
            EXPECT_TRUE(player.Load(*slot, false));
            EXPECT_EQ(player.GetFileCondition(), Player::FileCondition::Whole);
        } else if (extension == ".sav") {
            std::string failure;
            EXPECT_TRUE(ParseSaveGame(text, name, failure).has_value()) << failure;
        } else {
            ADD_FAILURE() << "a file the game does not keep in its player-file folder";
        }
    }
    App = kept;
}

bool Writing() {
    const char* write = std::getenv("ORVEX_WHOLE_GAME_WRITE");
    return write != nullptr && std::string(write) == "1";
}

class WholeGameTest : public testing::TestWithParam<Stage> {
protected:
    TempFolder folder;
};

TEST_P(WholeGameTest, Stage) {
    const Stage& stage = GetParam();
    const std::string profile = folder / "profile";
    fs::create_directories(profile);
    if (*stage.after != '\0') {
        const fs::path start = fs::path(WholeFolder(stage.after)) / "profile";
        ASSERT_TRUE(fs::is_directory(start)) << "stage " << stage.after << " has no player files";
        fs::copy(start, profile, fs::copy_options::recursive);
    }

    std::string screenshots;
    for (const Shot& picture : stage.pictures) {
        screenshots += (screenshots.empty() ? "" : ";") + std::to_string(picture.pass) + ":" +
                       folder / (std::string(picture.name) + ".png");
    }
    ProgramRun run = ScriptedSession(
        DEMO_GAME_FOLDER, profile, std::string("orvex-whole-") + stage.name,
        std::string(ORVEX_TEST_SESSIONS) + "/whole_" + stage.name + ".txt", screenshots,
        stage.endPass);
    run.environment["ORVEX_SOUNDS"] = folder / "sounds.txt";
    // A stage is some thousands of passes, each drawn by software GL: the guard against a hung
    // run stands as far beyond what a stage takes under the sanitizers on a busy machine.
    run.timeLimitSeconds = kHungStageSeconds;
    ASSERT_EQ(RunProgram(run), 0);
    ExpectPlayerFilesWhole(profile + "/" + kSaveFolder);
    const std::string sounds = ReadFileBytes(folder / "sounds.txt");
    // Every stage goes back to the main menu before it quits, which starts the menu's music
    // last; a run that ended at its end pass instead lost its way in the script.
    const std::size_t lastMusic = sounds.rfind(" music ");
    ASSERT_NE(lastMusic, std::string::npos);
    EXPECT_EQ(sounds.substr(lastMusic, sounds.find('\n', lastMusic) - lastMusic),
              " music snd/music/main_menu.ogg")
        << "the stage did not end at the main menu";

    const fs::path expected = WholeFolder(stage.name);
    if (Writing()) {
        fs::remove_all(expected);
        fs::create_directories(expected);
        fs::copy(profile, expected / "profile", fs::copy_options::recursive);
        fs::copy_file(folder / "sounds.txt", expected / "sounds.txt");
        for (const Shot& picture : stage.pictures) {
            const std::string reference = std::string(ORVEX_TEST_REFERENCES) + "/whole_" +
                                          stage.name + "_" + picture.name + ".png";
            fs::copy_file(folder / (std::string(picture.name) + ".png"), reference,
                          fs::copy_options::overwrite_existing);
            std::cout << "written (look at it): " << reference << "\n";
        }
        std::cout << "written: " << expected.string() << "\n";
        return;
    }

    for (const Shot& picture : stage.pictures) {
        ExpectLooksLikeReference(folder / (std::string(picture.name) + ".png"),
                                 std::string("whole_") + stage.name + "_" + picture.name +
                                     ".png");
    }
    // What the game keeps, file by file and byte by byte.
    const std::vector<std::string> kept = FilesUnder(profile);
    EXPECT_EQ(kept, FilesUnder(expected / "profile"));
    for (const std::string& name : kept) {
        const fs::path wanted = expected / "profile" / name;
        if (fs::exists(wanted)) {
            EXPECT_EQ(ReadFileBytes(profile + "/" + name), ReadFileBytes(wanted)) << name;
        }
    }
    EXPECT_EQ(sounds, ReadFileBytes(expected / "sounds.txt"));
}

INSTANTIATE_TEST_SUITE_P(Whole, WholeGameTest, testing::ValuesIn(Stages()),
                         [](const testing::TestParamInfo<Stage>& stage) {
                             return std::string(stage.param.name);
                         });

} // namespace
