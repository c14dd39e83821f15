#include "tools/demogen/VideoArt.h"

#include "tests/support/AudioFixtures.h"
#include "tests/support/VideoFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int kFrames = 60;
constexpr int kFramesPerSecond = 15;
constexpr int kWidth = 640;
constexpr int kHeight = 360;

// Studio-range Y'CbCr of an RGB colour (each 0..1).
YCbCr ToYCbCr(const Colour& c) {
    const auto byte = [](double value) {
        return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    };
    return {byte(16.0 + 65.481 * c.r + 128.553 * c.g + 24.966 * c.b),
            byte(128.0 - 37.797 * c.r - 74.203 * c.g + 112.0 * c.b),
            byte(128.0 + 112.0 * c.r - 93.786 * c.g - 18.214 * c.b)};
}

// Colour bars above a dusk gradient, and a golden orb that crosses the picture on an arc.
YCbCr PixelOf(int frame, int x, int y) {
    static const std::array<Colour, 7> kBars = {Rgb(0xC0C0C0), Rgb(0xC0C000), Rgb(0x00C0C0),
                                                Rgb(0x00C000), Rgb(0xC000C0), Rgb(0xC00000),
                                                Rgb(0x0000C0)};
    Colour colour = y < kHeight / 2
                        ? kBars[static_cast<std::size_t>(std::min(x * 7 / kWidth, 6))]
                        : Mix(Rgb(0x2A3A6A), Rgb(0x0A0A18),
                              static_cast<float>(y - kHeight / 2) / (kHeight / 2.0f));
    const float t = static_cast<float>(frame) / (kFrames - 1);
    const float orbX = 60.0f + t * (kWidth - 120.0f);
    const float orbY = 250.0f - 150.0f * std::sin(t * 3.14159265f);
    const float distance = std::hypot(static_cast<float>(x) - orbX, static_cast<float>(y) - orbY);
    if (distance < 40.0f) {
        const float glow = std::clamp((40.0f - distance) / 12.0f, 0.0f, 1.0f);
        colour = Mix(colour, Rgb(0xFFD870), glow);
    }
    return ToYCbCr(colour);
}

// The closing cut-scene, three seconds: the hermitage's roof against a night sky, its lantern's
// light growing until it fills the picture with gold.
constexpr int kOutroFrames = 45;

YCbCr OutroPixelOf(int frame, int x, int y) {
    const float t = static_cast<float>(frame) / (kOutroFrames - 1);
    Colour colour = Mix(Rgb(0x0A0E28), Rgb(0x2A2040), static_cast<float>(y) / kHeight);
    // A few fixed stars.
    if ((x * 7919 + y * 104729) % 977 == 0 && y < 220) {
        colour = Rgb(0xF0F0FF);
    }
    // The roof and the walls, black.
    const float roofY = 200.0f + std::abs(static_cast<float>(x) - 320.0f) * 0.6f;
    if (y > roofY && x > 150 && x < 490) {
        colour = Rgb(0x080604);
    }
    const float distance = std::hypot(static_cast<float>(x) - 320.0f, static_cast<float>(y) - 280.0f);
    const float radius = 20.0f + t * t * 420.0f;
    if (distance < radius) {
        const float glow = std::clamp((radius - distance) / 30.0f, 0.0f, 1.0f);
        colour = Mix(colour, Mix(Rgb(0xFFB040), Rgb(0xFFF0C0), t), glow);
    }
    return ToYCbCr(colour);
}

void WriteClip(const std::string& path, int frames, YCbCr (*pixelOf)(int, int, int)) {
    TheoraClip clip;
    clip.frameWidth = kWidth;
    clip.frameHeight = 368; // whole blocks of 16; the picture is the top 360 rows
    clip.pictureWidth = kWidth;
    clip.pictureHeight = kHeight;
    clip.framesPerSecond = kFramesPerSecond;
    clip.frames = frames;
    clip.quality = 40;
    clip.pixel = [pixelOf](int frame, int x, int y) {
        return pixelOf(frame, std::min(x, kWidth - 1), std::min(y, kHeight - 1));
    };
    WriteText(path, TheoraFile(clip).bytes);
}

