#include "tools/demogen/HermitageArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The hermit's room by night: plank walls, a round window on the stars, a floor of boards.
void WriteRoom(const std::string& out) {
    Canvas room(1024, 768);
    room.VerticalGradient(Rgb(0x3A2A1E), Rgb(0x5C4430));
    for (int plank = 0; plank < 16; ++plank) {
        const float x = 64.0f * static_cast<float>(plank);
        room.Line(x, 0, x, 560, 3, Rgb(0x2A1E14));
    }
    room.Polygon({0, 560, 1024, 560, 1024, 768, 0, 768}, Rgb(0x4A3624));
    for (int board = 0; board < 6; ++board) {
        const float y = 580.0f + 34.0f * static_cast<float>(board);
        room.Line(0, y, 1024, y, 2, Rgb(0x33251A));
    }
    room.Ellipse(520, 110, 70, 70, Rgb(0x5A4630));
    room.Ellipse(520, 110, 58, 58, Rgb(0x0E1430));
    Dice dice(91);
    for (int star = 0; star < 30; ++star) {
        const float a = dice.Between(0.0f, 2.0f * kPi);
        const float r = dice.Between(0.0f, 52.0f);
        room.Ellipse(520 + r * std::cos(a), 110 + r * std::sin(a), 1.2f, 1.2f, Rgb(0xF0F0FF));
    }
    room.Line(462, 110, 578, 110, 4, Rgb(0x5A4630));
    room.Line(520, 52, 520, 168, 4, Rgb(0x5A4630));
    room.Glow(512, 380, 460, Rgb(0xFFC070, 0.10f));
    room.Grain(0.04f, 92);
    WriteJpeg(out + "/gfx/levels/z1-hermitage-in.jpg", room);
}

