#pragma once

#include "engine/ClassFactory.h"
#include "engine/ObjectLink.h"
#include "ui/HudParts.h"
#include "ui/UIButton.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ParticleEmitter;
class UIPermanentSlotMngr;

// The four permanent tools, by their index in the player's permanent counts.
namespace Tools {

constexpr int kWand = 0;
constexpr int kMultitool = 1;
constexpr int kLens = 2;
constexpr int kOrb = 3;
constexpr int kCount = 4;

struct Tool {
    const char* name;   // the slot's "slotName"
    float flyToX;       // where its art lands on the HUD
    float flyToY;
    bool countDrawn;    // its charges are shown
    float countX;
    float countY;
};

constexpr std::array<Tool, kCount> kTools = {{
    {"wand", 742.0f, 697.0f, false, 0.0f, 0.0f},
    {"multitool", 822.0f, 700.0f, false, 0.0f, 0.0f},
    {"chromatic_lens", 892.0f, 692.0f, true, 890.0f, 694.0f},
    {"scrying_orb", 966.0f, 699.0f, true, 966.0f, 694.0f},
}};

constexpr const char* kCursorFile = "gfx\\interface\\gui_buttons.ani";

} // namespace Tools

// One tool slot of the HUD: hidden until its tool is owned, shown a moment after the tool was
// gained; a click selects or uses the tool through the slots' manager.
class UIPermanentSlot : public UIBitmapButton, public OCreator<UIPermanentSlot> {
public:
    static constexpr std::string_view kClassName = "UIPermanentSlot";
    static constexpr float kRevealDelay = 1.6f;

    explicit UIPermanentSlot(ObjectsManager* owner);

    // The click: see the .cpp for the refusals. It posts no click event.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // The button's keys, then "slotName".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    // The slot's sprite plays the tool's animation with that ending ("_idle", "_active").
    void PlayToolAnim(const char* ending);
    void SetActive(bool on);
    // Shown once the delay has run out.
    void Reveal(float delay);
    UIPermanentSlotMngr* Manager() const;
    void SetManager(UIPermanentSlotMngr* slots);

    bool active = false;
    bool revealPending = false;
    float revealDelay = 0.0f;
    std::string toolName;

private:
    ObjectLink manager;
};

// The tool slots' manager: collects the slots of its screen in order, keeps the selected tool
// and the lens glow, and draws the lens and orb charges.
class UIPermanentSlotMngr : public Object, public OCreator<UIPermanentSlotMngr>, public ToolSlotsPart {
public:
    static constexpr std::string_view kClassName = "UIPermanentSlotMngr";
    static constexpr float kLensTime = 20.0f;
    static constexpr float kCountDepth = 700.0f;

    explicit UIPermanentSlotMngr(ObjectsManager* owner);
    // The selection and the wand flag go with the manager.
    ~UIPermanentSlotMngr() override;

    // Collects the slots before it; reads no keys.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    // The charges and the lens glow.
    void PostDraw() override;

    void LaunchTool(int tool) override;
    void ResetToolSlots() override;
    std::string HeldTool() const override { return selectedTool; }

    // A slot's click: a new tool selected, or the selected one let go.
    void SelectTool(UIPermanentSlot* slot);
    // Finds a target for the lens and lights it; true when one was found.
    bool UseLens();
    // A lens click: a charge spent on the first hidden target, or the hint that none is left.
    void LensUse();
    // The orb solves the running mini-game.
    void OrbUse();

    // The slot of the tool index while it is in the screen; null otherwise.
    UIPermanentSlot* Slot(int tool) const;
    int SlotCount() const { return static_cast<int>(slots.size()); }
    // The object the lens shows while it is in a live level; null otherwise.
    Object* LensTarget() const;
    const ParticleEmitter* LensParticles() const { return lensParticles.get(); }
    bool LensParticlesShown() const { return lensShown; }

    std::string selectedTool;
    float lensTime = 0.0f;

private:
    void EndLens();

    std::vector<ObjectLink> slots;
    ObjectLink lensTarget;
    std::unique_ptr<ParticleEmitter> lensParticles;
    bool lensShown = false;
};
