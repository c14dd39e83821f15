// demogen: paints, rasterises and synthesises the binary files of the demo game data: pictures
// (PNG, and JPEG with alpha companions), the four bitmap fonts with their pages, sound effects,
// music and the cut-scene video.
//   demogen OUT FONTFOLDER
// OUT receives the files under their game paths ("gfx/...", "snd/..."); FONTFOLDER holds the
// DejaVu TrueType fonts. The output is the same on every run.

#include "tools/demogen/CaveArt.h"
#include "tools/demogen/DialogArt.h"
#include "tools/demogen/FontPages.h"
#include "tools/demogen/HermitageArt.h"
#include "tools/demogen/HudArt.h"
#include "tools/demogen/Pictures.h"
#include "tools/demogen/PuzzleArt.h"
#include "tools/demogen/QuestArt.h"
#include "tools/demogen/SceneArt.h"
#include "tools/demogen/StonesArt.h"
#include "tools/demogen/Sounds.h"
#include "tools/demogen/VideoArt.h"
#include "tools/demogen/WorkshopArt.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

// The glyph pages are small so that the larger fonts spread over several of them.
constexpr int kPageSize = 256;

void WriteFonts(const std::string& out, const std::string& fonts) {
    const std::string sans = fonts + "/DejaVuSans.ttf";
    const std::string serifBold = fonts + "/DejaVuSerif-Bold.ttf";

    FontStyle main;
    main.fontFile = sans;
    main.pixelSize = 19;
    main.halo = Rgb(0x000000, 0.6f);
    main.haloRadius = 1.5f;
    WriteBitmapFont(out + "/gfx/fonts/main", main, kPageSize);

    FontStyle menu;
    menu.fontFile = serifBold;
    menu.pixelSize = 30;
    menu.colour = Rgb(0xF3E7C9);
    menu.halo = Rgb(0x000000, 0.7f);
    menu.haloRadius = 2.0f;
    menu.spacing = 1;
    WriteBitmapFont(out + "/gfx/fonts/menu", menu, kPageSize);

    FontStyle menuHigh = menu;
    menuHigh.colour = Rgb(0xFFE08A);
    menuHigh.halo = Rgb(0xFFB030, 0.55f);
    menuHigh.haloRadius = 3.0f;
    WriteBitmapFont(out + "/gfx/fonts/menu_hi", menuHigh, kPageSize);

    FontStyle tooltip;
    tooltip.fontFile = sans;
    tooltip.pixelSize = 15;
    tooltip.halo = Rgb(0x000000, 0.8f);
    tooltip.haloRadius = 1.5f;
    WriteBitmapFont(out + "/gfx/fonts/tooltip", tooltip, kPageSize);
}

TitleFonts Titles(const std::string& fonts) {
    TitleFonts titles;
    titles.title.fontFile = fonts + "/DejaVuSerif-Bold.ttf";
    titles.title.pixelSize = 96;
    titles.title.colour = Rgb(0xF6E2A6);
    titles.title.halo = Rgb(0x2A1A00, 0.8f);
    titles.title.haloRadius = 5.0f;
    titles.title.spacing = 8;
    titles.subtitle.fontFile = fonts + "/DejaVuSerif.ttf";
    titles.subtitle.pixelSize = 28;
    titles.subtitle.colour = Rgb(0xC9D6F0);
    titles.subtitle.spacing = 2;
    return titles;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: demogen OUT FONTFOLDER\n", stderr);
        return 2;
    }
    const std::string out = argv[1];
    const std::string fonts = argv[2];
    try {
        WriteFonts(out, fonts);
        const TitleFonts titles = Titles(fonts);
        WriteMenuPictures(out, titles);
        WriteInterfacePictures(out, titles);
        WriteLocationPictures(out);
        WriteObjectPictures(out);
        WriteSceneArt(out);
        WriteBarrowGamesPictures(out);
        WriteSounds(out);
        WritePuzzleArt(out);
        WriteHudArt(out);
        WriteVideoArt(out);
        WriteDialogArt(out);
        WriteHermitageArt(out);
        WriteQuestArt(out);
        WriteCrystalCaveArt(out);
        WriteWorkshopArt(out);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demogen: %s\n", error.what());
        return 1;
    }
    return 0;
}