void WriteVideos(const std::string& out) {
    WriteClip(out + "/video/intro.ogv", kFrames, PixelOf);
    WriteClip(out + "/video/outro.ogv", kOutroFrames, OutroPixelOf);
}

// A slow swell under the video: a pad that opens up, and a bell as the orb reaches its height.
void WriteVideoSound(const std::string& out) {
    const double seconds = static_cast<double>(kFrames) / kFramesPerSecond;
    Track track(seconds);
    track.Pad(0.0, seconds, {Semitone(-21), Semitone(-14), Semitone(-9)}, 0.3);
    track.Note(1.9, 2.0, Semitone(3), 0.25, 2.5, 4, 0.35);
    track.Normalise(0.6);
    track.FadeEnds(0.1);
    WriteText(out + "/snd/video/intro_video.ogg", VorbisFile(track.Samples(), 1, Track::kRate));

    // Under the closing one: a warm chord that rises, and two bells.
    const double outroSeconds = static_cast<double>(kOutroFrames) / kFramesPerSecond;
    Track outro(outroSeconds);
    outro.Pad(0.0, outroSeconds, {Semitone(-12), Semitone(-8), Semitone(-5)}, 0.3);
    outro.Note(0.8, 1.5, Semitone(7), 0.25, 2.0, 4, 0.35);
    outro.Note(2.0, 1.0, Semitone(12), 0.25, 2.0, 4, 0.35);
    outro.Normalise(0.6);
    outro.FadeEnds(0.1);
    WriteText(out + "/snd/video/outro_video.ogg", VorbisFile(outro.Samples(), 1, Track::kRate));
}

// A band across the texture: bright gold along its middle, black (adding nothing) at its edges.
void WriteTrailTexture(const std::string& out) {
    Canvas band(64, 64, Rgb(0x000000));
    for (int y = 0; y < band.Height(); ++y) {
        const float across = (static_cast<float>(y) + 0.5f) / band.Height() * 2.0f - 1.0f;
        const float strength = std::exp(-across * across * 6.0f);
        for (int x = 0; x < band.Width(); ++x) {
            band.At(x, y) = Mix(Rgb(0x000000), Rgb(0xFFD27A), strength);
        }
    }
    WriteJpeg(out + "/gfx/fx/gold_trail.jpg", band);
}

// The black curtain that the cut-scene's sprite fades in and out, scaled up across the screen.
void WriteCurtain(const std::string& out) {
    WriteJpeg(out + "/gfx/video/curtain.jpg", Canvas(64, 64, Rgb(0x000000)));
}

// The carved standing stone before the barrow, whose click starts the cut-scene: grey, lit from
// the left, with a glowing spiral cut into it.
void WriteCarvedStone(const std::string& out) {
    Canvas stone(80, 120);
    stone.Polygon({14, 118, 8, 40, 22, 8, 52, 2, 70, 30, 74, 118}, Rgb(0x6E6A78));
    stone.Polygon({44, 118, 52, 2, 70, 30, 74, 118}, Rgb(0x55525E));
    float x = 40.0f;
    float y = 62.0f;
    for (int i = 1; i <= 40; ++i) {
        const float angle = static_cast<float>(i) * 0.42f;
        const float radius = static_cast<float>(i) * 0.55f;
        const float nextX = 40.0f + radius * std::cos(angle);
        const float nextY = 62.0f + radius * std::sin(angle);
        stone.Line(x, y, nextX, nextY, 2.5f, Rgb(0xFFD27A, 0.9f));
        x = nextX;
        y = nextY;
    }
    stone.Glow(40.0f, 62.0f, 30.0f, Rgb(0xFFD27A, 0.25f));
    WritePng(out + "/gfx/levels/carved_stone.png", stone);
}

} // namespace

void WriteVideoArt(const std::string& out) {
    WriteVideos(out);
    WriteVideoSound(out);
    WriteCurtain(out);
    WriteTrailTexture(out);
    WriteCarvedStone(out);
}
