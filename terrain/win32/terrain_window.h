// The terrain saver's window: its process-wide records and the procedure the
// host calls for every message of the saver window.
#pragma once

#include <windows.h>

#include "common/step_pause.h"
#include "common/win32/gdi_surface.h"
#include "terrain/terrain_settings.h"
#include "terrain/terrain_state.h"

// The process-wide records of the terrain saver.
extern TerrainSettings gTerrainSettings;
extern TerrainState gTerrainState;

// Reads the settings: from the per-user settings file when there is one,
// else from the settings file beside the program.
void LoadTerrainSettingsFromProfile();

// Each saver window has its scene: gTerrainState for the primary monitor's
// window, the preview and any window the host did not make; one of its own
// for the window of each other monitor (see GetSaverWindowNumber).
//
// Window creation: seeds the window's generator and builds its first scene
// on the window's private device context (cleared to black).
void InitTerrainWindow(HWND window);
// One timer tick: at a scene change the wipe (waiting its pauses, stopped
// early when the host says to give way) and the new scene, then the next
// quads.
void TickTerrainWindow(HWND window);
// Window destruction: the grid, the palette and the logical palette kept for
// the window (nullptr: the primary's).
void FreeTerrainWindow(HWND window = nullptr);

// Where creation takes its seed from: GetTickCount, or a fixed source in tests.
using TerrainTickSource = DWORD (WINAPI*)();
void SetTerrainTickSourceForTesting(TerrainTickSource source);
// Where the wipes pause: a wait on the queue and the performance counter, or,
// for a test, `pause` (nullptr puts the wait back).
void SetTerrainPauseForTesting(StepPause* pause);
// How the scene's logical palette is made: CreatePalette, or a test's
// stand-in (nullptr puts CreatePalette back).
void SetTerrainPaletteMakerForTesting(GdiPaletteHolder::PaletteMaker make);
