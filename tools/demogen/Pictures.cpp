#include "tools/demogen/Pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr float kPi = std::numbers::pi_v<float>;

// A rectangle with rounded corners, its edge a border of another colour.
void RoundedRect(Canvas& canvas, float left, float top, float right, float bottom, float radius,
                 const Colour& fill, const Colour& border, float borderWidth) {
    for (int y = static_cast<int>(top); y < static_cast<int>(bottom) + 1; ++y) {
        for (int x = static_cast<int>(left); x < static_cast<int>(right) + 1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float qx = std::max({left + radius - px, px - (right - radius), 0.0f});
            const float qy = std::max({top + radius - py, py - (bottom - radius), 0.0f});
            // Signed distance to the edge, negative inside.
            const float distance = std::hypot(qx, qy) - radius;
            const float inside = std::clamp(0.5f - distance, 0.0f, 1.0f);
            if (inside <= 0.0f) {
                continue;
            }
            const float onBorder = std::clamp(borderWidth + distance + 0.5f, 0.0f, 1.0f);
            canvas.Blend(x, y, Mix(fill, border, onBorder), inside);
        }
    }
}

// Rolling hills: a ridge made of a few sine waves.
std::vector<float> Hills(float base, float amplitude, uint32_t seed) {
    Dice dice(seed);
    const float p1 = dice.Between(0.0f, 6.0f);
    const float p2 = dice.Between(0.0f, 6.0f);
    const float p3 = dice.Between(0.0f, 6.0f);
    std::vector<float> heights(kScreenWidth);
    for (int x = 0; x < kScreenWidth; ++x) {
        const float t = static_cast<float>(x) / kScreenWidth;
        heights[static_cast<std::size_t>(x)] =
            base - amplitude * (0.55f * std::sin(t * 5.1f + p1) + 0.3f * std::sin(t * 11.7f + p2) +
                                0.15f * std::sin(t * 23.0f + p3));
    }
    return heights;
}

void Stars(Canvas& canvas, int count, float lowest, uint32_t seed) {
    Dice dice(seed);
    for (int i = 0; i < count; ++i) {
        const float x = dice.Between(0.0f, kScreenWidth);
        const float y = dice.Between(0.0f, lowest);
        const float size = dice.Between(0.4f, 1.3f);
        canvas.Ellipse(x, y, size, size, Rgb(0xFFF6DD, dice.Between(0.3f, 0.9f)));
    }
}

// A fir: a trunk and three stacked triangles.
void Fir(Canvas& canvas, float x, float ground, float height, const Colour& colour) {
    canvas.Line(x, ground, x, ground - height * 0.3f, height * 0.06f,
                Mix(colour, Rgb(0x2A1A10), 0.5f));
    for (int tier = 0; tier < 3; ++tier) {
        const float bottom = ground - height * (0.2f + 0.25f * static_cast<float>(tier));
        const float halfWidth = height * (0.3f - 0.07f * static_cast<float>(tier));
        const float top = bottom - height * 0.42f;
        canvas.Polygon({x - halfWidth, bottom, x + halfWidth, bottom, x, top}, colour);
    }
}

// A broad-leaved tree: a trunk under a cloud of overlapping discs.
void LeafTree(Canvas& canvas, float x, float ground, float height, const Colour& colour,
              uint32_t seed) {
    Dice dice(seed);
    canvas.Line(x, ground, x + dice.Between(-8, 8), ground - height * 0.55f, height * 0.08f,
                Rgb(0x3B2A1C));
    for (int i = 0; i < 9; ++i) {
        const float cx = x + dice.Between(-0.3f, 0.3f) * height;
        const float cy = ground - height * dice.Between(0.55f, 0.95f);
        const float r = height * dice.Between(0.14f, 0.22f);
        canvas.Ellipse(cx, cy, r, r * 0.9f, Mix(colour, Rgb(0x000000), dice.Between(0.0f, 0.35f)));
    }
}

