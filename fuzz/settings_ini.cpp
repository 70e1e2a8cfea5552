// Both savers' settings read from any settings file. The input up to its
// first zero byte is the file; after it, each line "Key=Value" is an override
// as the renderer's --set applies it (keys of letters, digits, '_' and '.',
// values without line breaks; others are refused there and skipped here).
// What is read must lie in the ranges the savers rely on, and settings
// written into the same file must read back as written.
#include <cstring>
#include <string>

#include "headless/ini_settings_store.h"
#include "fuzz_support.h"
#include "relief/relief_settings.h"
#include "terrain/terrain_settings.h"

namespace {

bool IsOverrideKey(const std::string& key)
{
    if (key.empty()) return false;
    for (char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!ok) return false;
    }
    return true;
}

void ApplyOverrides(IniSettingsStore& store, const char* section, const std::string& overrides)
{
    std::string::size_type at = 0;
    while (at < overrides.size()) {
        std::string::size_type next = overrides.find('\n', at);
        if (next == std::string::npos) next = overrides.size();
        const std::string line = overrides.substr(at, next - at);
        at = next + 1;
        const std::string::size_type eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (!IsOverrideKey(key) || value.find('\r') != std::string::npos) continue;
        store.SetValue(section, key.c_str(), value);
    }
}

bool Same(const TerrainSettings& a, const TerrainSettings& b)
{
    return a.Depth == b.Depth && a.Speed == b.Speed && a.Mode == b.Mode && a.Level == b.Level && a.Color == b.Color &&
           a.Erase == b.Erase && a.Threshold == b.Threshold;
}

bool Same(const ReliefSettings& a, const ReliefSettings& b)
{
    return a.Degrees == b.Degrees && a.RGB_Red == b.RGB_Red && a.RGB_Green == b.RGB_Green && a.RGB_Blue == b.RGB_Blue &&
           a.UseColor == b.UseColor && a.ColorCount == b.ColorCount && a.Delay == b.Delay && a.Soften == b.Soften &&
           a.Invert == b.Invert;
}

void CheckRelief(const ReliefSettings& s)
{
    FUZZ_CHECK(s.Delay >= 10 && s.Delay <= 5000);
    if (s.UseColor == 0) FUZZ_CHECK(s.RGB_Red == 0 && s.RGB_Green == 0 && s.RGB_Blue == 0);
}

void CheckTerrain(const TerrainSettings& s)
{
    FUZZ_CHECK(s.Speed >= 1 && s.Speed <= 5);
    FUZZ_CHECK(s.Mode >= 0 && s.Mode <= 2);
    FUZZ_CHECK(s.Level >= 0 && s.Level <= 3);
    FUZZ_CHECK(s.Color >= 0 && s.Color <= 12);
    FUZZ_CHECK(s.Erase >= 0 && s.Erase <= 16);
    FUZZ_CHECK(s.Threshold >= 0 && s.Threshold <= 2);
}

// What reading gives back after the settings were written: flags as 0 or 1,
// the colour only with UseColor.
ReliefSettings AsWritten(ReliefSettings s)
{
    s.Invert = s.Invert != 0 ? 1 : 0;
    s.UseColor = s.UseColor != 0 ? 1 : 0;
    if (s.UseColor == 0) s.RGB_Red = s.RGB_Green = s.RGB_Blue = 0;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string::size_type zero = input.find('\0');
    const std::string file = input.substr(0, zero);
    const std::string overrides = zero == std::string::npos ? std::string() : input.substr(zero + 1);

    for (int saver = 0; saver < 2; ++saver) {
        IniSettingsStore store;
        store.LoadText(file);
        if (saver == 0) {
            ApplyOverrides(store, kReliefSection, overrides);
            const ReliefSettings read = LoadReliefSettings(store);
            CheckRelief(read);
            // The dialog's OK writes all nine keys into the same file.
            SaveReliefSettings(store, read);
            FUZZ_CHECK(Same(LoadReliefSettings(store), AsWritten(read)));
        } else {
            ApplyOverrides(store, kTerrainSection, overrides);
            const TerrainSettings read = LoadTerrainSettings(store);
            CheckTerrain(read);
            SaveTerrainSettings(store, read);
            FUZZ_CHECK(Same(LoadTerrainSettings(store), read));
        }
    }
    return 0;
}
