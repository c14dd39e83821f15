#pragma once

#include "engine/MessageReceiver.h"
#include "engine/ObjectsManager.h"
#include "media/AnimPlayer.h"
#include "ui/KeysScreens.h"

#include <cstdint>
#include <memory>
#include <string>

class Object;
class XProcess;

// The profile slot that the next confirmed name creates.
extern int PendingProfileSlot;
// Texts the menu screens show through 'MSGT', 'MSG2' and 'MSG3'.
extern std::string MenuMessageText;
extern std::string MenuMessageText2;
extern std::string MenuMessageText3;

// The main menu: a scene that shows the screen files of the "menus" folder one at a time,
// takes their widgets' events and answers their data ids. The game is played in a game process
// that the menu runs nested in its event handling; its result word says what comes next.
//
// The scene's state word is the menu's result word (ModalResult): non-zero ends the menu
// process with it (1: the game closes).
class Menu : public ObjectsManager, public MessageReceiver {
public:
    // The loading animation is bound to "gfx/interface/loading.ani".
    Menu();
    ~Menu() override;

    // The definitions, the systems, the profiles; then "start_from_level" at once, or the splash
    // screens and the menu's opening screen.
    void Init();
    // One step: the menu clock and its blink flag, the Alt+F4 and Alt+Enter keys (once a step,
    // however many messages the step brings), then the scene.
    void UpdateStep(float dt);

    void AddObject(std::unique_ptr<Object> object) override;
    void OnSceneLoaded() override;
    void Clear() override;

    // The menu commands; after each, the keys screens get the id.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    std::string GetData(uint32_t id) override;
    // 'SVOL' and 'MVOL', as the layers store them.
    void SetData(uint32_t id, uint32_t valueBits) override;

    // Starts a location: sounds stopped, the game prepared, the level file loaded into the game
    // level and a game process run; then OnGameEnded with its result. A location needs a
    // current profile with a name: without one the name prompt is shown instead.
    void StartLevel(const std::string& levelFile);
    // Before every start of a location: nothing held on the cursor, the "level_select" sound,
    // the in-game layers and the game level made when missing, the tip layer cleared.
    void PrepareGame();
    void OnGameEnded(int32_t result);
    // True when one of the five profiles has exactly this name; false for an empty name.
    static bool ProfileNameExists(const std::string& name);

    int32_t currentPage = 0;
    int32_t lastPage = 0;
    uint32_t pendingOk = 0;
    uint32_t pendingCancel = 0;
    KeysScreens keys;
    float clock = 0.0f;
    bool blink = true;
    AnimPlayer loading;

private:
    void CheckSystemKeys();
    void Handle(const void* sender, uint32_t id, uint32_t param);
    // A game process run to its end; its result word.
    int32_t RunGame();
    int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass);
    void NamePrompt();
    void ConfirmName(uint32_t id);
    void NewOrDeleteProfile(int slot);
    void OpenHelp();
    void NewGame();
    // Reads the save game into the game level (which must exist) and runs the game; a missing
    // or rejected save keeps the menu (logged).
    void LoadAndRun(const std::string& saveName);
    bool HasNamedProfile() const;
};

// Each player profile's "N.sav" (or "N_quick.sav") in the player-file folder.
std::string SaveGamePath(bool quick);
