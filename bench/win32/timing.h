// The performance counter, for the timing programs.
#pragma once

#include <windows.h>

#include "tests/win32/window_pixels.h"

inline LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles the messages waiting for this thread's windows.
inline void DrainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Where the n-th copy of a side x side block goes on a width x height
// window: across it, as the lens moves.
inline POINT BlockPlace(int n, int width, int height, int side)
{
    const int spanX = width > side ? width - side : 1;
    const int spanY = height > side ? height - side : 1;
    return POINT{(n * 37) % spanX, (n * 23) % spanY};
}

// A top-most popup of the given size for a timing program to draw on, its
// first messages handled; nullptr when it cannot be made. classStyle
// CS_OWNDC gives it a private device context, as the saver windows have.
inline HWND CreateTimingWindow(const char* className, int width, int height, UINT classStyle, int backgroundBrush,
                               WNDPROC procedure = DefWindowProcA)
{
    HWND window = CreateTopmostPopup(className, procedure, width, height, classStyle, backgroundBrush);
    if (window != nullptr) DrainMessages();
    return window;
}
