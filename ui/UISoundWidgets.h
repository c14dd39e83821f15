#pragma once

#include "engine/ClassFactory.h"
#include "media/SoundSet.h"
#include "ui/UIObject.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A sound played once, "startTime" seconds after the screen appears.
class UISound : public UIObject, public OCreator<UISound> {
public:
    static constexpr std::string_view kClassName = "UISound";

    explicit UISound(ObjectsManager* owner);
    ~UISound() override;

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    SoundSet sounds;
    float startTime = 0.0f;
    float clock = 0.0f;
};

// Background music: its files in a shuffled order, over and over, each started at most 0.3 s
// after the last one ended.
class UIMusic : public UIObject, public OCreator<UIMusic> {
public:
    static constexpr std::string_view kClassName = "UIMusic";
    static constexpr float kPollTime = 0.3f;

    explicit UIMusic(ObjectsManager* owner);
    ~UIMusic() override;

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    std::size_t track = 0;
    float pollTimer = kPollTime;
    std::vector<std::string> files;
    std::vector<std::size_t> order;
};
