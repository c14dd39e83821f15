#include "tools/demogen/WorkshopArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The mini-games' backdrop, 640 x 560, stands with its top-left corner at (192, 50) on the screen.
constexpr int kBackWidth = 640;
constexpr int kBackHeight = 560;
constexpr float kBackLeft = 192.0f;
constexpr float kBackTop = 50.0f;
constexpr float kBlockCell = 96.0f;
constexpr float kMazeCell = 64.0f;
constexpr int kTile = 96;

void Rectangle(Canvas& c, float left, float top, float right, float bottom, const Colour& colour) {
    c.Polygon({left, top, right, top, right, bottom, left, bottom}, colour);
}

// Planks across a rectangle, each a shade of the wood.
void Planks(Canvas& c, float left, float top, float right, float bottom, float height,
            const Colour& wood, uint32_t seed) {
    Dice dice(seed);
    for (float y = top; y < bottom; y += height) {
        const Colour shade = Mix(wood, Rgb(0x000000), dice.Between(0.0f, 0.25f));
        Rectangle(c, left, y, right, std::min(y + height - 2.0f, bottom), shade);
    }
}

// The mini-games' backdrop: a border round a lighter middle, grained.
Canvas Backdrop(uint32_t edge, uint32_t inside, uint32_t seed) {
    Canvas back(kBackWidth, kBackHeight, Rgb(edge));
    Rectangle(back, 14, 14, kBackWidth - 14, kBackHeight - 14, Rgb(inside));
    back.Glow(320, 280, 320, Rgb(0xFFFFFF, 0.10f));
    back.Grain(0.02f, seed);
    return back;
}

// The switched picture, 384 x 384: a windmill on a hill by a lake at sunset.
Canvas SwitchPicture() {
    Canvas picture(4 * kTile, 4 * kTile);
    picture.VerticalGradient(Rgb(0x2A4A80), Rgb(0xE8B070));
    picture.Glow(280, 120, 120, Rgb(0xFFF0C0, 0.8f));
    picture.Ellipse(280, 120, 40, 40, Rgb(0xFFE070));
    std::vector<float> hills(4 * kTile);
    for (int x = 0; x < 4 * kTile; ++x) {
        hills[static_cast<std::size_t>(x)] =
            250.0f + 26.0f * std::sin(static_cast<float>(x) / 50.0f);
    }
    picture.Ridge(hills, Rgb(0x3E6A34));
    // The windmill's tower, door and four sails.
    picture.Polygon({90, 250, 130, 250, 122, 150, 98, 150}, Rgb(0xE8E0D0));
    Rectangle(picture, 104, 215, 116, 250, Rgb(0x5A3A20));
    for (int sail = 0; sail < 4; ++sail) {
        const float a = 0.5f + static_cast<float>(sail) * 1.5708f;
        picture.Line(110, 150, 110 + 80 * std::cos(a), 150 + 80 * std::sin(a), 12, Rgb(0x8A5A30));
    }
    picture.Ellipse(110, 150, 8, 8, Rgb(0x3A2A1A));
    picture.Ellipse(270, 330, 90, 26, Rgb(0x5A8AC8));
    picture.Line(10, 380, 180, 290, 7, Rgb(0xC8A060));
    return picture;
}

