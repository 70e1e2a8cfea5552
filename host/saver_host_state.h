// The host's process-wide state and its procedures (Win32 side).
#pragma once

#include "host/saver_host.h"

#include <cstdint>

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

// The result of RunSaverWindow when the class cannot be registered or the
// window cannot be created: no quit message gives a value on that path, and
// -1 tells the caller nothing ran, as a bad command line does.
constexpr int kSaverWindowFailedResult = -1;
