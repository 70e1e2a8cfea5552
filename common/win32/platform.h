// What the Win32 side asks of the platform in one place: which family of
// Windows runs the program, and the functions it looks up by name.
#pragma once

#include <windows.h>

#include <cstring>

// GetVersionExA's platform: VER_PLATFORM_WIN32_WINDOWS on Windows 95, 98 and
// Me, VER_PLATFORM_WIN32_NT on Windows NT and its successors; 0 when the
// platform does not say.
inline DWORD GetWindowsPlatformId()
{
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) ? version.dwPlatformId : 0;
}

// A function of a loaded module, looked up by name so that a program runs on
// a system that lacks it: nullptr when the module or the function is missing,
// which means the feature that needs it is off.
template <typename Function>
Function LookUpProcedure(HMODULE module, const char* name)
{
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
