// A top-most window over the whole screen in a colour of its own, for tests
// of full-screen programs: a window that comes over it hides the colour, so
// what the screen shows afterwards can be told from what was there before.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tests/win32/window_pixels.h"

class ScreenCover {
public:
    // The colour as the screen shows it: 0x00RRGGBB.
    static constexpr std::uint32_t kShown = 0x123456;

    ScreenCover()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = Brush(); // every repaint shows the colour again
        windowClass.lpszClassName = "ScreenCoverWindow";
        RegisterClassA(&windowClass); // fails harmlessly once registered
        window_ = CreateWindowExA(WS_EX_TOPMOST, "ScreenCoverWindow", "cover", WS_POPUP | WS_VISIBLE, 0, 0, Width(), Height(),
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window_ != nullptr) {
            HDC dc = GetDC(window_);
            const RECT all{0, 0, Width(), Height()};
            FillRect(dc, &all, Brush());
            ReleaseDC(window_, dc);
            GdiFlush();
        }
        PumpMessages();
    }
    ~ScreenCover()
    {
        if (window_ != nullptr) DestroyWindow(window_);
        PumpMessages();
    }
    ScreenCover(const ScreenCover&) = delete;
    ScreenCover& operator=(const ScreenCover&) = delete;

    explicit operator bool() const { return window_ != nullptr; }
    static int Width() { return GetSystemMetrics(SM_CXSCREEN); }
    static int Height() { return GetSystemMetrics(SM_CYSCREEN); }

    // Waits, running this thread's messages, until another window has come
    // over the whole cover and drawn on it: the cover's colour left in fewer
    // than one pixel in a thousand, and at least `lit` pixels neither black
    // nor the cover's colour. False when that did not happen in time.
    bool WaitUntilCoveredAndDrawn(DWORD timeoutMs, std::size_t lit = 100) const
    {
        const DWORD begin = GetTickCount();
        do {
            PumpMessages();
            const std::vector<std::uint32_t> pixels = ReadWindowPixels(nullptr, Width(), Height());
            std::size_t covered = 0, drawn = 0;
            for (std::uint32_t p : pixels) {
                covered += p != kShown ? 1 : 0;
                drawn += p != kShown && p != 0 ? 1 : 0;
            }
            if (!pixels.empty() && (pixels.size() - covered) * 1000 < pixels.size() && drawn >= lit) return true;
            Sleep(100);
        } while (GetTickCount() - begin < timeoutMs);
        return false;
    }

private:
    // The class's background, kept as long as the class: for the process.
    static HBRUSH Brush()
    {
        static const HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
        return brush;
    }
    HWND window_ = nullptr;
};
