// Process entry, run modes and the fault guard of the screen-saver host.
#include "host/saver_host_state.h"
#include "host/saver_scan.h"

#include "common/win32/floating_point.h"
#include "common/win32/platform.h"

namespace {

int DetectWin9x() { return GetWindowsPlatformId() == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0; }

void SetSystemSaverRunningFlag(int on)
{
    BOOL previous = FALSE;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? 1 : 0, &previous, 0);
}

} // namespace

const SaverHostSystem kSaverHostSystem = {
    &DetectWin9x, "PASSWORD.CPL", "MPR.DLL", &SetSystemSaverRunningFlag, &GetTickCount, &CreatePalette, -1, nullptr,
};

SaverHostState StartingSaverHostState(const SaverHostSystem* system)
{
    return SaverHostState{
        nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
        kSaverMouseThreshold, kSaverNoPasswordCheck, {0, 0}, {}, system,
    };
}

SaverHostState saverHost = StartingSaverHostState(&kSaverHostSystem);

namespace {

// A C++ exception that reaches the dispatch ends the process with the code an
// unhandled C++ exception (abort) gives, so it looks like no mode's result.
constexpr int kSaverExceptionExitCode = 3;

LPTOP_LEVEL_EXCEPTION_FILTER previousFaultFilter = nullptr;

const char* StepAnsiCharacter(const char* position)
{
    return CharNextA(position);
}

// The fault guard. It is the process's top-level filter while a mode runs, so
// the system's own filter would call it again: it steps aside first, then lets
// the system's filter report the fault. Whatever that decides, a fault must
// not leave the system believing a screen saver still runs. A handled fault
// ends the process with the fault's own exception code (0xC0000005 for an
// access violation), which no mode gives as its result. The process is
// damaged, so it ends at once: TerminateProcess runs no module's detach code
// and no exit handler, which ExitProcess would run over the damaged state.
LONG WINAPI GuardSaverMode(EXCEPTION_POINTERS* fault)
{
    SetUnhandledExceptionFilter(previousFaultFilter);
    const LONG decision = UnhandledExceptionFilter(fault);
    if (decision == EXCEPTION_CONTINUE_EXECUTION)
        return decision;
    SetSaverRunningFlag(0);
    if (decision == EXCEPTION_EXECUTE_HANDLER) {
        const DWORD code = fault != nullptr && fault->ExceptionRecord != nullptr
                               ? fault->ExceptionRecord->ExceptionCode
                               : static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION);
        TerminateProcess(GetCurrentProcess(), code);
    }
    return decision;
}

int RunSaverMode(const char* tail)
{
    const SaverModeScan scan = ScanSaverMode(tail);
    switch (scan.mode) {
    case SaverMode::Settings:
        return ShowSaverSettings(nullptr);
    case SaverMode::SettingsOwned:
        return ShowSaverSettings(GetForegroundWindow());
    case SaverMode::Preview:
        return RunSaverPreview(scan.rest);
    case SaverMode::FullScreen:
        return RunSaverWindow(nullptr);
    case SaverMode::ChangePassword:
        if (!saverHost.isWin9x)
            return -1;
        ChangeSaverPassword(scan.rest);
        return 0;
    case SaverMode::Bad:
        break;
    }
    return -1;
}

// The dialog procedure handed to the system: the saver's own, with nothing
// thrown out of it into the dialog manager.
INT_PTR CALLBACK SaverHostDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog draws the saver's colours too (see CallSaverProc).
    HoldSaverFloatingPoint();
    try {
        return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
    } catch (...) {
        EndDialog(dialog, -1);
        return TRUE;
    }
}

} // namespace

void SaverEntry()
{
    const char* tail = SkipSaverProgramName(GetCommandLineA(), StepAnsiCharacter);
    const int result = SaverDispatch(GetModuleHandleA(nullptr), tail);
    ExitProcess(static_cast<UINT>(result));
}

int SaverDispatch(HINSTANCE instance, const char* tail)
{
    saverHost.instance = instance;
    saverHost.isWin9x = saverHost.system->detectWin9x();

    previousFaultFilter = SetUnhandledExceptionFilter(GuardSaverMode);
    int result;
    try {
        result = RunSaverMode(tail);
    } catch (...) {
        SetSaverRunningFlag(0);
        result = kSaverExceptionExitCode;
    }
    SetUnhandledExceptionFilter(previousFaultFilter);
    return result;
}

int ShowSaverSettings(HWND owner)
{
    BOOL goOn;
    try {
        goOn = RegisterSaverDialogControls(saverHost.instance);
    } catch (...) {
        goOn = FALSE;
    }
    if (!goOn)
        return 0;
    return static_cast<int>(DialogBoxParamA(saverHost.instance, MAKEINTRESOURCEA(2003), owner,
                                            SaverHostDialogProc, 0));
}

int RunSaverPreview(const char* text)
{
    const HWND parent = reinterpret_cast<HWND>(ParseWindowHandle(text));
    if (parent == nullptr || !IsWindow(parent))
        return -1;
    return RunSaverWindow(parent);
}

int IsSaverPreview() { return saverHost.isPreview; }

int IsSaverOnWindows9x() { return saverHost.isWin9x; }
