// A password-change service of our own, built as MPR.DLL: it records the
// call the host makes and shows nothing.
#include "tests/host/probe_log.h"

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner,
                                                                  DWORD reserved1, DWORD reserved2)
{
    char line[200];
    std::snprintf(line, sizeof line, "change %s %llu %lu %lu", provider != nullptr ? provider : "(none)",
                  HandleNumber(owner), static_cast<unsigned long>(reserved1),
                  static_cast<unsigned long>(reserved2));
    AppendProbeLog(line);
    return 0;
}
