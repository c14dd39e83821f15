#include "game/Shutdown.h"

#include "engine/profile.h"
#include "mainloop/MainLoop.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

namespace {

void DeleteLevel(Level*& global, bool clearFirst) {
    Level* level = global;
    global = nullptr;
    if (level != nullptr) {
        if (clearFirst) {
            level->Clear();
        }
        ObjectsManager::Delete(level);
    }
}

} // namespace

void Shutdown() {
    DeleteLayer(MainUI);
    DeleteLayer(MapGameUI);
    DeleteLevel(ModalLevel, true);
    DeleteLevel(GameLevel, false);
    for (UserInterface** layer :
         {&OverlayUI, &LevelOverlayUI, &mui, &DialogueUI, &TutorialUI, &VideoUI}) {
        DeleteLayer(*layer);
    }

    // The fonts hold textures and the animation cache holds frames and samples: both go before
    // the textures and the sound layer they use.
    for (FontSlot* font :
         {&MainFont, &MenuFont, &TooltipFont, &CutsceneFont, &MenuHiFont}) {
        font->reset();
    }
    Sounds.FreeSets();
    AnimationCache::Clear();
    PausePicture.Release();
    TextureManager::ReleaseAll();
    PausePicture = TextureHandle();
    Renderer::Shutdown();
    Sounds.Shutdown();

    ProfilePrint();
}
