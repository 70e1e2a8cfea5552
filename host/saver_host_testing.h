// Hooks for test programs that link the host library. A saver program never
// calls these; without them the host behaves as on the real platform.
#pragma once

#include <windows.h>

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

// Puts the host state back to its start values (between in-process tests).
void ResetSaverHostStateForTesting();
