#include "screen_copy.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi_guards.h"
#include "gdi_surface.h"

bool CopyScreenPixels(int width, int height, std::vector<std::uint8_t>& picture, int left, int top)
{
    if (width <= 0 || height <= 0 || picture.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) return false;
    WindowDc screen(nullptr);
    if (!screen) return false;
    MemoryDc memoryDc(screen.dc);
    if (!memoryDc) return false;
    GdiObject bitmap(CreateCompatibleBitmap(screen.dc, width, height));
    if (!bitmap) return false;
    {
        SelectedObject selected(memoryDc.dc, bitmap.handle);
        if (!BitBlt(memoryDc.dc, 0, 0, width, height, screen.dc, left, top, SRCCOPY)) return false;
    }
    // The bitmap is no longer selected when its bits are read. GetDIBits
    // writes rows at the platform's length: where that is the picture's own
    // (a width of a multiple of 4 pixels, every common screen), straight into
    // the picture; otherwise into padded rows taken one by one.
    BITMAPINFO info = Bitmap24Info(width, height);
    const bool packed = PaddedRowLength(width) == static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> padded(packed ? 0 : PaddedRowLength(width) * static_cast<std::size_t>(height));
    std::uint8_t* rows = packed ? picture.data() : padded.data();
    const int lines = GetDIBits(memoryDc.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), rows, &info, DIB_RGB_COLORS);
    GdiFlush();
    if (lines == 0) return false;
    if (!packed) UnpadPixelRows(padded.data(), width, height, picture.data());
    return true;
}

DesktopArea GetDesktopArea()
{
    // SM_CMONITORS and the virtual screen's metrics (80, 76 to 79) are not in
    // the headers of Windows 95 and NT 4, where they read as 0: one screen.
    constexpr int kMonitors = 80, kVirtualLeft = 76, kVirtualTop = 77, kVirtualWidth = 78, kVirtualHeight = 79;
    DesktopArea area;
    if (GetSystemMetrics(kMonitors) > 1 && GetSystemMetrics(kVirtualWidth) > 0 && GetSystemMetrics(kVirtualHeight) > 0) {
        area.left = GetSystemMetrics(kVirtualLeft);
        area.top = GetSystemMetrics(kVirtualTop);
        area.width = GetSystemMetrics(kVirtualWidth);
        area.height = GetSystemMetrics(kVirtualHeight);
    } else {
        area.width = GetSystemMetrics(SM_CXSCREEN);
        area.height = GetSystemMetrics(SM_CYSCREEN);
    }
    return area;
}

std::vector<std::uint8_t> CutDesktopPicture(const std::vector<std::uint8_t>& picture, const DesktopArea& area, int left, int top, int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> part(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
    const long long rowBytes = static_cast<long long>(area.width) * 3;
    // The columns of the rectangle that lie inside the area, the same in
    // every row.
    const long long firstX = std::max<long long>(0, static_cast<long long>(area.left) - left);
    const long long endX = std::min<long long>(width, static_cast<long long>(area.left) + area.width - left);
    if (firstX >= endX) return part;
    for (int row = 0; row < height; ++row) {
        // Row 0 of a picture is its bottom line.
        const long long areaY = static_cast<long long>(top) + (height - 1 - row) - area.top;
        if (areaY < 0 || areaY >= area.height) continue;
        const long long from = (area.height - 1 - areaY) * rowBytes + (left + firstX - area.left) * 3;
        // Whole pixels only, where a short picture ends inside the span.
        const long long available = (static_cast<long long>(picture.size()) - from) / 3;
        const long long count = std::min(endX - firstX, available);
        if (count <= 0) continue;
        std::memcpy(&part[(static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(firstX)) * 3],
                    &picture[static_cast<std::size_t>(from)], static_cast<std::size_t>(count) * 3);
    }
    return part;
}
