#include "tools/demogen/QuestArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Before the hermitage at dusk: hills, the hut with its door, a flat of trodden ground where the
// pillars will rise.
void WriteOutside(const std::string& out) {
    Canvas scene(1024, 768);
    scene.VerticalGradient(Rgb(0x1E2848), Rgb(0x8A6A5A));
    Dice dice(131);
    for (int star = 0; star < 60; ++star) {
        scene.Ellipse(dice.Between(0, 1024), dice.Between(0, 220), 1.1f, 1.1f,
                      Rgb(0xF4F0FF, dice.Between(0.4f, 1.0f)));
    }
    std::vector<float> far(1024);
    std::vector<float> near(1024);
    for (int x = 0; x < 1024; ++x) {
        const float t = static_cast<float>(x);
        far[static_cast<std::size_t>(x)] = 300 + 40 * std::sin(t / 140.0f) + 18 * std::sin(t / 47.0f);
        near[static_cast<std::size_t>(x)] = 390 + 26 * std::sin(t / 210.0f + 1.0f);
    }
    scene.Ridge(far, Rgb(0x3C4A44));
    scene.Ridge(near, Rgb(0x4E5C3A));
    scene.Polygon({0, 480, 1024, 470, 1024, 768, 0, 768}, Rgb(0x6A5A3C));
    // The trodden ground before the pillars.
    scene.Ellipse(500, 600, 330, 70, Rgb(0x7E6C4A));
    // The hut: walls, roof, door.
    scene.Polygon({560, 250, 760, 250, 760, 440, 560, 440}, Rgb(0x6A4A2C));
    scene.Polygon({540, 255, 660, 170, 780, 255}, Rgb(0x3A2A20));
    scene.Polygon({640, 340, 690, 340, 690, 440, 640, 440}, Rgb(0x2A1A10));
    scene.Ellipse(600, 300, 16, 16, Rgb(0xFFC870));
    scene.Glow(600, 300, 60, Rgb(0xFFB050, 0.3f));
    scene.Grain(0.05f, 132);
    WriteJpeg(out + "/gfx/levels/z1-hermitage-out.jpg", scene);
}

// The things before the hut, each drawn about its middle.
void WriteOutsideThings(const std::string& out) {
    const std::string dir = out + "/gfx/levels/hermitage_out/";
    {
        // The old stone that keeps the chain of games: four empty sockets in a row.
        Canvas stone(160, 200);
        stone.Polygon({20, 190, 30, 40, 80, 10, 130, 40, 140, 190}, Rgb(0x6C6A64));
        stone.Polygon({34, 180, 42, 50, 80, 24, 118, 50, 126, 180}, Rgb(0x84827A));
        for (int socket = 0; socket < 3; ++socket) {
            stone.Ellipse(80, 70 + 40.0f * static_cast<float>(socket), 14, 14, Rgb(0x3A3834));
        }
        WritePng(dir + "games_stone.png", stone);
    }
    {
        // A pillar of grey stone with a capital.
        Canvas pillar(80, 200);
        pillar.Polygon({16, 24, 64, 24, 60, 196, 20, 196}, Rgb(0x8C8A84));
        pillar.Polygon({26, 30, 40, 30, 40, 190, 28, 190}, Rgb(0xA8A69E));
        pillar.Polygon({6, 4, 74, 4, 70, 26, 10, 26}, Rgb(0x6C6A64));
        WritePng(dir + "pillar.png", pillar);
    }
    {
        // A rune on the ground, dark and lit.
        for (int lit = 0; lit < 2; ++lit) {
            Canvas rune(64, 64);
            if (lit != 0) {
                rune.Glow(32, 32, 32, Rgb(0x80D0FF, 0.9f));
            }
            const Colour ink = lit != 0 ? Rgb(0xE8F8FF) : Rgb(0x4A4A50);
            rune.Line(16, 48, 32, 14, 5, ink);
            rune.Line(32, 14, 48, 48, 5, ink);
            rune.Line(22, 36, 42, 36, 5, ink);
            WritePng(dir + (lit != 0 ? "rune_lit.png" : "rune.png"), rune);
        }
    }
    {
        // The furnace: a brick oven with a glowing mouth.
        Canvas furnace(180, 200);
        furnace.Polygon({10, 60, 170, 60, 170, 196, 10, 196}, Rgb(0x7A3A26));
        for (int row = 0; row < 7; ++row) {
            const float y = 78.0f + 18.0f * static_cast<float>(row);
            furnace.Line(10, y, 170, y, 2, Rgb(0x4A2418));
        }
        furnace.Polygon({60, 4, 120, 4, 116, 62, 64, 62}, Rgb(0x5A2A1C));
        furnace.Ellipse(90, 150, 44, 34, Rgb(0x1A0A06));
        furnace.Glow(90, 156, 40, Rgb(0xFF7020, 0.8f));
        WritePng(dir + "furnace.png", furnace);
    }
    {
        // A heat meter: a glass tube with a red column.
        Canvas meter(40, 110);
        meter.Ellipse(20, 92, 14, 14, Rgb(0xD0D8E0));
        meter.Polygon({12, 8, 28, 8, 28, 90, 12, 90}, Rgb(0xD0D8E0));
        meter.Ellipse(20, 92, 10, 10, Rgb(0xE03020));
        meter.Polygon({16, 30, 24, 30, 24, 92, 16, 92}, Rgb(0xE03020));
        WritePng(dir + "meter.png", meter);
    }
}

