#include "relief_capture.h"

#include <windows.h>

#include <cstdio>

#include "common/win32/screen_copy.h"
#include "common/win32/profile_settings_store.h"

const char kSnapshotPath[] = "C:\\snapwnd.dat";

namespace {

// The command shell replaces %NAME% by a variable's value even between
// quotes (and Wine's shell expands the value again), so no quoting keeps a
// directory with a "%" one path.
bool HasShellVariableSign(const std::string& directory) { return directory.find('%') != std::string::npos; }

} // namespace

std::string BuildSnapCommandLine(const std::string& directory)
{
    if (HasShellVariableSign(directory)) return "cmd.exe /C .\\snap.exe";
    return "cmd.exe /C \"\"" + directory + "snap.exe\"\"";
}

void RunSnapProgram()
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    char desktop[] = "WinSta0\\Default";
    startup.lpDesktop = desktop;

    std::string directory = GetModulePath(nullptr);
    directory.erase(directory.find_last_of('\\') + 1); // keep the trailing backslash
    std::string commandLine = BuildSnapCommandLine(directory);
    commandLine.push_back('\0');
    // A helper named relative to the directory is started from it.
    const char* workingDirectory = HasShellVariableSign(directory) ? directory.c_str() : nullptr;

    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, workingDirectory,
                        &startup, &process)) {
        return;
    }
    // A helper that hangs must not keep the saver from starting.
    WaitForSingleObject(process.hProcess, kSnapWaitMilliseconds);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

bool ReadSnapshotFile(const char* path, std::vector<std::uint8_t>& picture)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    if (!picture.empty()) std::fread(picture.data(), 1, picture.size(), file);
    std::fclose(file);
    return true;
}

std::vector<std::uint8_t> CaptureDesktopPicture(int width, int height, bool fromSnapshotFile)
{
    // A missing or short snapshot leaves black where it gives no bytes.
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width > 0 ? width : 0) * static_cast<std::size_t>(height > 0 ? height : 0) * 3, 0);
    // Modern Windows often forbids writing to C:\, so a missing snapshot
    // falls back to copying the screen, as Windows 95/98 does.
    if (!fromSnapshotFile || !ReadSnapshotFile(kSnapshotPath, picture)) CopyScreenPixels(width, height, picture);
    return picture;
}
