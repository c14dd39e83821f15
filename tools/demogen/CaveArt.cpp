#include "tools/demogen/CaveArt.h"

#include "tools/demogen/Canvas.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kCell = 88;

const Colour kRed = Rgb(0xE0403C);
const Colour kBlue = Rgb(0x3C7CE8);

// A cut crystal standing upright in a box of the given size.
void Crystal(Canvas& c, float cx, float cy, float height, const Colour& colour) {
    const float w = height * 0.32f;
    const float h = height * 0.5f;
    c.Glow(cx, cy, height * 0.7f, Colour{colour.r, colour.g, colour.b, 0.35f});
    c.Polygon({cx, cy - h, cx + w, cy - h * 0.35f, cx + w * 0.8f, cy + h, cx - w * 0.8f, cy + h,
               cx - w, cy - h * 0.35f},
              colour);
    c.Polygon({cx, cy - h, cx + w * 0.35f, cy - h * 0.2f, cx, cy + h, cx - w * 0.2f, cy - h * 0.3f},
              Mix(colour, Rgb(0xFFFFFF), 0.45f));
}

// A lamp's flame with its warm light around it.
void Flame(Canvas& c, float cx, float cy) {
    c.Glow(cx, cy, 60, Rgb(0xFFC860, 0.55f));
    c.Ellipse(cx, cy + 6, 9, 14, Rgb(0xFF9A30));
    c.Polygon({cx, cy - 22, cx + 8, cy, cx - 8, cy}, Rgb(0xFFB040));
    c.Ellipse(cx, cy + 6, 4, 8, Rgb(0xFFF4C0));
}

