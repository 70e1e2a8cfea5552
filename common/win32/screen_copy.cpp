#include "screen_copy.h"

#include <windows.h>

#include "gdi_guards.h"
#include "gdi_surface.h"

bool CopyScreenPixels(int width, int height, std::vector<std::uint8_t>& picture)
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
        if (!BitBlt(memoryDc.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY)) return false;
    }
    // The bitmap is no longer selected when its bits are read. GetDIBits
    // writes rows at the platform's length; they are taken one by one.
    BITMAPINFO info = Bitmap24Info(width, height);
    std::vector<std::uint8_t> padded(PaddedRowLength(width) * static_cast<std::size_t>(height));
    const int lines = GetDIBits(memoryDc.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), padded.data(), &info, DIB_RGB_COLORS);
    GdiFlush();
    if (lines == 0) return false;
    UnpadPixelRows(padded.data(), width, height, picture.data());
    return true;
}
