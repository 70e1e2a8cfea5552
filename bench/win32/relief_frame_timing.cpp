// Times the relief saver's work under Windows (or Wine) on a window of a
// given size: window creation (snapshot helper, picture, tables) and frames
// (effect logic plus SetDIBits and BitBlt).
//   relief_frame_timing [WIDTH HEIGHT [FRAMES]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "timing.h"
#include "relief/win32/relief_capture.h"
#include "relief/win32/relief_window.h"

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 1920;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1080;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 300;

    HWND window = CreateTimingWindow("ReliefTiming", width, height, 0, BLACK_BRUSH);
    if (window == nullptr) return 1;

    LoadReliefSettingsFromProfile(); // defaults without a settings file
    const LARGE_INTEGER start = Now();
    const bool snapshotFresh = RunSnapProgram();
    const LARGE_INTEGER snapped = Now();
    InitReliefWindow(window, snapshotFresh);
    const LARGE_INTEGER created = Now();
    RenderReliefFrame(window);
    GdiFlush();
    const LARGE_INTEGER first = Now();
    for (int i = 1; i < frames; ++i) RenderReliefFrame(window);
    GdiFlush();
    const LARGE_INTEGER end = Now();

    const double perFrame = Milliseconds(first, end) / (frames > 1 ? frames - 1 : 1);
    std::printf("window %dx%d, lens %dx%d, Delay %d ms\n", width, height, height / 2, height / 2, gReliefSettings.Delay);
    std::printf("snapshot helper:            %8.1f ms\n", Milliseconds(start, snapped));
    std::printf("picture and tables:         %8.1f ms\n", Milliseconds(snapped, created));
    std::printf("first frame:                %8.2f ms\n", Milliseconds(created, first));
    std::printf("creation to first frame:    %8.1f ms (the timer adds one Delay)\n", Milliseconds(start, first));
    std::printf("frame (mean of %d):        %8.3f ms = %.4f of the %d ms frame period\n", frames - 1, perFrame,
                perFrame / gReliefSettings.Delay, gReliefSettings.Delay);
    FreeReliefWindow();
    DestroyWindow(window);
    return 0;
}