// A standing stone with glowing carved glyphs.
void Glyphstone(Canvas& canvas, float x, float ground, float height, const Colour& glow) {
    const float w = height * 0.32f;
    canvas.Polygon({x - w, ground, x + w, ground, x + w * 0.8f, ground - height * 0.85f,
                    x + w * 0.2f, ground - height, x - w * 0.7f, ground - height * 0.9f},
                   Rgb(0x5E6470));
    canvas.Polygon({x + w * 0.2f, ground, x + w, ground, x + w * 0.8f, ground - height * 0.85f,
                    x + w * 0.2f, ground - height},
                   Rgb(0x3C414B, 0.8f));
    const float cy = ground - height * 0.55f;
    canvas.Glow(x - w * 0.1f, cy, height * 0.45f, Colour{glow.r, glow.g, glow.b, 0.35f});
    const float r = height * 0.14f;
    canvas.Ellipse(x - w * 0.1f, cy, r, r, Colour{glow.r, glow.g, glow.b, 0.9f});
    canvas.Ellipse(x - w * 0.1f, cy, r - 4.0f, r - 4.0f, Rgb(0x4A505B));
    canvas.Line(x - w * 0.1f, cy - r * 1.8f, x - w * 0.1f, cy + r * 1.8f, 4.0f, glow);
    canvas.Line(x - w * 0.5f, cy + r * 1.2f, x + w * 0.3f, cy + r * 1.2f, 4.0f, glow);
}

void Title(Canvas& canvas, const std::string& text, float baseline, const FontStyle& style) {
    DrawTitle(canvas, text, (kScreenWidth - TitleWidth(text, style)) / 2.0f, baseline, style);
}

// One sheet of cells side by side, each painted by paint(cell canvas, index).
Canvas Sheet(int cellWidth, int cellHeight, int cells,
             const std::function<void(Canvas&, int)>& paint) {
    Canvas sheet(cellWidth * cells, cellHeight);
    for (int i = 0; i < cells; ++i) {
        Canvas cell(cellWidth, cellHeight);
        paint(cell, i);
        sheet.Paste(cell, i * cellWidth, 0);
    }
    return sheet;
}

void Arrow(Canvas& cell, bool pointsRight, const Colour& colour) {
    const float s = pointsRight ? 1.0f : -1.0f;
    const float cx = 32.0f;
    cell.Polygon({cx - 14 * s, 14, cx + 16 * s, 32, cx - 14 * s, 50, cx - 6 * s, 32}, colour);
}

} // namespace

