// A password verifier of our own, built as PASSWORD.CPL for the host's
// Windows 95/98 paths. It asks nobody: its answer comes from
// SetVerifierAnswer (in-process tests) or, when HOST_TEST_VERIFIER_FILE names
// a file, from that file's first character ('1' right, '0' wrong), read at
// every call so a test in another process can change it. While "asking" it
// runs a message loop for the given time, as the system's dialog would.
#include "tests/host/probe_log.h"

#include <cstdio>

namespace {

int answer = 0;
DWORD askMs = 0;
int callCount = 0;

int ReadAnswerFile(int fallback)
{
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("HOST_TEST_VERIFIER_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return fallback;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return fallback;
    const int c = std::fgetc(file);
    std::fclose(file);
    return c == '1' ? 1 : c == '0' ? 0 : fallback;
}

void RunModalLoopFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

} // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    ++callCount;
    char line[80];
    std::snprintf(line, sizeof line, "verify %llu", HandleNumber(window));
    AppendProbeLog(line);
    if (askMs != 0)
        RunModalLoopFor(askMs);
    return ReadAnswerFile(answer);
}

__declspec(dllexport) void WINAPI SetVerifierAnswer(int right, DWORD milliseconds)
{
    answer = right ? 1 : 0;
    askMs = milliseconds;
}

__declspec(dllexport) int WINAPI GetVerifierCallCount()
{
    return callCount;
}

} // extern "C"
