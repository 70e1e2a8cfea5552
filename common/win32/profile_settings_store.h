// Settings through the platform's private profile API, at a saver's settings
// path (the program's path with its extension replaced by "INI"), or, where
// that file cannot be written, in a file of the user's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/settings_store.h"

// The settings path of the running program. The module path is read in full,
// however long it is.
std::string GetSettingsPath();

// The folder of the per-user settings files, with a trailing backslash: the
// user's application-data folder, or, on a system without one, the user's
// profile folder or (Windows 95/98 without user profiles) the Windows folder.
// Empty when no folder is known. Asking never makes a folder.
std::string GetUserSettingsFolder();

// The per-user settings file of the running program: its settings file's
// name in GetUserSettingsFolder(); empty when there is no such folder.
std::string GetUserSettingsPath();

class ProfileSettingsStore : public SettingsStore {
public:
    explicit ProfileSettingsStore(std::string path) : path_(std::move(path)) {}
    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override;
    void WriteSettingString(const char* section, const char* key, const char* text) override;

private:
    std::string path_;
};

// A saver's settings in two places. The file beside the program is read and
// written as long as no per-user file exists. When a key cannot be written
// there (a program folder the user may not write, a read-only medium), that
// key and every key this store wrote before it go to the per-user file
// instead (its folder made if it is missing), and from then on, in this run
// and every later one, the per-user file is the one read and written.
class SaverSettingsStore : public SettingsStore {
public:
    SaverSettingsStore() : SaverSettingsStore(GetSettingsPath(), GetUserSettingsPath()) {}
    SaverSettingsStore(std::string programPath, std::string userPath);
    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override;
    void WriteSettingString(const char* section, const char* key, const char* text) override;
    // The file read and written now.
    const std::string& Path() const { return usingUser_ ? userPath_ : programPath_; }

private:
    struct Written {
        std::string section, key, text;
    };
    std::string programPath_;
    std::string userPath_;
    bool usingUser_ = false;
    std::vector<Written> written_;
};

// The full path of a module (the program itself for nullptr), however long.
std::string GetModulePath(void* module);