// The cave: dark rock around a floor, the two lamp stands, three stones on the floor and a
// ledge at the top right.
void WriteCave(const std::string& out) {
    Canvas cave(kScreenWidth, kScreenHeight);
    cave.VerticalGradient(Rgb(0x141622), Rgb(0x2A2630));
    Dice dice(91);
    for (int rock = 0; rock < 40; ++rock) {
        const float x = dice.Between(0, kScreenWidth);
        const float y = dice.Between(0, 520);
        cave.Ellipse(x, y, dice.Between(30, 90), dice.Between(20, 60),
                     Mix(Rgb(0x1E2030), Rgb(0x343446), dice.Next()));
    }
    // The vault's opening, lighter towards the middle.
    cave.Ellipse(512, 300, 360, 260, Rgb(0x262838));
    cave.Glow(512, 320, 380, Rgb(0x6A78B0, 0.18f));
    std::vector<float> floor(kScreenWidth);
    for (int x = 0; x < kScreenWidth; ++x) {
        floor[static_cast<std::size_t>(x)] =
            520.0f + 18.0f * std::sin(static_cast<float>(x) * 0.011f);
    }
    cave.Ridge(floor, Rgb(0x3A3440));
    // A ledge at the top right.
    cave.Polygon({620, 190, 820, 180, 830, 200, 610, 210}, Rgb(0x4A4450));
    // Crystal points growing from the walls.
    for (int i = 0; i < 9; ++i) {
        const float x = 40.0f + 118.0f * static_cast<float>(i);
        const float y = i % 2 == 0 ? 80.0f : 470.0f;
        cave.Polygon({x, y - 40, x + 14, y, x - 14, y}, Rgb(0x5A6AA0, 0.6f));
    }
    // The lamp stands, left and right: a post and a bowl.
    for (const float x : {90.0f, 934.0f}) {
        cave.Polygon({x - 8, 440, x + 8, 440, x + 12, 620, x - 12, 620}, Rgb(0x5A4A3A));
        cave.Ellipse(x, 440, 30, 12, Rgb(0x7A6444));
        cave.Ellipse(x, 436, 24, 7, Rgb(0x2A2018));
    }
    // The three stones of the hint, dull until they glow.
    for (const float x : {380.0f, 512.0f, 644.0f}) {
        cave.Ellipse(x, 590, 40, 26, Rgb(0x4A4A5C));
        cave.Ellipse(x - 8, 582, 20, 10, Rgb(0x5E5E72));
    }
    cave.Grain(0.04f, 92);
    WriteJpeg(out + "/gfx/levels/z2-crystal-cave.jpg", cave);

    // A stone's glow, laid over it in turn.
    Canvas glow(120, 90);
    glow.Glow(60, 45, 44, Rgb(0x9AD8FF, 0.8f));
    glow.Ellipse(60, 45, 34, 20, Rgb(0xC8ECFF, 0.7f));
    WritePng(out + "/gfx/levels/cave/stone_glow.png", glow);

    // A lamp's wick before it burns, and its flame.
    Canvas wick(60, 60);
    wick.Line(30, 44, 30, 26, 4, Rgb(0x1A1410));
    wick.Glow(30, 30, 28, Rgb(0x8090C0, 0.25f));
    WritePng(out + "/gfx/levels/cave/wick.png", wick);
    Canvas flame(120, 120);
    Flame(flame, 60, 64);
    WritePng(out + "/gfx/levels/cave/flame.png", flame);

    // The crystal altar, empty and with both crystals set.
    for (const bool lit : {false, true}) {
        Canvas altar(220, 170);
        altar.Polygon({40, 60, 180, 60, 200, 160, 20, 160}, Rgb(0x6A6478));
        altar.Polygon({20, 40, 200, 40, 200, 64, 20, 64}, Rgb(0x8A8498));
        altar.Ellipse(80, 44, 22, 10, Rgb(0x24222C));
        altar.Ellipse(140, 44, 22, 10, Rgb(0x24222C));
        if (lit) {
            Crystal(altar, 80, 26, 44, kRed);
            Crystal(altar, 140, 26, 44, kBlue);
            altar.Glow(110, 30, 100, Rgb(0xFFF0D0, 0.35f));
        }
        WritePng(out + "/gfx/levels/cave/" + std::string(lit ? "altar_lit" : "altar") + ".png",
                 altar);
    }
    // The two pictures on the wall, side by side.
    Canvas pictures(180, 110);
    for (const float x : {4.0f, 94.0f}) {
        pictures.Polygon({x, 4, x + 82, 4, x + 82, 106, x, 106}, Rgb(0x8A6A3A));
        pictures.Polygon({x + 8, 12, x + 74, 12, x + 74, 98, x + 8, 98}, Rgb(0x9AC0D8));
        pictures.Polygon({x + 8, 70, x + 74, 70, x + 74, 98, x + 8, 98}, Rgb(0x4A8A4A));
    }
    pictures.Ellipse(30, 30, 8, 8, Rgb(0xF8D850));
    WritePng(out + "/gfx/levels/cave/pictures.png", pictures);
    // The arch to the mirror hall, a beam glinting inside.
    Canvas arch(140, 200);
    arch.Ellipse(70, 70, 66, 66, Rgb(0x5A5468));
    arch.Polygon({4, 70, 136, 70, 136, 198, 4, 198}, Rgb(0x5A5468));
    arch.Ellipse(70, 76, 50, 50, Rgb(0x0C0C14));
    arch.Polygon({20, 76, 120, 76, 120, 198, 20, 198}, Rgb(0x0C0C14));
    arch.Line(30, 180, 110, 90, 4, Rgb(0xFFF0A0, 0.8f));
    arch.Glow(110, 90, 24, Rgb(0xFFF0A0, 0.7f));
    WritePng(out + "/gfx/levels/cave/mirror_door.png", arch);

    // The darkness lifting once both lamps burn.
    WriteJpeg(out + "/gfx/black.jpg", Canvas(kScreenWidth, kScreenHeight, Rgb(0x000000)));
}

void WriteItems(const std::string& out) {
    Canvas red(64, 64);
    Crystal(red, 32, 34, 50, kRed);
    WriteJpegWithAlpha(out + "/gfx/objects/crystal_red1", red);
    Canvas blue(64, 64);
    Crystal(blue, 32, 34, 50, kBlue);
    WriteJpegWithAlpha(out + "/gfx/objects/crystal_blue1", blue);
    Canvas candle(64, 64);
    candle.Polygon({24, 24, 40, 24, 40, 58, 24, 58}, Rgb(0xF0E6C8));
    candle.Ellipse(32, 58, 16, 4, Rgb(0xD0C4A0));
    candle.Line(32, 24, 32, 14, 2, Rgb(0x1A1410));
    WriteJpegWithAlpha(out + "/gfx/objects/candle", candle);
}

