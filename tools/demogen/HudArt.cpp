#include "tools/demogen/HudArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCell = 64;
constexpr int kColumns = 8;

// The cells of "gui_buttons.png", row by row; the animation files name them by number.
enum Cell {
    kWandIdle, kWandActive, kWandCursor,
    kMultitoolIdle, kMultitoolActive, kMultitoolCursor,
    kLensIdle, kLensActive, kLensCursor,
    kOrbIdle, kOrbActive, kOrbCursor,
    kMapPiece, kInventorySlot, kEmptySlot,
    kMapList, kMapListHigh, kMapListGlow, kMapProgress,
    kCellCount
};

// A ring drawn as a chain of short strokes.
void Ring(Canvas& c, float cx, float cy, float r, float width, const Colour& colour) {
    for (int step = 0; step < 36; ++step) {
        const float a0 = static_cast<float>(step) * kPi / 18.0f;
        const float a1 = a0 + kPi / 18.0f;
        c.Line(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
               cy + r * std::sin(a1), width, colour);
    }
}

// A tool slot's round frame: dim when idle, lit when the tool is in use.
void ToolFrame(Canvas& c, bool active) {
    if (active) {
        c.Glow(32, 32, 32, Rgb(0xFFE29A, 0.6f));
    }
    c.Ellipse(32, 32, 27, 27, Rgb(0x161B33, 0.85f), 1.5f);
    Ring(c, 32, 32, 27, 2.5f, Rgb(active ? 0xFFE08A : 0xB8975A));
}

void Wand(Canvas& c) {
    c.Line(14, 52, 46, 18, 5, Rgb(0x5A3B1E));
    c.Line(40, 24, 48, 16, 5, Rgb(0xE8D9A8));
    c.Glow(48, 16, 10, Rgb(0xC9F0FF, 0.8f));
}

void Multitool(Canvas& c) {
    c.Polygon({20, 50, 28, 14, 36, 14, 44, 50}, Rgb(0x8A8FA0));
    c.Ellipse(32, 16, 9, 6, Rgb(0xC9A04A));
    c.Line(26, 34, 38, 34, 3, Rgb(0x4A4F60));
}

void Lens(Canvas& c) {
    c.Line(42, 42, 54, 54, 6, Rgb(0x5A3B1E));
    c.Ellipse(28, 28, 16, 16, Rgb(0x9FE3FF, 0.55f));
    Ring(c, 28, 28, 16, 3.0f, Rgb(0xC9A04A));
    c.Ellipse(23, 23, 4, 3, Rgb(0xFFFFFF, 0.8f));
}

void Orb(Canvas& c) {
    c.Polygon({20, 54, 44, 54, 38, 46, 26, 46}, Rgb(0x6E4A28));
    c.Glow(32, 28, 22, Rgb(0xB58CFF, 0.5f));
    c.Ellipse(32, 28, 15, 15, Rgb(0x7A5CC8, 0.85f));
    c.Ellipse(27, 23, 5, 4, Rgb(0xFFFFFF, 0.7f));
}

void MapPiece(Canvas& c) {
    c.Polygon({10, 14, 30, 8, 54, 16, 50, 40, 56, 52, 24, 56, 12, 44, 16, 30},
              Rgb(0xE6D2A0));
    c.Line(18, 24, 44, 30, 2, Rgb(0x8A6A3A));
    c.Line(24, 44, 40, 20, 2, Rgb(0x8A6A3A));
    c.Ellipse(40, 42, 4, 4, Rgb(0xC0392B));
}

void PaintCell(Canvas& c, int cell) {
    switch (cell) {
    case kWandIdle:
    case kWandActive:
        ToolFrame(c, cell == kWandActive);
        Wand(c);
        break;
    case kWandCursor:
        Wand(c);
        break;
    case kMultitoolIdle:
    case kMultitoolActive:
        ToolFrame(c, cell == kMultitoolActive);
        Multitool(c);
        break;
    case kMultitoolCursor:
        Multitool(c);
        break;
    case kLensIdle:
    case kLensActive:
        ToolFrame(c, cell == kLensActive);
        Lens(c);
        break;
    case kLensCursor:
        Lens(c);
        break;
    case kOrbIdle:
    case kOrbActive:
        ToolFrame(c, cell == kOrbActive);
        Orb(c);
        break;
    case kOrbCursor:
        Orb(c);
        break;
    case kMapPiece:
        MapPiece(c);
        break;
    case kInventorySlot:
        c.Ellipse(32, 32, 27, 27, Rgb(0x0D1120, 0.55f), 1.5f);
        Ring(c, 32, 32, 27, 2.0f, Rgb(0xD8B25E, 0.85f));
        break;
    case kEmptySlot:
        c.Ellipse(32, 32, 24, 24, Rgb(0x0D1120, 0.5f), 1.5f);
        Ring(c, 32, 32, 24, 2.0f, Rgb(0x9FE3FF, 0.8f));
        break;
    case kMapList:
    case kMapListHigh:
        if (cell == kMapListHigh) {
            c.Glow(32, 32, 32, Rgb(0xFFE29A, 0.6f));
        }
        c.Polygon({8, 12, 26, 6, 40, 12, 56, 6, 56, 52, 40, 58, 26, 52, 8, 58},
                  Rgb(0xD9C28E));
        c.Line(26, 6, 26, 52, 2, Rgb(0x8A6A3A));
        c.Line(40, 12, 40, 58, 2, Rgb(0x8A6A3A));
        break;
    case kMapListGlow:
        c.Glow(32, 32, 30, Rgb(0xFFF2C0, 0.9f));
        break;
    case kMapProgress:
        Ring(c, 32, 32, 29, 3.0f, Rgb(0x6FD3A0, 0.9f));
        break;
    default:
        break;
    }
}

