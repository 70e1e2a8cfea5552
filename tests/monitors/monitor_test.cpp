// Both real savers full screen on several monitors (run by
// monitor_layouts.sh once per layout, the layout in SAVER_MONITORS). In one
// run of each saver: every monitor gets a window of the saver at its place,
// none shows the desktop any more, no two show the same picture, the relief
// saver's spotlight on each monitor is what a one-monitor run at that size
// would draw over that monitor's part of the desktop, a second start finds
// the running saver, and a mouse move on another monitor than the primary
// ends every window and the process with exit code 0. The relief saver runs
// with its helper, whose snapshot holds the whole virtual screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "relief/relief_life.h"
#include "tests/host/saver_process.h"
#include "tests/pixels/pixel_ledger.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/relief_win32/ondrels_run.h"
#include "tests/win32/window_pixels.h"

namespace {

// The layout's monitors in virtual-screen coordinates, the primary first at
// 0, 0 (the heads are given in X screen coordinates).
std::vector<RECT> LayoutMonitors()
{
    std::vector<RECT> monitors;
    const char* text = std::getenv("SAVER_MONITORS");
    if (text == nullptr) return monitors;
    const std::string heads = text;
    const std::regex head("(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)");
    for (auto it = std::sregex_iterator(heads.begin(), heads.end(), head); it != std::sregex_iterator(); ++it) {
        const int w = std::stoi((*it)[1]), h = std::stoi((*it)[2]), x = std::stoi((*it)[3]), y = std::stoi((*it)[4]);
        monitors.push_back(RECT{x, y, x + w, y + h});
    }
    for (std::size_t i = monitors.size(); i-- > 0;) OffsetRect(&monitors[i], -monitors[0].left, -monitors[0].top);
    return monitors;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* area, LPARAM list)
{
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*area);
    return TRUE;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

struct VirtualScreen {
    RECT area{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // Top-down 0x00RRGGBB of the whole virtual screen.
    std::vector<std::uint32_t> Read() const { return ReadWindowPixels(nullptr, Width(area), Height(area), area.left, area.top); }
    // The part of a top-down virtual-screen picture that a monitor shows.
    std::vector<std::uint32_t> Part(const std::vector<std::uint32_t>& pixels, const RECT& monitor) const
    {
        std::vector<std::uint32_t> part;
        for (int y = monitor.top; y < monitor.bottom; ++y) {
            const auto row = pixels.begin() + static_cast<std::ptrdiff_t>((y - area.top) * Width(area) + (monitor.left - area.left));
            part.insert(part.end(), row, row + Width(monitor));
        }
        return part;
    }
};

// The desktop: a top-most window over the whole virtual screen showing the
// pattern picture (bottom-up rows of blue, green, red).
struct DesktopCover {
    HWND window = nullptr;
    std::vector<std::uint8_t> picture;
    explicit DesktopCover(const VirtualScreen& screen) : picture(pixel_ledger::PatternPicture(Width(screen.area), Height(screen.area)))
    {
        window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "desktop", WS_POPUP | WS_VISIBLE, screen.area.left, screen.area.top,
                                 Width(screen.area), Height(screen.area), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
        {
            WindowDc dc(window);
            GdiSurface(window, dc.dc).PutPixelBlock(0, 0, Width(screen.area), Height(screen.area), picture.data());
        }
        GdiFlush();
        // Wine shows a window's drawing as its thread takes its messages.
        PumpMessages();
    }
    ~DesktopCover() { DestroyWindow(window); }
    // The pattern's pixel at a virtual-screen point, as 0x00RRGGBB.
    std::uint32_t At(const VirtualScreen& screen, int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(Height(screen.area) - 1 - (y - screen.area.top)) * static_cast<std::size_t>(Width(screen.area)) +
                                static_cast<std::size_t>(x - screen.area.left)) * 3;
        return picture[at + 2] << 16 | picture[at + 1] << 8 | picture[at];
    }
    // What a monitor's screen copy gives: its part, bottom-up blue, green, red.
    std::vector<std::uint8_t> Part(const VirtualScreen& screen, const RECT& monitor) const
    {
        std::vector<std::uint8_t> part;
        for (int y = monitor.bottom - 1; y >= monitor.top; --y) {
            const std::size_t at = (static_cast<std::size_t>(Height(screen.area) - 1 - (y - screen.area.top)) * static_cast<std::size_t>(Width(screen.area)) +
                                    static_cast<std::size_t>(monitor.left - screen.area.left)) * 3;
            part.insert(part.end(), picture.begin() + static_cast<std::ptrdiff_t>(at), picture.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(Width(monitor)) * 3));
        }
        return part;
    }
};

