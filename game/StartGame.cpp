#include "game/StartGame.h"

#include "engine/Application.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/SoundManager.h"
#include "ui/MenuProc.h"

void LoadFonts() {
    // Each font is read when first drawn with: the first frame, the splash, shows no text.
    MainFont.LoadWhenUsed("gfx/fonts/main");
    MenuFont.LoadWhenUsed("gfx/fonts/menu");
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