void WriteMenuPictures(const std::string& out, const TitleFonts& fonts) {
    {
        Canvas splash(kScreenWidth, kScreenHeight);
        splash.VerticalGradient(Rgb(0x0B1020), Rgb(0x05060C));
        splash.Glow(512, 330, 340, Rgb(0x3A5FA8, 0.55f));
        for (int ring = 0; ring < 3; ++ring) {
            const float r = 150.0f - 35.0f * static_cast<float>(ring);
            splash.Ellipse(512, 300, r, r, Rgb(0x9CC7FF, 0.5f), 2.0f);
            splash.Ellipse(512, 300, r - 3, r - 3, Rgb(0x0E1426, 0.95f), 2.0f);
        }
        for (int spoke = 0; spoke < 8; ++spoke) {
            const float angle = static_cast<float>(spoke) * kPi / 4.0f;
            splash.Line(512 + 40 * std::cos(angle), 300 + 40 * std::sin(angle),
                        512 + 150 * std::cos(angle), 300 + 150 * std::sin(angle), 3.0f,
                        Rgb(0x9CC7FF, 0.6f));
        }
        splash.Glow(512, 300, 60, Rgb(0xE8F4FF, 0.9f));
        Title(splash, "ORVEX", 560, fonts.title);
        Title(splash, "a demo of hidden things", 620, fonts.subtitle);
        splash.Grain(0.03f, 7);
        WriteJpeg(out + "/gfx/menus/splash.jpg", splash);
    }
    {
        Canvas menu(kScreenWidth, kScreenHeight);
        menu.VerticalGradient(Rgb(0x1B2347), Rgb(0xC27A4E));
        Stars(menu, 220, 380, 11);
        menu.Glow(800, 170, 120, Rgb(0xFFF2C8, 0.6f));
        menu.Ellipse(800, 170, 42, 42, Rgb(0xFFF4D6));
        menu.Ridge(Hills(520, 60, 3), Rgb(0x4B3B5C));
        menu.Ridge(Hills(600, 45, 4), Rgb(0x2E2740));
        Glyphstone(menu, 170, 640, 260, Rgb(0x7FD8FF));
        for (int i = 0; i < 7; ++i) {
            Fir(menu, 640.0f + 55.0f * static_cast<float>(i),
                690.0f - 8.0f * static_cast<float>(i % 3),
                180.0f + 25.0f * static_cast<float>(i % 2), Rgb(0x161423));
        }
        menu.Ridge(Hills(700, 20, 5), Rgb(0x120F1C));
        Title(menu, "ORVEX", 150, fonts.title);
        menu.Grain(0.02f, 8);
        WriteJpeg(out + "/gfx/menus/main_menu.jpg", menu);
    }
    {
        Canvas panel(600, 420);
        RoundedRect(panel, 4, 4, 596, 416, 24, Rgb(0x141A2E, 0.9f), Rgb(0xD8B25E), 3);
        RoundedRect(panel, 14, 14, 586, 406, 16, Rgb(0x000000, 0.0f), Rgb(0xD8B25E, 0.35f), 1);
        WritePng(out + "/gfx/menus/panel.png", panel);
    }
    {
        Canvas field(320, 48);
        RoundedRect(field, 1, 1, 319, 47, 10, Rgb(0x05070E, 0.85f), Rgb(0xBFA060), 2);
        WritePng(out + "/gfx/menus/field.png", field);
    }
    {
        Canvas track(256, 16);
        RoundedRect(track, 1, 3, 255, 13, 5, Rgb(0x2A2F44), Rgb(0xBFA060), 1.5f);
        WritePng(out + "/gfx/menus/slider_track.png", track);
        Canvas knob(28, 28);
        knob.Glow(14, 14, 14, Rgb(0xFFE9A8, 0.6f));
        knob.Ellipse(14, 14, 9, 9, Rgb(0xF2CF72));
        knob.Ellipse(12, 12, 4, 4, Rgb(0xFFF6D8, 0.8f));
        WritePng(out + "/gfx/menus/slider_knob.png", knob);
    }
}

void WriteInterfacePictures(const std::string& out, const TitleFonts& fonts) {
    {
        Canvas pause(kScreenWidth, kScreenHeight);
        pause.VerticalGradient(Rgb(0x10131F), Rgb(0x1C2236));
        pause.Glow(512, 384, 300, Rgb(0x3A5FA8, 0.35f));
        Title(pause, "Paused", 400, fonts.title);
        WriteJpeg(out + "/gfx/interface/pause.jpg", pause);
    }
    // The cursor: an arrow whose glow pulses over four frames; its tip is the frame's corner.
    WritePng(out + "/gfx/interface/cursor.png", Sheet(32, 32, 4, [](Canvas& cell, int i) {
                 cell.Glow(6, 6, 10.0f + 2.0f * static_cast<float>(i), Rgb(0x9FE3FF, 0.5f));
                 cell.Polygon({1, 1, 1, 24, 7, 18, 12, 29, 16, 27, 11, 16, 19, 16}, Rgb(0x101420));
                 cell.Polygon({3, 5, 3, 20, 7.5f, 15.5f, 12.5f, 26, 14, 25.5f, 9, 14.5f, 15, 14.5f},
                              Rgb(0xF4E6C0));
             }));
    WritePng(out + "/gfx/interface/loading.png", Sheet(48, 48, 8, [](Canvas& cell, int i) {
                 for (int dot = 0; dot < 8; ++dot) {
                     const float angle = static_cast<float>(dot) * kPi / 4.0f;
                     const float fade = static_cast<float>((dot - i + 8) % 8) / 8.0f;
                     cell.Ellipse(24 + 16 * std::cos(angle), 24 + 16 * std::sin(angle), 4, 4,
                                  Rgb(0xF2CF72, 0.2f + 0.8f * (1.0f - fade)));
                 }
             }));
    {
        Canvas bar(kScreenWidth, 80);
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < kScreenWidth; ++x) {
                bar.At(x, y) = Rgb(0x0D1120, 0.35f + 0.5f * static_cast<float>(y) / 80.0f);
            }
        }
        bar.Line(0, 1, kScreenWidth, 1, 2, Rgb(0xD8B25E, 0.8f));
        WritePng(out + "/gfx/interface/hud_bar.png", bar);
    }
    // HUD buttons, idle and high side by side: the menu, the way forward, the way back.
    WritePng(out + "/gfx/interface/hud_buttons.png", Sheet(64, 64, 6, [](Canvas& cell, int i) {
                 const bool high = i % 2 == 1;
                 if (high) {
                     cell.Glow(32, 32, 32, Rgb(0xFFE29A, 0.55f));
                 }
                 cell.Ellipse(32, 32, 26, 26, Rgb(0xD8B25E), 1.5f);
                 cell.Ellipse(32, 32, 23, 23, Rgb(high ? 0x26305A : 0x161B33), 1.5f);
                 const Colour mark = Rgb(high ? 0xFFF1C4 : 0xE3C77F);
                 if (i / 2 == 0) {
                     for (int line = 0; line < 3; ++line) {
                         const float y = 22.0f + 10.0f * static_cast<float>(line);
                         cell.Line(20, y, 44, y, 4, mark);
                     }
                 } else {
                     Arrow(cell, i / 2 == 1, mark);
                 }
             }));
    {
        Canvas spark(32, 32);
        spark.Glow(16, 16, 16, Rgb(0xFFFFFF, 1.0f));
        WritePng(out + "/gfx/fx/spark.png", spark);
    }
}

