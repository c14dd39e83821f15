#include "world/GlyphstoneTutorial.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MessageReceiver.h"
#include "engine/MouseState.h"
#include "media/BitmapFont.h"
#include "media/StringTable.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr float kCentreX = 512.0f;

std::string AskHud(uint32_t id) {
    MessageReceiver* hud = World().MainUiReceiver();
    return hud != nullptr ? hud->GetData(id) : std::string();
}

void DrawCentred(const std::string& text, float y, uint32_t colour) {
    if (MainFont == nullptr || text.empty()) {
        return;
    }
    const TextRectangle rect = MainFont->TextRect(text, 0.0f, 0.0f, 1.0f);
    const float width = rect.right - rect.left;
    MainFont->DrawText(text, kCentreX - width / 2.0f, y, glyphstoneTutorial::kDepth, colour);
}

} // namespace

glyphstoneTutorial::glyphstoneTutorial(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<glyphstoneTutorial>*>(this), 0, 0);
    arrowPlayer.Load("gfx\\puzzles\\slyder1_arrows.ani");
    arrowPlayer.Play("exit_down", true, false, true, 0.0f);
}

void glyphstoneTutorial::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed || closing ||
        timer <= kClickableAfter) {
        return;
    }
    closing = true;
    World().SkipDialoguePage();
}

bool glyphstoneTutorial::Update(float dt) {
    BaseGameObject::Update(dt);
    if (!enabled) {
        return true;
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    if (!closing && appear < 1.0f) {
        appear = std::min(1.0f, appear + dt);
    }
    if (appear >= 1.0f && !closing) {
        savedMouseX = Mouse.x;
        savedMouseY = Mouse.y;
    }
    timer += dt;
    if (closing) {
        // The game's own pointer stays where the click was while the hint goes; the system
        // pointer is the player's.
        if (savedMouseX >= 0.0f && savedMouseY >= 0.0f) {
            Mouse.x = savedMouseX;
            Mouse.y = savedMouseY;
        }
        appear -= 2.0f * dt;
        if (appear <= 0.0f) {
            appear = 0.0f;
            World().SetDialogueResult(1);
            Kill();
            return false;
        }
    }
    arrowY = kArrowBaseY + 4.0f * std::sin(10.0f * timer);
    return true;
}

void glyphstoneTutorial::Draw() {
    if (!enabled) {
        return;
    }
    const auto alphaByte = static_cast<uint32_t>(std::clamp(appear, 0.0f, 1.0f) * 255.0f + 0.5f);
    const uint32_t colour = (alphaByte << 24) | kTextColour;
    DrawCentred(AskHud(FourCC("TASK")), 570.0f, colour);
    const int pieces = CurrentPlayer != nullptr ? CurrentPlayer->GetMapPieces() : 0;
    const std::string count = std::string(StringTable::Translate("str.mapfragments")) + " " +
                              std::to_string(pieces) + " " +
                              std::string(StringTable::Translate("str.of")) + " 10";
    DrawCentred(count, 600.0f, colour);
    DrawCentred(AskHud(FourCC("TAS2")), 540.0f, colour);
    DrawCentred(AskHud(FourCC("TAS3")), 510.0f, colour);
    arrowPlayer.Draw(arrowX, arrowY, kDepth, 0.0f, appear, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
}
