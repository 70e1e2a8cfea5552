// A private profile file read and written the way the platform's profile API
// does it, for the native tools and tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/settings_store.h"

// The decimal number at the start of a profile value: leading blanks skipped,
// an optional sign, digits up to the first non-digit, 32-bit wraparound.
// No digits read as 0.
std::int32_t ParseProfileInt(const std::string& text);

class IniSettingsStore : public SettingsStore {
public:
    IniSettingsStore() = default;
    // Reads the file if it exists; a missing file is an empty profile.
    // Returns false only when the file exists but cannot be read.
    bool Load(const std::string& path);
    // Takes the profile from text as a file would hold it (lines ended by LF
    // or CR LF), replacing what was loaded before.
    void LoadText(const std::string& text);
    // Write-through target of WriteSettingString; empty means memory only.
    void SetPath(const std::string& path) { path_ = path; }
    bool Save() const;

    // The raw text of a key, or false when the key is missing.
    bool FindValue(const char* section, const char* key, std::string& value) const;
    // Sets a key in memory only (no write-through).
    void SetValue(const char* section, const char* key, const std::string& text);

    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override;
    void WriteSettingString(const char* section, const char* key, const char* text) override;

private:
    std::string path_;
    std::vector<std::string> lines_;
};
