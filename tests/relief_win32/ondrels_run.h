// Running the real ondrels.scr full screen from a test: a copy installed in a
// directory of its own with its settings (and, if asked, its snapshot helper),
// started as the system starts it, its first frame caught on the screen and
// matched against the frames the effect logic computes for the seeds it may
// have drawn, and ended with a key as a user ends it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "common/win32/profile_settings_store.h"
#include "relief/relief_life.h"
#include "tests/pixels/pixel_ledger.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/win32/window_pixels.h"

namespace ondrels_run {

const char kSnapshot[] = "C:\\snapwnd.dat";

using dialog_test::BinDirectory;
using dialog_test::MakeDirectories;

inline std::wstring Wide(const std::string& text)
{
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH * 2);
    return wide;
}

inline void WriteText(const std::wstring& path, const std::string& text)
{
    if (std::FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

// What stands beside the saver as snap.exe: nothing, the real helper, or the
// stand-in (stand_in_snap.cpp), told what to do: "hang" or an exit code.
enum class Helper { None, Snap, StandIn };

// Copies ondrels.scr into directory with settings, the helper and, when
// asked, the stand-in planted as cmd.exe; the stand-ins' notes are cleared.
inline void InstallSaver(const std::wstring& directory, Helper helper, const std::string& settings, const char* standIn = "hang",
                         bool plantCmd = false)
{
    for (std::size_t at = directory.find(L'\\', 3); at != std::wstring::npos; at = directory.find(L'\\', at + 1))
        CreateDirectoryW(directory.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(directory.c_str(), nullptr);
    const std::wstring bin = Wide(BinDirectory());
    const auto place = [&](const wchar_t* from, const wchar_t* name, bool wanted) {
        DeleteFileW((directory + name).c_str());
        DeleteFileW((directory + name + L".ran").c_str());
        EXPECT_TRUE(!wanted || CopyFileW((bin + from).c_str(), (directory + name).c_str(), FALSE)) << from;
    };
    place(L"ondrels.scr", L"\\ondrels.scr", true);
    place(helper == Helper::Snap ? L"snap.exe" : L"stand_in_snap.exe", L"\\snap.exe", helper != Helper::None);
    place(L"stand_in_snap.exe", L"\\cmd.exe", plantCmd);
    WriteText(directory + L"\\stand_in.txt", standIn);
    WriteText(directory + L"\\ondrels.INI", settings);
    // No settings kept for the user from an earlier test.
    DeleteFileA((GetUserSettingsFolder() + "ondrels.INI").c_str());
}
inline void InstallSaver(const std::string& directory, Helper helper, const std::string& settings, const char* standIn = "hang")
{
    InstallSaver(Wide(directory), helper, settings, standIn);
}

// The process id a stand-in noted at its start, 0 if it never ran.
inline DWORD RanProcessId(const std::wstring& program)
{
    unsigned long id = 0;
    if (std::FILE* file = _wfopen((program + L".ran").c_str(), L"rb")) {
        if (std::fscanf(file, "%lu", &id) != 1) id = 1;
        std::fclose(file);
    }
    return static_cast<DWORD>(id);
}

struct Screen {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<std::uint32_t> Read() const { return ReadWindowPixels(nullptr, width, height); }
};

// The lens square on a screen that was black before: its corners are the
// ramp's first colour, never pure black. Returns false when nothing is drawn.
inline bool FindSquare(const std::vector<std::uint32_t>& pixels, int width, int height, RECT& box)
{
    box = {width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y * width + x)] == 0) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box.right > 0;
}

struct SaverRun {
    PROCESS_INFORMATION process{};
    DWORD startTick = 0;
    DWORD frameTick = 0;
    std::vector<std::uint32_t> firstFrame;
    bool sawFrame = false;

    void Start(const std::string& directory, const std::string& workingDirectory)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + directory + "\\ondrels.scr\" /s";
        startTick = GetTickCount();
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workingDirectory.c_str(), &startup, &process));
    }

    // The saver in a directory that the ANSI code page may not spell. It is
    // named by its full path as the application; its command line names it
    // without the directory, whose name would reach the ANSI command line
    // altered (a full-width quotation mark as a '"' ending the name early).
    void Start(const std::wstring& directory)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        const std::wstring program = directory + L"\\ondrels.scr";
        std::wstring commandLine = L"\"ondrels.scr\" /s";
        startTick = GetTickCount();
        ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup, &process));
    }

    // Waits for the first lens square, up to timeoutMs: first the saver's
    // black window over the whole screen, then the square on it.
    void WaitForFirstFrame(const Screen& screen, DWORD timeoutMs)
    {
        bool sawBlack = false;
        const DWORD begin = GetTickCount();
        while (GetTickCount() - begin < timeoutMs) {
            PumpMessages();
            std::vector<std::uint32_t> pixels = screen.Read();
            RECT box;
            const bool drawn = FindSquare(pixels, screen.width, screen.height, box);
            if (!drawn) {
                sawBlack = true;
            } else if (sawBlack) {
                frameTick = GetTickCount();
                firstFrame.swap(pixels);
                sawFrame = true;
                return;
            }
            Sleep(20);
        }
    }

    // Closes the saver as a user would (a key) and returns its exit code.
    DWORD Close()
    {
        if (process.hProcess == nullptr) return 0xFFFFFFFFu;
        HWND window = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
        if (window != nullptr) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
        return code;
    }
    ~SaverRun() { Close(); }
};

