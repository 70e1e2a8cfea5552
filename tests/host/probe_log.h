// A line log shared by the probe saver, the test verifier and the test change
// service: each appends whole lines to the file named by HOST_PROBE_LOG, so a
// test in another process can follow what happened and in which order.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

inline void AppendProbeLog(const char* line)
{
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("HOST_PROBE_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[512];
    std::snprintf(text, sizeof text, "%s\n", line);
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(file);
}

// The handle as the decimal number a command line carries.
inline unsigned long long HandleNumber(const void* handle)
{
    return static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle));
}
