#include "ui/UISoundWidgets.h"

#include "engine/Parcon.h"
#include "media/SoundManager.h"

#include <cstdlib>
#include <numeric>
#include <utility>

// ---------------------------------------------------------------------------------------------
// UISound

UISound::UISound(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UISound>*>(this), 0, 0);
}

UISound::~UISound() {
    sounds.StopAll();
}

void UISound::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "file") {
            sounds.AddSound(values.NextString(true, ""), 1, false);
        } else if (key == "startTime") {
            startTime = values.NextFloat(true, 0.0f);
        } else {
            return false;
        }
        return true;
    });
    clock = 0.0f;
}

bool UISound::Update(float dt) {
    if (clock <= startTime) {
        clock += dt;
        if (clock > startTime) {
            sounds.PlayRandom(false, false);
        }
    }
    return Object::Update(dt);
}

// ---------------------------------------------------------------------------------------------
// UIMusic

UIMusic::UIMusic(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIMusic>*>(this), 0, 0);
}

UIMusic::~UIMusic() {
    Sounds.StopMusic();
}

void UIMusic::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "file") {
            files.push_back(values.NextString(true, ""));
            return true;
        }
        return false;
    });
    order.resize(files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // The runtime's rand() drives the shuffle, as everywhere else in the game.
    for (std::size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[static_cast<std::size_t>(std::rand()) % i]);
    }
    Sounds.StopMusic();
}

bool UIMusic::Update(float dt) {
    if (pollTimer > 0.0f) {
        pollTimer -= dt;
        return Object::Update(dt);
    }
    if (!Sounds.IsMusicPlaying() && !order.empty()) {
        track = (track + 1) % order.size();
        const std::string& file = files[order[track]];
        // The sound layer keeps a track that has played out as its current music and would not
        // start it again: a list of one file has to let it go first.
        if (file == Sounds.MusicName()) {
            Sounds.StopMusic();
        }
        Sounds.PlayMusic(file, false);
    }
    pollTimer = kPollTime;
    return Object::Update(dt);
}
