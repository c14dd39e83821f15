#include "tools/demogen/SceneArt.h"

#include "tools/demogen/Canvas.h"

#include <cmath>
#include <iterator>
#include <numbers>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The colours of one world map's sheet.
struct MapLook {
    Colour paperTop, paperBottom, edge, river, tree, trunk, road;
    uint32_t seed = 0;
};

// The centres of the places that the maps' buttons stand on: the glyphstone's clearing, the
// barrow and the hermitage.
constexpr float kPlaces[][2] = {{364, 444}, {704, 204}, {184, 184}};

// A map of the wood: a sheet, a river, the forest as little trees and the roads from the
// clearing to the other places.
Canvas PaintMap(const MapLook& look) {
    Canvas map(1024, 768);
    map.VerticalGradient(look.paperTop, look.paperBottom);
    map.Grain(0.05f, look.seed);
    // Darker edges, as an old sheet has.
    for (int i = 0; i < 40; ++i) {
        for (int x = 0; x < 1024; ++x) {
            map.Blend(x, i, look.edge, static_cast<float>(40 - i));
            map.Blend(x, 767 - i, look.edge, static_cast<float>(40 - i));
        }
        for (int y = 0; y < 768; ++y) {
            map.Blend(i, y, look.edge, static_cast<float>(40 - i));
            map.Blend(1023 - i, y, look.edge, static_cast<float>(40 - i));
        }
    }
    // The river from the top right down to the bottom left.
    for (int step = 0; step < 60; ++step) {
        const float t0 = static_cast<float>(step) / 60.0f;
        const float t1 = static_cast<float>(step + 1) / 60.0f;
        const auto at = [](float t) {
            return std::vector<float>{900.0f - 780.0f * t + 60.0f * std::sin(t * 7.0f),
                                      60.0f + 640.0f * t};
        };
        const std::vector<float> a = at(t0);
        const std::vector<float> b = at(t1);
        map.Line(a[0], a[1], b[0], b[1], 10.0f + 6.0f * t0, look.river);
    }
    // The forest, leaving room around the places.
    Dice dice(look.seed + 1);
    for (int i = 0; i < 140; ++i) {
        const float x = dice.Between(60, 980);
        const float y = dice.Between(80, 700);
        bool clear = true;
        for (const auto& place : kPlaces) {
            clear = clear && std::hypot(x - place[0], y - place[1]) >= 110;
        }
        if (!clear) {
            continue;
        }
        const float h = dice.Between(18, 30);
        map.Polygon({x, y - h, x + h * 0.45f, y, x - h * 0.45f, y}, look.tree);
        map.Line(x, y, x, y + 5, 2, look.trunk);
    }
    // The roads, dotted, from the clearing to the barrow and to the hermitage.
    for (std::size_t to = 1; to < std::size(kPlaces); ++to) {
        const float x0 = kPlaces[0][0];
        const float y0 = kPlaces[0][1];
        const float dx = kPlaces[to][0] - x0;
        const float dy = kPlaces[to][1] - y0;
        for (int step = 0; step < 28; step += 2) {
            const float t0 = static_cast<float>(step) / 28.0f;
            const float t1 = static_cast<float>(step + 1) / 28.0f;
            map.Line(x0 + dx * t0, y0 + dy * t0 + 40 * std::sin(t0 * kPi), x0 + dx * t1,
                     y0 + dy * t1 + 40 * std::sin(t1 * kPi), 4, look.road);
        }
    }
    return map;
}