// The library's shelf, its card machine and the book the machine sends up.
void WriteLibrary(const std::string& out) {
    const std::string dir = out + "/gfx/levels/hermitage_out/";
    {
        Canvas shelf(200, 220);
        shelf.Polygon({6, 6, 194, 6, 194, 214, 6, 214}, Rgb(0x5A3A22));
        shelf.Polygon({16, 16, 184, 16, 184, 204, 16, 204}, Rgb(0x2E1E12));
        for (int board = 0; board < 3; ++board) {
            const float y = 70.0f + 66.0f * static_cast<float>(board);
            shelf.Polygon({16, y, 184, y, 184, y + 8, 16, y + 8}, Rgb(0x6A4A2C));
        }
        const Colour spines[] = {Rgb(0x7A2A22), Rgb(0x2A4A7A), Rgb(0x3A6A2A), Rgb(0x8A7A2A)};
        for (int book = 0; book < 6; ++book) {
            const float x = 24.0f + 14.0f * static_cast<float>(book);
            shelf.Polygon({x, 24, x + 12, 24, x + 12, 70, x, 70}, spines[book % 4]);
        }
        WritePng(dir + "shelf.png", shelf);
    }
    {
        Canvas machine(160, 200);
        machine.Polygon({10, 30, 150, 30, 150, 196, 10, 196}, Rgb(0x4A4E5A));
        machine.Polygon({20, 40, 140, 40, 140, 110, 20, 110}, Rgb(0x1A2030));
        for (int pipe = 0; pipe < 4; ++pipe) {
            const float x = 30.0f + 30.0f * static_cast<float>(pipe);
            machine.Polygon({x, 4, x + 14, 4, x + 14, 32, x, 32}, Rgb(0xB8A060));
        }
        machine.Polygon({50, 130, 110, 130, 110, 140, 50, 140}, Rgb(0x101010));
        machine.Glow(80, 75, 40, Rgb(0x70C0FF, 0.5f));
        WritePng(dir + "machine.png", machine);
    }
    {
        Canvas book(40, 60);
        book.Polygon({4, 4, 36, 4, 36, 56, 4, 56}, Rgb(0x2A4A8A));
        book.Line(8, 12, 32, 12, 2, Rgb(0xE0C060));
        book.Line(8, 48, 32, 48, 2, Rgb(0xE0C060));
        WritePng(dir + "book.png", book);
    }
}

// The things to find: 64 x 64, in the scene and on the cursor.
void WriteItems(const std::string& out) {
    const std::string dir = out + "/gfx/objects/";
    {
        Canvas coal(64, 64);
        coal.Polygon({12, 40, 20, 18, 40, 12, 54, 28, 50, 50, 26, 54}, Rgb(0x1E1C1C));
        coal.Polygon({20, 22, 36, 16, 30, 30}, Rgb(0x4A4646));
        coal.Glow(34, 40, 14, Rgb(0xFF6020, 0.5f));
        WriteJpegWithAlpha(dir + "hearth-of-power-in-coal", coal);
    }
    const struct {
        const char* name;
        uint32_t cover;
    } books[] = {{"library_book1", 0x7A2A22}, {"library_book2", 0x2A6A3A}};
    for (const auto& [name, cover] : books) {
        Canvas book(64, 64);
        book.Polygon({12, 10, 50, 8, 54, 54, 14, 56}, Rgb(cover));
        book.Polygon({46, 10, 52, 10, 54, 54, 48, 54}, Rgb(0xEEE6D0));
        book.Line(20, 22, 42, 22, 3, Rgb(0xE0C060));
        WriteJpegWithAlpha(dir + name, book);
    }
    {
        Canvas card(64, 64);
        card.Polygon({8, 16, 56, 12, 58, 50, 10, 54}, Rgb(0xE8DCB8));
        for (int hole = 0; hole < 6; ++hole) {
            card.Ellipse(16 + 7.0f * static_cast<float>(hole), 26 + 5.0f * (hole % 3), 2.2f, 2.2f,
                         Rgb(0x302820));
        }
        WriteJpegWithAlpha(dir + "library_card1", card);
    }
    {
        Canvas stone(64, 64);
        stone.Ellipse(32, 34, 22, 18, Rgb(0x4A6A8A));
        stone.Glow(32, 30, 18, Rgb(0xC0E8FF, 0.7f));
        stone.Line(24, 34, 40, 34, 3, Rgb(0xE8F8FF));
        WriteJpegWithAlpha(dir + "oracle_stone", stone);
    }
    {
        Canvas letter(64, 64);
        letter.Polygon({10, 14, 54, 14, 54, 50, 10, 50}, Rgb(0xF0E8D0));
        letter.Line(10, 14, 32, 34, 2, Rgb(0x8A7A5A));
        letter.Line(54, 14, 32, 34, 2, Rgb(0x8A7A5A));
        letter.Ellipse(32, 36, 5, 5, Rgb(0xA02020));
        WriteJpegWithAlpha(dir + "hermit_letter", letter);
    }
    {
        Canvas amulet(64, 64);
        amulet.Line(20, 8, 32, 28, 2, Rgb(0xC0A060));
        amulet.Line(44, 8, 32, 28, 2, Rgb(0xC0A060));
        amulet.Ellipse(32, 40, 14, 14, Rgb(0xC0A060));
        amulet.Ellipse(32, 40, 9, 9, Rgb(0x30A060));
        WriteJpegWithAlpha(dir + "guardian_task", amulet);
    }
    {
        Canvas seed(64, 64);
        seed.Ellipse(32, 34, 10, 15, Rgb(0x8A6A3A));
        seed.Line(32, 22, 32, 46, 2, Rgb(0x5A4424));
        WriteJpegWithAlpha(dir + "seed", seed);
    }
    {
        Canvas gear(64, 64);
        for (int tooth = 0; tooth < 8; ++tooth) {
            const float a = static_cast<float>(tooth) * kPi / 4.0f;
            gear.Line(32, 32, 32 + 24 * std::cos(a), 32 + 24 * std::sin(a), 7, Rgb(0xA0A4AC));
        }
        gear.Ellipse(32, 32, 17, 17, Rgb(0xB8BCC4));
        gear.Ellipse(32, 32, 6, 6, Rgb(0x404040));
        WriteJpegWithAlpha(dir + "multitool_gear", gear);
    }
}

