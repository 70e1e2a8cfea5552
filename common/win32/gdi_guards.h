// Small guards that give back what a drawing call took from GDI, in reverse
// order, however the call ends.
#pragma once

#include <windows.h>

struct WindowDc {
    HWND window;
    HDC dc;
    explicit WindowDc(HWND w) : window(w), dc(GetDC(w)) {}
    ~WindowDc() { if (dc != nullptr) ReleaseDC(window, dc); }
    explicit operator bool() const { return dc != nullptr; }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
};

struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() { if (dc != nullptr) DeleteDC(dc); }
    explicit operator bool() const { return dc != nullptr; }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

struct GdiObject {
    HGDIOBJ handle;
    explicit GdiObject(HGDIOBJ h) : handle(h) {}
    ~GdiObject() { if (handle != nullptr) DeleteObject(handle); }
    explicit operator bool() const { return handle != nullptr; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
};

// Selects an object into a context and selects the old one back at the end,
// before the object itself is deleted (declare it after the object's guard).
struct SelectedObject {
    HDC dc;
    HGDIOBJ old;
    SelectedObject(HDC d, HGDIOBJ object) : dc(d), old(SelectObject(d, object)) {}
    ~SelectedObject() { if (old != nullptr && old != HGDI_ERROR) SelectObject(dc, old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
};
