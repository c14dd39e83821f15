#include "tools/demogen/PuzzleArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <cmath>
#include <string>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kPipeCell = 96;
constexpr int kTileCell = 128;

// A stone wall with a great arched gate and two round seal sockets on its doors.
void WriteGate(const std::string& out) {
    Canvas gate(kScreenWidth, kScreenHeight);
    gate.VerticalGradient(Rgb(0x3A3550), Rgb(0x8A7C6A));
    Dice dice(61);
    for (int row = 0; row < 14; ++row) {
        for (int column = 0; column < 12; ++column) {
            const float x = static_cast<float>(column * 90 + (row % 2) * 45 - 40);
            const float y = static_cast<float>(row * 50);
            const Colour stone = Mix(Rgb(0x6E6A66), Rgb(0x85807A), dice.Next());
            gate.Polygon({x + 2, y + 2, x + 88, y + 2, x + 88, y + 48, x + 2, y + 48}, stone);
        }
    }
    // The arch and its two doors.
    gate.Ellipse(512, 330, 230, 200, Rgb(0x2A2420));
    gate.Polygon({282, 330, 742, 330, 742, 660, 282, 660}, Rgb(0x2A2420));
    gate.Polygon({300, 340, 506, 340, 506, 650, 300, 650}, Rgb(0x5A3E26));
    gate.Polygon({518, 340, 724, 340, 724, 650, 518, 650}, Rgb(0x5A3E26));
    for (int plank = 0; plank < 6; ++plank) {
        const float x = 300.0f + 35.0f * static_cast<float>(plank);
        gate.Line(x, 340, x, 650, 2, Rgb(0x3C2816));
        gate.Line(x + 218, 340, x + 218, 650, 2, Rgb(0x3C2816));
    }
    gate.Line(300, 420, 724, 420, 10, Rgb(0x4A4A50));
    gate.Line(300, 590, 724, 590, 10, Rgb(0x4A4A50));
    // The sockets the seals sit in; an empty socket shows the gate unsealed there.
    gate.Ellipse(403, 500, 62, 62, Rgb(0x1E1A18));
    gate.Ellipse(621, 500, 62, 62, Rgb(0x1E1A18));
    gate.Ridge(std::vector<float>(kScreenWidth, 680.0f), Rgb(0x4A4238));
    gate.Grain(0.03f, 62);
    WriteJpeg(out + "/gfx/levels/z1-puzzlegate.jpg", gate);

    // The two seals: water (the pipes) and sun (the tiles), 128 x 128 each.
    Canvas seals(2 * kTileCell, kTileCell);
    seals.Ellipse(64, 64, 58, 58, Rgb(0x2C6FB0));
    seals.Ellipse(64, 64, 46, 46, Rgb(0x4A9AD8));
    seals.Polygon({64, 30, 84, 70, 64, 92, 44, 70}, Rgb(0xD8F0FF));
    seals.Ellipse(192, 64, 58, 58, Rgb(0xB08A2C));
    seals.Ellipse(192, 64, 46, 46, Rgb(0xE0B840));
    for (int ray = 0; ray < 8; ++ray) {
        const float angle = static_cast<float>(ray) * 0.785398f;
        seals.Line(192 + 14 * std::cos(angle), 64 + 14 * std::sin(angle),
                   192 + 38 * std::cos(angle), 64 + 38 * std::sin(angle), 5, Rgb(0xFFF0B0));
    }
    seals.Ellipse(192, 64, 14, 14, Rgb(0xFFF0B0));
    WritePng(out + "/gfx/puzzles/seals.png", seals);
}

// A pipe drawn upright (as it stands at 0 degrees): the elbow "A" opens up and left, the straight
// "B" up and down; dry it is iron grey, watered its core runs blue.
void PaintPipe(Canvas& sheet, int cell, bool elbow, bool watered) {
    const float x0 = static_cast<float>(cell * kPipeCell);
    const float c = static_cast<float>(kPipeCell) / 2.0f;
    sheet.Polygon({x0 + 3, 3, x0 + kPipeCell - 3, 3, x0 + kPipeCell - 3, kPipeCell - 3, x0 + 3,
                   kPipeCell - 3},
                  Rgb(0x3A342E));
    const Colour iron = Rgb(0x8C8F94);
    const Colour core = watered ? Rgb(0x58B8FF) : Rgb(0x2A2A2E);
    // Arms as rectangles that stop at the cell's edges, so that nothing spills into the next cell
    // of the sheet; an elbow's joint is rounded.
    const auto arm = [&](float left, float top, float right, float bottom, float inset,
                         const Colour& colour) {
        sheet.Polygon({x0 + left + inset, top + inset, x0 + right - inset, top + inset,
                       x0 + right - inset, bottom - inset, x0 + left + inset, bottom - inset},
                      colour);
    };
    const float half = 17.0f; // half the pipe's width
    const float coreInset = 9.0f;
    const float end = static_cast<float>(kPipeCell);
    if (elbow) {
        arm(c - half, 0, c + half, c + half, 0, iron);
        arm(0, c - half, c + half, c + half, 0, iron);
        sheet.Ellipse(x0 + c, c, half, half, iron);
        arm(c - half, -coreInset, c + half, c + half, coreInset, core);
        arm(-coreInset, c - half, c + half, c + half, coreInset, core);
    } else {
        arm(c - half, 0, c + half, end, 0, iron);
        arm(c - half, -coreInset, c + half, end + coreInset, coreInset, core);
    }
}

