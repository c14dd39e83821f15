#include "tools/demogen/DialogArt.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

Canvas Cells(int cellWidth, int cellHeight, int cells,
             const std::function<void(Canvas&, int)>& paint) {
    Canvas sheet(cellWidth * cells, cellHeight);
    for (int i = 0; i < cells; ++i) {
        Canvas cell(cellWidth, cellHeight);
        paint(cell, i);
        sheet.Paste(cell, i * cellWidth, 0);
    }
    return sheet;
}

// A frame with a soft gold edge: its 24-pixel borders and corners are what the nine-slice keeps.
void FramePicture(Canvas& canvas, float alpha) {
    const float size = static_cast<float>(canvas.Width());
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float edge = std::min({px, py, size - px, size - py});
            Colour colour = Rgb(0x101828, alpha);
            if (edge < 3.0f) {
                colour = Rgb(0xD8B25E, 0.95f);
            } else if (edge < 5.0f) {
                colour = Rgb(0x3A2E1A, 0.9f);
            }
            canvas.At(x, y) = colour;
        }
    }
}

void DownArrow(Canvas& cell, float bob, const Colour& colour) {
    const float y = 8.0f + bob;
    cell.Polygon({14, y, 34, y, 34, y + 16, 44, y + 16, 24, y + 36, 4, y + 16, 14, y + 16}, colour);
}

void Wav(const std::string& path, Track& track) {
    track.Normalise(0.7);
    WriteText(path, WavFile(track.Samples(), 1, Track::kRate, 16));
}