// The world map of the metal lands: a river, hills, gears for the workshops; 320 x 240, cut
// into four pieces.
Canvas MetalMap() {
    Canvas map(320, 240);
    map.VerticalGradient(Rgb(0xD8CBA8), Rgb(0xB8A882));
    Dice dice(131);
    for (int hill = 0; hill < 14; ++hill) {
        const float x = dice.Between(20, 300);
        const float y = dice.Between(30, 220);
        map.Polygon({x, y - 18, x + 14, y + 6, x - 14, y + 6}, Rgb(0x7A7468, 0.8f));
    }
    for (int step = 0; step < 32; ++step) {
        const float t0 = static_cast<float>(step) / 32.0f;
        const float t1 = static_cast<float>(step + 1) / 32.0f;
        map.Line(10 + 300 * t0, 200 - 160 * t0 + 20 * std::sin(t0 * 9.0f), 10 + 300 * t1,
                 200 - 160 * t1 + 20 * std::sin(t1 * 9.0f), 6, Rgb(0x4A78A8, 0.85f));
    }
    const auto gear = [&map](float cx, float cy, float r) {
        for (int tooth = 0; tooth < 8; ++tooth) {
            const float a = static_cast<float>(tooth) * 0.785398f;
            map.Line(cx + r * std::cos(a), cy + r * std::sin(a), cx + (r + 6) * std::cos(a),
                     cy + (r + 6) * std::sin(a), 5, Rgb(0x5A5048));
        }
        map.Ellipse(cx, cy, r, r, Rgb(0x6A6058));
        map.Ellipse(cx, cy, r * 0.4f, r * 0.4f, Rgb(0xD0C4A0));
    };
    gear(80, 70, 16);
    gear(240, 170, 20);
    gear(250, 60, 11);
    map.Line(80, 70, 240, 170, 3, Rgb(0x6A3A20, 0.7f));
    map.Line(240, 170, 250, 60, 3, Rgb(0x6A3A20, 0.7f));
    Rectangle(map, 0, 0, 320, 4, Rgb(0x6A5A40));
    Rectangle(map, 0, 236, 320, 240, Rgb(0x6A5A40));
    Rectangle(map, 0, 0, 4, 240, Rgb(0x6A5A40));
    Rectangle(map, 316, 0, 320, 240, Rgb(0x6A5A40));
    map.Grain(0.04f, 132);
    return map;
}

// The workshop: plank walls, a bench along the back, shelves with jars; the chest, the frame
// and the maze box are drawn by their own pictures.
void WriteWorkshop(const std::string& out) {
    Canvas room(kScreenWidth, kScreenHeight);
    room.VerticalGradient(Rgb(0x5A4030), Rgb(0x2E2018));
    Planks(room, 0, 0, kScreenWidth, 420, 42, Rgb(0x6E4E34), 141);
    Planks(room, 0, 420, kScreenWidth, kScreenHeight, 58, Rgb(0x4A3424), 142);
    // The bench and its legs.
    Rectangle(room, 80, 380, 944, 420, Rgb(0x3A2618));
    Rectangle(room, 110, 420, 140, 560, Rgb(0x2E1E12));
    Rectangle(room, 884, 420, 914, 560, Rgb(0x2E1E12));
    // Shelves with jars.
    for (const float y : {110.0f, 200.0f}) {
        Rectangle(room, 90, y, 330, y + 12, Rgb(0x3A2618));
        Rectangle(room, 694, y, 934, y + 12, Rgb(0x3A2618));
    }
    Dice dice(143);
    for (int jar = 0; jar < 10; ++jar) {
        const float x = jar < 5 ? 110.0f + 44.0f * static_cast<float>(jar)
                                : 714.0f + 44.0f * static_cast<float>(jar - 5);
        const float y = jar % 2 == 0 ? 110.0f : 200.0f;
        const Colour glass = Mix(Rgb(0x7AA8A0, 0.8f), Rgb(0xC0A050, 0.8f), dice.Next());
        Rectangle(room, x, y - 40, x + 28, y, glass);
        Rectangle(room, x + 4, y - 46, x + 24, y - 40, Rgb(0x6A4A2A));
    }
    // A lamp's glow over the bench.
    room.Glow(512, 300, 420, Rgb(0xFFD890, 0.22f));
    room.Grain(0.03f, 144);
    WriteJpeg(out + "/gfx/levels/z2-workshop.jpg", room);

    // The things of the workshop, on one sheet: the chest, the maze box, the frame with its
    // picture in pieces and the frame with its picture whole.
    Canvas things(1024, 256);
    // The block chest, 160 x 128.
    Rectangle(things, 4, 30, 156, 124, Rgb(0x7A4A22));
    Rectangle(things, 4, 10, 156, 40, Rgb(0x8E5A2C));
    Rectangle(things, 4, 38, 156, 46, Rgb(0x4A4A50));
    Rectangle(things, 70, 40, 90, 66, Rgb(0xC8A040));
    for (int block = 0; block < 3; ++block) {
        const float x = 24.0f + 40.0f * static_cast<float>(block);
        Rectangle(things, x, 80, x + 30, 110, Rgb(0xB08A5A));
    }
    // The maze box, 160 x 128, at x 160.
    Rectangle(things, 164, 24, 316, 124, Rgb(0x5A5A62));
    Rectangle(things, 176, 36, 304, 112, Rgb(0x8A7A5A));
    for (int wall = 0; wall < 4; ++wall) {
        const float x = 190.0f + 30.0f * static_cast<float>(wall);
        things.Line(x, 40, x, wall % 2 == 0 ? 90 : 108, 5, Rgb(0x3A3A40));
    }
    things.Ellipse(286, 96, 8, 8, Rgb(0xD0D4DC));
    // The frames, 176 x 176, at x 320 (the picture in pieces) and 512 (whole).
    const Canvas picture = SwitchPicture();
    for (int whole = 0; whole < 2; ++whole) {
        const int x0 = 320 + 192 * whole;
        Rectangle(things, static_cast<float>(x0), 0, static_cast<float>(x0 + 176), 176,
                  Rgb(0xB08A3A));
        Rectangle(things, static_cast<float>(x0 + 10), 10, static_cast<float>(x0 + 166), 166,
                  Rgb(0x1A1410));
        // The picture at 156 pixels, sampled down from the game's.
        for (int y = 0; y < 152; ++y) {
            for (int x = 0; x < 152; ++x) {
                int sx = x * 384 / 152;
                int sy = y * 384 / 152;
                if (whole == 0) {
                    // In pieces: the quarters changed round.
                    sx = (sx + 192) % 384;
                    sy = (sy + 192) % 384;
                }
                things.At(x0 + 12 + x, 12 + y) = picture.At(sx, sy);
            }
        }
    }
    WritePng(out + "/gfx/levels/z2-workshop-things.png", things);

    // The world map's table: a small table with a map on it, 128 x 128.
    Canvas table(128, 128);
    table.Ellipse(64, 70, 58, 40, Rgb(0x6A4A2A, 0.95f));
    table.Ellipse(64, 64, 56, 38, Rgb(0x8E6A3E));
    table.Polygon({30, 50, 98, 44, 104, 82, 36, 88}, Rgb(0xE0D0A8));
    table.Line(40, 80, 96, 52, 3, Rgb(0x4A78A8));
    table.Ellipse(70, 66, 7, 7, Rgb(0x6A6058));
    WritePng(out + "/gfx/interface/maps/map_table.png", table);
}

