// The relief saver's window: its one process-wide state and the procedure the
// host calls for every message of the saver window.
#pragma once

#include <windows.h>

#include "relief/relief_settings.h"
#include "relief/relief_state.h"

// The process-wide records of the relief saver.
extern ReliefSettings gReliefSettings;
extern ReliefState gReliefState;

// Reads the settings: from the per-user settings file when there is one,
// else from the settings file beside the program.
void LoadReliefSettingsFromProfile();
// Writes them back (the dialog's OK).
void SaveReliefSettingsToProfile();

// Each saver window has its state: gReliefState for the primary monitor's
// window, the preview and any window the host did not make; one of its own
// for the window of each other monitor (see GetSaverWindowNumber).
//
// Window creation: picture, tables and the logical palette. snapshotFresh:
// this start's snapshot helper succeeded (RunSnapProgram), so on Windows NT
// the picture is the snapshot file's; otherwise a copy of the screen.
void InitReliefWindow(HWND window, bool snapshotFresh);
// One timer tick: one lens frame on the window.
void RenderReliefFrame(HWND window);
// Window destruction: every table, and the palette, put out of the window's
// context first (nullptr: the primary's).
void FreeReliefWindow(HWND window = nullptr);

// Where creation takes its seed from: GetTickCount, or a fixed source in tests.
using ReliefTickSource = DWORD (WINAPI*)();
void SetReliefTickSourceForTesting(ReliefTickSource source);
// Whether creation takes the display for a palette-based one: -1 asks the
// display (GetDeviceCaps NUMCOLORS), 0 or 1 is a test's answer.
void SetReliefPaletteDisplayForTesting(int paletteDisplay);
