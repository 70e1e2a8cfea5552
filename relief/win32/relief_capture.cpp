#include "relief_capture.h"

#include <windows.h>

#include <cstdio>

#include "common/win32/screen_copy.h"
#include "common/win32/profile_settings_store.h"

namespace {

// A helper ended at the time limit ends as failed, like one that could not
// copy the screen.
constexpr UINT kSnapAbandonedExitCode = 1;

bool IsFullPath(const std::string& path)
{
    const bool onDrive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                         path[1] == ':' && path[2] == '\\';
    const bool onShare = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return onDrive || onShare;
}

} // namespace

std::string BuildSnapProgramPath(const std::string& programPath)
{
    if (!IsFullPath(programPath) || programPath.find_first_of("\"?") != std::string::npos) return std::string();
    return programPath.substr(0, programPath.find_last_of('\\') + 1) + "snap.exe";
}

bool RunSnapProgram()
{
    const std::string program = BuildSnapProgramPath(GetModulePath(nullptr));
    if (program.empty()) return false;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    char desktop[] = "WinSta0\\Default";
    startup.lpDesktop = desktop;

    // The program is named by the application name, so nothing is searched
    // for; the command line only repeats it, quoted (it holds no '"'), as the
    // helper's own name. The helper takes no arguments and needs none of the
    // saver's handles.
    std::string commandLine = "\"" + program + "\"";
    commandLine.push_back('\0');
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    bool fresh = false;
    if (WaitForSingleObject(process.hProcess, kSnapWaitMilliseconds) == WAIT_OBJECT_0) {
        DWORD code = 1;
        fresh = GetExitCodeProcess(process.hProcess, &code) && code == 0;
    } else {
        TerminateProcess(process.hProcess, kSnapAbandonedExitCode);
    }
    CloseHandle(process.hProcess);
    return fresh;
}

bool ReadSnapshotFile(const char* path, std::vector<std::uint8_t>& picture)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    if (!picture.empty()) std::fread(picture.data(), 1, picture.size(), file);
    std::fclose(file);
    return true;
}

std::vector<std::uint8_t> CaptureDesktopPicture(int width, int height, bool fromSnapshotFile, int left, int top)
{
    // A missing or short snapshot leaves black where it gives no bytes.
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width > 0 ? width : 0) * static_cast<std::size_t>(height > 0 ? height : 0) * 3, 0);
    // Modern Windows often forbids writing to C:\, so a missing snapshot
    // falls back to copying the screen, as Windows 95/98 does.
    if (!fromSnapshotFile || !ReadSnapshotFile(kSnapshotPath, picture)) CopyScreenPixels(width, height, picture, left, top);
    return picture;
}
