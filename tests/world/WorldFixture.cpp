#include "tests/world/WorldFixture.h"

#include "engine/Application.h"
#include "media/SoundManager.h"
#include "world/GameSettings.h"
#include "world/NormalLevelSystem.h"
#include "world/PlayerFile.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

// The player files go to a memory file system when there is one: the tests save thousands of
// times, and the sync of a busy disk would make them slow without making them any truer.
std::string MakePlayerFolder(const TempFolder& fallback) {
    std::string pattern = "/dev/shm/orvex-players-XXXXXX";
    if (std::filesystem::is_directory("/dev/shm") && ::mkdtemp(pattern.data()) != nullptr) {
        return pattern;
    }
    fallback.MakeFolder("players");
    return fallback / "players";
}

} // namespace

FakeWorld& TestWorld() {
    static FakeWorld world;
    return world;
}

void ResetWorldGlobals() {
    GameLevel = nullptr;
    ModalLevel = nullptr;
    CurrentPlayer = nullptr;
    CurrentPlayerIndex = -1;
    LastPlayerIndex = -1;
    TestWorld() = FakeWorld();
    InstallWorldServices(&TestWorld());
    for (Player& profile : PlayerProfiles) {
        profile = Player();
    }
    GameSettings = UserSettings();
    ForgetPlayerFileWriteFailures();
}

void WorldTest::SetUp() {
    RecordedSound::SetUp();
    Sounds.Init();
    App = Application();
    playerFolder = MakePlayerFolder(folder);
    App.saveFolder = playerFolder + "/";
    ASSERT_TRUE(CreatePlayerFileFolder());
    ResetWorldGlobals();
    InstallHooks();
    WriteData("scripts/objects.txt", "");
    WriteData("gestures.txt", ""); // every level reads its gesture templates; none is valid
}

void WorldTest::InstallHooks() {
    FakeWorld& hooks = TestWorld();
    hooks.showHeldItem = [this](const std::string& file) { hookCalls.push_back("show " + file); };
    hooks.hideHeldItem = [this] { hookCalls.push_back("hide"); };
    hooks.inventorySlotEmptied = [this](int slot) {
        hookCalls.push_back("slot emptied " + std::to_string(slot));
    };
    hooks.refillInventorySlots = [this] { hookCalls.push_back("refill"); };
    hooks.rewardSpark = [this](const std::string& file, float x, float y) {
        hookCalls.push_back("spark " + file + " " + std::to_string(static_cast<int>(x)) + "," +
                            std::to_string(static_cast<int>(y)));
    };
    hooks.clearOverlay = [this] { hookCalls.push_back("clear overlay"); };
    hooks.deleteLevelLayers = [this] { hookCalls.push_back("delete level layers"); };
}

void WorldTest::TearDown() {
    GameLevel = nullptr;
    gameLevel.reset();
    ResetWorldGlobals();
    Sounds.Shutdown();
    App = Application();
    std::filesystem::remove_all(playerFolder);
    RecordedSound::TearDown();
}

std::string WorldTest::Players(std::string_view name) const {
    return playerFolder + "/" + std::string(name);
}

std::string WorldTest::PlayerBytes(std::string_view name) const {
    return ReadFileBytes(Players(name));
}

void WorldTest::WritePlayerBytes(std::string_view name, std::string_view bytes) const {
    std::ofstream out(Players(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << Players(name);
}

bool WorldTest::PlayerFileExists(std::string_view name) const {
    return std::filesystem::exists(Players(name));
}

std::vector<std::string> WorldTest::PlayerFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(playerFolder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WorldTest::StartAgain() {
    GameLevel = nullptr;
    gameLevel.reset();
    ResetWorldGlobals();
    InstallHooks();
    for (const auto& entry : std::filesystem::directory_iterator(playerFolder)) {
        std::filesystem::remove_all(entry.path());
    }
}

Player& WorldTest::MakeProfile(int slot, const std::string& name) {
    EXPECT_TRUE(Player::CreateProfile(slot, name));
    return *CurrentPlayer;
}

Level& WorldTest::MakeGameLevel() {
    gameLevel = std::make_unique<Level>();
    gameLevel->Load();
    GameLevel = gameLevel.get();
    return *gameLevel;
}

void WorldTest::WriteScene(const std::string& name, const std::string& type) {
    WriteData("levels/" + name + ".txt", "(Meta\n (Name " + name + ")\n (levelPath levels\\" +
                                             name + ".txt)\n (Type " + type + "))\n(Objects)\n");
}

void WorldTest::WriteItemArt(const std::string& item) {
    WriteData("gfx/objects/" + item + ".ani", "(anim cursor)\n");
}

bool MakeSessionProfile(const std::string& saves,
                        const std::vector<std::pair<std::string, std::string>>& flags) {
    std::filesystem::create_directories(saves);
    App.saveFolder = saves;
    if (!CreatePlayerFileFolder() || !Player::CreateProfile(0, "Ann")) {
        return false;
    }
    Player::LoadNames();
    if (!Player::SelectProfile(0)) {
        return false;
    }
    CurrentPlayer->AddPermanentItem(1, 0);
    CurrentPlayer->AddPermanentItem(1, 2);
    for (const auto& [scope, name] : flags) {
        CurrentPlayer->SetFlag(scope, name, 1);
    }
    CurrentPlayer->Save();
    ResetWorldGlobals();
    return true;
}

Player& ReadSessionProfile(const std::string& saves) {
    ResetWorldGlobals();
    App.saveFolder = saves;
    Player::LoadNames();
    EXPECT_TRUE(Player::SelectProfile(0));
    return *CurrentPlayer;
}

std::string OnDisk(std::string_view text) {
    std::string bytes;
    for (const char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    return bytes;
}