// The things of the room, each a picture of its own, drawn about its middle.
void WriteRoomThings(const std::string& out) {
    const std::string dir = out + "/gfx/levels/hermitage/";
    {
        // The organ: a case of dark wood with a row of silver pipes and a keyboard.
        Canvas organ(240, 400);
        organ.Polygon({10, 120, 230, 120, 230, 400, 10, 400}, Rgb(0x4A2C18));
        organ.Polygon({20, 130, 220, 130, 220, 250, 20, 250}, Rgb(0x2A180C));
        for (int pipe = 0; pipe < 9; ++pipe) {
            const float x = 28.0f + 22.0f * static_cast<float>(pipe);
            const float top = 20.0f + 8.0f * std::abs(static_cast<float>(pipe) - 4.0f) * 2.0f;
            organ.Polygon({x, top, x + 16, top, x + 16, 240, x, 240}, Rgb(0xB8BCC4));
            organ.Line(x + 4, top + 4, x + 4, 236, 3, Rgb(0xE8ECF2));
            organ.Ellipse(x + 8, 200, 5, 3, Rgb(0x202020));
        }
        organ.Polygon({16, 270, 224, 270, 224, 300, 16, 300}, Rgb(0xEEE6D0));
        for (int key = 0; key < 13; ++key) {
            const float x = 16.0f + 16.0f * static_cast<float>(key);
            organ.Line(x, 270, x, 300, 1, Rgb(0x403020));
            if (key % 7 != 2 && key % 7 != 6) {
                organ.Polygon({x + 10, 270, x + 20, 270, x + 20, 288, x + 10, 288}, Rgb(0x181008));
            }
        }
        WritePng(dir + "organ.png", organ);
    }
    {
        // The gesture slab: a grey tablet with four faint runes.
        Canvas slab(120, 160);
        slab.Polygon({10, 10, 110, 10, 110, 150, 10, 150}, Rgb(0x6E6C68));
        slab.Polygon({18, 18, 102, 18, 102, 142, 18, 142}, Rgb(0x84827C));
        slab.Line(34, 50, 54, 30, 4, Rgb(0x4060A0));
        slab.Line(54, 30, 74, 50, 4, Rgb(0x4060A0));
        slab.Line(40, 80, 40, 110, 4, Rgb(0x4060A0));
        slab.Line(40, 110, 80, 110, 4, Rgb(0x4060A0));
        WritePng(dir + "slab.png", slab);
    }
    {
        // The anvil on its stump.
        Canvas anvil(160, 110);
        anvil.Polygon({50, 60, 110, 60, 120, 110, 40, 110}, Rgb(0x5A3A22));
        anvil.Polygon({10, 20, 150, 20, 130, 44, 110, 44, 104, 60, 56, 60, 50, 44, 30, 44},
                      Rgb(0x3C3E44));
        anvil.Line(14, 22, 148, 22, 3, Rgb(0x8A8E98));
        WritePng(dir + "anvil.png", anvil);
    }
    {
        // The telescope on its tripod, pointing at the window.
        Canvas scope(140, 200);
        scope.Line(70, 120, 30, 196, 5, Rgb(0x5A3A22));
        scope.Line(70, 120, 110, 196, 5, Rgb(0x5A3A22));
        scope.Line(70, 120, 70, 196, 5, Rgb(0x5A3A22));
        scope.Line(20, 130, 120, 30, 20, Rgb(0xB08A3C));
        scope.Line(100, 50, 128, 22, 26, Rgb(0xD0A848));
        scope.Ellipse(70, 82, 9, 9, Rgb(0x3A2A14));
        WritePng(dir + "telescope.png", scope);
    }
    {
        // The lens stand: three coloured glasses on a brass arm.
        Canvas stand(120, 140);
        stand.Line(60, 60, 60, 134, 6, Rgb(0xB08A3C));
        stand.Polygon({30, 130, 90, 130, 90, 138, 30, 138}, Rgb(0x8A6A2C));
        stand.Ellipse(30, 40, 20, 20, Rgb(0x30E0F0, 0.85f));
        stand.Ellipse(60, 26, 20, 20, Rgb(0xF0E030, 0.85f));
        stand.Ellipse(90, 40, 20, 20, Rgb(0xF030C0, 0.85f));
        WritePng(dir + "lens_stand.png", stand);
    }
    {
        // The star chart pinned to the wall.
        Canvas chart(160, 110);
        chart.Polygon({6, 6, 154, 4, 156, 104, 4, 106}, Rgb(0xD8C8A0));
        chart.Polygon({14, 14, 146, 12, 148, 96, 12, 98}, Rgb(0x1A2248));
        Dice dice(93);
        for (int star = 0; star < 18; ++star) {
            chart.Ellipse(dice.Between(20, 140), dice.Between(20, 90), 1.6f, 1.6f, Rgb(0xF8F0C0));
        }
        chart.Line(40, 30, 110, 30, 2, Rgb(0xF8F0C0, 0.6f));
        chart.Line(110, 30, 110, 70, 2, Rgb(0xF8F0C0, 0.6f));
        chart.Line(110, 70, 60, 70, 2, Rgb(0xF8F0C0, 0.6f));
        WritePng(dir + "star_chart.png", chart);
    }
    {
        // The lens rune carved in a beam: faint, and lit once its gesture was drawn.
        for (const bool lit : {false, true}) {
            Canvas rune(80, 80);
            if (lit) {
                rune.Glow(40, 40, 40, Rgb(0x80FFB0, 0.7f));
            }
            const Colour ink = lit ? Rgb(0xE0FFE8) : Rgb(0x8A7A60);
            rune.Polygon({14, 14, 66, 14, 66, 66, 14, 66}, Rgb(0x3A2A1C, 0.6f));
            rune.Line(22, 22, 58, 22, 5, ink);
            rune.Line(58, 22, 58, 58, 5, ink);
            rune.Line(58, 58, 22, 58, 5, ink);
            rune.Line(22, 58, 22, 22, 5, ink);
            WritePng(dir + (lit ? "rune_lit.png" : "rune.png"), rune);
        }
    }
    {
        // The hermit's lantern hanging on its chain: cold glass, and burning once the room's
        // games are done.
        for (const bool lit : {false, true}) {
            Canvas lantern(96, 128);
            if (lit) {
                lantern.Glow(48, 78, 48, Rgb(0xFFC060, 0.75f));
            }
            lantern.Line(48, 0, 48, 30, 3, Rgb(0x2A2420));
            lantern.Ellipse(48, 34, 10, 6, Rgb(0x3A3430));
            lantern.Polygon({26, 48, 70, 48, 48, 32}, Rgb(0x4A4038));
            lantern.Polygon({30, 50, 66, 50, 62, 104, 34, 104}, lit ? Rgb(0xFFE6A0) : Rgb(0x6A7480));
            if (lit) {
                lantern.Ellipse(48, 84, 7, 12, Rgb(0xFFFFF0));
            }
            lantern.Line(30, 50, 34, 104, 4, Rgb(0x3A3430));
            lantern.Line(66, 50, 62, 104, 4, Rgb(0x3A3430));
            lantern.Line(48, 50, 48, 104, 2, Rgb(0x3A3430, 0.7f));
            lantern.Polygon({28, 104, 68, 104, 64, 114, 32, 114}, Rgb(0x4A4038));
            WritePng(dir + (lit ? "lantern_lit.png" : "lantern.png"), lantern);
        }
    }
}