// The wood's maps: the parchment one, and the scorched one that the hermit's fire-lit sky
// brings (chosen once the hermitage's star sign is drawn).
void WriteWoodMap(const std::string& out) {
    MapLook parchment;
    parchment.paperTop = Rgb(0xE9D9AE);
    parchment.paperBottom = Rgb(0xD2BC86);
    parchment.edge = Rgb(0x6B4E22, 0.018f);
    parchment.river = Rgb(0x5C8FB8, 0.8f);
    parchment.tree = Rgb(0x3E6B3A, 0.85f);
    parchment.trunk = Rgb(0x5B3E1E, 0.9f);
    parchment.road = Rgb(0x7A5A2E, 0.9f);
    parchment.seed = 71;
    WriteJpeg(out + "/gfx/levels/wood_map.jpg", PaintMap(parchment));

    MapLook scorched;
    scorched.paperTop = Rgb(0x6A3A22);
    scorched.paperBottom = Rgb(0x3A1C10);
    scorched.edge = Rgb(0x120604, 0.03f);
    scorched.river = Rgb(0xFF8A30, 0.85f);
    scorched.tree = Rgb(0x1E0E08, 0.9f);
    scorched.trunk = Rgb(0x120804, 0.9f);
    scorched.road = Rgb(0xF0C060, 0.9f);
    scorched.seed = 171;
    WriteJpeg(out + "/gfx/levels/fire_map.jpg", PaintMap(scorched));

    // The places, 128 x 128 each: the glyphstone's clearing, the barrow and the hermitage.
    Canvas places(384, 128);
    places.Ellipse(64, 76, 54, 40, Rgb(0x9CC47A, 0.9f));
    places.Polygon({48, 104, 80, 104, 76, 44, 66, 30, 52, 40}, Rgb(0x8A8A92));
    places.Line(58, 56, 70, 70, 3, Rgb(0x4FE08A));
    places.Line(70, 56, 58, 84, 3, Rgb(0x4FE08A));
    places.Glow(64, 66, 40, Rgb(0x7FE0A0, 0.35f));
    places.Ellipse(192, 84, 56, 36, Rgb(0x5B7E45));
    places.Ellipse(192, 88, 50, 28, Rgb(0x6E9455, 0.7f));
    places.Polygon({178, 104, 206, 104, 203, 78, 181, 78}, Rgb(0x1A1A1E));
    places.Line(176, 78, 208, 78, 6, Rgb(0x87837A));
    // The hermitage: a hut of logs under a steep roof, its window lit by the lantern.
    places.Ellipse(320, 100, 56, 18, Rgb(0x6E9455, 0.8f));
    places.Polygon({284, 104, 356, 104, 356, 62, 284, 62}, Rgb(0x7A5232));
    for (int log = 0; log < 4; ++log) {
        const float y = 70.0f + 10.0f * static_cast<float>(log);
        places.Line(286, y, 354, y, 2, Rgb(0x4E321C));
    }
    places.Polygon({272, 66, 320, 22, 368, 66}, Rgb(0x3A2A22));
    places.Polygon({328, 76, 344, 76, 344, 92, 328, 92}, Rgb(0xFFD27A));
    places.Glow(336, 84, 26, Rgb(0xFFC060, 0.45f));
    places.Polygon({296, 104, 312, 104, 312, 80, 296, 80}, Rgb(0x2A1A10));
    WritePng(out + "/gfx/interface/maps/map_places.png", places);

    // The arrow that points down at the last place.
    Canvas arrow(48, 64);
    arrow.Polygon({12, 4, 36, 4, 36, 34, 46, 34, 24, 62, 2, 34, 12, 34}, Rgb(0x7A1E12));
    arrow.Polygon({16, 8, 32, 8, 32, 38, 38, 38, 24, 56, 10, 38, 16, 38}, Rgb(0xE0452E));
    arrow.Polygon({16, 8, 22, 8, 22, 38, 16, 38}, Rgb(0xFF9A7A, 0.7f));
    WritePng(out + "/gfx/interface/maps/arrow_katya.png", arrow);

    // The HUD's map button, idle and lit: a folded map on a round face.
    Canvas button(128, 64);
    for (int lit = 0; lit < 2; ++lit) {
        const float cx = 32.0f + 64.0f * static_cast<float>(lit);
        button.Ellipse(cx, 32, 27, 27, Rgb(lit != 0 ? 0x8A6A2E : 0x5C4520));
        button.Ellipse(cx, 32, 24, 24, Rgb(lit != 0 ? 0xF2D488 : 0xC9A85A));
        button.Polygon({cx - 14, 20, cx - 5, 16, cx + 5, 22, cx + 14, 18, cx + 14, 44, cx + 5, 48,
                        cx - 5, 42, cx - 14, 46},
                       Rgb(0xF4EAD0));
        button.Line(cx - 5, 16, cx - 5, 42, 1.5f, Rgb(0x9C8450));
        button.Line(cx + 5, 22, cx + 5, 48, 1.5f, Rgb(0x9C8450));
        button.Ellipse(cx + 4, 33, 3, 3, Rgb(0xE0452E));
    }
    WritePng(out + "/gfx/interface/map_button.png", button);
}

