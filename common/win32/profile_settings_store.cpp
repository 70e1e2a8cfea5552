#include "profile_settings_store.h"

#include <windows.h>

#include <vector>

#include "common/settings_path.h"

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

std::int32_t ProfileSettingsStore::ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue)
{
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path_.c_str()));
}

void ProfileSettingsStore::WriteSettingString(const char* section, const char* key, const char* text)
{
    WritePrivateProfileStringA(section, key, text, path_.c_str());
}
