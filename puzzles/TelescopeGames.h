#pragma once

#include "engine/ObjectLink.h"
#include "world/GameAnim.h"
#include "world/GestureReceiver.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The telescope's and the lens's games: lens gesture elements of a location, rewarded once when
// their gesture is drawn; the telescope gesture game, won by one gesture element of its scene; the
// telescope search, won when every map piece of its scene has been picked; and the colour-filter
// view, whose three glasses tint a filter until the hidden glyph of their colours shows, won by
// clicking the glyph.

// A lens gesture element of a location: drawing its gesture rewards the player once ("lens_gesture",
// sparks, its "_killed" flag, one energy); a click opens its "clickMessage" unless a tool is chosen.
class TelescopeGestureGameElement : public GameAnim,
                                    public GestureReceiver,
                                    public OCreator<TelescopeGestureGameElement> {
public:
    static constexpr std::string_view kClassName = "TelescopeGestureGameElement";

    explicit TelescopeGestureGameElement(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The animated object's keys, then "gestureName" and "clickMessage".
    void SetProperty(const ParconCursor& cursor) override;
    // The animated object's step; the reward, once. Always true.
    bool Update(float dt) override;
    void OnGesture(const std::string& gesture) override;

    std::string gestureName;
    bool recognised = false;
    bool rewarded = false;
};

// Won, once, when the gesture element named by "objectName" is recognised: the literal flag of a
// won gesture game, the scene's own completion flag and one energy. It sets no leave request (the
// scene's gesture game closes it).
class TelescopeGestureGameMngr : public Object, public OCreator<TelescopeGestureGameMngr> {
public:
    static constexpr std::string_view kClassName = "TelescopeGestureGameMngr";

    explicit TelescopeGestureGameMngr(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    ObjectLink target;
    std::string objectName;
    bool done = false;
};

// Won when every map piece of its scene has been picked up; 1 s later it leads back.
class TelescopeGameMngr : public Object, public OCreator<TelescopeGameMngr> {
public:
    static constexpr std::string_view kClassName = "TelescopeGameMngr";

    explicit TelescopeGameMngr(ObjectsManager* owner);

    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Takes the scene's map pieces listed before it; reads no keys.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    // Pieces still in the scene; a picked piece has left it and is never read again.
    std::size_t PiecesLeft() const;

    float winDelay = 1.0f;
    bool finished = false;
    std::vector<ObjectLink> pieces;

private:
    bool concluded = false;
};

class TelescopeViewGameMngr : public Object, public OCreator<TelescopeViewGameMngr> {
public:
    static constexpr std::string_view kClassName = "TelescopeViewGameMngr";

    // What the filter shows for a combination of the three glasses.
    struct FilterRow {
        bool cyan, yellow, magenta;
        uint32_t tint; // ARGB; 0 keeps the tint
        float alpha;
        const char* glyph; // the glyph's name shown; null for none
    };
    static const std::array<FilterRow, 8> kFilterTable;

    explicit TelescopeViewGameMngr(ObjectsManager* owner);

    // The leave rule, then a glass toggled ("lens_switching") or the shown glyph clicked
    // ("solve_lens": the game is won).
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Finds the glasses, the filter and the glyph (code "HIDD", hidden) in the scene.
    void SetProperty(const ParconCursor& cursor) override;
    // The filter of the glasses on; once finished, the completion flag (unless left) and the leave
    // request at once.
    bool Update(float dt) override;

    void EvaluateFilter();
    static const FilterRow& RowOf(bool cyan, bool yellow, bool magenta);

    bool finished = false;
    bool yellowOn = false;
    bool magentaOn = false;
    bool cyanOn = false;
    ObjectLink yellowButton;
    ObjectLink magentaButton;
    ObjectLink cyanButton;
    ObjectLink filter;
    ObjectLink glyph;
    bool locatingPlayed = false;
};
