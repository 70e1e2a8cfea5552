// Reading back what a window (or, for nullptr, the screen) shows, as
// 0x00RRGGBB values, top-down rows, from (left, top) of its area.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

inline std::vector<std::uint32_t> ReadWindowPixels(HWND window, int width, int height, int left = 0, int top = 0)
{
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFFFFFFFFu);
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memoryDc, section);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, left, top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0x00FFFFFFu;
    SelectObject(memoryDc, old);
    DeleteObject(section);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

// A top-most popup whose client area is exactly width x height, on the
// given stock brush, of a class registered on first use (a second registration of
// the same name fails harmlessly). classStyle CS_OWNDC gives it a private
// device context, as the saver windows have.
inline HWND CreateTopmostPopup(const char* className, WNDPROC procedure, int width, int height, UINT classStyle = 0,
                               int backgroundBrush = BLACK_BRUSH)
{
    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(backgroundBrush));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_TOPMOST, className, className, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

// A plain top-most popup whose client area is exactly width x height, black.
inline HWND CreatePlainWindow(int width, int height, WNDPROC procedure = DefWindowProcA)
{
    HWND window = CreateTopmostPopup(procedure == DefWindowProcA ? "ReliefTestPlain" : "ReliefTestParent", procedure, width, height);
    UpdateWindow(window);
    return window;
}

// Lets pending paint messages run.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