void WritePipes(const std::string& out) {
    Canvas sheet(4 * kPipeCell, kPipeCell);
    PaintPipe(sheet, 0, true, false);
    PaintPipe(sheet, 1, true, true);
    PaintPipe(sheet, 2, false, false);
    PaintPipe(sheet, 3, false, true);
    WritePng(out + "/gfx/puzzles/pipes.png", sheet);

    // The board's backdrop: a stone slab with a frame, under the 5 x 5 pipes.
    Canvas back(5 * kPipeCell + 40, 5 * kPipeCell + 40);
    back.VerticalGradient(Rgb(0x4C463E), Rgb(0x38322C));
    back.Polygon({4, 4, 516, 4, 516, 516, 4, 516}, Rgb(0x6A5E4E, 0.5f));
    back.Polygon({16, 16, 504, 16, 504, 504, 16, 504}, Rgb(0x26221E));
    back.Grain(0.04f, 71);
    WritePng(out + "/gfx/puzzles/pipes_back.png", back);
}

// A picture of the sun over hills, cut into 3 x 3 tiles of 128 pixels.
void WriteTiles(const std::string& out) {
    Canvas picture(3 * kTileCell, 3 * kTileCell);
    picture.VerticalGradient(Rgb(0x4A78B8), Rgb(0xF0C890));
    picture.Glow(192, 150, 150, Rgb(0xFFF4C0, 0.8f));
    picture.Ellipse(192, 150, 52, 52, Rgb(0xFFE070));
    std::vector<float> hills(picture.Width());
    for (int x = 0; x < picture.Width(); ++x) {
        hills[static_cast<std::size_t>(x)] =
            270.0f + 30.0f * std::sin(static_cast<float>(x) / 40.0f);
    }
    picture.Ridge(hills, Rgb(0x4E7A3A));
    picture.Line(20, 370, 364, 300, 6, Rgb(0xC8A060));
    for (int line = 1; line < 3; ++line) {
        const float at = static_cast<float>(line * kTileCell);
        picture.Line(at, 0, at, 384, 2, Rgb(0x000000, 0.5f));
        picture.Line(0, at, 384, at, 2, Rgb(0x000000, 0.5f));
    }
    // The sheet is cut in cells along its power-of-two width: four columns, the last one empty.
    Canvas sheet(4 * kTileCell, 3 * kTileCell);
    sheet.Paste(picture, 0, 0);
    WritePng(out + "/gfx/puzzles/tiles.png", sheet);

    Canvas frame(3 * kTileCell + 48, 3 * kTileCell + 48);
    frame.VerticalGradient(Rgb(0x7A5A34), Rgb(0x4A341E));
    frame.Polygon({20, 20, 412, 20, 412, 412, 20, 412}, Rgb(0x1E1810));
    WritePng(out + "/gfx/puzzles/tiles_back.png", frame);
}

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.8);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WriteSounds(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        Track water(1.4);
        water.Noise(0.0, 1.4, 0.6, 0.85, 1.5, 81);
        water.Glide(0.0, 1.0, 300, 180, 0.15);
        WriteWav(snd + "waterflow.wav", water);
    }
    {
        Track scrape(0.4);
        scrape.Noise(0.0, 0.4, 0.6, 0.3, 6, 82);
        scrape.Glide(0.0, 0.4, 900, 700, 0.2);
        WriteWav(snd + "metal_scrape.wav", scrape);
    }
    {
        Track pick(0.15);
        pick.Note(0.0, 0.15, 1200, 0.5, 30, 2);
        WriteWav(snd + "pick1.wav", pick);
    }
    {
        Track won(1.2);
        won.Note(0.0, 0.4, Semitone(3), 0.4, 5, 3);
        won.Note(0.15, 0.4, Semitone(7), 0.4, 5, 3);
        won.Note(0.3, 0.4, Semitone(10), 0.4, 5, 3);
        won.Note(0.45, 0.75, Semitone(15), 0.5, 3, 3);
        WriteWav(snd + "game_won.wav", won);
    }
}

} // namespace

void WritePuzzleArt(const std::string& out) {
    WriteGate(out);
    WritePipes(out);
    WriteTiles(out);
    WriteSounds(out);
}
