#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"
#include "media/AnimPlayer.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// A tutorial's script state in a scene: the text file it names, its place in the sequence, the
// events that open and close it, and the points its arrows show. The level system keeps the
// tutorials of its level and hides them; the state is written back with the scene.
class Tutorial : public Object, public OCreator<Tutorial> {
public:
    static constexpr std::string_view kClassName = "Tutorial";
    static constexpr float kArrowDepth = 50.0f;

    struct Arrow {
        float x = 0.0f;
        float y = 0.0f;
    };

    explicit Tutorial(ObjectsManager* owner);

    // "file", "number", "next", "event", "stop", "oevent", "arrow", "trueTutorial"; then the
    // arrow animation starts.
    void SetProperty(const ParconCursor& cursor) override;
    // The script state as definition lists, one a line; texts that a reader would split (empty,
    // with blanks, brackets or quotes) are quoted.
    bool WriteDefinition(std::ostream& out) const override;
    bool Update(float dt) override;
    void Draw() override;

    // Arrows off, and OverlayUI's result word 1.
    void Hide();

    bool shown = false;
    bool stop = false;
    bool trueTutorial = true;
    uint32_t eventCode = 0;
    std::vector<uint32_t> oeventCodes;
    std::vector<std::string> oeventNames;
    std::vector<Arrow> arrows;
    std::string event;
    std::string file;
    AnimPlayer arrowPlayer;
    int32_t number = 0;
    int32_t next = 0;
};
