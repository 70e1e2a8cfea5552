// The settings seam: what a saver needs from a private profile file.
// On Windows the profile API stands behind it; natively a small INI file.
#pragma once

#include <cstdint>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The decimal number at the start of the key's text, or defaultValue when
    // the key (or the whole file) is missing.
    virtual std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) = 0;
    virtual void WriteSettingString(const char* section, const char* key, const char* text) = 0;
};
