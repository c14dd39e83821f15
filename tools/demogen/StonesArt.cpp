#include "tools/demogen/StonesArt.h"

#include "tools/demogen/Canvas.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A regular star or polygon around (cx, cy): points alternating between the two radii.
std::vector<float> Star(float cx, float cy, int points, float outer, float inner, float turn) {
    std::vector<float> xy;
    for (int i = 0; i < points * 2; ++i) {
        const float r = i % 2 == 0 ? outer : inner;
        const float a = turn + kPi * static_cast<float>(i) / static_cast<float>(points);
        xy.push_back(cx + r * std::sin(a));
        xy.push_back(cy - r * std::cos(a));
    }
    return xy;
}

void Gear(Canvas& c, float cx, float cy, float radius, const Colour& colour) {
    const int teeth = std::max(8, static_cast<int>(radius / 6.0f));
    c.Polygon(Star(cx, cy, teeth, radius, radius * 0.82f, 0.0f), colour);
    c.Ellipse(cx, cy, radius * 0.8f, radius * 0.8f, colour);
    c.Ellipse(cx, cy, radius * 0.55f, radius * 0.55f, Mix(colour, Rgb(0x202020), 0.35f));
    c.Ellipse(cx, cy, radius * 0.18f, radius * 0.18f, Rgb(0x1A1410));
}

void Key(Canvas& c, const Colour& colour) {
    c.Ellipse(20, 22, 14, 14, colour);
    c.Ellipse(20, 22, 6, 6, Rgb(0x101010));
    c.Line(30, 30, 56, 56, 6, colour);
    c.Line(46, 50, 54, 42, 5, colour);
    c.Line(52, 56, 58, 50, 5, colour);
}

// A stone tablet backdrop with a darker border.
Canvas Backdrop(uint32_t stone, uint32_t edge, uint32_t seed) {
    Canvas back(640, 560, Rgb(edge));
    back.Polygon({16, 16, 624, 16, 624, 544, 16, 544}, Rgb(stone));
    back.Glow(320, 280, 300, Rgb(0xFFFFFF, 0.12f));
    back.Grain(0.05f, seed);
    return back;
}

void Glyph(Canvas& c, const std::string& symbol, const Colour& colour) {
    if (symbol == "fire") {
        c.Polygon({24, 4, 40, 30, 34, 44, 14, 44, 8, 30}, colour);
    } else if (symbol == "water") {
        c.Ellipse(24, 30, 14, 14, colour);
        c.Polygon({24, 2, 36, 26, 12, 26}, colour);
    } else {
        c.Polygon({4, 40, 24, 6, 44, 40}, colour);
        c.Line(10, 30, 38, 30, 3, Rgb(0x202020, 0.7f));
    }
}

} // namespace