// The card machine's tune: the second look of the rhythm game, one column of six rows with its
// key below.
void WriteTuneGame(const std::string& out) {
    const std::string dir = out + "/gfx/puzzles/rockband2/";
    Canvas board(160, 520);
    board.VerticalGradient(Rgb(0x182838), Rgb(0x0A121C));
    board.Polygon({44, 32, 116, 32, 116, 432, 44, 432}, Rgb(0x1C3046));
    board.Polygon({48, 296, 112, 296, 112, 424, 48, 424}, Rgb(0x2A4A66));
    board.Line(44, 432, 116, 432, 4, Rgb(0x40D0D0));
    WritePng(dir + "board.png", board);

    Canvas note(64, 64);
    note.Glow(32, 32, 32, Rgb(0x80F0FF, 0.6f));
    note.Polygon({32, 8, 56, 32, 32, 56, 8, 32}, Rgb(0xD8FCFF));
    WritePng(dir + "note.png", note);

    for (int pressed = 0; pressed < 2; ++pressed) {
        Canvas key(64, 72);
        key.Polygon({6, 6, 58, 6, 58, 66, 6, 66}, Rgb(pressed != 0 ? 0x3A5A7A : 0x80C8E8));
        if (pressed == 0) {
            key.Glow(32, 36, 34, Rgb(0xC0F8FF, 0.8f));
        }
        WritePng(dir + (pressed != 0 ? "key_up.png" : "key_down.png"), key);
    }
}

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.8);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WriteQuestSounds(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        Track coal(0.6);
        coal.Noise(0.0, 0.5, 0.5, 0.5, 6, 141);
        coal.Note(0.0, 0.3, Semitone(-17), 0.4, 12, 2);
        WriteWav(snd + "furnace_coal.wav", coal);
    }
    {
        Track paper(0.4);
        paper.Noise(0.0, 0.3, 0.4, 0.2, 14, 142);
        WriteWav(snd + "paper_place.wav", paper);
    }
    {
        Track stairs(1.0);
        for (int step = 0; step < 4; ++step) {
            stairs.Noise(0.2 * step, 0.2, 0.5, 0.6, 10, 143 + static_cast<unsigned>(step));
            stairs.Note(0.2 * step, 0.2, Semitone(-24 + 3 * step), 0.3, 12, 2);
        }
        WriteWav(snd + "stairs_build.wav", stairs);
    }
    {
        Track column(1.2);
        column.Noise(0.0, 1.1, 0.4, 0.8, 2, 147);
        column.Glide(0.0, 1.0, 60, 110, 0.3);
        WriteWav(snd + "column_move.wav", column);
    }
    {
        Track thud(1.0);
        thud.Noise(0.0, 0.9, 0.8, 0.7, 5, 148);
        thud.Note(0.0, 0.6, Semitone(-33), 0.6, 6, 2);
        WriteWav(snd + "explosionlarge.wav", thud);
    }
    {
        Track door(0.8);
        door.Glide(0.0, 0.7, 220, 160, 0.3);
        WriteWav(snd + "door_open.wav", door);
    }
}

} // namespace

void WriteQuestArt(const std::string& out) {
    WriteOutside(out);
    WriteOutsideThings(out);
    WriteLibrary(out);
    WriteItems(out);
    WriteTuneGame(out);
    WriteQuestSounds(out);
}
