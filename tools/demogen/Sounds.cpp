#include "tools/demogen/Sounds.h"

#include "tests/support/AudioFixtures.h"
#include "tools/demogen/Canvas.h"
#include "tools/demogen/Synth.h"

#include <string>
#include <vector>

namespace {

void WriteWav(const std::string& path, Track& track) {
    track.Normalise(0.7);
    const std::string file = WavFile(track.Samples(), 1, Track::kRate, 16);
    WriteText(path, file);
}

void WriteOgg(const std::string& path, Track& track) {
    track.Normalise(0.6);
    track.FadeEnds(0.05);
    WriteText(path, VorbisFile(track.Samples(), 1, Track::kRate));
}

// A-minor-ish progression for the menu: each chord four seconds, a slow arpeggio over the pad.
void MenuMusic(Track& track) {
    const std::vector<std::vector<int>> chords = {
        {-12, -9, -5}, {-16, -12, -9}, {-19, -15, -12}, {-14, -10, -7}};
    for (int bar = 0; bar < 8; ++bar) {
        const std::vector<int>& chord = chords[static_cast<std::size_t>(bar % 4)];
        const double start = bar * 4.0;
        std::vector<double> pad;
        for (const int note : chord) {
            pad.push_back(Semitone(note - 12));
        }
        track.Pad(start, 4.4, pad, 0.35);
        for (int step = 0; step < 8; ++step) {
            const int note = chord[static_cast<std::size_t>(step % 3)] + (step >= 4 ? 12 : 0);
            track.Note(start + step * 0.5, 0.9, Semitone(note), 0.18, 3.0, 3, 0.3);
        }
    }
}

// A calmer loop for the locations: an open fifth drone and sparse bell notes.
void LocationMusic(Track& track) {
    track.Pad(0.0, 24.0, {Semitone(-26), Semitone(-19), Semitone(-14)}, 0.3);
    const int bells[] = {3, 7, 10, 12, 7, 5, 3, 0, 5, 7};
    for (int i = 0; i < 10; ++i) {
        track.Note(1.0 + i * 2.2, 2.0, Semitone(bells[i]), 0.14, 1.6, 4, 0.5);
    }
}

} // namespace

void WriteSounds(const std::string& out) {
    const std::string snd = out + "/snd/";
    {
        Track click(0.08);
        click.Note(0.0, 0.08, 1400, 0.5, 60, 2);
        click.Noise(0.0, 0.02, 0.3, 0.3, 200, 1);
        WriteWav(snd + "ui_click.wav", click);
    }
    {
        Track hover(0.12);
        hover.Glide(0.0, 0.12, 900, 1300, 0.3);
        WriteWav(snd + "ui_hover.wav", hover);
    }
    {
        Track type(0.05);
        type.Noise(0.0, 0.05, 0.5, 0.5, 120, 2);
        WriteWav(snd + "type.wav", type);
    }
    {
        Track pickup(0.5);
        pickup.Note(0.0, 0.25, Semitone(3), 0.5, 8, 3);
        pickup.Note(0.08, 0.25, Semitone(7), 0.5, 8, 3);
        pickup.Note(0.16, 0.34, Semitone(12), 0.5, 6, 3);
        WriteWav(snd + "pickup.wav", pickup);
    }
    {
        Track cannot(0.35);
        cannot.Note(0.0, 0.15, Semitone(-17), 0.6, 10, 5, 0.7);
        cannot.Note(0.16, 0.18, Semitone(-18), 0.6, 10, 5, 0.7);
        WriteWav(snd + "cannot.wav", cannot);
    }
    {
        Track select(0.6);
        select.Glide(0.0, 0.6, 300, 900, 0.4);
        select.Note(0.3, 0.3, Semitone(10), 0.3, 6);
        WriteWav(snd + "level_select.wav", select);
    }
    {
        Track warp(1.6);
        warp.Glide(0.0, 1.6, 120, 1600, 0.4);
        warp.Glide(0.1, 1.4, 180, 2400, 0.25);
        warp.Noise(0.0, 1.6, 0.25, 0.9, 1.0, 3);
        WriteWav(snd + "warp_in.wav", warp);
    }
    {
        Track appear(0.9);
        for (int i = 0; i < 5; ++i) {
            appear.Note(i * 0.09, 0.5, Semitone(i * 3), 0.3, 5, 2);
        }
        WriteWav(snd + "game_appear.wav", appear);
    }
    {
        Track door(0.7);
        door.Noise(0.0, 0.7, 0.8, 0.97, 5, 4);
        door.Note(0.0, 0.5, 70, 0.5, 7, 4, 0.6);
        WriteWav(snd + "door_close.wav", door);
    }
    {
        Track slider(0.1);
        slider.Note(0.0, 0.1, 900, 0.4, 40, 2);
        WriteWav(snd + "slider.wav", slider);
    }
    {
        Track menu(32.0);
        MenuMusic(menu);
        WriteOgg(snd + "music/main_menu.ogg", menu);
    }
    {
        Track location(24.0);
        LocationMusic(location);
        WriteOgg(snd + "music/wood.ogg", location);
    }
}
