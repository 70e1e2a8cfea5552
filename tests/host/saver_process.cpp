#include "tests/host/saver_process.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace {

std::vector<char> BuildEnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& extra)
{
    std::map<std::string, std::string> variables;  // upper-case name -> "Name=value"
    // Environment names compare without regard to case.
    auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
        const char* equals = std::strchr(p + 1, '=');
        if (equals == nullptr)
            continue;
        variables[upper(std::string(p, equals))] = p;
    }
    if (strings != nullptr)
        FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : extra)
        variables[upper(name)] = name + "=" + value;

    std::vector<char> block;
    for (const auto& entry : variables) {
        block.insert(block.end(), entry.second.begin(), entry.second.end());
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

SaverProcess::~SaverProcess()
{
    End();
}

bool SaverProcess::Start(const std::string& program, const SaverStart& start, std::string* error)
{
    std::string commandLine = start.commandLine.empty() ? "\"" + program + "\" " + start.tail : start.commandLine;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    std::vector<char> environment = BuildEnvironmentBlock(start.environment);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                        environment.data(), nullptr, &startup, &info_)) {
        if (error != nullptr)
            *error = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    started_ = true;
    return true;
}

bool SaverProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!started_)
        return false;
    const bool ended = PumpUntil([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (ended && exitCode != nullptr)
        GetExitCodeProcess(info_.hProcess, exitCode);
    return ended;
}

bool SaverProcess::IsRunning()
{
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND SaverProcess::WaitForTopLevelWindow(const char* className, DWORD timeoutMs)
{
    WindowSearch search = {info_.dwProcessId, className, nullptr};
    PumpUntil([&] {
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr || !IsRunning();
    }, timeoutMs);
    return search.found;
}

void SaverProcess::End()
{
    if (!started_)
        return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    started_ = false;
}

ProbeLog::ProbeLog()
{
    char directory[MAX_PATH];
    char file[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    GetTempFileNameA(directory, "hpl", 0, file);
    path_ = file;
}

ProbeLog::~ProbeLog()
{
    DeleteFileA(path_.c_str());
}

std::vector<std::string> ProbeLog::Lines() const
{
    std::vector<std::string> lines;
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

int ProbeLog::IndexOf(const std::string& prefix) const
{
    const std::vector<std::string> lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0)
            return static_cast<int>(i);
    return -1;
}

int ProbeLog::CountLines(const std::string& prefix) const
{
    int count = 0;
    for (const std::string& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0)
            ++count;
    return count;
}

int ProbeLog::WaitForLine(const std::string& prefix, DWORD timeoutMs, int count) const
{
    int index = -1;
    PumpUntil([&] {
        const std::vector<std::string> lines = Lines();
        int seen = 0;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].compare(0, prefix.size(), prefix) == 0 && ++seen == count) {
                index = static_cast<int>(i);
                return true;
            }
        return false;
    }, timeoutMs);
    return index;
}

std::string ProbeLog::Text() const
{
    std::string text;
    for (const std::string& line : Lines())
        text += line + "\n";
    return text;
}
