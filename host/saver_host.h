// The screen-saver host's contract with a saver program.
//
// The host owns the process entry, the run modes, the saver window, its
// message loop and the dismissal rules. A saver program links the host and
// provides the three callbacks below; the host has no saver-specific code.
#pragma once

#include <windows.h>

extern "C" {

// The saver's window procedure (exported). It handles what it needs and passes
// every message, also those it handled, to DefaultSaverProc, returning that.
__declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog procedure of the saver's dialog resource 2003 (exported); its
// EndDialog value becomes the settings mode's exit code.
__declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Called with the module instance before the settings dialog is created;
// registers the dialog's control classes and returns non-zero to go on.
BOOL WINAPI RegisterSaverDialogControls(HINSTANCE instance);

// The host's default processing, where the dismissal rules live.
LRESULT WINAPI DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // extern "C"

// Full screen, the host makes one saver window for each monitor: the
// primary's first, then the others. This tells a saver which of them a
// window is: 0 for the primary's window (and for the preview and every
// one-monitor run), 1, 2, ... for the others in the order they were made,
// -1 for a window the host did not make. A saver keeps a state of its own
// for each window and seeds each window's generator apart by this number.
int GetSaverWindowNumber(HWND window);
