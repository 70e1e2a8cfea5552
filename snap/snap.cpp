// snap: writes the primary screen of the default desktop to C:\snapwnd.dat at
// screen size, rows bottom-up, blue-green-red, nothing between rows, and ends.
// The picture goes to a temporary file first and replaces the snapshot only
// when it is complete, so a reader never sees a half-written file. Exit code 0
// on success, 1 when the screen cannot be copied, 2 when the file cannot be
// written.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "common/win32/screen_copy.h"

namespace {

const char kSnapshotPath[] = "C:\\snapwnd.dat";
const char kPartialPath[] = "C:\\snapwnd.dat.partial";

bool CopyPrimaryScreen(std::vector<std::uint8_t>& picture)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    picture.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
    return CopyScreenPixels(width, height, picture);
}

// Windows NT replaces the snapshot in one step. MoveFileExA is looked up, not
// imported: Windows 95 and 98 have no working one, so there the old snapshot
// is deleted before the new one takes its name (a reader in between finds
// none and copies the screen itself).
bool ReplaceSnapshot()
{
    using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    const auto moveFileEx = kernel != nullptr ? reinterpret_cast<MoveFileExFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA"))) : nullptr;
    if (moveFileEx != nullptr) {
        if (moveFileEx(kPartialPath, kSnapshotPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    }
    DeleteFileA(kSnapshotPath);
    return MoveFileA(kPartialPath, kSnapshotPath) != 0;
}

bool WriteSnapshot(const std::vector<std::uint8_t>& picture)
{
    std::FILE* file = std::fopen(kPartialPath, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !ReplaceSnapshot()) {
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
        if (!CopyPrimaryScreen(picture)) return 1;
        return WriteSnapshot(picture) ? 0 : 2;
    } catch (...) {
        DeleteFileA(kPartialPath);
        return 1;
    }
}