// A backdrop of 640 x 560 with a border, as the other mini-games have.
Canvas Backdrop(uint32_t stone, uint32_t edge, uint32_t seed) {
    Canvas back(640, 560, Rgb(edge));
    back.Polygon({16, 16, 624, 16, 624, 544, 16, 544}, Rgb(stone));
    back.Glow(320, 280, 300, Rgb(0xFFFFFF, 0.1f));
    back.Grain(0.05f, seed);
    return back;
}

// The things one picture has and the other lacks, each 64 x 64 around its centre.
void Sun(Canvas& c, float x, float y) {
    for (int ray = 0; ray < 8; ++ray) {
        const float a = static_cast<float>(ray) * kPi / 4.0f;
        c.Line(x + 16 * std::cos(a), y + 16 * std::sin(a), x + 26 * std::cos(a),
               y + 26 * std::sin(a), 4, Rgb(0xF8D850));
    }
    c.Ellipse(x, y, 14, 14, Rgb(0xF8D850));
}
void Tree(Canvas& c, float x, float y) {
    c.Polygon({x - 4, y + 10, x + 4, y + 10, x + 4, y + 28, x - 4, y + 28}, Rgb(0x6A4A2A));
    c.Ellipse(x, y - 4, 20, 22, Rgb(0x2E7A36));
}
void Boat(Canvas& c, float x, float y) {
    c.Polygon({x - 26, y + 6, x + 26, y + 6, x + 16, y + 20, x - 16, y + 20}, Rgb(0x8A4A2A));
    c.Line(x, y + 6, x, y - 24, 3, Rgb(0x3A2A1A));
    c.Polygon({x + 2, y - 22, x + 22, y + 2, x + 2, y + 2}, Rgb(0xF0F0E8));
}

// The two pictures: the left one whole, the right one without its sun, tree and boat. The
// backdrop stands around (512, 330): its corner is (192, 50) on the screen.
void WritePictures(const std::string& out) {
    Canvas back = Backdrop(0x4A3E34, 0x241C16, 17);
    for (const float x : {40.0f, 340.0f}) {
        back.Polygon({x - 10, 50, x + 270, 50, x + 270, 340, x - 10, 340}, Rgb(0x9A7A46));
        back.Polygon({x, 60, x + 260, 60, x + 260, 330, x, 330}, Rgb(0x9AC0E0));
        back.Polygon({x, 250, x + 260, 250, x + 260, 330, x, 330}, Rgb(0x3A7ABA));
        back.Polygon({x, 200, x + 120, 170, x + 260, 210, x + 260, 250, x, 250},
                     Rgb(0x4A8A4A));
    }
    Sun(back, 90, 100);
    Tree(back, 250, 210);
    Boat(back, 158, 280);
    // The shelf the loose things lie on.
    back.Polygon({140, 400, 500, 400, 520, 460, 120, 460}, Rgb(0x5A4A3A));
    WriteJpeg(out + "/gfx/minigames/back_pictures.jpg", back);
    const struct {
        const char* name;
        void (*paint)(Canvas&, float, float);
    } things[] = {{"sun", Sun}, {"tree", Tree}, {"boat", Boat}};
    for (const auto& thing : things) {
        Canvas picture(64, 64);
        thing.paint(picture, 32, 32);
        WritePng(out + "/gfx/minigames/pictures/" + thing.name + ".png", picture);
    }
    // A spot: nothing to see, only where a click counts.
    WritePng(out + "/gfx/minigames/pictures/spot.png", Canvas(64, 64));
}

// The crystal altar close up: two sockets at (450, 400) and (570, 400) on the screen, and the
// crystals that fill them.
void WriteAltar(const std::string& out) {
    Canvas back = Backdrop(0x3E3A4E, 0x1C1A24, 23);
    back.Polygon({140, 260, 500, 260, 540, 520, 100, 520}, Rgb(0x6A6478));
    back.Polygon({110, 230, 530, 230, 530, 280, 110, 280}, Rgb(0x8A8498));
    for (const float x : {258.0f, 378.0f}) {
        back.Ellipse(x, 350, 46, 46, Rgb(0x24222C));
        back.Ellipse(x, 350, 38, 38, Rgb(0x14121A));
    }
    WriteJpeg(out + "/gfx/minigames/back_altar.jpg", back);
    Canvas red(80, 80);
    Crystal(red, 40, 40, 64, kRed);
    WritePng(out + "/gfx/minigames/crystals/crystal_red.png", red);
    Canvas blue(80, 80);
    Crystal(blue, 40, 40, 64, kBlue);
    WritePng(out + "/gfx/minigames/crystals/crystal_blue.png", blue);
}

