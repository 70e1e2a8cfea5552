#include "gdi_surface.h"

#include <cstring>

#include "gdi_guards.h"

BITMAPINFO Bitmap24Info(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::size_t PaddedRowLength(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3); }

void PadPixelRows(const std::uint8_t* packed, int width, int height, std::vector<std::uint8_t>& padded)
{
    const std::size_t stride = PaddedRowLength(width);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    padded.assign(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) std::memcpy(&padded[stride * static_cast<std::size_t>(y)], packed + row * static_cast<std::size_t>(y), row);
}

void UnpadPixelRows(const std::uint8_t* padded, int width, int height, std::uint8_t* packed)
{
    const std::size_t stride = PaddedRowLength(width);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) std::memcpy(packed + row * static_cast<std::size_t>(y), padded + stride * static_cast<std::size_t>(y), row);
}

void GdiSurface::PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr)
{
    if (width <= 0 || height <= 0 || bottomUpBgr == nullptr) return;
    try {
        PadPixelRows(bottomUpBgr, width, height, paddedRows_);
    } catch (...) {
        return; // no memory for this frame: it stays undrawn
    }
    WindowDc windowDc(window_);
    if (!windowDc) return;
    MemoryDc memoryDc(windowDc.dc);
    if (!memoryDc) return;
    GdiObject bitmap(CreateCompatibleBitmap(windowDc.dc, width, height));
    if (!bitmap) return;
    SelectedObject selected(memoryDc.dc, bitmap.handle);
    if (palette_ != nullptr) {
        SelectPalette(memoryDc.dc, palette_, FALSE);
        RealizePalette(memoryDc.dc);
    }
    BITMAPINFO info = Bitmap24Info(width, height);
    SetDIBits(memoryDc.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), paddedRows_.data(), &info, DIB_RGB_COLORS);
    BitBlt(windowDc.dc, left, top, width, height, memoryDc.dc, 0, 0, SRCCOPY);
}
