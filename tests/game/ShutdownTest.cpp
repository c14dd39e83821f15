#include "game/Shutdown.h"

#include "engine/Application.h"
#include "game/ApplicationInit.h"
#include "media/AnimPlayer.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/TextureManager.h"
#include "tests/game/GameFixture.h"
#include "tests/media/MediaTestSupport.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

#include <gtest/gtest.h>

namespace {

class ShutdownTest : public GameTest {};

// What start-up and a game leave behind: every layer, both levels, the five fonts and an
// animation whose frames hold a texture. Shutdown lets all of it go before the textures and the
// device, so nothing is left holding a texture that is gone (the sanitizers see to that), and a
// second Shutdown finds nothing more to do.
TEST_F(ShutdownTest, EverythingGoesAndASecondShutdownDoesNothing) {
    for (const char* font : {"main", "menu", "menu_hi", "tooltip"}) {
        WriteFontPage(*game, std::string("data/gfx/fonts/") + font, TestFontPage());
    }
    WriteData("gfx/interface/cursor.png", PngFile(SolidImage(64, 32, 0xFFFFFFFFu)));
    WriteData("gfx/interface/cursor.ani", "(framedAnim idle gfx\\interface\\cursor.png 32 32\n"
                                          "  (fps 6) (frames 0 1) (shift 0 0))\n");
    WriteData("scripts/objects.txt", "");
    WriteData("scripts/ui_objects.txt", "");
    ASSERT_TRUE(InitApplication());

    for (UserInterface** layer : {&MainUI, &mui, &OverlayUI, &LevelOverlayUI, &MapGameUI,
                                  &DialogueUI, &TutorialUI, &VideoUI}) {
        EnsureLayer(*layer);
    }
    GameLevel = new Level();
    GameLevel->Load();
    ModalLevel = new Level();
    ModalLevel->Load();
    MainFont = std::make_unique<BitmapFont>();
    MainFont->Load("gfx/fonts/main");
    MenuFont = std::make_unique<BitmapFont>();
    MenuFont->Load("gfx/fonts/menu");
    MenuHiFont = std::make_unique<BitmapFont>();
    MenuHiFont->Load("gfx/fonts/menu_hi");
    TooltipFont = std::make_unique<BitmapFont>();
    TooltipFont->Load("gfx/fonts/tooltip");
    CutsceneFont = std::make_unique<BitmapFont>();
    CutsceneFont->Load("gfx/fonts/main");
    CursorAnim.Load("gfx/interface/cursor.ani");
    CursorAnim.Play("idle", true, false, true, 0.0f);
    ASSERT_GT(script.texturesAlive, 0);

    Shutdown();
    for (UserInterface* layer :
         {MainUI, mui, OverlayUI, LevelOverlayUI, MapGameUI, DialogueUI, TutorialUI, VideoUI}) {
        EXPECT_EQ(layer, nullptr);
    }
    EXPECT_EQ(GameLevel, nullptr);
    EXPECT_EQ(ModalLevel, nullptr);
    for (const auto* font : {&MainFont, &MenuFont, &MenuHiFont, &TooltipFont, &CutsceneFont}) {
        EXPECT_EQ(*font, nullptr);
    }
    EXPECT_FALSE(AnimationCache::HasDefinition("gfx/interface/cursor.ani"));
    EXPECT_TRUE(TextureManager::Entries().empty());
    EXPECT_EQ(script.texturesAlive, 0);
    EXPECT_EQ(script.devicesAlive, 0);

    Shutdown();
    EXPECT_EQ(script.devicesAlive, 0);
}

} // namespace
