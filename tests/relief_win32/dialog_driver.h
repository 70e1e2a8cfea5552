// Drives the real ondrels.scr's settings dialog from another process, as a
// user would: start the program in its own directory, find its dialog, read
// and work its controls, and read the settings file it leaves beside it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/win32/profile_settings_store.h"
#include "tests/win32/window_pixels.h"

namespace dialog_test {

constexpr char kDialogTitle[] = "About Ondrel  v0.89";

inline std::string BinDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The "key=value" lines of the settings file, in file order.
inline std::vector<std::string> SettingsLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('=') != std::string::npos) lines.push_back(line);
    }
    return lines;
}

struct FoundWindow {
    DWORD processId;
    const char* title;
    HWND owner; // nullptr: any owner
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* wanted = reinterpret_cast<FoundWindow*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = {};
    char title[128] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (processId == wanted->processId && std::string(className) == "#32770" && IsWindowVisible(window) &&
        (wanted->title == nullptr || std::string(title) == wanted->title) &&
        (wanted->owner == nullptr || GetWindow(window, GW_OWNER) == wanted->owner)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

// A dialog window of the process, waiting for it up to timeoutMs.
inline HWND WaitForDialog(DWORD processId, const char* title, HWND owner, DWORD timeoutMs)
{
    const DWORD begin = GetTickCount();
    do {
        FoundWindow wanted{processId, title, owner, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&wanted));
        if (wanted.found != nullptr) return wanted.found;
        Sleep(50);
    } while (GetTickCount() - begin < timeoutMs);
    return nullptr;
}

inline void MakeDirectories(const std::string& path)
{
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

// One installed copy of the saver with its own settings file.
struct SaverCopy {
    std::string directory;
    std::string program;
    std::string settings;

    // settingsText empty: no settings file at all.
    explicit SaverCopy(const std::string& name, const std::string& settingsText = {})
        : directory("C:\\ondrels-dialog\\" + name), program(directory + "\\ondrels.scr"), settings(directory + "\\ondrels.INI")
    {
        MakeDirectories(directory);
        CopyFileA((BinDirectory() + "ondrels.scr").c_str(), program.c_str(), FALSE);
        DeleteFileA(settings.c_str());
        if (!settingsText.empty()) {
            std::ofstream out(settings, std::ios::binary | std::ios::trunc);
            out << settingsText;
        }
    }
};

// A run of the program; ends it (terminating when it hangs) at the end.
struct ProgramRun {
    PROCESS_INFORMATION process{};

    bool Start(const std::string& program, const std::string& arguments)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        const std::string directory = program.substr(0, program.find_last_of('\\'));
        return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup, &process) != 0;
    }

    DWORD Id() const { return process.dwProcessId; }

    bool Running() const { return process.hProcess != nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

    // The exit code, or 0xFFFFFFFF when the program had to be ended.
    DWORD Wait(DWORD timeoutMs)
    {
        if (process.hProcess == nullptr) return 0xFFFFFFFFu;
        DWORD code = 0xFFFFFFFFu;
        if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
        else TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
        return code;
    }

    ~ProgramRun() { Wait(0); }
};

inline HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

inline std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline int SliderPosition(HWND dialog, int id) { return static_cast<int>(SendMessageA(Item(dialog, id), TBM_GETPOS, 0, 0)); }

// Moves a slider as a drag does: the thumb moves, then the trackbar tells its
// parent, once while tracking and once at the end.
inline void MoveSlider(HWND dialog, int id, int position)
{
    HWND slider = Item(dialog, id);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

// A click on a button; posted, for buttons that end the dialog.
inline void Click(HWND dialog, int id) { SendMessageA(Item(dialog, id), BM_CLICK, 0, 0); }
inline void PostClick(HWND dialog, int id) { PostMessageA(Item(dialog, id), BM_CLICK, 0, 0); }

// What the screen shows over a window, as 0x00RRGGBB, top-down rows.
inline std::vector<std::uint32_t> ScreenPixels(const RECT& area)
{
    return ReadWindowPixels(nullptr, area.right - area.left, area.bottom - area.top, area.left, area.top);
}

inline RECT ScreenRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The client area of a window in screen coordinates.
inline RECT ClientScreenRect(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// 0x00BBGGRR (a colour value) as the screen's 0x00RRGGBB.
inline std::uint32_t ScreenColor(std::uint32_t colorValue)
{
    return (colorValue & 0xFFu) << 16 | (colorValue & 0xFF00u) | (colorValue >> 16 & 0xFFu);
}

// Lets the other process paint what it was asked to.
inline void Settle(HWND dialog)
{
    DWORD_PTR ignored = 0;
    UpdateWindow(dialog);
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
    Sleep(150);
}

} // namespace dialog_test
