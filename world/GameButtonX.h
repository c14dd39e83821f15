#pragma once

#include "world/BaseGameObject.h"

#include <memory>
#include <string>
#include <string_view>

class FxField;

// The clickable scene object of locations, mini-game screens and some menu screens. A left click
// inside its collision rectangle runs the click rule (OnMessage): it may be refused with a sound
// and a dialogue, needs the right item on the cursor or enough energy, posts its event to its
// receiver, opens its dialogue and can fade the button away for good. Subclasses that replace
// OnMessage keep the keys, the "overFx" sparkle, the receiver and the destructor.
class GameButtonX : public BaseGameObject, public OCreator<GameButtonX> {
public:
    static constexpr std::string_view kClassName = "GameButtonX";
    static constexpr const char* kLowEnergyFirstDialog =
        "menus\\tutorials\\z1-wood-glyphstone\\msg7.txt";
    static constexpr const char* kLowEnergyDialog = "menus\\tutorials\\notEnoughEnergy.txt";

    explicit GameButtonX(ObjectsManager* owner);
    ~GameButtonX() override;

    // The click rule; see GameButtonX.cpp.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The object's keys, then the button's.
    void SetProperty(const ParconCursor& cursor) override;
    // The object's step; the sparkle runs while the button is enabled. Always true.
    bool Update(float dt) override;
    // While enabled: the object's drawing, then the sparkle.
    void Draw() override;

    FxField* OverFx() const { return overFx.get(); }

    std::string mapIndicator; // the level the world map's arrow marks over this button
    bool killOnClick = false;
    bool enableItemClick = false;
    bool blockMagicItemClick = false;

protected:
    // Stops the highlight particles and the sparkle, posts the event to the receiver through the
    // scene's message system and plays the click sound.
    void PostClickEvent(uint32_t event);
    // The button goes for good: faded out (its "_killed" flag set at once) when it fades on
    // disable and has a sprite, else killed; then its disable sound and effects.
    void KillByClick();

private:
    std::unique_ptr<FxField> overFx;
};