struct WindowCount {
    DWORD process;
    std::vector<RECT> areas;
};

BOOL CALLBACK CountSaverWindow(HWND window, LPARAM data)
{
    auto& count = *reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == count.process && std::string(name) == "WindowsScreenSaverClass" && IsWindowVisible(window)) {
        RECT area{};
        GetWindowRect(window, &area);
        count.areas.push_back(area);
    }
    return TRUE;
}

std::vector<RECT> SaverWindows(DWORD process)
{
    WindowCount count{process, {}};
    EnumWindows(CountSaverWindow, reinterpret_cast<LPARAM>(&count));
    return count.areas;
}

struct Saver {
    const char* name;
    const char* settings;
};

} // namespace

TEST(SeveralMonitors, EachMonitorRunsItsOwnSaverAndInputOnAnyEndsThemAll)
{
    // The system shows the layout asked for.
    const std::vector<RECT> monitors = LayoutMonitors();
    ASSERT_GE(monitors.size(), 2u);
    std::vector<RECT> seen;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&seen));
    ASSERT_EQ(seen.size(), monitors.size());
    for (const RECT& wanted : monitors) {
        ASSERT_TRUE(std::any_of(seen.begin(), seen.end(), [&](const RECT& area) { return EqualRect(&area, &wanted) != 0; }))
            << wanted.left << "," << wanted.top << " " << Width(wanted) << "x" << Height(wanted);
    }
    const VirtualScreen screen;
    // Delay 1500: the first relief frame stands for 1.5 s. Speed 5, wipe 0
    // between scenes: landscapes come quickly.
    const Saver savers[] = {
        {"ondrels", "[ScreenSaver.Ondrels]\r\nDelay=1500\r\nColorCount=48\r\nSoften=2\r\nDegrees=200\r\n"},
        {"kesmar", "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=2\r\n"},
    };
    for (const Saver& saver : savers) {
        SCOPED_TRACE(saver.name);
        const std::string directory = std::string("C:\\monitors\\") + saver.name;
        dialog_test::MakeDirectories(directory);
        const std::string program = directory + "\\" + saver.name + ".scr";
        ASSERT_TRUE(CopyFileA((dialog_test::BinDirectory() + saver.name + ".scr").c_str(), program.c_str(), FALSE));
        // The relief saver with its helper: the snapshot holds every monitor.
        const bool relief = std::string(saver.name) == "ondrels";
        if (relief) {
            ASSERT_TRUE(CopyFileA((dialog_test::BinDirectory() + "snap.exe").c_str(), (directory + "\\snap.exe").c_str(), FALSE));
        }
        {
            std::ofstream out(directory + "\\" + saver.name + ".INI", std::ios::binary | std::ios::trunc);
            out << saver.settings;
        }
        const DesktopCover desktop(screen);
        // The pointer rests on the second monitor, where the move that ends the run will be.
        const POINT rest{(monitors[1].left + monitors[1].right) / 2, (monitors[1].top + monitors[1].bottom) / 2};
        SetCursorPos(rest.x, rest.y);
        Sleep(200);

        SaverProcess process;
        SaverStart start;
        start.tail = "/s";
        std::string error;
        const DWORD startTick = GetTickCount();
        ASSERT_TRUE(process.Start(program, start, &error)) << error;
        std::vector<RECT> windows;
        PumpUntil([&] { return (windows = SaverWindows(process.ProcessId())).size() >= monitors.size(); }, 15000);
        // One window on each monitor, exactly over it.
        ASSERT_EQ(windows.size(), monitors.size());
        for (const RECT& monitor : monitors) {
            EXPECT_TRUE(std::any_of(windows.begin(), windows.end(), [&](const RECT& area) { return EqualRect(&area, &monitor) != 0; }))
                << "no window over the monitor at " << monitor.left << "," << monitor.top;
        }

        // Every monitor drawn, none with its desktop still showing; the first
        // drawing of each kept.
        std::vector<std::vector<std::uint32_t>> first(monitors.size());
        std::vector<DWORD> firstTick(monitors.size(), 0);
        PumpUntil([&] {
            const std::vector<std::uint32_t> pixels = screen.Read();
            bool all = true;
            for (std::size_t m = 0; m < monitors.size(); ++m) {
                if (!first[m].empty()) continue;
                const RECT& monitor = monitors[m];
                std::size_t desktopLeft = 0, drawn = 0;
                for (int y = monitor.top; y < monitor.bottom; ++y) {
                    for (int x = monitor.left; x < monitor.right; ++x) {
                        const std::uint32_t p = pixels[static_cast<std::size_t>((y - screen.area.top) * Width(screen.area) + (x - screen.area.left))];
                        desktopLeft += p == desktop.At(screen, x, y) ? 1 : 0;
                        drawn += p != 0 ? 1 : 0;
                    }
                }
                const std::size_t area = static_cast<std::size_t>(Width(monitor)) * static_cast<std::size_t>(Height(monitor));
                if (desktopLeft * 1000 < area && drawn > area / 100) {
                    first[m] = screen.Part(pixels, monitor);
                    firstTick[m] = GetTickCount();
                } else {
                    all = false;
                }
            }
            return all;
        }, 20000);
        for (std::size_t m = 0; m < monitors.size(); ++m) EXPECT_FALSE(first[m].empty()) << "monitor " << m << " not drawn, or its desktop still shows";

        // No two monitors show the same picture (compared where both have pixels).
        for (std::size_t a = 0; a < monitors.size(); ++a) {
            for (std::size_t b = a + 1; b < monitors.size(); ++b) {
                if (first[a].empty() || first[b].empty()) continue;
                const int w = std::min(Width(monitors[a]), Width(monitors[b])), h = std::min(Height(monitors[a]), Height(monitors[b]));
                bool same = true;
                for (int y = 0; y < h && same; ++y)
                    for (int x = 0; x < w && same; ++x)
                        same = first[a][static_cast<std::size_t>(y * Width(monitors[a]) + x)] == first[b][static_cast<std::size_t>(y * Width(monitors[b]) + x)];
                EXPECT_FALSE(same) << "monitors " << a << " and " << b << " show the same picture";
            }
        }

        // The relief saver: on each monitor the frame of a one-monitor run
        // at that size over that monitor's part of the desktop.
        if (relief) {
            // The snapshot of the whole virtual screen was this run's.
            WIN32_FILE_ATTRIBUTE_DATA snapshot{};
            EXPECT_TRUE(GetFileAttributesExA("C:\\snapwnd.dat", GetFileExInfoStandard, &snapshot) &&
                        snapshot.nFileSizeLow == static_cast<DWORD>(Width(screen.area) * Height(screen.area) * 3));
            DeleteFileA("C:\\snapwnd.dat");
            ProfileSettingsStore store(directory + "\\ondrels.INI");
            const ReliefSettings settings = LoadReliefSettings(store);
            for (std::size_t m = 0; m < monitors.size(); ++m) {
                if (first[m].empty()) continue;
                // Each window's generator is seeded apart by its number,
                // which is the order the host made the windows in.
                int matches = 0;
                for (std::size_t number = 0; number < monitors.size(); ++number) {
                    const int n = static_cast<int>(number);
                    matches += ondrels_run::CountMatchingReliefSeeds(SeparateMonitorSeed(startTick - 50, n), SeparateMonitorSeed(firstTick[m] + 1, n),
                                                                     settings, Width(monitors[m]), Height(monitors[m]),
                                                                     desktop.Part(screen, monitors[m]), first[m]);
                }
                EXPECT_EQ(matches, 1) << "monitor " << m;
            }
        }

        // A second start finds the running saver, and makes nothing.
        {
            SaverProcess second;
            ASSERT_TRUE(second.Start(program, start, &error)) << error;
            DWORD code = 1;
            EXPECT_TRUE(second.WaitForExit(10000, &code) && code == 0) << "a second start did not end at once with 0";
            EXPECT_EQ(SaverWindows(second.ProcessId()).size(), 0u);
            EXPECT_EQ(SaverWindows(process.ProcessId()).size(), monitors.size());
        }

        // A move of 10 pixels on the second monitor ends every window.
        const DWORD moveTick = GetTickCount();
        SetCursorPos(rest.x + 10, rest.y);
        DWORD code = 1;
        ASSERT_TRUE(process.WaitForExit(10000, &code)) << "a move on the second monitor did not end it";
        EXPECT_EQ(code, 0u);
        std::printf("%s: %zu monitors drawn; a move on the second monitor ended it in %lu ms\n", saver.name, monitors.size(),
                    static_cast<unsigned long>(GetTickCount() - moveTick));
    }
}