// The two things to find, and the rod the forge gives: 64 x 64, in the scene and on the cursor.
void WriteItems(const std::string& out) {
    {
        Canvas sheet(64, 64);
        sheet.Polygon({12, 6, 52, 10, 50, 58, 10, 54}, Rgb(0xEEE2C0));
        for (int line = 0; line < 5; ++line) {
            const float y = 18.0f + 7.0f * static_cast<float>(line);
            sheet.Line(16, y, 46, y + 2, 1.2f, Rgb(0x404040));
        }
        sheet.Ellipse(24, 30, 3, 2.4f, Rgb(0x202020));
        sheet.Ellipse(36, 40, 3, 2.4f, Rgb(0x202020));
        WriteJpegWithAlpha(out + "/gfx/objects/music_sheet", sheet);
    }
    {
        Canvas book(64, 64);
        book.Polygon({10, 14, 54, 8, 56, 52, 12, 58}, Rgb(0x6A1E1E));
        book.Polygon({14, 16, 50, 12, 52, 48, 16, 54}, Rgb(0x8A2A26));
        book.Line(32, 20, 32, 44, 3, Rgb(0xE0C060));
        book.Line(24, 28, 40, 28, 3, Rgb(0xE0C060));
        WriteJpegWithAlpha(out + "/gfx/objects/hymn_book", book);
    }
    {
        Canvas rod(64, 64);
        rod.Line(10, 54, 54, 10, 7, Rgb(0x9AA0AC));
        rod.Line(12, 52, 52, 12, 2, Rgb(0xE8ECF4));
        rod.Glow(54, 10, 12, Rgb(0x80C0FF, 0.9f));
        WriteJpegWithAlpha(out + "/gfx/objects/multitool_rod", rod);
    }
}