void WriteInterface(const std::string& out) {
    const int rows = (kCellCount + kColumns - 1) / kColumns;
    Canvas sheet(kCell * kColumns, kCell * rows);
    for (int cell = 0; cell < kCellCount; ++cell) {
        Canvas painted(kCell, kCell);
        PaintCell(painted, cell);
        sheet.Paste(painted, (cell % kColumns) * kCell, (cell / kColumns) * kCell);
    }
    WritePng(out + "/gfx/interface/gui_buttons.png", sheet);
}

void WriteItems(const std::string& out) {
    const auto write = [&out](const std::string& item, const std::function<void(Canvas&)>& paint) {
        Canvas canvas(64, 64);
        paint(canvas);
        WriteJpegWithAlpha(out + "/gfx/objects/" + item, canvas);
    };
    write("magic_wand", [](Canvas& c) {
        c.Glow(48, 16, 16, Rgb(0xC9F0FF, 0.7f));
        Wand(c);
    });
    write("moonstone", [](Canvas& c) {
        c.Glow(32, 34, 28, Rgb(0xCFE6FF, 0.6f));
        c.Ellipse(32, 36, 16, 13, Rgb(0xDCE8F5));
        c.Ellipse(27, 31, 5, 4, Rgb(0xFFFFFF, 0.9f));
    });
    write("wand_chest", [](Canvas& c) {
        c.Polygon({6, 26, 58, 26, 56, 58, 8, 58}, Rgb(0x6E4A28));
        c.Polygon({6, 26, 12, 12, 52, 12, 58, 26}, Rgb(0x8A5E34));
        c.Line(6, 26, 58, 26, 3, Rgb(0xC9A04A));
        c.Ellipse(32, 38, 5, 6, Rgb(0xC9A04A));
    });
}

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.7);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WriteSoundsOfTheHud(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        Track push(0.12);
        push.Note(0.0, 0.12, Semitone(-5), 0.5, 30, 3);
        push.Noise(0.0, 0.03, 0.2, 0.5, 150, 11);
        WriteWav(snd + "push.wav", push);
    }
    {
        Track crystal(0.6);
        crystal.Note(0.0, 0.5, Semitone(19), 0.4, 6, 2);
        crystal.Note(0.06, 0.5, Semitone(24), 0.3, 6, 2);
        WriteWav(snd + "crystal_pick.wav", crystal);
    }
    {
        Track lens(0.5);
        lens.Glide(0.0, 0.5, 600, 1500, 0.3);
        WriteWav(snd + "use_lens.wav", lens);
    }
    {
        Track special(0.9);
        for (int i = 0; i < 4; ++i) {
            special.Note(i * 0.1, 0.5, Semitone(7 + i * 4), 0.35, 5, 3);
        }
        WriteWav(snd + "special_item_pick.wav", special);
    }
    {
        Track backpack(0.4);
        backpack.Noise(0.0, 0.4, 0.6, 0.9, 8, 12);
        WriteWav(snd + "backpack_open.wav", backpack);
    }
    {
        Track light(0.8);
        light.Glide(0.0, 0.8, 400, 1200, 0.3);
        light.Note(0.2, 0.6, Semitone(12), 0.2, 4, 2);
        WriteWav(snd + "light.wav", light);
    }
    {
        Track orb(1.0);
        orb.Pad(0.0, 1.0, {Semitone(-2), Semitone(2), Semitone(5)}, 0.4);
        WriteWav(snd + "scrying_orb.wav", orb);
    }
    {
        Track won(1.0);
        for (const int note : {0, 4, 7, 12}) {
            won.Note(note * 0.04, 0.8, Semitone(note), 0.3, 3, 3);
        }
        WriteWav(snd + "game_won.wav", won);
    }
    {
        Track all(1.4);
        for (int i = 0; i < 6; ++i) {
            all.Note(i * 0.12, 0.7, Semitone(i * 2 + 3), 0.3, 4, 3);
        }
        WriteWav(snd + "all_mappieces_collected.wav", all);
    }
}

} // namespace

void WriteHudArt(const std::string& out) {
    WriteInterface(out);
    WriteItems(out);
    WriteSoundsOfTheHud(out);
}