// The block chest: a board of 3 x 3 cells of 96 pixels at (368, 90), its top-left cell a fixed
// stone; the three blocks lie loose below it.
void WriteBlocks(const std::string& out) {
    Canvas back = Backdrop(0x3A2414, 0x6A4428, 151);
    Planks(back, 14, 14, kBackWidth - 14, kBackHeight - 14, 46, Rgb(0x6A4428), 152);
    const float left = 368.0f - kBackLeft;
    const float top = 90.0f - kBackTop;
    Rectangle(back, left - 10, top - 10, left + 3 * kBlockCell + 10, top + 3 * kBlockCell + 10,
              Rgb(0x2A1A10));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const float x = left + kBlockCell * static_cast<float>(column);
            const float y = top + kBlockCell * static_cast<float>(row);
            const bool stone = row == 0 && column == 0;
            Rectangle(back, x + 2, y + 2, x + kBlockCell - 2, y + kBlockCell - 2,
                      stone ? Rgb(0x7A7A80) : Rgb(0x1E140C));
        }
    }
    back.Grain(0.04f, 153);
    WriteJpeg(out + "/gfx/minigames/back_blocks.jpg", back);

    // The blocks: a pair across (192 x 96 at x 0) and two corners (192 x 192 at x 256 and 512),
    // each cell a rounded wooden square.
    Canvas blocks(1024, 256);
    const auto cell = [&blocks](float x, float y, const Colour& wood) {
        Rectangle(blocks, x + 4, y + 4, x + kBlockCell - 4, y + kBlockCell - 4,
                  Mix(wood, Rgb(0x000000), 0.35f));
        Rectangle(blocks, x + 8, y + 8, x + kBlockCell - 8, y + kBlockCell - 8, wood);
        blocks.Ellipse(x + 48, y + 48, 12, 12, Mix(wood, Rgb(0xFFFFFF), 0.3f));
    };
    cell(0, 0, Rgb(0xC89050));
    cell(96, 0, Rgb(0xC89050));
    for (const auto& [x0, wood] :
         {std::pair{256.0f, Rgb(0x9AB060)}, std::pair{512.0f, Rgb(0xB07060)}}) {
        cell(x0, 0, wood);
        cell(x0, 96, wood);
        cell(x0 + 96, 96, wood);
    }
    WritePng(out + "/gfx/minigames/workshop/blocks.png", blocks);
}

