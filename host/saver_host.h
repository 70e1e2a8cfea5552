// The screen-saver host's contract with a saver program: all a saver sees of
// the host.
//
// The host owns the process entry, the run modes, the saver windows, their
// message loop and the dismissal rules. A saver program links the host and
// provides the three callbacks below; the host has no saver-specific code.
// A saver's window procedure is the host's window skeleton run over the
// saver's life (see SaverWindowParts).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/saver_life.h"

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

// 1 while the run is a preview inside a window of the display settings, 0
// full screen (and before any window).
int IsSaverPreview();

// 1 on Windows 95, 98 and Me, 0 on Windows NT and every other platform;
// asked once, when the host starts.
int IsSaverOnWindows9x();

// Full screen, the host makes one saver window for each monitor: the
// primary's first, then the others. This tells which of them a window is: 0
// for the primary's window (and for the preview and every one-monitor run),
// 1, 2, ... for the others in the order they were made, -1 for a window the
// host did not make. A window keeps its number until the saver has seen its
// WM_DESTROY.
int GetSaverWindowNumber(HWND window);

// Asked by a step that waits inside one message (the terrain saver's wipes
// pause inside a timer tick): 1 when what waits in the thread's queue must be
// handled before the step goes on, so the step is to stop and return. That is
// a message another thread has sent (in full screen and preview alike), and
// in full screen a key or a mouse button, the cursor more than the mouse
// threshold from where movement is measured, or the activation gone to
// another thread; while the verifier asks, a key or a button for its dialog.
// Small cursor movements and timer and paint messages never make a step give
// way. Nothing is taken from the queue or dispatched.
int ShouldSaverStepGiveWay();
// The kinds of queued messages (GetQueueStatus flags) that can make a step
// give way: a step waiting on its queue wakes for these and asks again.
constexpr UINT kSaverGiveWayQueueKinds = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_SENDMESSAGE;

// A saver as the host's window skeleton runs it: its life, and what its
// Windows side adds to it.
struct SaverWindowParts {
    const SaverLife* life;
    // The desktop picture a window of width x height starts from (bottom-up
    // rows of blue, green, red), taken just before the life's create; nullptr
    // for a saver that starts from none. A picture that cannot be had (no
    // memory) leaves the window black.
    std::vector<std::uint8_t> (*takeDesktopPicture)(HWND window, int width, int height);
    // Drops what the windows of a run shared while they were made; called at
    // the first timer tick, when every window has been made, and at every
    // window's destruction. nullptr for nothing.
    void (*dropSharedPicture)();
};

// The window skeleton: turns a saver window's messages into the life's
// calls, with a state, a timer and a drawing surface of the window's own, so
// each monitor's window runs a life of its own. WM_CREATE reads the settings
// and creates the state, taking the seed from the clock (windows of other
// monitors seeded apart by their number), then starts the timer the life
// asked for; WM_TIMER (any identifier) is one tick; WM_DESTROY kills the
// timer and destroys the state. Then, for these and every other message, it
// returns DefaultSaverProc. Nothing thrown gets out: a step that fails draws
// nothing.
LRESULT DriveSaverWindow(const SaverWindowParts& parts, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