void WritePictures(const std::string& out) {
    const std::string gfx = out + "/gfx/";
    {
        // The speaker's window along the bottom of the screen.
        Canvas window(1024, 128);
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const float t = static_cast<float>(y) / 128.0f;
                window.At(x, y) = Rgb(0x0C1024, 0.55f + 0.35f * t);
            }
        }
        window.Line(0, 2, 1024, 2, 3, Rgb(0xD8B25E, 0.9f));
        window.Line(0, 7, 1024, 7, 1, Rgb(0xD8B25E, 0.4f));
        WritePng(gfx + "interface/dialog_window/dialog_window.png", window);
    }
    {
        // Katya: a hooded figure in a round frame.
        Canvas portrait(160, 170);
        portrait.Ellipse(80, 85, 76, 80, Rgb(0xD8B25E));
        portrait.Ellipse(80, 85, 72, 76, Rgb(0x23304F));
        portrait.Glow(80, 70, 70, Rgb(0x7FB8FF, 0.35f));
        portrait.Polygon({30, 165, 130, 165, 118, 100, 80, 40, 42, 100}, Rgb(0x5A2E4A));
        portrait.Ellipse(80, 92, 24, 28, Rgb(0xE8C4A0));
        portrait.Ellipse(71, 88, 3, 3, Rgb(0x1A1A2A));
        portrait.Ellipse(89, 88, 3, 3, Rgb(0x1A1A2A));
        portrait.Line(72, 106, 88, 106, 2, Rgb(0x9A4A40));
        WritePng(gfx + "interface/dialog_window/katya.png", portrait);
    }
    {
        Canvas frame(64, 64);
        FramePicture(frame, 0.85f);
        WriteJpegWithAlpha(gfx + "interface/cutscene_frame", frame);
    }
    WritePng(gfx + "interface/ui_arrows.png", Cells(48, 48, 4, [](Canvas& cell, int i) {
                 DownArrow(cell, 2.0f * std::sin(static_cast<float>(i) * kPi / 2.0f),
                           Rgb(0xFFD25A));
             }));
    WritePng(gfx + "puzzles/slyder1_arrows.png", Cells(48, 48, 4, [](Canvas& cell, int i) {
                 cell.Glow(24, 24, 24, Rgb(0xCCFF00, 0.3f + 0.1f * static_cast<float>(i % 2)));
                 DownArrow(cell, 0.0f, Rgb(0xCCFF00));
             }));
    {
        // The tutorial page's icon: the glyph in the stone.
        Canvas icon(64, 64);
        icon.Glow(32, 32, 32, Rgb(0x7FE0A0, 0.5f));
        icon.Ellipse(32, 32, 16, 16, Rgb(0x7FE0A0));
        icon.Ellipse(32, 32, 12, 12, Rgb(0x4A505B));
        icon.Line(32, 8, 32, 56, 4, Rgb(0x7FE0A0));
        WritePng(gfx + "interface/tutorial_icon.png", icon);
    }
    {
        Canvas shadow(260, 360);
        shadow.Glow(130, 180, 150, Rgb(0x000000, 1.0f));
        WritePng(gfx + "menus/shadow.png", shadow);
    }
    {
        Canvas fog(1024, 200);
        for (int i = 0; i < 14; ++i) {
            fog.Glow(40.0f + 75.0f * static_cast<float>(i), 110.0f + 20.0f * std::sin(i * 1.7f),
                     110, Rgb(0xDDE4F0, 0.35f));
        }
        WritePng(gfx + "menus/fog.png", fog);
    }
    {
        Canvas cloud(260, 100);
        Dice dice(51);
        for (int i = 0; i < 9; ++i) {
            cloud.Ellipse(50.0f + 20.0f * static_cast<float>(i), 60.0f - dice.Between(0, 25),
                          dice.Between(26, 40), dice.Between(18, 28), Rgb(0xF0E6F4, 0.8f), 6.0f);
        }
        WritePng(gfx + "menus/cloud.png", cloud);
    }
    {
        Canvas smoke(128, 128);
        smoke.Glow(64, 64, 60, Rgb(0xB8B0C0, 0.8f));
        WritePng(gfx + "menus/smoke.png", smoke);
    }
    {
        Canvas lamp(40, 40);
        lamp.Glow(20, 20, 20, Rgb(0xFFFFFF, 1.0f));
        lamp.Ellipse(20, 20, 5, 5, Rgb(0xFFFFFF));
        WritePng(gfx + "menus/lamp.png", lamp);
    }
    WritePng(gfx + "menus/cards.png", Cells(100, 140, 4, [](Canvas& cell, int i) {
                 static constexpr uint32_t kSuits[] = {0x9A2E2E, 0x2E4A9A, 0x2E8A4A, 0x8A6A2E};
                 cell.Ellipse(50, 70, 46, 66, Rgb(0xF4EEDC), 8.0f);
                 cell.Ellipse(50, 70, 20, 20, Rgb(kSuits[i]));
                 cell.Line(50, 40, 50, 100, 4, Rgb(kSuits[i]));
             }));
    {
        // The bonus star of the credits.
        Canvas star(160, 160);
        star.Glow(80, 80, 80, Rgb(0xFFE08A, 0.6f));
        std::vector<float> points;
        for (int k = 0; k < 10; ++k) {
            const float r = k % 2 == 0 ? 70.0f : 28.0f;
            const float a = static_cast<float>(k) * kPi / 5.0f - kPi / 2.0f;
            points.push_back(80 + r * std::cos(a));
            points.push_back(80 + r * std::sin(a));
        }
        star.Polygon(points, Rgb(0xFFD25A));
        WritePng(gfx + "menus/bonus_star.png", star);
    }
    WritePng(gfx + "menus/marker.png", Cells(64, 64, 2, [](Canvas& cell, int i) {
                 if (i == 1) {
                     cell.Glow(32, 32, 32, Rgb(0xFFE29A, 0.6f));
                 }
                 cell.Ellipse(32, 32, 20, 20, Rgb(0xD8B25E), 1.5f);
                 cell.Ellipse(32, 32, 15, 15, Rgb(i == 1 ? 0x9A2E2E : 0x5A1E1E), 1.5f);
             }));
    {
        // The veil over the map that clears as the view dives in.
        Canvas veil(1024, 768);
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const float d = std::hypot(static_cast<float>(x) - 512.0f,
                                           static_cast<float>(y) - 384.0f) /
                                640.0f;
                veil.At(x, y) = Rgb(0x05060C, std::clamp(d * d, 0.0f, 0.8f));
            }
        }
        WritePng(gfx + "menus/zoom_veil.png", veil);
    }
    {
        // The cut-scene's panorama: wider than the screen, so that the arrows can pan it.
        Canvas back(1400, 768);
        back.VerticalGradient(Rgb(0x0A1030), Rgb(0x6A3A5A));
        Dice dice(61);
        for (int i = 0; i < 200; ++i) {
            back.Ellipse(dice.Between(0, 1400), dice.Between(0, 420), 1.0f, 1.0f,
                         Rgb(0xFFF6DD, dice.Between(0.3f, 0.9f)));
        }
        back.Glow(1000, 200, 140, Rgb(0xFFF2C8, 0.5f));
        back.Ellipse(1000, 200, 46, 46, Rgb(0xFFF4D6));
        std::vector<float> ridge(1400);
        for (int x = 0; x < 1400; ++x) {
            const float t = static_cast<float>(x) / 1400.0f;
            ridge[static_cast<std::size_t>(x)] =
                560.0f - 70.0f * std::sin(t * 7.0f) - 30.0f * std::sin(t * 19.0f + 1.0f);
        }
        back.Ridge(ridge, Rgb(0x1E1830));
        WriteJpeg(gfx + "menus/cutscene_back.jpg", back);
    }
}

void WriteSoundsOfDialogues(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        // A few syllables of a voice: vowel-like tones gliding in pitch.
        Track voice(1.6);
        const int pitches[] = {0, 3, -2, 5, 1, -4};
        for (int i = 0; i < 6; ++i) {
            const double start = 0.05 + i * 0.25;
            voice.Glide(start, 0.2, Semitone(pitches[i] - 12), Semitone(pitches[i] - 10), 0.4);
            voice.Note(start, 0.2, Semitone(pitches[i] + 7), 0.15, 9, 4, 0.6);
        }
        Wav(snd + "voice_katya.wav", voice);
    }
    {
        Track item(0.25);
        item.Glide(0.0, 0.25, 600, 1200, 0.3);
        Wav(snd + "menu_item.wav", item);
    }
    {
        Track zoom(1.0);
        zoom.Glide(0.0, 1.0, 200, 700, 0.35);
        zoom.Noise(0.0, 1.0, 0.2, 0.95, 2.0, 5);
        Wav(snd + "map_zoom.wav", zoom);
    }
    {
        Track bang(0.8);
        bang.Noise(0.0, 0.8, 0.9, 0.8, 6.0, 6);
        bang.Note(0.0, 0.3, 60, 0.5, 10, 3, 0.6);
        Wav(snd + "firework.wav", bang);
    }
}

} // namespace

void WriteDialogArt(const std::string& out) {
    WritePictures(out);
    WriteSoundsOfDialogues(out);
}
