// The terrain saver's window: its process-wide records and the procedure the
// host calls for every message of the saver window.
#pragma once

#include <windows.h>

#include "common/step_pause.h"
#include "terrain/terrain_settings.h"
#include "terrain/terrain_state.h"

// The process-wide records of the terrain saver.
extern TerrainSettings gTerrainSettings;
extern TerrainState gTerrainState;

// Reads the settings from the program's settings file.
void LoadTerrainSettingsFromProfile();

// Window creation: seeds the generator and builds the first scene on the
// window's private device context (cleared to black).
void InitTerrainWindow(HWND window);
// One timer tick: at a scene change the wipe (sleeping its pauses) and the
// new scene, then the next quads.
void TickTerrainWindow(HWND window);
// Window destruction: the grid, the palette and the logical palette kept for
// the window.
void FreeTerrainWindow();

// Where creation takes its seed from: GetTickCount, or a fixed source in tests.
using TerrainTickSource = DWORD (WINAPI*)();
void SetTerrainTickSourceForTesting(TerrainTickSource source);
// Where the wipes pause: a sleep paced by the performance counter, or, for a
// test, `pause` (nullptr puts the sleep back).
void SetTerrainPauseForTesting(StepPause* pause);
// How the scene's logical palette is made: CreatePalette, or a test's
// stand-in (nullptr puts CreatePalette back).
using TerrainPaletteMaker = HPALETTE(WINAPI*)(const LOGPALETTE*);
void SetTerrainPaletteMakerForTesting(TerrainPaletteMaker make);