// Starts the saver installed in directory full screen, waits for its first
// frame and ends it with a key, as a user would (exit code 0).
inline void RunToFirstFrame(SaverRun& run, const std::string& directory, const std::string& workingDirectory, DWORD timeoutMs)
{
    run.Start(directory, workingDirectory);
    run.WaitForFirstFrame(Screen(), timeoutMs);
    EXPECT_EQ(run.Close(), 0u);
}

// The seeds from `from` up to `to` whose first path position puts the square
// where the frame (top-down, width x height) shows it, and whose whole first
// frame over the picture then equals it. Returns the number of seeds that
// gave the full frame; the last of them in *matched.
inline int CountMatchingReliefSeeds(DWORD from, DWORD to, const ReliefSettings& settings, int width, int height,
                                    const std::vector<std::uint8_t>& picture, const std::vector<std::uint32_t>& frame, DWORD* matched = nullptr)
{
    RECT box;
    if (!FindSquare(frame, width, height, box)) return 0;
    const int size = height / 2;
    int matches = 0;
    for (DWORD seed = from; seed != to; ++seed) {
        // The path alone first: cheap, and it rules out nearly every seed.
        ReliefState probe;
        RuntimeRandom random;
        SeedRuntimeRandom(random, seed);
        if (settings.UseColor == 0) {
            DrawRuntimeRandom(random);
            DrawRuntimeRandom(random);
            DrawRuntimeRandom(random);
        }
        probe.lens.centerX = static_cast<std::uint16_t>(width / 2);
        probe.lens.centerY = static_cast<std::uint16_t>(height / 2);
        probe.lens.lensSize = 0; // no map needed to follow the path
        BuildLensMap(probe.lens, 2, settings.Degrees, random);
        probe.lens.lensHalf = static_cast<std::uint16_t>(size / 2);
        const ReliefPathPosition p = StepLightPath(probe.lens, random);
        const int top = height / 2 - p.py;
        if (p.px != box.left || std::max(top, 0) != box.top) continue;

        ReliefState state;
        InitRelief(state, settings, random, seed, width, height, 0, picture.data(), picture.size());
        SoftwareSurface surface(width, height);
        TickRelief(state, random, surface);
        if (surface.pixels == frame) {
            ++matches;
            if (matched != nullptr) *matched = seed;
        }
    }
    return matches;
}

// The seeds between the start and the first frame of a run on the screen.
inline int CountMatchingSeeds(const SaverRun& run, const Screen& screen, const ReliefSettings& settings, const std::vector<std::uint8_t>& picture,
                              DWORD* matched = nullptr)
{
    return CountMatchingReliefSeeds(run.startTick - 50, run.frameTick + 1, settings, screen.width, screen.height, picture, run.firstFrame, matched);
}

// Writes the first frame, drawn over the pattern picture with the settings
// text's keys and the given seed, into the pixel ledger, for the native build
// to draw again (tests/pixels).
inline void RecordReliefFrame(const SaverRun& run, const Screen& screen, const std::string& settingsText, DWORD seed)
{
    std::vector<std::pair<std::string, std::string>> fields = {
        {"width", std::to_string(screen.width)}, {"height", std::to_string(screen.height)},
        {"seed", std::to_string(seed)}, {"ticks", "1"}, {"picture", "pattern"}};
    std::istringstream lines(settingsText);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) fields.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    fields.emplace_back("frame", pixel_ledger::HexHash(pixel_ledger::HashPixels(run.firstFrame)));
    pixel_ledger::AppendLine(BinDirectory() + "pixel-ledger.txt", pixel_ledger::FormatLine("relief", fields));
}

using pixel_ledger::PatternPicture;

inline ReliefSettings SettingsFor(const std::string& text)
{
    const std::string path = BinDirectory() + "e2e_settings_probe.INI";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    ProfileSettingsStore store(path);
    const ReliefSettings settings = LoadReliefSettings(store);
    DeleteFileA(path.c_str());
    return settings;
}

// A top-most window over the whole screen showing the picture (bottom-up
// rows of blue, green, red), for a saver to copy; nullptr when it cannot be
// shown. The screen's width must need no row padding (3 x width a multiple
// of 4).
inline HWND CoverScreen(const Screen& screen, const std::vector<std::uint8_t>& picture)
{
    if (screen.width * 3 % 4 != 0) return nullptr;
    HWND cover = CreatePlainWindow(screen.width, screen.height);
    if (cover == nullptr) return nullptr;
    HDC dc = GetDC(cover);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = screen.width;
    info.bmiHeader.biHeight = screen.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(screen.width), static_cast<DWORD>(screen.height), 0, 0, 0,
                      static_cast<UINT>(screen.height), picture.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(cover, dc);
    GdiFlush();
    return cover;
}

} // namespace ondrels_run