// The switched picture: 4 x 4 tiles of 96 pixels, centred in the backdrop.
void WriteSwitch(const std::string& out) {
    Canvas back = Backdrop(0x5A3A1A, 0x8A6A3A, 161);
    const float left = 320.0f - kBackLeft;
    const float top = 138.0f - kBackTop;
    Rectangle(back, left - 18, top - 18, left + 402, top + 402, Rgb(0xC09A48));
    Rectangle(back, left - 4, top - 4, left + 388, top + 388, Rgb(0x1A1410));
    back.Grain(0.04f, 162);
    WriteJpeg(out + "/gfx/minigames/back_switch.jpg", back);

    Canvas picture = SwitchPicture();
    // Thin seams, so that the tiles show as tiles.
    for (int line = 1; line < 4; ++line) {
        const auto at = static_cast<float>(line * kTile);
        picture.Line(at, 0, at, 4.0f * kTile, 1.5f, Rgb(0x000000, 0.45f));
        picture.Line(0, at, 4.0f * kTile, at, 1.5f, Rgb(0x000000, 0.45f));
    }
    Canvas sheet(512, 512);
    sheet.Paste(picture, 0, 0);
    WritePng(out + "/gfx/minigames/workshop/switch.png", sheet);
}

// The maze box: 6 x 5 cells of 64 pixels at (320, 170); the walls, the floor, the hole (the goal)
// and the trap as the board file has them.
void WriteMaze(const std::string& out) {
    static const char* const kRows[] = {"OOOOOO", "OBEEEO", "OEOOEO", "OTEDEO", "OOOOOO"};
    Canvas back = Backdrop(0x2A2A30, 0x4A4A52, 171);
    const float left = 320.0f - kBackLeft;
    const float top = 170.0f - kBackTop;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 6; ++column) {
            const float x = left + kMazeCell * static_cast<float>(column);
            const float y = top + kMazeCell * static_cast<float>(row);
            const float cx = x + kMazeCell / 2;
            const float cy = y + kMazeCell / 2;
            switch (kRows[row][column]) {
            case 'O':
                Rectangle(back, x, y, x + kMazeCell, y + kMazeCell, Rgb(0x6A5A48));
                Rectangle(back, x + 4, y + 4, x + kMazeCell - 4, y + kMazeCell - 4, Rgb(0x8A7A62));
                break;
            case 'D':
                Rectangle(back, x, y, x + kMazeCell, y + kMazeCell, Rgb(0xB8A47C));
                back.Ellipse(cx, cy, 24, 24, Rgb(0x101010));
                back.Ellipse(cx, cy, 26, 26, Rgb(0xD0B040, 0.5f));
                back.Ellipse(cx, cy, 22, 22, Rgb(0x101010));
                break;
            case 'T':
                Rectangle(back, x, y, x + kMazeCell, y + kMazeCell, Rgb(0x5A1E18));
                for (int spike = 0; spike < 3; ++spike) {
                    const float sx = x + 12.0f + 20.0f * static_cast<float>(spike);
                    back.Polygon({sx - 8, y + 52, sx + 8, y + 52, sx, y + 16}, Rgb(0xB0B0B8));
                }
                break;
            default:
                Rectangle(back, x, y, x + kMazeCell, y + kMazeCell, Rgb(0xB8A47C));
                Rectangle(back, x + 1, y + 1, x + kMazeCell - 1, y + kMazeCell - 1, Rgb(0xC4B088));
                break;
            }
        }
    }
    back.Grain(0.04f, 172);
    WriteJpeg(out + "/gfx/minigames/back_maze.jpg", back);

    Canvas ball(64, 64);
    ball.Ellipse(32, 34, 22, 22, Rgb(0x000000, 0.4f));
    ball.Ellipse(32, 32, 22, 22, Rgb(0x8C9098));
    ball.Ellipse(26, 25, 8, 8, Rgb(0xE8ECF4, 0.8f));
    WritePng(out + "/gfx/minigames/workshop/maze_ball.png", ball);

    // The arrows up, right, down and left, 64 pixels each.
    Canvas arrows(256, 64);
    for (int direction = 0; direction < 4; ++direction) {
        const float cx = 32.0f + 64.0f * static_cast<float>(direction);
        const float a = static_cast<float>(direction) * 1.5708f;
        const auto at = [&](float forward, float side) {
            return std::pair{cx + forward * std::sin(a) + side * std::cos(a),
                             32.0f - forward * std::cos(a) + side * std::sin(a)};
        };
        std::vector<float> xy;
        for (const auto& [forward, side] :
             {std::pair{22.0f, 0.0f}, std::pair{0.0f, 18.0f}, std::pair{0.0f, 8.0f},
              std::pair{-20.0f, 8.0f}, std::pair{-20.0f, -8.0f}, std::pair{0.0f, -8.0f},
              std::pair{0.0f, -18.0f}}) {
            const auto [x, y] = at(forward, side);
            xy.push_back(x);
            xy.push_back(y);
        }
        arrows.Polygon(xy, Rgb(0xFFD860, 0.9f));
    }
    WritePng(out + "/gfx/minigames/workshop/maze_arrows.png", arrows);
}

