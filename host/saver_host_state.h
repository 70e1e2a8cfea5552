// The host's process-wide state and its procedures (Win32 side).
#pragma once

#include "host/saver_host.h"

#include <cstdint>
#include <vector>

using SaverVerifyPasswordFunction = BOOL (WINAPI*)(HWND window);
using SaverAssociateContextFunction = HANDLE (WINAPI*)(HWND window, HANDLE context);

struct SaverHostState {
    HINSTANCE instance;
    HWND saverWindow;
    int isPreview;
    int isClosing;
    int isCheckingPassword;
    HMODULE passwordModule;
    SaverVerifyPasswordFunction verifyPassword;
    HMODULE imeModule;
    SaverAssociateContextFunction associateContext;
    HANDLE savedInputContext;
    int isWin9x;
    std::uint32_t mouseThreshold;
    std::uint32_t lastPasswordCheckTick;
    POINT lastCursorPos;
    // Full screen on several monitors: the windows of the monitors other than
    // the primary, whose window is saverWindow. They end with it.
    std::vector<HWND> monitorWindows;
};

// Start values: everything 0 except the mouse threshold (4 pixels) and the
// last password check (none).
constexpr std::uint32_t kSaverMouseThreshold = 4;
constexpr std::uint32_t kSaverNoPasswordCheck = 0xFFFFFFFFu;
constexpr DWORD kSaverPasswordRecheckMs = 200;
// The request a close sends to the window itself to ask the verifier.
constexpr UINT kSaverVerifyPasswordMessage = WM_APP;

extern SaverHostState saverHost;

extern "C" {

// The process entry behind WinMain: reads the command line, runs one mode and
// ends the process with its result. Never returns.
void SaverEntry();

}

// Runs the mode named by the command tail; returns its exit code (-1 for a bad
// command line).
int SaverDispatch(HINSTANCE instance, const char* tail);

// The settings dialog 2003; returns its EndDialog value, 0 when the saver
// declines to register its controls, -1 when the dialog cannot be made.
int ShowSaverSettings(HWND owner);

// The preview inside the window named by the text; -1 for a bad handle.
int RunSaverPreview(const char* text);

// Full screen without a parent, else a preview inside the parent.
int RunSaverWindow(HWND parent);

LRESULT CALLBACK SaverHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunningFlag(int on);
int ConfirmSaverClose(HWND window);
void ChangeSaverPassword(const char* text);

// Asked by a saver that waits inside one message (the terrain saver's wipes
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

// The result of RunSaverWindow when the class cannot be registered or the
// window cannot be created: no quit message gives a value on that path, and
// -1 tells the caller nothing ran, as a bad command line does.
constexpr int kSaverWindowFailedResult = -1;
