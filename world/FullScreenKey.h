#pragma once

// Alt+Enter, the switch between window and full screen. The game process and every level
// system ask for it each step, so it acts at most once per step (whoever asks first), or the
// second caller would switch back and leave the settings recording the wrong mode.
//
// When Alt is held and Enter was pressed this step, and the desktop is large enough for a
// window: the full-screen setting is toggled, "settings.dat" is written (and the current
// profile, which carries a copy), and the switch is requested while the setting differs from
// the current window mode. True when it toggled.
bool RunFullScreenKey();
// The switch itself, for the key and for the 'FULL' buttons: unless the desktop is too small for
// a window, the full-screen setting is toggled, "settings.dat" (and the current profile) written
// and the switch requested while the setting differs from the current mode. True when it toggled.
bool SwitchFullScreenSetting();

// Forgets the step last handled (tests start each case afresh).
void ResetFullScreenKey();