// The mirror hall: a 4 x 4 floor of 88-pixel cells from (336, 200) on the screen, its wall
// block at cell (2, 1) and the light source at cell (1, 3) painted in; the crystals, beams and
// mirrors are pictures of their own.
void WriteMirrorHall(const std::string& out) {
    Canvas back = Backdrop(0x2E3240, 0x14161E, 29);
    const float left = 336.0f - 192.0f;
    const float top = 200.0f - 50.0f;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const float x = left + static_cast<float>(column * kCell);
            const float y = top + static_cast<float>(row * kCell);
            const Colour tile = (row + column) % 2 == 0 ? Rgb(0x4A5064) : Rgb(0x42485A);
            back.Polygon({x + 2, y + 2, x + kCell - 2, y + 2, x + kCell - 2, y + kCell - 2, x + 2,
                          y + kCell - 2},
                         tile);
        }
    }
    // The wall block.
    {
        const float x = left + 2.0f * kCell;
        const float y = top + 1.0f * kCell;
        back.Polygon({x + 6, y + 6, x + kCell - 6, y + 6, x + kCell - 6, y + kCell - 6, x + 6,
                      y + kCell - 6},
                     Rgb(0x7A6A5A));
        back.Line(x + 6, y + 44, x + kCell - 6, y + 44, 3, Rgb(0x4A3E32));
    }
    // The source: a lantern shining upwards.
    {
        const float x = left + 1.0f * kCell + 44.0f;
        const float y = top + 3.0f * kCell + 44.0f;
        back.Ellipse(x, y + 10, 26, 20, Rgb(0x6A5A3A));
        back.Glow(x, y - 8, 40, Rgb(0xFFF0A0, 0.9f));
        back.Ellipse(x, y - 4, 12, 12, Rgb(0xFFFAE0));
    }
    // Where the mirrors wait.
    for (const float y : {250.0f, 400.0f}) {
        back.Ellipse(58, y, 46, 46, Rgb(0x24262E));
    }
    WriteJpeg(out + "/gfx/minigames/back_mirrors.jpg", back);

    const std::string folder = out + "/gfx/puzzles/mirrorgame/";
    const float mid = kCell / 2.0f;
    Canvas off(kCell, kCell);
    Crystal(off, mid, mid, 60, Rgb(0x7A8AA0));
    WritePng(folder + "crystal_off.png", off);
    Canvas on(kCell, kCell);
    on.Glow(mid, mid, mid, Rgb(0xFFF0A0, 0.8f));
    Crystal(on, mid, mid, 60, Rgb(0xC8F0FF));
    WritePng(folder + "crystal_on.png", on);
    // The beam straight through the cell (turned by its direction), both ways across, and from
    // the bottom edge to the middle and on to the right edge (turned by the mirror's angle).
    const Colour beam = Rgb(0xFFF0A0, 0.85f);
    Canvas straight(kCell, kCell);
    straight.Line(mid, 0, mid, kCell, 8, beam);
    WritePng(folder + "beam.png", straight);
    Canvas cross(kCell, kCell);
    cross.Line(mid, 0, mid, kCell, 8, beam);
    cross.Line(0, mid, kCell, mid, 8, beam);
    WritePng(folder + "beam_cross.png", cross);
    Canvas turn(kCell, kCell);
    turn.Line(mid, kCell, mid, mid, 8, beam);
    turn.Line(mid, mid, kCell, mid, 8, beam);
    turn.Glow(mid, mid, 20, Rgb(0xFFFFFF, 0.8f));
    WritePng(folder + "beam_turn.png", turn);
    // A mirror at no turn: a silver slab from the bottom left to the top right, its face to the
    // top left, its back dark.
    Canvas mirror(80, 80);
    mirror.Line(12, 70, 70, 12, 12, Rgb(0x3A3026));
    mirror.Line(8, 66, 66, 8, 7, Rgb(0xE8F0F8));
    WritePng(folder + "mirror.png", mirror);
}

} // namespace

void WriteCrystalCaveArt(const std::string& out) {
    WriteCave(out);
    WriteItems(out);
    WritePictures(out);
    WriteAltar(out);
    WriteMirrorHall(out);
}
