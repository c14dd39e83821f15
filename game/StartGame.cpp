#include "game/StartGame.h"

#include "engine/Application.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/SoundManager.h"
#include "ui/MenuProc.h"

#include <memory>
#include <string>

namespace {

std::unique_ptr<BitmapFont> LoadFont(const std::string& name) {
    auto font = std::make_unique<BitmapFont>();
    font->Load(name);
    return font;
}

} // namespace

void LoadFonts() {
    // The menu's own fonts are read now, as its first frame draws with them; the others when
    // first used.
    MainFont = LoadFont("gfx/fonts/main");
    MenuFont = LoadFont("gfx/fonts/menu");
    MenuHiFont.LoadWhenUsed("gfx/fonts/menu_hi");
    TooltipFont.LoadWhenUsed("gfx/fonts/tooltip");
    // The cut-scenes' font is the main font's file in an object of its own.
    CutsceneFont.LoadWhenUsed("gfx/fonts/main");
}

int32_t StartGame() {
    Sounds.LoadDefinitions("sounds.txt");
    LoadFonts();
    CursorAnim.Load("gfx/interface/cursor.ani");
    return RunProcess(MenuProc::Create(), App.maxFps);
}
