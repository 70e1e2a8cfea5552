// Password verification and change on Windows 95/98. The verifier and the
// change service are system modules looked up by name at run time; the host
// stores, compares and shows no password of its own.
#include "host/saver_host_state.h"
#include "host/saver_scan.h"

#include "common/win32/platform.h"

namespace {

using ChangePasswordFunction = DWORD (WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1,
                                               DWORD reserved2);

// "ScreenSaveUsePassword" is read as one 32-bit number whatever its type; a
// value longer than 4 bytes fails the read and counts as off.
bool ArePasswordsOn(HKEY desktop)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    return RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           value != 0;
}

} // namespace

void LoadPasswordVerifier()
{
    if (!saverHost.isWin9x)
        return;
    if (saverHost.passwordModule != nullptr)
        UnloadPasswordVerifier();

    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS)
        return;
    if (ArePasswordsOn(desktop)) {
        saverHost.passwordModule = LoadLibraryA(saverHost.system->passwordModuleName);
        if (saverHost.passwordModule != nullptr) {
            saverHost.verifyPassword =
                LookUpProcedure<SaverVerifyPasswordFunction>(saverHost.passwordModule, "VerifyScreenSavePwd");
            if (saverHost.verifyPassword != nullptr)
                SetSaverRunningFlag(1);
            else
                UnloadPasswordVerifier();
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordVerifier()
{
    if (!saverHost.isWin9x || saverHost.passwordModule == nullptr)
        return;
    FreeLibrary(saverHost.passwordModule);
    saverHost.passwordModule = nullptr;
    if (saverHost.verifyPassword != nullptr) {
        saverHost.verifyPassword = nullptr;
        SetSaverRunningFlag(0);
    }
}

void SetSaverRunningFlag(int on)
{
    if (!saverHost.isWin9x)
        return;
    saverHost.system->setRunningFlag(on ? 1 : 0);
}

int ConfirmSaverClose(HWND window)
{
    if (saverHost.isCheckingPassword || saverHost.isClosing)
        return 0;
    if (saverHost.verifyPassword == nullptr) {
        saverHost.isClosing = 1;
        return 1;
    }
    // Close requests right after the verifier's dialog was closed (the same
    // key press or mouse move echoing) are refused without asking again.
    const DWORD now = GetTickCount();
    if (saverHost.lastPasswordCheckTick != kSaverNoPasswordCheck &&
        static_cast<DWORD>(now - saverHost.lastPasswordCheckTick) < kSaverPasswordRecheckMs)
        return saverHost.isClosing;

    saverHost.isCheckingPassword = 1;
    // Drop at most two queued timer ticks, so the saver does not draw a
    // backlog in front of the verifier's dialog.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    saverHost.isClosing = SendMessageA(window, kSaverVerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    saverHost.isCheckingPassword = 0;
    if (!saverHost.isClosing)
        SetCursor(nullptr);
    saverHost.lastPasswordCheckTick = GetTickCount();
    return saverHost.isClosing;
}

void ChangeSaverPassword(const char* text)
{
    HWND owner = reinterpret_cast<HWND>(ParseWindowHandle(text));
    if (owner == nullptr || !IsWindow(owner))
        owner = GetForegroundWindow();

    const HMODULE service = LoadLibraryA(saverHost.system->changeModuleName);
    if (service == nullptr)
        return;
    const auto changePassword = LookUpProcedure<ChangePasswordFunction>(service, "PwdChangePasswordA");
    if (changePassword != nullptr)
        changePassword("SCRSAVE", owner, 0, 0);
    FreeLibrary(service);
}