void WriteLocationPictures(const std::string& out) {
    {
        // A forest clearing at dusk with the glyphstone in its middle.
        Canvas wood(kScreenWidth, kScreenHeight);
        wood.VerticalGradient(Rgb(0x6C8FB0), Rgb(0xC8D8B0));
        wood.Glow(300, 120, 260, Rgb(0xFFF2C0, 0.5f));
        wood.Ridge(Hills(360, 40, 21), Rgb(0x5E7A6A));
        for (int i = 0; i < 14; ++i) {
            Fir(wood, 40.0f + 75.0f * static_cast<float>(i), 420.0f,
                150.0f + 30.0f * static_cast<float>(i % 3), Rgb(0x3F5E4B));
        }
        wood.Ridge(Hills(470, 25, 22), Rgb(0x4F7A3A));
        wood.Ridge(Hills(560, 15, 23), Rgb(0x5F8C42));
        Glyphstone(wood, 520, 520, 230, Rgb(0x7FE0A0));
        LeafTree(wood, 110, 700, 420, Rgb(0x2F5A2A), 31);
        LeafTree(wood, 930, 720, 460, Rgb(0x2B5226), 32);
        // Grass tufts and stones in the foreground.
        Dice dice(24);
        for (int i = 0; i < 160; ++i) {
            const float x = dice.Between(0, kScreenWidth);
            const float y = dice.Between(580, 768);
            wood.Line(x, y, x + dice.Between(-6, 6), y - dice.Between(8, 22), 2,
                      Rgb(0x3E6B2E, 0.8f));
        }
        for (int i = 0; i < 6; ++i) {
            wood.Ellipse(dice.Between(200, 850), dice.Between(640, 740), dice.Between(14, 30),
                         dice.Between(8, 14), Rgb(0x6F6A63));
        }
        wood.Grain(0.03f, 25);
        WriteJpeg(out + "/gfx/levels/z1-wood-glyphstone.jpg", wood);
    }
    {
        // A grass-covered barrow under an evening sky, its door of stone slabs.
        Canvas barrow(kScreenWidth, kScreenHeight);
        barrow.VerticalGradient(Rgb(0x2E3A66), Rgb(0xE0A070));
        Stars(barrow, 60, 200, 41);
        barrow.Ridge(Hills(430, 30, 42), Rgb(0x4A5A4C));
        barrow.Ellipse(512, 560, 360, 190, Rgb(0x4E6E3C));
        barrow.Ellipse(512, 570, 330, 160, Rgb(0x5B7E45, 0.6f));
        barrow.Polygon({452, 600, 572, 600, 560, 470, 464, 470}, Rgb(0x1A1A1E));
        barrow.Line(446, 600, 456, 462, 16, Rgb(0x77736C));
        barrow.Line(578, 600, 568, 462, 16, Rgb(0x77736C));
        barrow.Line(440, 462, 584, 462, 18, Rgb(0x87837A));
        barrow.Glow(512, 540, 60, Rgb(0x9FD0FF, 0.25f));
        barrow.Ridge(Hills(660, 18, 43), Rgb(0x3D5A2E));
        for (int i = 0; i < 4; ++i) {
            Fir(barrow, 60.0f + 70.0f * static_cast<float>(i), 680, 260, Rgb(0x1C2A22));
            Fir(barrow, 980.0f - 65.0f * static_cast<float>(i), 690, 240, Rgb(0x1C2A22));
        }
        barrow.Grain(0.03f, 44);
        WriteJpeg(out + "/gfx/levels/z1-barrow-out.jpg", barrow);
    }
}

