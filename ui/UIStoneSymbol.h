#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"
#include "media/AnimPlayer.h"
#include "ui/UIButton.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class UIStoneSymbolMngr;

// One elemental symbol of a glyph-stone screen. A click picks it: its name becomes the game
// level's selectedSymbol, which the stones read; while picked, its sigil follows the cursor.
class UIStoneSymbol : public UIBitmapButton, public OCreator<UIStoneSymbol> {
public:
    static constexpr std::string_view kClassName = "UIStoneSymbol";
    static constexpr const char* kSigilFile = "gfx\\interface\\lightstone\\ls_sigils.ani";
    static constexpr float kSigilDepth = 602.0f;
    static constexpr float kSigilDrop = 30.0f; // below the mouse

    explicit UIStoneSymbol(ObjectsManager* owner);

    // A left press inside it picks the symbol, unless it is the picked one already; it posts no
    // click event. Ignored while no game level holds the selection.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The bitmap button's keys, then "symbolName".
    void SetProperty(const ParconCursor& cursor) override;
    // A manager that leaves the screen is forgotten.
    void OnObjectGoing(Object* going) override;
    // While picked: the sigil under the mouse.
    void PostDraw() override;

    // The button's sprite plays "<symbol>_idle" or "<symbol>_active", looping.
    void ShowIdle();
    void ShowActive();

    bool selected = false;
    std::string symbolName;
    UIStoneSymbolMngr* manager = nullptr;
    AnimPlayer sigil;
};

// Collects the symbols of its screen so that only one is picked at a time. Invisible.
class UIStoneSymbolMngr : public Object, public OCreator<UIStoneSymbolMngr> {
public:
    static constexpr std::string_view kClassName = "UIStoneSymbolMngr";

    explicit UIStoneSymbolMngr(ObjectsManager* owner);
    ~UIStoneSymbolMngr() override;

    // No keys. Takes every "UIStoneSymbol" of the screen read so far (once), each shown idle.
    void SetProperty(const ParconCursor& cursor) override;
    // A symbol that leaves the screen leaves the list.
    void OnObjectGoing(Object* going) override;
    // Every symbol idle and not picked.
    void DeselectAll();

    std::vector<UIStoneSymbol*> symbols;

private:
    bool collected = false;
};