void WriteBarrowGamesPictures(const std::string& out) {
    // The inner chamber: a dark vault with the wall of places in the middle.
    {
        Canvas room(1024, 768);
        room.VerticalGradient(Rgb(0x1C1A22), Rgb(0x3A3226));
        room.Polygon({0, 620, 1024, 600, 1024, 768, 0, 768}, Rgb(0x2C261C));
        room.Polygon({300, 120, 724, 120, 744, 440, 280, 440}, Rgb(0x5A544A));
        for (int row = 0; row < 6; ++row) {
            const float y = 150.0f + 50.0f * static_cast<float>(row);
            room.Line(290, y, 734, y, 2, Rgb(0x3E3A32));
        }
        room.Glow(512, 280, 420, Rgb(0xFFD9A0, 0.12f));
        room.Grain(0.04f, 71);
        WriteJpeg(out + "/gfx/levels/z1-barrow-in.jpg", room);
    }
    // The wall's places and their frame.
    const struct {
        const char* name;
        uint32_t colour;
        int points;
    } screens[] = {{"screen_sun", 0xF2C24E, 12}, {"screen_moon", 0xB8C8E8, 0},
                   {"screen_star", 0xE8E0A0, 5}};
    for (const auto& screen : screens) {
        const auto paint = [&screen](Canvas& c, float size, const Colour& ground) {
            const float mid = size / 2.0f;
            if (screen.points == 0) {
                c.Ellipse(mid, mid, size * 0.34f, size * 0.34f, Rgb(screen.colour));
                c.Ellipse(mid + size * 0.14f, mid - size * 0.08f, size * 0.3f, size * 0.3f,
                          ground);
            } else {
                c.Polygon(Star(mid, mid, screen.points, size * 0.4f, size * 0.18f, 0.0f),
                          Rgb(screen.colour));
            }
        };
        Canvas place(100, 100, Rgb(0x2A2620));
        paint(place, 100.0f, Rgb(0x2A2620));
        WritePng(out + "/gfx/levels/barrow/" + screen.name + ".png", place);
        Canvas item(64, 64);
        item.Ellipse(32, 32, 30, 30, Rgb(0x5A544A));
        paint(item, 64.0f, Rgb(0x5A544A));
        WriteJpegWithAlpha(out + "/gfx/objects/" + screen.name, item);
    }
    {
        Canvas cut(420, 160);
        for (int y = 0; y < 160; ++y) {
            for (int x = 0; x < 420; ++x) {
                const bool border = x < 12 || x >= 408 || y < 12 || y >= 148;
                cut.At(x, y) = border ? Rgb(0x6E5A3A) : Rgb(0, 0.0f);
            }
        }
        WritePng(out + "/gfx/levels/barrow/frame.png", cut);
        Canvas button(90, 90);
        button.Glow(45, 45, 44, Rgb(0xA0D0FF, 0.8f));
        button.Ellipse(45, 45, 18, 18, Rgb(0xE0F0FF));
        WritePng(out + "/gfx/levels/barrow/game_button.png", button);
    }
    // Keys and gears to carry.
    const struct {
        const char* name;
        uint32_t colour;
    } keys[] = {{"librarian_key_red", 0xC83C32},
                {"librarian_key_green", 0x3CA850},
                {"librarian_key_blue", 0x3C64C8}};
    for (const auto& key : keys) {
        Canvas item(64, 64);
        Key(item, Rgb(key.colour));
        WriteJpegWithAlpha(out + "/gfx/objects/" + std::string(key.name), item);
    }
    const struct {
        const char* kind;
        float radius;
        uint32_t colour;
    } gears[] = {{"small", 40.0f, 0xB08A4A}, {"medium", 57.5f, 0x9C8C70}, {"big", 80.5f, 0x8A7A5A}};
    for (const auto& gear : gears) {
        Canvas item(64, 64);
        Gear(item, 32, 32, 12.0f + gear.radius / 5.0f, Rgb(gear.colour));
        WriteJpegWithAlpha(out + "/gfx/objects/gear_" + std::string(gear.kind), item);
        const int size = static_cast<int>(gear.radius * 2.0f + 8.0f);
        Canvas full(size, size);
        const float centre = static_cast<float>(size) / 2.0f;
        Gear(full, centre, centre, gear.radius + 3.0f, Rgb(gear.colour));
        WritePng(out + "/gfx/objects/gear_" + std::string(gear.kind) + "_full.png", full);
    }
    // The backdrops of the games.
    WriteJpeg(out + "/gfx/minigames/back_stone.jpg", Backdrop(0x6A6A70, 0x2E2E34, 3));
    WriteJpeg(out + "/gfx/minigames/back_steam.jpg", Backdrop(0x5A4A38, 0x2A2218, 5));
    WriteJpeg(out + "/gfx/minigames/back_clock.jpg", Backdrop(0x4A3E58, 0x221C2A, 7));
    WriteJpeg(out + "/gfx/minigames/back_wheel.jpg", Backdrop(0x3A4A5A, 0x1A222A, 11));
    WriteJpeg(out + "/gfx/minigames/back_lock.jpg", Backdrop(0x5A5048, 0x2A2420, 13));
    // Glyphs: carved (plain, lit, dark, light) and the sigils and buttons of the symbol screen.
    for (const std::string symbol : {"fire", "water", "earth"}) {
        const uint32_t colour = symbol == "fire" ? 0xE06A2A : symbol == "water" ? 0x4A8AE0 : 0x8AB04A;
        const struct {
            const char* suffix;
            Colour paint;
        } passes[] = {{"", Rgb(colour)},
                      {"_lit", Rgb(0xFFF4C0)},
                      {"_dark", Rgb(0x202020, 0.8f)},
                      {"_light", Rgb(0xFFFFFF, 0.5f)}};
        for (const auto& pass : passes) {
            Canvas glyph(48, 48);
            Glyph(glyph, symbol, pass.paint);
            WritePng(out + "/gfx/minigames/stones/" + symbol + pass.suffix + ".png", glyph);
        }
        Canvas sigil(48, 48);
        sigil.Glow(24, 24, 24, Rgb(colour, 0.6f));
        Glyph(sigil, symbol, Rgb(0xFFFFFF));
        WritePng(out + "/gfx/interface/lightstone/sigil_" + symbol + ".png", sigil);
        for (const bool active : {false, true}) {
            Canvas button(64, 64);
            button.Ellipse(32, 32, 30, 30, active ? Rgb(colour) : Rgb(0x3A3A40));
            Canvas glyph(48, 48);
            Glyph(glyph, symbol, active ? Rgb(0xFFFFFF) : Rgb(colour));
            button.Paste(glyph, 8, 8);
            WritePng(out + "/gfx/interface/lightstone/button_" + symbol +
                         (active ? "_active" : "_idle") + ".png",
                     button);
        }
    }
    // The wheel: eight wedges around the middle of a 320 x 320 picture, segment v in the v-th
    // eighth clockwise from straight up, each with its own number of dots.
    for (int v = 0; v < 8; ++v) {
        Canvas segment(320, 320);
        std::vector<float> wedge = {160, 160};
        for (int k = 0; k <= 8; ++k) {
            const float a = (static_cast<float>(v) + static_cast<float>(k) / 8.0f) * kPi / 4.0f;
            wedge.push_back(160.0f + 150.0f * std::sin(a));
            wedge.push_back(160.0f - 150.0f * std::cos(a));
        }
        segment.Polygon(wedge, Mix(Rgb(0x4A6A9A), Rgb(0xD0A040), static_cast<float>(v) / 7.0f));
        const float mid = (static_cast<float>(v) + 0.5f) * kPi / 4.0f;
        for (int dot = 0; dot <= v; ++dot) {
            const float r = 50.0f + 12.0f * static_cast<float>(dot);
            segment.Ellipse(160.0f + r * std::sin(mid), 160.0f - r * std::cos(mid), 4, 4,
                            Rgb(0x101010));
        }
        WritePng(out + "/gfx/minigames/wheel/segment" + std::to_string(v) + ".png", segment);
    }
    // The lock's two handles, upright at rest.
    {
        Canvas first(40, 240);
        first.Polygon({14, 0, 26, 0, 26, 240, 14, 240}, Rgb(0xB0B0B8));
        first.Ellipse(20, 120, 18, 18, Rgb(0x80808A));
        WritePng(out + "/gfx/minigames/lock/handle1.png", first);
        Canvas second(40, 160);
        second.Polygon({12, 0, 28, 0, 28, 160, 12, 160}, Rgb(0xC8A050));
        second.Ellipse(20, 80, 10, 10, Rgb(0x6A5020));
        WritePng(out + "/gfx/minigames/lock/handle2.png", second);
    }
    // The clock door's circles.
    for (const auto& key : keys) {
        std::string colour = key.name;
        colour = colour.substr(colour.rfind('_') + 1);
        Canvas circle(70, 70);
        circle.Glow(35, 35, 35, Rgb(key.colour, 0.9f));
        circle.Ellipse(35, 35, 20, 20, Rgb(key.colour));
        WritePng(out + "/gfx/minigames/clock/circle_" + colour + ".png", circle);
    }
}
