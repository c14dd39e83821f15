#pragma once

#include "engine/MessageReceiver.h"
#include "engine/ObjectsManager.h"
#include "ui/KeysScreens.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XProcess;

class Object;

// One layer of screen widgets: a scene filled from a screen file of the "menus" folder and the
// receiver of its widgets' events and data queries. The game keeps eight of them in the globals
// below, each for one kind of screen.
//
// The scene's state word is the layer's result word (ModalResult): 0 while its screen runs; an
// event handler writes the answer there, and the modal process that runs the layer ends on it.
class UserInterface : public ObjectsManager, public MessageReceiver {
public:
    // Takes the place of the layers' own event table and data answers, for tests that watch
    // what the widgets send; the game never sets one.
    class EventTableStandIn {
    public:
        virtual void OnEvent(UserInterface& layer, uint32_t id) = 0;
        virtual std::string AnswerData(UserInterface& layer, uint32_t id) = 0;

    protected:
        ~EventTableStandIn() = default;
    };
    // Null: the layers' own table again.
    static void SetEventTableStandIn(EventTableStandIn* standIn);

    UserInterface();
    ~UserInterface() override;

    // Clears the window-art flag and the result word, reads "scripts/ui_objects.txt" and adds
    // the layer's systems; the layer takes the raw input of its keyboard system before any
    // widget. Once, right after construction.
    void Init();
    // Binds the widget to the layer by its class or definition name, then appends it.
    void AddObject(std::unique_ptr<Object> object) override;

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;

    // The in-game event table, shared by every layer: first the full-screen quit question
    // (Alt+F4), then the action of the id, then the keys screens. Unknown ids do nothing. The
    // layer stays allocated until the handler returns, whatever the actions delete.
    void HandleEvent(const void* sender, uint32_t id, uint32_t param);
    // Every layer reset, the file loaded into the game level and a new game process run on it;
    // then its result. Nothing while an item is held on the cursor or a mini-game level is open.
    void GoToLocation(const std::string& levelFile);
    // What the result word of a finished game or mini-game process asks for.
    void HandleProcessResult(int32_t result);
    // The element map that the current player's progress allows, after the save game. Nothing
    // while a mini-game level is open.
    void ChooseElementMap();
    // The HUD's option buttons come back and the closing options screen runs on MapGameUI.
    void OpenIngameOptions();
    // The page on screen goes, once it has fully appeared; nothing with no page.
    void SkipDialoguePage();

    // 'MSGT', 'MSG2' and 'MSG3' answer the three texts; everything else goes to the game's data
    // handler.
    std::string GetData(uint32_t id) override;
    // The game's data ids as the layers answer them: the location, the player's progress and
    // current tasks, the settings, the version line. Unknown ids answer the empty text.
    std::string AnswerData(uint32_t id) const;
    // 'SVOL' and 'MVOL' (the value is the float's bits): the volume is stored in the settings
    // (0.08 or less as 0, clamped to 1), given to the sound layer and saved.
    void SetData(uint32_t id, uint32_t valueBits) override;

    // The UITutorial pages of the layer in the order added; the first is on screen.
    const std::vector<Object*>& PageQueue() const { return pageQueue; }
    // Drops the page on screen; nothing when there is none.
    void PopPage();
    void ClearPages() { pageQueue.clear(); }

    // A number never shared by two layers: a process that runs a layer tells by it whether the
    // global still holds the layer it started with.
    uint64_t Serial() const { return serial; }

    std::string messageText; // 'MSGT'
    std::string secondText;  // 'MSG2'
    std::string thirdText;   // 'MSG3'
    std::string speakerText; // the dialogue box's speaker word
    bool windowArt = false;
    bool optionsOpen = false;
    bool quitQuestion = false;
    KeysScreens keys;

private:
    friend class PageQueueKeeper;

    // The binding table: which receiver field of the object the layer fills, by its class name
    // and its definition name.
    void Bind(Object& object);

    std::vector<Object*> pageQueue;
    uint64_t serial;
};

// The binding table of the layers, for any scene that takes widget events (the main menu too):
// which receiver field of the object gets the receiver, by the object's class or definition
// name. UITutorial pages join the page queue when there is one.
void BindWidget(Object& object, MessageReceiver& receiver, std::vector<Object*>* pageQueue);
// 'SVOL' and 'MVOL' (the value is the float's bits): the volume is stored in the settings (0.08
// or less as 0, clamped to 1), given to the sound layer and saved. Other ids: nothing.
void StoreVolumeSetting(uint32_t id, uint32_t valueBits);

// The eight layers; null until first made.
extern UserInterface* MainUI;
extern UserInterface* mui;
extern UserInterface* OverlayUI;
extern UserInterface* LevelOverlayUI;
extern UserInterface* MapGameUI;
extern UserInterface* DialogueUI;
extern UserInterface* TutorialUI;
extern UserInterface* VideoUI;
// Set while the in-game options screen runs.
extern bool InGameMenuOpen;

// Constructs and initialises a layer into the global when it is null; answers the global.
UserInterface& EnsureLayer(UserInterface*& global);
// Sets the global to null and deletes the layer (later, when it is running one of its own passes,
// so that code inside it can finish). Nothing for null.
void DeleteLayer(UserInterface*& global);
// Clears the layer when it exists.
void ClearLayer(UserInterface* layer);
// The definitions "scripts/ui_objects.txt" and the systems every layer has, in their order; the
// keyboard system hands its raw input to the receiver before any widget.
void AddLayerSystems(ObjectsManager& scene, MessageReceiver& receiver);
// Deletes all eight layers, in shut-down order.
void DeleteAllLayers();
// What a cleared level asks of the layers: MapGameUI and TutorialUI go.
void DeleteLevelLayers();
