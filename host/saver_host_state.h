// The host's process-wide state and its procedures (Win32 side). Only the
// host's own files and its tests include this; a saver sees saver_host.h.
#pragma once

#include "host/saver_host.h"

#include <cstdint>
#include <vector>

#include "common/step_pause.h"

using SaverVerifyPasswordFunction = BOOL (WINAPI*)(HWND window);
using SaverAssociateContextFunction = HANDLE (WINAPI*)(HWND window, HANDLE context);
using SaverPaletteMaker = HPALETTE (WINAPI*)(const LOGPALETTE* description);

// What the host takes from the system around it. A program runs on
// kSaverHostSystem; a test program may give the host stand-ins instead.
struct SaverHostSystem {
    // 1 on Windows 95/98, else 0.
    int (*detectWin9x)();
    // The password verifier's and the password change's modules.
    const char* passwordModuleName;
    const char* changeModuleName;
    // Tells the system whether a screen saver runs (Windows 95/98 only).
    void (*setRunningFlag)(int on);
    // Where a window's creation takes its seed.
    DWORD (WINAPI* tickCount)();
    // How the windows' logical palettes are made.
    SaverPaletteMaker createPalette;
    // Whether the display is palette-based: -1 asks it, 0 or 1 is the answer.
    int paletteDisplay;
    // Where a step waits: nullptr for the host's wait on the clock and the
    // queue, which gives way (see ShouldSaverStepGiveWay).
    StepPause* pause;
};
extern const SaverHostSystem kSaverHostSystem;

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
    const SaverHostSystem* system;
};

// Start values: everything 0 except the mouse threshold (4 pixels), the last
// password check (none) and the system (the real one).
constexpr std::uint32_t kSaverMouseThreshold = 4;
constexpr std::uint32_t kSaverNoPasswordCheck = 0xFFFFFFFFu;
constexpr DWORD kSaverPasswordRecheckMs = 200;
// The request a close sends to the window itself to ask the verifier.
constexpr UINT kSaverVerifyPasswordMessage = WM_APP;

extern SaverHostState saverHost;

// The state as a process starts with it, on the given system.
SaverHostState StartingSaverHostState(const SaverHostSystem* system);

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

// The life's state record the window skeleton keeps for a saver window while
// it lives; nullptr for a window it keeps none for, and for one whose
// creation built no state.
void* FindSaverWindowState(HWND window);

// The result of RunSaverWindow when the class cannot be registered or the
// window cannot be created: no quit message gives a value on that path, and
// -1 tells the caller nothing ran, as a bad command line does.
constexpr int kSaverWindowFailedResult = -1;