// The organ's rhythm game: a board of four columns and six rows of 64 pixels with a row of keys
// below, a falling note, a lit key.
void WriteRhythmGame(const std::string& out) {
    const std::string dir = out + "/gfx/puzzles/";
    Canvas board(352, 520);
    board.VerticalGradient(Rgb(0x2A1A30), Rgb(0x120A18));
    board.Polygon({40, 32, 312, 32, 312, 432, 40, 432}, Rgb(0x3A2A48));
    for (int column = 0; column < 4; ++column) {
        const float x = 48.0f + 64.0f * static_cast<float>(column);
        board.Polygon({x + 4, 40, x + 60, 40, x + 60, 424, x + 4, 424}, Rgb(0x1C1226));
        // The last two rows, where a note can be hit.
        board.Polygon({x + 4, 296, x + 60, 296, x + 60, 424, x + 4, 424}, Rgb(0x402A50));
        board.Polygon({x + 4, 444, x + 60, 444, x + 60, 508, x + 4, 508}, Rgb(0xEEE6D0));
        board.Polygon({x + 10, 450, x + 54, 450, x + 54, 502, x + 10, 502}, Rgb(0xD0C4A8));
    }
    board.Line(40, 432, 312, 432, 4, Rgb(0xD04040));
    WritePng(dir + "rockband_board.png", board);

    Canvas note(64, 64);
    note.Glow(32, 32, 32, Rgb(0xFFE080, 0.6f));
    note.Ellipse(26, 42, 12, 9, Rgb(0xFFF4D0));
    note.Line(37, 42, 37, 12, 4, Rgb(0xFFF4D0));
    note.Line(37, 12, 50, 20, 4, Rgb(0xFFF4D0));
    WritePng(dir + "rockband_note.png", note);

    Canvas key(64, 72);
    key.Glow(32, 36, 36, Rgb(0xFFD060, 0.9f));
    key.Polygon({8, 8, 56, 8, 56, 64, 8, 64}, Rgb(0xFFE8A0, 0.7f));
    WritePng(dir + "rockband_key.png", key);
}

// The gesture slab's backdrop and its four runes, each faint and lit.
void WriteGestureGame(const std::string& out) {
    const std::string dir = out + "/gfx/puzzles/";
    Canvas slab(600, 440);
    slab.Polygon({0, 0, 600, 0, 600, 440, 0, 440}, Rgb(0x4A4844));
    slab.Polygon({16, 16, 584, 16, 584, 424, 16, 424}, Rgb(0x6E6C66));
    slab.Glow(300, 220, 320, Rgb(0xFFFFFF, 0.12f));
    slab.Grain(0.05f, 94);
    WritePng(dir + "gesture_slab.png", slab);

    // The runes follow their strokes: sort up, right, down; row down, right; column right, down;
    // flash down, right, down.
    struct Rune {
        const char* name;
        std::vector<float> path;
    };
    const std::vector<Rune> runes = {
        {"sort", {24, 104, 24, 24, 104, 24, 104, 104}},
        {"row", {24, 24, 24, 104, 104, 104}},
        {"column", {24, 24, 104, 24, 104, 104}},
        {"flash", {24, 16, 24, 64, 104, 64, 104, 112}},
    };
    Canvas sheet(256, 512);
    for (std::size_t i = 0; i < runes.size(); ++i) {
        for (int lit = 0; lit < 2; ++lit) {
            Canvas cell(128, 128);
            cell.Ellipse(64, 64, 60, 60, Rgb(0x3A3834));
            if (lit != 0) {
                cell.Glow(64, 64, 64, Rgb(0x70C0FF, 0.8f));
            }
            const Colour ink = lit != 0 ? Rgb(0xE8F6FF) : Rgb(0x9090A0);
            const std::vector<float>& p = runes[i].path;
            for (std::size_t k = 0; k + 3 < p.size(); k += 2) {
                cell.Line(p[k], p[k + 1], p[k + 2], p[k + 3], 8, ink);
            }
            sheet.Paste(cell, 128 * lit, 128 * static_cast<int>(i));
        }
    }
    WritePng(dir + "gesture_runes.png", sheet);
}

