// Times each wipe on a real window under Windows (or Wine): its wall time,
// sleeping as the saver does, against the sum of the pauses it asks for.
//   wipe_timing [WIDTH HEIGHT [FIRST LAST]]
// Run it on a display at least WIDTH x HEIGHT large.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "timing.h"
#include "common/win32/sleep_pause.h"
#include "terrain/terrain_wipes.h"
#include "tests/win32/wipe_window.h"

namespace {

// Sleeps like the saver and adds up what was asked for.
struct BudgetPause : SleepPause {
    long long asked = 0;
    int count = 0;
    void Pause(int milliseconds) override
    {
        asked += milliseconds;
        ++count;
        SleepPause::Pause(milliseconds);
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 1024;
    const int height = argc > 2 ? std::atoi(argv[2]) : 768;
    const int first = argc > 4 ? std::atoi(argv[3]) : 0;
    const int last = argc > 4 ? std::atoi(argv[4]) : kWipeCount - 1;

    HWND window = CreateTimingWindow("WipeTiming", width, height, CS_OWNDC, WHITE_BRUSH);
    if (window == nullptr) return 1;

    std::printf("window %dx%d, delayFactor 2\n", width, height);
    std::printf("%3s %-18s %7s %10s %10s %7s\n", "no", "wipe", "pauses", "budget ms", "wall ms", "ratio");
    RuntimeRandom random;
    SeedRuntimeRandom(random, 1);
    for (int number = first; number <= last && number < kWipeCount; ++number) {
        HDC dc = GetDC(window);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GdiFlush();
        BudgetPause pause;
        const LARGE_INTEGER start = Now();
        PlayWipeOnWindow(window, random, pause, number, 2);
        GdiFlush();
        const LARGE_INTEGER end = Now();
        ReleaseDC(window, dc);
        const double wall = Milliseconds(start, end);
        std::printf("%3d %-18s %7d %10lld %10.1f %7.3f\n", number, kWipeTable[number].eraseText, pause.count, pause.asked, wall,
                    pause.asked > 0 ? wall / static_cast<double>(pause.asked) : 0.0);
        DrainMessages();
    }
    DestroyWindow(window);
    return 0;
}
