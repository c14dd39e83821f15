#pragma once

#include "engine/ClassFactory.h"
#include "media/AnimPlayer.h"
#include "ui/UIObject.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CollisionChunk;
class MessageReceiver;

// A clickable region: a left click inside its 'COLI' rectangle (or Enter, for the default button)
// posts its click event to the layer, with a click sound; entering and leaving post the over and
// lost-over events; it draws a tool-tip and, on the HUD, the task tip.
class UIButton : public UIObject, public OCreator<UIButton> {
public:
    static constexpr std::string_view kClassName = "UIButton";
    // The layer's receiver field of every button.
    MessageReceiver* receiver = nullptr;

    explicit UIButton(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    // A button needs its click rectangle.
    void RequireChunks() override;
    // The task tip.
    void PostDraw() override;
    // The tool-tip, over everything.
    void TopDraw() override;

    // The sprite hidden and the button disabled for the screen's life (the backpack on the
    // quicksand location), so that no later update brings back its click.
    void HideAndDisable();

    // The task-tip colour at the current hover level, packed ARGB.
    uint32_t TaskTipColour() const;
    // Where the tool-tip of a w x h first line goes for the mouse at (mouseX, mouseY): 20 right,
    // 30 below, kept on the 1024 x 768 screen.
    static void PlaceToolTip(float mouseX, float mouseY, float w, float h, float& x, float& y);

    float clock = 0.0f;
    uint32_t clickEvent = 0;
    uint32_t overEvent = 0;
    uint32_t lostOverEvent = 0;
    uint32_t rightClickEvent = 0;
    bool hoveredForToolTip = false;
    bool hoveredForTaskTip = false;
    bool taskTip = false;
    std::array<float, 4> taskTipColour{0.8f, 1.0f, 0.0f, 0.0f};
    float hoverLevel = 0.0f;
    uint32_t enabledId = 0;
    bool enabled = true;
    bool previousEnabled = true;
    bool defaultButton = false;
    std::string hoverSound = "ui_hover";
    std::string clickSound = "ui_click";
    FadeTimes fades;
    bool pointerOver = false;
    bool spriteSwitching = true;
    std::array<std::string, 4> toolTips;
    bool specialToolTip = false;
    bool hiddenForLocation = false;

protected:
    // The mouse lies in the click rectangle; false without one.
    bool MouseInside() const;
    // The click event with its sound, as for a click.
    void Fire();

private:
    AnimPlayer toolTipPanel;
};

// A button drawn by its sprite: the idle and high animations follow the mouse, game-state flags
// show or hide it, and it fades in and out.
class UIBitmapButton : public UIButton, public OCreator<UIBitmapButton> {
public:
    static constexpr std::string_view kClassName = "UIBitmapButton";

    explicit UIBitmapButton(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    FadeTimes ownFades;
    float ownClock = 0.0f;
    std::string highSprite = "high";
    std::string idleSprite = "idle";
    bool hoverSoundPlayed = false;
    uint32_t textSource = 0;

private:
    // The current player's flag of the game level's scope; false without either.
    static bool LevelFlag(const std::string& name);
};

// A button drawn as a text that changes colour and font under the mouse.
class UITextButton : public UIButton, public OCreator<UITextButton> {
public:
    static constexpr std::string_view kClassName = "UITextButton";

    explicit UITextButton(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    // The click rectangle becomes the text's rectangle, by its alignment.
    void RegionFromText();

    uint32_t textSource = 0;
    uint32_t normalColour = 0xFFFFFFFFu;
    uint32_t highlightColour = 0xFFFFFFFFu;
    bool highlightGiven = false;
    bool updateRegion = true;
    bool hoverSoundPlayed = false;

private:
    bool firstUpdate = true;
};

// A button that clicks in silence.
class UISkipButton : public UIButton, public OCreator<UISkipButton> {
public:
    static constexpr std::string_view kClassName = "UISkipButton";

    explicit UISkipButton(ObjectsManager* owner);
};
