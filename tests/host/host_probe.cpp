// A saver program for testing the host from outside: it records the messages
// that reach its ScreenSaverProc in the line log and otherwise behaves as a
// saver should, passing everything to DefaultSaverProc. Environment settings,
// read before the host's entry runs:
//   HOST_PROBE_LOG           the line log
//   HOST_PROBE_WIN9X=1       run the host's Windows 95/98 paths
//   HOST_PROBE_PASSWORD_MODULE, HOST_PROBE_CHANGE_MODULE   module names
//   HOST_PROBE_NO_DIALOG=1   RegisterSaverDialogControls declines
//   HOST_PROBE_FAULT=timer   an access violation at the first timer tick
#include "host/saver_host.h"
#include "host/saver_host_testing.h"
#include "tests/host/probe_log.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool EnvironmentIs(const char* name, const char* value)
{
    const char* actual = std::getenv(name);
    return actual != nullptr && std::strcmp(actual, value) == 0;
}

void LogRunningFlag(int on)
{
    AppendProbeLog(on ? "running 1" : "running 0");
}

void LogMessage(const char* what, HWND window, WPARAM wParam, LPARAM lParam)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s %llu %llu %lld", what, HandleNumber(window),
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    AppendProbeLog(line);
}

struct ProbeSetup {
    ProbeSetup()
    {
        if (EnvironmentIs("HOST_PROBE_WIN9X", "1"))
            SetSaverPlatformForTesting(1);
        SetSaverModuleNamesForTesting(std::getenv("HOST_PROBE_PASSWORD_MODULE"),
                                      std::getenv("HOST_PROBE_CHANGE_MODULE"));
        SetSaverRunningFlagObserverForTesting(LogRunningFlag);
        AppendProbeLog("start");
    }
};
const ProbeSetup probeSetup;

volatile int* faultAddress = nullptr;
bool timerSeen = false;

} // namespace

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        char line[200];
        std::snprintf(line, sizeof line, "create %llu parent %llu size %d %d", HandleNumber(window),
                      HandleNumber(create->hwndParent), create->cx, create->cy);
        AppendProbeLog(line);
        SetTimer(window, 1, 30, nullptr);
        break;
    }
    case WM_TIMER:
        if (!timerSeen) {
            timerSeen = true;
            AppendProbeLog("timer");
            if (EnvironmentIs("HOST_PROBE_FAULT", "timer"))
                *faultAddress = 1;
        }
        break;
    case WM_DESTROY:
        KillTimer(window, 1);
        AppendProbeLog("destroy");
        break;
    case WM_CLOSE:
        LogMessage("close", window, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        LogMessage("syscommand", window, wParam, lParam);
        break;
    case WM_HELP:
        LogMessage("help", window, wParam, lParam);
        break;
    case WM_CONTEXTMENU:
        LogMessage("contextmenu", window, wParam, lParam);
        break;
    case WM_SETTEXT:
        LogMessage("settext", window, wParam, 0);
        break;
    case WM_KEYDOWN:
        LogMessage("keydown", window, wParam, 0);
        break;
    case WM_MOUSEMOVE: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        char line[80];
        std::snprintf(line, sizeof line, "mousemove %ld %ld", cursor.x, cursor.y);
        AppendProbeLog(line);
        break;
    }
    case WM_APP:
        LogMessage("verify-request", window, wParam, lParam);
        break;
    default:
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        char line[120];
        std::snprintf(line, sizeof line, "dialog %llu owner %llu", HandleNumber(dialog),
                      HandleNumber(GetWindow(dialog, GW_OWNER)));
        AppendProbeLog(line);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI RegisterSaverDialogControls(HINSTANCE)
{
    AppendProbeLog("register-controls");
    return EnvironmentIs("HOST_PROBE_NO_DIALOG", "1") ? FALSE : TRUE;
}