// The forge: an anvil's face with the board's spots, the glowing spot, the two tools and the
// progress bar.
void WriteForge(const std::string& out) {
    const std::string dir = out + "/gfx/puzzles/ForgingTheRod/";
    Canvas forge(600, 440);
    forge.VerticalGradient(Rgb(0x2A2420), Rgb(0x161210));
    forge.Polygon({100, 40, 500, 40, 500, 380, 100, 380}, Rgb(0x3C3E44));
    forge.Polygon({112, 52, 488, 52, 488, 368, 112, 368}, Rgb(0x52545C));
    forge.Glow(300, 210, 260, Rgb(0xFF8040, 0.12f));
    forge.Polygon({112, 386, 488, 386, 488, 414, 112, 414}, Rgb(0x201C18));
    forge.Grain(0.05f, 95);
    WritePng(dir + "forge.png", forge);

    Canvas spot(60, 60);
    spot.Glow(30, 30, 30, Rgb(0xFF9030, 1.0f));
    spot.Ellipse(30, 30, 12, 12, Rgb(0xFFE0A0));
    WritePng(dir + "spot.png", spot);

    Canvas hammer(96, 96);
    hammer.Line(20, 84, 64, 30, 8, Rgb(0x7A5030));
    hammer.Polygon({46, 12, 88, 38, 76, 54, 34, 28}, Rgb(0x50545C));
    WritePng(dir + "hammer.png", hammer);

    Canvas water(96, 96);
    water.Polygon({22, 30, 74, 30, 66, 86, 30, 86}, Rgb(0x6A5038));
    water.Ellipse(48, 30, 26, 8, Rgb(0x3A88D0));
    water.Line(24, 30, 48, 6, 3, Rgb(0x4A3828));
    water.Line(72, 30, 48, 6, 3, Rgb(0x4A3828));
    WritePng(dir + "water.png", water);

    Canvas bar(376, 28);
    bar.Polygon({0, 0, 376, 0, 376, 28, 0, 28}, Rgb(0xFFFFFF));
    WritePng(dir + "bar.png", bar);
}