// The barrow's chest (128 x 96), its pool and stream of water, and the ring behind the chest.
void WriteBarrowThings(const std::string& out) {
    Canvas chest(128, 96);
    chest.Polygon({8, 40, 120, 40, 116, 92, 12, 92}, Rgb(0x6B4423));
    chest.Polygon({8, 40, 120, 40, 112, 14, 16, 14}, Rgb(0x7E5230));
    for (const float x : {28.0f, 100.0f}) {
        chest.Line(x, 16, x, 90, 6, Rgb(0x8C8C94));
    }
    chest.Line(10, 40, 118, 40, 5, Rgb(0x8C8C94));
    chest.Polygon({56, 36, 72, 36, 72, 56, 56, 56}, Rgb(0xC9A04A));
    chest.Ellipse(64, 44, 3, 3, Rgb(0x2A1A0A));
    chest.Line(64, 44, 64, 52, 2, Rgb(0x2A1A0A));
    chest.Grain(0.04f, 81);
    WritePng(out + "/gfx/levels/barrow_chest.png", chest);

    Canvas pool(256, 80);
    pool.Ellipse(128, 40, 124, 36, Rgb(0x6FB8E8, 0.75f), 8.0f);
    pool.Ellipse(110, 34, 70, 12, Rgb(0xDDF4FF, 0.5f), 6.0f);
    WritePng(out + "/gfx/levels/barrow_pool.png", pool);

    Canvas stream(48, 160);
    Dice dice(82);
    for (int i = 0; i < 14; ++i) {
        const float x = dice.Between(8, 40);
        const float top = dice.Between(0, 100);
        stream.Line(x, top, x + dice.Between(-2, 2), top + dice.Between(30, 60), 3,
                    Rgb(0xD8F0FF, 0.7f));
    }
    WritePng(out + "/gfx/levels/barrow_stream.png", stream);

    Canvas ring(64, 64);
    for (int step = 0; step < 32; ++step) {
        const float a0 = static_cast<float>(step) * kPi / 16.0f;
        const float a1 = a0 + kPi / 16.0f;
        ring.Line(32 + 16 * std::cos(a0), 36 + 12 * std::sin(a0), 32 + 16 * std::cos(a1),
                  36 + 12 * std::sin(a1), 5, Rgb(0xD8DCE4));
    }
    ring.Glow(32, 22, 12, Rgb(0xB8F0FF, 0.8f));
    ring.Polygon({32, 12, 38, 20, 32, 28, 26, 20}, Rgb(0x6FE0FF));
    WriteJpegWithAlpha(out + "/gfx/objects/silver_ring", ring);
}

// The glyphstone's glow and the wisp that shows itself in the wood.
void WriteWoodThings(const std::string& out) {
    Canvas glow(200, 260);
    glow.Glow(100, 130, 120, Rgb(0x7FFFB0, 0.8f));
    WritePng(out + "/gfx/levels/wood_glow.png", glow);

    Canvas wisp(64, 64);
    wisp.Glow(32, 32, 30, Rgb(0xBFE8FF, 0.7f));
    wisp.Ellipse(32, 30, 9, 12, Rgb(0xF2FBFF));
    wisp.Ellipse(28, 27, 2, 2, Rgb(0x2A4A6A));
    wisp.Ellipse(36, 27, 2, 2, Rgb(0x2A4A6A));
    WritePng(out + "/gfx/levels/wood_wisp.png", wisp);
}

} // namespace

void WriteSceneArt(const std::string& out) {
    WriteWoodMap(out);
    WriteBarrowThings(out);
    WriteWoodThings(out);
}