// The map table: the map's four places framed in the middle, the pieces around.
void WriteMapTable(const std::string& out) {
    Canvas back = Backdrop(0x3A2616, 0x7A5634, 181);
    Planks(back, 14, 14, kBackWidth - 14, kBackHeight - 14, 70, Rgb(0x7A5634), 182);
    const float left = 352.0f - kBackLeft;
    const float top = 180.0f - kBackTop;
    Rectangle(back, left - 8, top - 8, left + 328, top + 248, Rgb(0x3A2616));
    Rectangle(back, left, top, left + 320, top + 240, Rgb(0x5A3E24));
    back.Line(left + 160, top, left + 160, top + 240, 2, Rgb(0x3A2616));
    back.Line(left, top + 120, left + 320, top + 120, 2, Rgb(0x3A2616));
    back.Grain(0.04f, 183);
    WriteJpeg(out + "/gfx/minigames/back_map.jpg", back);

    Canvas sheet(512, 256);
    sheet.Paste(MetalMap(), 0, 0);
    WritePng(out + "/gfx/minigames/workshop/map_pieces.png", sheet);
}

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.8);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WriteSounds(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        Track paper(0.3);
        paper.Noise(0.0, 0.3, 0.6, 0.5, 12, 191);
        WriteWav(snd + "paper_place.wav", paper);
    }
    {
        Track complete(1.4);
        complete.Note(0.0, 0.5, Semitone(0), 0.4, 4, 3);
        complete.Note(0.2, 0.5, Semitone(4), 0.4, 4, 3);
        complete.Note(0.4, 0.5, Semitone(7), 0.4, 4, 3);
        complete.Note(0.6, 0.8, Semitone(12), 0.5, 3, 3);
        WriteWav(snd + "map_complete.wav", complete);
    }
    {
        Track fall(0.6);
        fall.Glide(0.0, 0.5, 600, 120, 0.5);
        fall.Note(0.45, 0.15, 90, 0.6, 20, 2);
        WriteWav(snd + "ball_fall.wav", fall);
    }
    {
        Track roll(0.8);
        roll.Noise(0.0, 0.8, 0.5, 0.95, 2, 192);
        roll.Glide(0.0, 0.8, 70, 60, 0.2);
        WriteWav(snd + "rock_ball_roll.wav", roll);
    }
}

} // namespace

void WriteWorkshopArt(const std::string& out) {
    WriteWorkshop(out);
    WriteBlocks(out);
    WriteSwitch(out);
    WriteMaze(out);
    WriteMapTable(out);
    WriteSounds(out);
}
