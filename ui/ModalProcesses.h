#pragma once

#include "engine/XProcess.h"
#include "media/AnimPlayer.h"

#include <cstdint>
#include <memory>
#include <string>

class Level;
class ObjectsManager;
class UserInterface;

// The time of the dialogue page on screen, and whether it has fully appeared.
extern float DialogueClock;
extern bool DialoguePageShown;

// Draws the cursor pictures at the mouse, depth 900, full opacity: the cursor, the held item
// (while one is held) and the tool's picture (while shown; 20 right and 20 below, scale 0.8).
void DrawCursorAnim();
void DrawHeldItemAnim();
void DrawToolCursorAnim();

// How a modal screen runs over the process it covers.
struct ModalOptions {
    // The covered process draws its frame first, under the screen.
    bool drawBeneath = true;
    // The screen is shown for exactly one frame and ends (result 0): a notice before a long
    // operation.
    bool drawOnce = false;
    // The covered process keeps taking its steps (question screens and tutorials only).
    bool updateBeneath = false;
};

// What every modal screen shares: the process it covers, the drawing flags, and the scene it
// runs, watched so that a process whose scene has been deleted or replaced by another (a second
// dialogue or mini-game opened over the first) ends at its next update with result 0 instead of
// waiting for ever on a word no screen will write.
class ModalProcessBase : public XProcess {
public:
    void DeviceRestored() override;

    XProcess* beneath; // the covered process as it was at construction
    bool drawBeneath;
    bool drawOnce;

protected:
    explicit ModalProcessBase(const ModalOptions& options);
    // Remembers the layer in the global as the one this process runs.
    void Watch(UserInterface* const& global);
    // The watched layer while the global still holds it; null once it is gone or replaced.
    UserInterface* Layer() const;
    // Ends the process with result 0 when the watched layer is gone; true when it did.
    bool EndWhenLayerGone();
    // Copies the layer's non-zero result word into the process and clears it.
    void TakeResult(UserInterface& layer);
    // The post-render pass of the process beneath (when drawBeneath), then drawOnce's end.
    void PostRenderBeneath();

private:
    UserInterface* const* watchedGlobal = nullptr;
    UserInterface* watched = nullptr;
    uint64_t watchedSerial = 0;
};

// A question, options, message or notice screen on mui.
class ModalProc : public ModalProcessBase {
public:
    static std::unique_ptr<ModalProc> Create(const std::string& screenFile, const std::string& text,
                                             const ModalOptions& options);
    ModalProc(const std::string& screenFile, const std::string& text, const ModalOptions& options);

    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;

    bool updateBeneath;
};

// The tutorial pop-up on TutorialUI; Escape ends it with 1.
class TutorialModalProc : public ModalProcessBase {
public:
    static std::unique_ptr<TutorialModalProc>
    Create(const std::string& screenFile, const std::string& text, const ModalOptions& options);
    TutorialModalProc(const std::string& screenFile, const std::string& text,
                      const ModalOptions& options);

    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;

    bool updateBeneath;
};

// The video screen on VideoUI; draws the cursor even under another process.
class VideoModalProc : public ModalProcessBase {
public:
    static std::unique_ptr<VideoModalProc>
    Create(const std::string& screenFile, const std::string& text, const ModalOptions& options);
    VideoModalProc(const std::string& screenFile, const std::string& text,
                   const ModalOptions& options);

    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;
};

// A mini-game: a scene loaded into ModalLevel. Ends with the level's word (not cleared: the
// opener deletes the level after the run).
class GameModalProc : public ModalProcessBase {
public:
    static std::unique_ptr<GameModalProc> Create(const std::string& sceneFile,
                                                 const ModalOptions& options);
    GameModalProc(const std::string& sceneFile, const ModalOptions& options);

    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;

private:
    // ModalLevel while it is still the level this process loaded.
    Level* OwnLevel() const;
    Level* level = nullptr;
};

// The map game and the closing of the in-game options, on MapGameUI.
class ModalProc2 : public ModalProcessBase {
public:
    static std::unique_ptr<ModalProc2> Create(const std::string& screenFile,
                                              const std::string& text, const ModalOptions& options);
    ModalProc2(const std::string& screenFile, const std::string& text, const ModalOptions& options);

    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;
};

// A dialogue on a fresh DialogueUI, with the dialogue window art.
class DialogUiProc : public ModalProcessBase {
public:
    static std::unique_ptr<DialogUiProc>
    Create(const std::string& screenFile, const std::string& text, const ModalOptions& options);
    DialogUiProc(const std::string& screenFile, const std::string& text,
                 const ModalOptions& options);

    void Begin() override;
    // Deletes DialogueUI, when it is still this dialogue's layer.
    void End() override;
    void Update(float dt) override;
    void AfterUpdate() override;
    void Render() override;
    void PreRender() override;
    void PostRender() override;

    // The HUD's parts leave while a character speaks: from full to none in a quarter second.
    static constexpr float kHudFadeRate = 4.0f;

    AnimPlayer windowArt;
    // The HUD's parts have faded out; they are not faded again in this dialogue.
    bool hudFaded = false;

private:
    // During the first tutorial of the game the whole location runs on under the dialogue.
    static bool RunsWholeGameBeneath();
    void FadeHud(const UserInterface& layer, float dt);
};
