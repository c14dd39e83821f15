#pragma once

#include "puzzles/MiniGame.h"
#include "world/GameAnim.h"
#include "world/GestureReceiver.h"

#include <array>
#include <string>
#include <string_view>

// The gesture game: the player draws mouse gestures with the wand, and each element of the scene
// waits for its own. When every element has seen its gesture, the game is won. A scene may ask for
// a tutorial: a chain of pop-ups teaches the wand and four gestures ("sort", "row", "column",
// "flash") one by one, each element taking its gesture only while the tutorial waits for it.

// One element: recognised once its gesture is drawn (within the tutorial's rules), then playing
// "<gesture>_idle2" with two particle effects and "pick2", once.
class GestureGameElement : public GameAnim, public GestureReceiver, public OCreator<GestureGameElement> {
public:
    static constexpr std::string_view kClassName = "GestureGameElement";

    explicit GestureGameElement(ObjectsManager* owner);

    // The animated object's keys, then "gestureName".
    void SetProperty(const ParconCursor& cursor) override;
    // The object's step (no timed fades); once recognised, the "_idle2" animation and, the first
    // time, the effects. Always true.
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;
    void OnGesture(const std::string& gesture) override;

    ManagerLink manager;
    std::string gestureName;
    bool recognised = false;
    bool effectsShown = false;
};

class GestureGameMngr : public MiniGameManager, public OCreator<GestureGameMngr> {
public:
    static constexpr std::string_view kClassName = "GestureGameMngr";
    static constexpr float kIntroDelay = 3.0f;
    static constexpr float kStepTime = 2.0f;
    static constexpr float kWinDelay = 3.0f;
    static constexpr const char* kWaitingForWand = "start_sort";
    static constexpr const char* kTutorialFlag = "global:tutorial_gesture_completed";
    // The literal flag of a won gesture game, whatever the scene's name.
    static constexpr const char* kWinFlag = "minigame1_completed";
    static constexpr const char* kBarrowGame = "z1-barrow-in:gesture1";

    explicit GestureGameMngr(ObjectsManager* owner);

    // "showTutorial"; then the elements listed before the manager (once).
    void SetProperty(const ParconCursor& cursor) override;
    // The tutorial's steps while it runs; then the win, its delay and the leave request.
    bool Update(float dt) override;

    // x below 50 or above 975, or y below 50; and y below 650.
    static bool InGestureLeaveZone(float x, float y);

    bool showTutorial = false;
    bool introShown = false;
    float elapsed = 0.0f;
    std::string tutorialMode = "sort";
    float stepTimer = kStepTime;
    bool initialised = false;
    bool stepDone = false;
    bool waitingForWand = false;
    bool won = false;

protected:
    ManagerLink* LinkOf(Object& piece) override;
    void SetUpPiece(Object&, int) override {}
    // Every element recognised (none counts as all).
    bool WinTest() override;
    // Until the game is won and while no leave request is set.
    bool AcceptsLeave() const override;
    bool InLeaveZone(float x, float y) const override { return InGestureLeaveZone(x, y); }
    // The tutorial ends, its pop-up closes, the held tool is dropped, and the game closes at once:
    // the close flag and the leave request together.
    void Leave() override;

private:
    struct TutorialStep {
        const char* mode;    // the mode whose step was done
        const char* newMode; // the mode after it
        std::array<const char*, 2> popUps; // in order; null for none
        std::array<bool, 2> running;       // the pop-up lets the game run beneath it
    };
    static const std::array<TutorialStep, 5> kSteps;

    // The tutorial's part of a step; true when the step ends there.
    bool UpdateTutorial(float dt);
    void TakeStep(const TutorialStep& step);
    // Runs a pop-up at once in a nested main loop; nothing while another is open.
    void RunPopUp(const char* screen, bool running);
    void GameWon();

    bool popUpOpen = false;
};
