// Settings through the platform's private profile API, at a saver's settings
// path (the program's path with its extension replaced by "INI").
#pragma once

#include <string>

#include "common/settings_store.h"

// The settings path of the running program. The module path is read in full,
// however long it is.
std::string GetSettingsPath();

class ProfileSettingsStore : public SettingsStore {
public:
    explicit ProfileSettingsStore(std::string path) : path_(std::move(path)) {}
    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override;
    void WriteSettingString(const char* section, const char* key, const char* text) override;

private:
    std::string path_;
};

// The full path of a module (the program itself for nullptr), however long.
std::string GetModulePath(void* module);
