// snap: writes the primary screen of the default desktop to C:\snapwnd.dat at
// screen size, rows bottom-up, blue-green-red, nothing between rows, and ends.
// The picture goes to a temporary file first and replaces the snapshot only
// when it is complete, so a reader never sees a half-written file. Exit code 0
// on success, 1 when the screen cannot be copied, 2 when the file cannot be
// written.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"

namespace {

const char kSnapshotPath[] = "C:\\snapwnd.dat";
const char kPartialPath[] = "C:\\snapwnd.dat.partial";

bool CopyPrimaryScreen(std::vector<std::uint8_t>& picture, int& width, int& height)
{
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
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
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> padded(PaddedRowLength(width) * static_cast<std::size_t>(height));
    if (GetDIBits(memoryDc.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), padded.data(), &info, DIB_RGB_COLORS) == 0) {
        return false;
    }
    picture.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    UnpadPixelRows(padded.data(), width, height, picture.data());
    return true;
}

bool WriteSnapshot(const std::vector<std::uint8_t>& picture)
{
    std::FILE* file = std::fopen(kPartialPath, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !MoveFileExA(kPartialPath, kSnapshotPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(kPartialPath);
        return false;
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        std::vector<std::uint8_t> picture;
        int width = 0, height = 0;
        if (!CopyPrimaryScreen(picture, width, height)) return 1;
        return WriteSnapshot(picture) ? 0 : 2;
    } catch (...) {
        DeleteFileA(kPartialPath);
        return 1;
    }
}
