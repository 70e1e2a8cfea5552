// Hooks for test programs that link the host library: they give the host
// stand-ins for parts of the system (see SaverHostSystem). Built into the
// library saver_host_testing, which only test programs link; without these
// the host runs on the system itself.
#pragma once

#include <windows.h>

#include "common/step_pause.h"

// Makes the host treat the platform as Windows 95/98 (1), as another platform
// (0), or ask the platform again (-1, the start value). Takes effect at the
// next dispatch, and at once for the procedures that read the state.
void SetSaverPlatformForTesting(int isWin9x);

// Replaces the module names "PASSWORD.CPL" and "MPR.DLL"; nullptr restores the
// system name. The strings must outlive their use.
void SetSaverModuleNamesForTesting(const char* passwordModuleName, const char* changeModuleName);

// Called with the requested state each time the host switches the system's
// screen-saver-running flag, after the system call; nullptr removes it.
using SaverRunningFlagObserver = void (*)(int on);
void SetSaverRunningFlagObserverForTesting(SaverRunningFlagObserver observer);

// Where window creation takes its seed: GetTickCount, or a fixed source
// (nullptr puts GetTickCount back).
void SetSaverTickSourceForTesting(DWORD (WINAPI* source)());

// How the windows' logical palettes are made: CreatePalette, or a stand-in
// (nullptr puts CreatePalette back).
void SetSaverPaletteMakerForTesting(HPALETTE (WINAPI* make)(const LOGPALETTE*));

// Whether window creation takes the display for a palette-based one: -1 asks
// the display (GetDeviceCaps NUMCOLORS), 0 or 1 is a test's answer.
void SetSaverPaletteDisplayForTesting(int paletteDisplay);

// Where a step waits: the host's wait on the clock and the queue, or, for a
// test, `pause` (nullptr puts the wait back).
void SetSaverPauseForTesting(StepPause* pause);

// Puts the host state back to its start values (between in-process tests),
// keeping the stand-ins given above.
void ResetSaverHostStateForTesting();
