#pragma once

// The user options: full screen and the two volumes. "settings.dat" in the player-file folder
// holds them, and every profile file carries a copy.
struct UserSettings {
    bool fullScreen = false;
    bool reserved = false;    // written into every profile file and never read
    float musicVolume = 1.0f; // 0..1
    float soundVolume = 1.0f; // 0..1
};

extern UserSettings GameSettings;

// Writes "settings.dat": full screen (0 or 1), the music volume and the sound volume, one a line.
// False (logged) when it could not be written.
bool SaveSettings();

// Reads "settings.dat", each value on its own: a value that is missing or not one (a volume that
// is not a finite number) is taken from the live state instead, as is all of it when the file is
// missing: full screen from the display mode, the volumes from the sound layer. Volumes are
// clamped to 0..1. Then the sound layer takes both volumes.
void LoadSettings();

// Whether the game starts in full screen: always on the first start (no "last.pla" in the
// player-file folder); afterwards as "settings.dat" says, or as configured when it does not.
bool FullScreenAtStart(bool configured);
