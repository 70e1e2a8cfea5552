// The floor of the relief saver's frames, as a program of its own: a
// full-screen window that on every timer tick does nothing but put one block
// of the lens square's size (S x S pixels, S = half the screen height, 24-bit,
// or 32-bit as the saver draws on a display of 32 bits a pixel) on itself
// with a single SetDIBitsToDevice, moving it as the lens moves.
// scripts/cpu-share.sh runs it beside the real saver and compares how much
// processor time each takes.
//   one_copy_ticks [DELAY_MS [SECONDS [BITS]]]   (defaults 10, 30 and 24)
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "timing.h"
#include "common/win32/gdi_surface.h"

namespace {

struct OneCopyRun {
    int width = 0;
    int height = 0;
    int side = 0;
    int tick = 0;
    std::vector<std::uint8_t> rows;
    BITMAPINFO info{};
};
OneCopyRun gRun;

LRESULT CALLBACK OneCopyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        // The window's private context, as the saver's.
        HDC dc = GetDC(window);
        const POINT at = BlockPlace(gRun.tick++, gRun.width, gRun.height, gRun.side);
        SetDIBitsToDevice(dc, at.x, at.y, static_cast<DWORD>(gRun.side), static_cast<DWORD>(gRun.side), 0, 0, 0, static_cast<UINT>(gRun.side),
                          gRun.rows.data(), &gRun.info, DIB_RGB_COLORS);
        ReleaseDC(window, dc);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    const int delay = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 10;
    const int seconds = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 30;
    gRun.width = GetSystemMetrics(SM_CXSCREEN);
    gRun.height = GetSystemMetrics(SM_CYSCREEN);
    gRun.side = gRun.height / 2;
    const bool bits32 = argc > 3 && std::atoi(argv[3]) == 32;
    gRun.info = Bitmap24Info(gRun.side, gRun.side);
    gRun.info.bmiHeader.biBitCount = bits32 ? 32 : 24;
    const std::size_t rowBytes = bits32 ? static_cast<std::size_t>(gRun.side) * 4 : PaddedRowLength(gRun.side);
    gRun.rows.resize(rowBytes * static_cast<std::size_t>(gRun.side));
    std::uint32_t seed = 1;
    for (auto& value : gRun.rows) {
        seed = seed * 1664525u + 1013904223u;
        value = static_cast<std::uint8_t>(seed >> 24);
    }

    HWND window = CreateTimingWindow("OneCopyTicks", gRun.width, gRun.height, CS_OWNDC, BLACK_BRUSH, OneCopyProcedure);
    if (window == nullptr) return 1;
    SetTimer(window, 1, static_cast<UINT>(delay), nullptr);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000u;
    MSG message;
    while (static_cast<int>(end - GetTickCount()) > 0 && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    KillTimer(window, 1);
    DestroyWindow(window);
    return 0;
}
