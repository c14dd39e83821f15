#include "engine/Exception.h"
#include "engine/Log.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

// The five profile slots, the current profile and "last.pla".

std::array<Player, Player::kProfiles> PlayerProfiles;
Player* CurrentPlayer = nullptr;
int CurrentPlayerIndex = -1;
int LastPlayerIndex = -1;

namespace {

bool IsProfileSlot(int i) {
    return i >= 0 && i < Player::kProfiles;
}

} // namespace

void Player::LoadNames() {
    for (int i = 0; i < kProfiles; ++i) {
        PlayerProfiles[static_cast<std::size_t>(i)].Load(i, false);
    }
    LoadLastPlayer();
}

bool Player::SelectProfile(int i) {
    if (!IsProfileSlot(i)) {
        DebugLog("There is no profile %d to select\n", i);
        return false;
    }
    CurrentPlayer = &PlayerProfiles[static_cast<std::size_t>(i)];
    CurrentPlayer->Reset();
    if (!CurrentPlayer->Load(i, true) || CurrentPlayer->name.empty()) {
        return false;
    }
    CurrentPlayerIndex = i;
    SaveLastPlayer();
    return true;
}

bool Player::CreateProfile(int i, const std::string& profileName) {
    if (!IsProfileSlot(i)) {
        DebugLog("There is no profile slot %d\n", i);
        return false;
    }
    if (!IsValidProfileName(profileName)) {
        DebugLog("Profile name %s refused: it holds control characters\n",
                 MessagePart(profileName).c_str());
        return false;
    }
    Player* const previous = CurrentPlayer;
    Player& profile = PlayerProfiles[static_cast<std::size_t>(i)];
    CurrentPlayer = &profile;
    profile.Reset();
    profile.Load(i, true); // an existing file is read; a new profile draws its random id
    if (profile.fileCondition == FileCondition::Untouchable) {
        DebugLog("Profile %d not created: the damaged file in its slot could not be kept aside\n",
                 i);
        CurrentPlayer = previous;
        return false;
    }
    profile.name = profileName;
    profile.Save();
    CurrentPlayerIndex = i;
    SaveLastPlayer();
    return true;
}

void Player::DeleteProfile(int i) {
    if (!IsProfileSlot(i)) {
        DebugLog("There is no profile %d to delete\n", i);
        return;
    }
    PlayerProfiles[static_cast<std::size_t>(i)].Reset();
    // The save games go first: a profile left without them is whole, while save games left
    // without their profile would be taken over by the next profile made in the slot.
    const std::string number = std::to_string(i);
    const bool saveGamesGone = DeletePlayerFile(PlayerFilePath(number + ".sav")) &
                               DeletePlayerFile(PlayerFilePath(number + "_quick.sav"));
    if (saveGamesGone) {
        DeletePlayerFile(PlayerFilePath(number + ".pla"));
    } else {
        DebugLog("Profile %d kept: its save games could not be deleted\n", i);
    }
    CurrentPlayer = nullptr;
    LoadNames();
    CurrentPlayerIndex = -1;
}

std::string Player::GetProfileName(int i) {
    return IsProfileSlot(i) ? PlayerProfiles[static_cast<std::size_t>(i)].name : std::string();
}

int Player::GetLastPlayerIndex() {
    return LastPlayerIndex;
}

void SaveLastPlayer() {
    WritePlayerFile(PlayerFilePath("last.pla"), std::to_string(CurrentPlayerIndex));
}

void LoadLastPlayer() {
    LastPlayerIndex = -1;
    std::string text;
    if (ReadPlayerFile(PlayerFilePath("last.pla"), text) != FileRead::Read) {
        return;
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return;
    }
    const std::size_t end = text.find_first_of(" \t\r\n", first);
    const std::optional<int32_t> index =
        ParseInt32(std::string_view(text).substr(first, end - first));
    if (index && IsProfileSlot(*index)) {
        LastPlayerIndex = *index;
    } else {
        DebugLog("last.pla names no profile\n");
    }
}
