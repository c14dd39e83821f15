#pragma once

#include "media/SoundSet.h"
#include "media/TextureManager.h"
#include "ui/UILabel.h"

#include <string>
#include <string_view>
#include <vector>

// A tutorial text in a frame placed in a location: it fades in with its voice, waits for a click,
// fades out and goes. One whose disable flags are already set in the level dies at load.
class GameTutorial : public UILabel, public OCreator<GameTutorial> {
public:
    static constexpr std::string_view kClassName = "GameTutorial";
    // The frame opens in a tenth of a second.
    static constexpr float kOpenRate = 10.0f;
    static constexpr float kLeftMargin = 100.0f;
    static constexpr float kRightMargin = 48.0f;

    explicit GameTutorial(ObjectsManager* owner);
    ~GameTutorial() override;

    // The label's keys, then "soundFile" and "disableFlag" (one or more flags of the game level);
    // then the flags are read.
    void SetProperty(const ParconCursor& cursor) override;
    // A click while it waits starts the fade-out.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;
    void Draw() override;

    TextureHandle frame;
    SoundSet voice;
    bool holding = false;
    bool holdDone = false;
    float appear = 0.0f;
    bool voicePlayed = false;
};
