#include "profile_settings_store.h"

#include <windows.h>

#include <vector>

#include "common/settings_path.h"
#include "common/win32/platform.h"

std::string GetModulePath(void* module)
{
    // GetModuleFileNameA cuts the path to the buffer; grow until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size() - 1) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768 * 4) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetSettingsPath() { return BuildSettingsPath(GetModulePath(nullptr)); }

namespace {

// The user's application-data folder, as it stands: asking never makes it
// (a folder that is missing comes from the environment below, and is made
// when a setting is first written there). SHGetSpecialFolderPathA is looked
// up: the shell of Windows 95 and NT 4 without a later Internet Explorer has
// none.
std::string GetApplicationDataFolder()
{
    using SpecialFolderFunction = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
    constexpr int kApplicationData = 0x001A; // CSIDL_APPDATA
    std::string folder;
    const HMODULE shell = LoadLibraryA("SHELL32.DLL");
    if (shell != nullptr) {
        const auto specialFolder = LookUpProcedure<SpecialFolderFunction>(shell, "SHGetSpecialFolderPathA");
        char path[MAX_PATH] = {};
        if (specialFolder != nullptr && specialFolder(nullptr, path, kApplicationData, FALSE)) folder = path;
        FreeLibrary(shell);
    }
    return folder;
}

std::string GetEnvironmentFolder(const char* name)
{
    std::vector<char> value(MAX_PATH);
    const DWORD length = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size() ? std::string(value.data(), length) : std::string();
}

// Makes the folders of a file's path that are missing, outermost first.
void MakeFoldersFor(const std::string& file)
{
    for (std::string::size_type slash = file.find('\\', 3); slash != std::string::npos; slash = file.find('\\', slash + 1)) {
        const std::string folder = file.substr(0, slash);
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryA(folder.c_str(), nullptr);
    }
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::string GetUserSettingsFolder()
{
    std::string folder = GetApplicationDataFolder();
    if (folder.empty()) folder = GetEnvironmentFolder("APPDATA");
    if (folder.empty()) folder = GetEnvironmentFolder("USERPROFILE");
    if (folder.empty()) {
        // Windows 95/98 without user profiles: one user, whose Windows folder
        // holds the system's own INI files.
        char windows[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
        if (length > 0 && length < MAX_PATH) folder = windows;
    }
    if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
    return folder;
}

std::string GetUserSettingsPath()
{
    const std::string folder = GetUserSettingsFolder();
    if (folder.empty()) return std::string();
    const std::string settings = GetSettingsPath();
    const std::string::size_type slash = settings.find_last_of("\\/");
    return folder + (slash == std::string::npos ? settings : settings.substr(slash + 1));
}

std::int32_t ProfileSettingsStore::ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue)
{
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path_.c_str()));
}

void ProfileSettingsStore::WriteSettingString(const char* section, const char* key, const char* text)
{
    WritePrivateProfileStringA(section, key, text, path_.c_str());
}

SaverSettingsStore::SaverSettingsStore(std::string programPath, std::string userPath)
    : programPath_(std::move(programPath)), userPath_(std::move(userPath))
{
    usingUser_ = !userPath_.empty() && IsFile(userPath_);
}

std::int32_t SaverSettingsStore::ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue)
{
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, defaultValue, Path().c_str()));
}

void SaverSettingsStore::WriteSettingString(const char* section, const char* key, const char* text)
{
    if (!usingUser_) {
        if (WritePrivateProfileStringA(section, key, text, programPath_.c_str())) {
            written_.push_back({section, key, text});
            return;
        }
        if (userPath_.empty()) return;
        // The settings go where they can be kept, all of them, into a folder
        // made now if it is missing: reading never makes it.
        MakeFoldersFor(userPath_);
        usingUser_ = true;
        for (const Written& earlier : written_)
            WritePrivateProfileStringA(earlier.section.c_str(), earlier.key.c_str(), earlier.text.c_str(), userPath_.c_str());
        written_.clear();
    }
    WritePrivateProfileStringA(section, key, text, userPath_.c_str());
}