// The telescope's views: the round sky, the filter, the three lens buttons lit and unlit, the
// hidden glyph, and the star sign of the gesture view.
void WriteTelescope(const std::string& out) {
    const std::string dir = out + "/gfx/puzzles/telescope/";
    Canvas sky(520, 520);
    sky.Ellipse(260, 260, 258, 258, Rgb(0x6A5020));
    sky.Ellipse(260, 260, 244, 244, Rgb(0x0A1028));
    Dice dice(96);
    for (int star = 0; star < 120; ++star) {
        const float a = dice.Between(0.0f, 2.0f * kPi);
        const float r = dice.Between(0.0f, 236.0f);
        const float size = dice.Between(0.8f, 2.2f);
        sky.Ellipse(260 + r * std::cos(a), 260 + r * std::sin(a), size, size, Rgb(0xF0F0FF));
    }
    sky.Glow(200, 200, 160, Rgb(0x6070C0, 0.25f));
    WritePng(dir + "sky.png", sky);

    Canvas filter(480, 480);
    filter.Ellipse(240, 240, 236, 236, Rgb(0xFFFFFF));
    WritePng(dir + "filter.png", filter);

    const struct {
        const char* name;
        uint32_t colour;
    } lenses[] = {{"cyan", 0x30E0F0}, {"yellow", 0xF0E030}, {"magenta", 0xF030C0}};
    for (const auto& lens : lenses) {
        Canvas button(72, 72);
        button.Ellipse(36, 36, 34, 34, Rgb(0xB08A3C));
        button.Ellipse(36, 36, 26, 26, Rgb(lens.colour, 0.8f));
        WritePng(dir + lens.name + ".png", button);
        Canvas lit(96, 96);
        lit.Glow(48, 48, 48, Rgb(lens.colour, 0.9f));
        WritePng(dir + lens.name + "_lit.png", lit);
    }

    // The glyph the cyan glass shows: a lightning flash.
    Canvas glyph(120, 120);
    glyph.Glow(60, 60, 60, Rgb(0xFFFFFF, 0.5f));
    glyph.Polygon({70, 8, 30, 66, 58, 66, 44, 112, 92, 48, 62, 48, 80, 8}, Rgb(0xFFF8D0));
    WritePng(dir + "glyph_flash.png", glyph);

    // The star sign of the gesture view follows its stroke: right, down, left.
    for (const bool lit : {false, true}) {
        Canvas sign(200, 200);
        if (lit) {
            sign.Glow(100, 100, 100, Rgb(0x80FFB0, 0.6f));
        }
        const Colour ink = lit ? Rgb(0xE8FFF0) : Rgb(0x8090C0);
        sign.Line(30, 40, 170, 40, 5, ink);
        sign.Line(170, 40, 170, 160, 5, ink);
        sign.Line(170, 160, 30, 160, 5, ink);
        for (const float x : {30.0f, 170.0f}) {
            for (const float y : {40.0f, 160.0f}) {
                sign.Ellipse(x, y, 9, 9, ink);
            }
        }
        WritePng(dir + (lit ? "sign_lit.png" : "sign.png"), sign);
    }
}

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.8);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WriteHermitageSounds(const std::string& out) {
    const std::string snd = out + "/snd/";
    const int notes[] = {0, 3, 7, 10};
    for (int i = 0; i < 4; ++i) {
        Track organ(0.6);
        organ.Note(0.0, 0.6, Semitone(notes[i] - 12), 0.5, 2.5, 6, 0.6);
        WriteWav(snd + "note" + std::to_string(i + 1) + ".wav", organ);
    }
    {
        Track warning(0.5);
        warning.Note(0.0, 0.5, Semitone(-30), 0.6, 3, 6, 0.8);
        warning.Note(0.0, 0.5, Semitone(-29), 0.6, 3, 6, 0.8);
        WriteWav(snd + "warning.wav", warning);
    }
    {
        Track anvil(0.6);
        anvil.Note(0.0, 0.6, 1800, 0.5, 8, 4, 0.7);
        anvil.Note(0.0, 0.6, 2470, 0.3, 9, 2);
        anvil.Noise(0.0, 0.05, 0.5, 0.2, 60, 97);
        WriteWav(snd + "anvil_use.wav", anvil);
    }
    {
        Track click(0.2);
        click.Note(0.0, 0.2, 1100, 0.4, 20, 2);
        click.Glide(0.0, 0.15, 600, 1200, 0.2);
        WriteWav(snd + "lens_switching.wav", click);
    }
    {
        Track chime(0.9);
        chime.Note(0.0, 0.9, Semitone(15), 0.4, 4, 3);
        chime.Note(0.1, 0.8, Semitone(22), 0.3, 4, 3);
        WriteWav(snd + "lens_locating.wav", chime);
    }
    {
        Track solve(1.2);
        for (int i = 0; i < 4; ++i) {
            solve.Note(i * 0.12, 0.7, Semitone(12 + i * 4), 0.35, 4, 3);
        }
        WriteWav(snd + "solve_lens.wav", solve);
    }
    {
        Track gesture(1.0);
        gesture.Glide(0.0, 0.8, 400, 1600, 0.3);
        gesture.Note(0.3, 0.7, Semitone(19), 0.3, 3, 3);
        WriteWav(snd + "lens_gesture.wav", gesture);
    }
    {
        Track pick(0.4);
        pick.Note(0.0, 0.2, Semitone(12), 0.4, 10, 2);
        pick.Note(0.1, 0.3, Semitone(19), 0.4, 8, 2);
        WriteWav(snd + "pick2.wav", pick);
    }
    {
        Track popup(0.4);
        popup.Note(0.0, 0.4, Semitone(7), 0.3, 6, 2);
        popup.Note(0.08, 0.32, Semitone(12), 0.3, 6, 2);
        WriteWav(snd + "tutorial_popup.wav", popup);
    }
}

} // namespace

void WriteHermitageArt(const std::string& out) {
    WriteRoom(out);
    WriteRoomThings(out);
    WriteItems(out);
    WriteRhythmGame(out);
    WriteGestureGame(out);
    WriteForge(out);
    WriteTelescope(out);
    WriteHermitageSounds(out);
}
