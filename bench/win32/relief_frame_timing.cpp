// Times the relief saver's work under Windows (or Wine) on a window of a
// given size, through its window procedure: window creation (snapshot helper,
// picture, tables) and frames, each frame beside the floor it stands on,
// measured in the same run:
//   saver frame      the window's own tick: light path, lens pixels, and the
//                    square put on the window (one SetDIBitsToDevice);
//   lens pixels      the effect logic alone, per frame and per lens pixel;
//   one-copy frame   a single SetDIBitsToDevice of an S x S 24-bit block, and
//                    of a 32-bit one (what the saver puts on a display of 32
//                    bits a pixel);
//   two-copy frame   the same block through SetDIBits into a compatible
//                    bitmap and BitBlt, as frames were put before.
//   relief_frame_timing [WIDTH HEIGHT [FRAMES]]
// Run it on a display at least WIDTH x HEIGHT large.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "timing.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "relief/relief_life.h"
#include "relief/win32/relief_capture.h"
#include "host/saver_host_state.h"

namespace {

double OneCopyFrames(HWND window, const std::vector<std::uint8_t>& rows, int side, int frames, int width, int height, WORD bitCount)
{
    // Each frame takes the window's context and gives it back, as a tick does.
    BITMAPINFO info = Bitmap24Info(side, side);
    info.bmiHeader.biBitCount = bitCount;
    const LARGE_INTEGER start = Now();
    for (int i = 0; i < frames; ++i) {
        WindowDc dc(window);
        const POINT at = BlockPlace(i, width, height, side);
        SetDIBitsToDevice(dc.dc, at.x, at.y, static_cast<DWORD>(side), static_cast<DWORD>(side), 0, 0, 0, static_cast<UINT>(side), rows.data(), &info,
                          DIB_RGB_COLORS);
    }
    GdiFlush();
    return Milliseconds(start, Now()) / frames;
}

double TwoCopyFrames(HWND window, const std::vector<std::uint8_t>& rows, int side, int frames, int width, int height)
{
    const BITMAPINFO info = Bitmap24Info(side, side);
    const LARGE_INTEGER start = Now();
    for (int i = 0; i < frames; ++i) {
        WindowDc dc(window);
        MemoryDc memory(dc.dc);
        GdiObject bitmap(CreateCompatibleBitmap(dc.dc, side, side));
        SelectedObject selected(memory.dc, bitmap.handle);
        SetDIBits(memory.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(side), rows.data(), &info, DIB_RGB_COLORS);
        const POINT at = BlockPlace(i, width, height, side);
        BitBlt(dc.dc, at.x, at.y, side, side, memory.dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    return Milliseconds(start, Now()) / frames;
}

} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 1920;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1080;
    const int frames = argc > 3 && std::atoi(argv[3]) > 1 ? std::atoi(argv[3]) : 300;

    // Defaults: no settings file beside this program. The helper alone
    // first, for its share of creation.
    const LARGE_INTEGER start = Now();
    RunSnapProgram();
    const LARGE_INTEGER snapped = Now();
    // A private device context, as the saver window has, hidden while it is
    // created (as the saver's is), so the helper's picture is the desktop.
    HWND window = CreateTimingWindow("ReliefTiming", width, height, CS_OWNDC, BLACK_BRUSH);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_HIDE);
    DrainMessages();
    const LARGE_INTEGER shown = Now();
    ScreenSaverProc(window, WM_CREATE, 0, 0);
    const LARGE_INTEGER created = Now();
    ShowWindow(window, SW_SHOW);
    DrainMessages();
    const auto* saver = static_cast<ReliefSaverState*>(FindSaverWindowState(window));
    if (saver == nullptr) return 1;
    const LARGE_INTEGER beforeFirst = Now();
    ScreenSaverProc(window, WM_TIMER, 0, 0);
    GdiFlush();
    const LARGE_INTEGER first = Now();
    for (int i = 1; i < frames; ++i) ScreenSaverProc(window, WM_TIMER, 0, 0);
    GdiFlush();
    const LARGE_INTEGER end = Now();
    const double saverFrame = Milliseconds(first, end) / (frames - 1);

    ReliefState lens = saver->relief;
    RuntimeRandom lensRandom = saver->random;
    const int side = lens.lens.lensSize;
    const double lensPixels = static_cast<double>(side) * side;
    const LARGE_INTEGER lensStart = Now();
    for (int i = 0; i < frames; ++i) ComputeReliefFramePixels(lens, StepLightPath(lens.lens, lensRandom));
    const double lensFrame = Milliseconds(lensStart, Now()) / frames;

    // Creation's two halves on their own, once more: reading the picture,
    // and the effect logic's tables from it.
    const LARGE_INTEGER readStart = Now();
    const std::vector<std::uint8_t> picture = CaptureDesktopPicture(width, height, true);
    const LARGE_INTEGER read = Now();
    {
        ReliefState tables;
        RuntimeRandom random;
        InitRelief(tables, saver->settings, random, 1, width, height, 0, picture.data(), picture.size());
    }
    const LARGE_INTEGER built = Now();

    // The block the copies put: the last lens square, at the platform's rows.
    std::vector<std::uint8_t> rows(PaddedRowLength(side) * static_cast<std::size_t>(side), 0);
    const std::vector<std::uint8_t> rows32(static_cast<std::size_t>(side) * static_cast<std::size_t>(side) * 4, 0);
    if (side > 0 && lens.lensPixelBytes == 3) PadPixelRows(lens.lensPixels.data(), side, side, rows);
    const double oneCopy = side > 0 ? OneCopyFrames(window, rows, side, frames, width, height, 24) : 0.0;
    const double oneCopy32 = side > 0 ? OneCopyFrames(window, rows32, side, frames, width, height, 32) : 0.0;
    const double twoCopy = side > 0 ? TwoCopyFrames(window, rows, side, frames, width, height) : 0.0;

    const int delay = saver->settings.Delay;
    std::printf("window %dx%d, lens %dx%d at %d bytes a pixel, Delay %d ms\n", width, height, side, side, lens.lensPixelBytes, delay);
    std::printf("snapshot helper alone:      %8.1f ms\n", Milliseconds(start, snapped));
    std::printf("creation (WM_CREATE):       %8.1f ms (the helper again, the picture and the tables)\n", Milliseconds(shown, created));
    std::printf("  of which picture read:    %8.1f ms, tables %.1f ms (measured again)\n", Milliseconds(readStart, read), Milliseconds(read, built));
    std::printf("first frame:                %8.2f ms\n", Milliseconds(beforeFirst, first));
    std::printf("creation to first frame:    %8.1f ms (the timer adds one Delay)\n", Milliseconds(shown, first));
    std::printf("saver frame (mean of %d):  %8.3f ms = %.4f of the %d ms frame period\n", frames - 1, saverFrame, saverFrame / delay, delay);
    std::printf("lens pixels alone:          %8.3f ms = %.3f ns per lens pixel\n", lensFrame, lensPixels > 0 ? lensFrame * 1e6 / lensPixels : 0.0);
    std::printf("one-copy frame, 24-bit:     %8.3f ms (saver frame %.2f x this)\n", oneCopy, oneCopy > 0 ? saverFrame / oneCopy : 0.0);
    std::printf("one-copy frame, 32-bit:     %8.3f ms (saver frame %.2f x this)\n", oneCopy32, oneCopy32 > 0 ? saverFrame / oneCopy32 : 0.0);
    std::printf("two-copy frame:             %8.3f ms (SetDIBits into a bitmap, BitBlt)\n", twoCopy);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    DestroyWindow(window);
    return 0;
}
