// The relief saver's Windows side beside its dialog: the program's settings
// record, and the window procedure, which is the host's window skeleton over
// the relief saver's life (kReliefLife) with the desktop picture its windows
// start from.
#pragma once

#include "relief/relief_settings.h"

// The program's settings record, which the settings dialog shows and writes.
// A saver window reads the settings for itself at its creation.
extern ReliefSettings gReliefSettings;

// Reads the settings: from the per-user settings file when there is one,
// else from the settings file beside the program.
void LoadReliefSettingsFromProfile();
// Writes them back (the dialog's OK).
void SaveReliefSettingsToProfile();
