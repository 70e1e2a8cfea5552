// The terrain saver's Windows side beside its dialog: the program's settings
// record, and the window procedure, which is the host's window skeleton over
// the terrain saver's life (kTerrainLife).
#pragma once

#include "terrain/terrain_settings.h"

// The program's settings record, which the settings dialog shows and writes.
// A saver window reads the settings for itself at its creation.
extern TerrainSettings gTerrainSettings;

// Reads the settings: from the per-user settings file when there is one,
// else from the settings file beside the program.
void LoadTerrainSettingsFromProfile();
