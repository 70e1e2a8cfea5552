// Starting a saver program under test in its own process and watching it:
// its exit code, its windows and, for the probe saver, its line log.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct SaverStart {
    std::string tail;                 // the command tail after the quoted program path
    std::string commandLine;          // if set, the whole command line instead
    std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
};

class SaverProcess {
public:
    SaverProcess() = default;
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess();

    // Starts the program; false (with the reason in error) when it cannot start.
    bool Start(const std::string& program, const SaverStart& start, std::string* error);

    // Waits up to the timeout for the process to end; true with its exit code.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    bool IsRunning();

    // The first visible top-level window of the process with the class name,
    // waiting up to the timeout.
    HWND WaitForTopLevelWindow(const char* className, DWORD timeoutMs);

    DWORD ProcessId() const { return info_.dwProcessId; }

    // Ends the process if it still runs (only this process, by its handle).
    void End();

private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

// The line log of one probe run, in a file of its own.
class ProbeLog {
public:
    ProbeLog();
    ~ProbeLog();
    const std::string& Path() const { return path_; }
    std::vector<std::string> Lines() const;
    // Waits until a line starting with the prefix exists (the count-th such
    // line, counting from 1); returns its index or -1 after the timeout.
    int WaitForLine(const std::string& prefix, DWORD timeoutMs, int count = 1) const;
    int CountLines(const std::string& prefix) const;
    int IndexOf(const std::string& prefix) const;
    std::string Text() const;

private:
    std::string path_;
};

// Runs the calling thread's message queue while waiting, so windows of this
// process answer other processes. Returns true once the predicate holds.
template <typename Predicate>
bool PumpUntil(Predicate predicate, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (predicate())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