void WriteObjectPictures(const std::string& out) {
    const auto write = [&out](const std::string& item, const std::function<void(Canvas&)>& paint) {
        Canvas canvas(64, 64);
        paint(canvas);
        WriteJpegWithAlpha(out + "/gfx/objects/" + item, canvas);
    };
    write("acorn", [](Canvas& c) {
        c.Line(32, 6, 36, 14, 4, Rgb(0x5A3B1E));
        c.Ellipse(32, 40, 15, 19, Rgb(0xB9782F));
        c.Ellipse(27, 36, 5, 9, Rgb(0xE0A45A, 0.6f));
        c.Ellipse(32, 22, 19, 10, Rgb(0x6E4A28));
    });
    write("feather", [](Canvas& c) {
        c.Polygon({12, 56, 22, 30, 40, 10, 54, 6, 48, 24, 30, 44}, Rgb(0xE8E4F2));
        c.Polygon({22, 44, 40, 16, 50, 12, 44, 26}, Rgb(0x8FA6D8, 0.7f));
        c.Line(10, 58, 50, 10, 2, Rgb(0x6D6A80));
    });
    write("mushroom", [](Canvas& c) {
        c.Polygon({26, 58, 38, 58, 36, 30, 28, 30}, Rgb(0xEDE3C9));
        c.Ellipse(32, 28, 26, 16, Rgb(0xC0392B));
        for (const auto& [x, y] :
             std::vector<std::pair<float, float>>{{22, 20}, {36, 16}, {44, 26}, {28, 28}}) {
            c.Ellipse(x, y, 4, 3, Rgb(0xFFF5E0));
        }
    });
    write("crystal_shard", [](Canvas& c) {
        c.Glow(32, 32, 32, Rgb(0x8FE8FF, 0.5f));
        c.Polygon({32, 4, 46, 24, 40, 60, 24, 60, 18, 24}, Rgb(0x5FC8F0));
        c.Polygon({32, 4, 46, 24, 32, 30}, Rgb(0xC8F4FF));
        c.Polygon({32, 30, 40, 60, 24, 60}, Rgb(0x2E8EC0));
    });
    write("old_key", [](Canvas& c) {
        // The bow, a ring drawn as a chain of short strokes.
        for (int step = 0; step < 24; ++step) {
            const float a0 = static_cast<float>(step) * kPi / 12.0f;
            const float a1 = a0 + kPi / 12.0f;
            c.Line(18 + 9 * std::cos(a0), 20 + 9 * std::sin(a0), 18 + 9 * std::cos(a1),
                   20 + 9 * std::sin(a1), 6, Rgb(0xC9A04A));
        }
        c.Line(26, 28, 54, 56, 6, Rgb(0xC9A04A));
        c.Line(44, 46, 50, 40, 5, Rgb(0xC9A04A));
        c.Line(50, 52, 56, 46, 5, Rgb(0xC9A04A));
    });
}
