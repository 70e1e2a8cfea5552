#include "terrain_settings.h"

#include <string>

const char kTerrainSection[] = "ScreenSaver.Kesmar";

namespace {

std::int32_t Clamp(std::int32_t value, std::int32_t lowest, std::int32_t highest)
{
    return value < lowest ? lowest : value > highest ? highest : value;
}

} // namespace

TerrainSettings LoadTerrainSettings(SettingsStore& store)
{
    TerrainSettings s;
    s.Depth = store.ReadSettingInt(kTerrainSection, "Depth", 25);
    s.Speed = Clamp(store.ReadSettingInt(kTerrainSection, "Speed", 1), 1, 5);
    s.Mode = Clamp(store.ReadSettingInt(kTerrainSection, "Mode", 0), 0, 2);
    s.Level = Clamp(store.ReadSettingInt(kTerrainSection, "Level", 0), 0, 3);
    s.Color = Clamp(store.ReadSettingInt(kTerrainSection, "Color", 0), 0, 12);
    s.Erase = Clamp(store.ReadSettingInt(kTerrainSection, "Erase", 1), 0, 16);
    s.Threshold = Clamp(store.ReadSettingInt(kTerrainSection, "Threshold", 0), 0, 2);
    return s;
}

void SaveTerrainSettings(SettingsStore& store, const TerrainSettings& s)
{
    const auto write = [&](const char* key, std::int32_t value) { store.WriteSettingString(kTerrainSection, key, std::to_string(value).c_str()); };
    write("Depth", s.Depth);
    write("Speed", s.Speed);
    write("Mode", s.Mode);
    write("Level", s.Level);
    write("Erase", s.Erase);
    write("Color", s.Color);
    write("Threshold", s.Threshold);
}

std::int32_t TerrainTicksPerScene(std::int32_t speed)
{
    switch (speed) {
    case 2: return 1250;
    case 3: return 500;
    case 4: return 250;
    case 5: return 25;
    default: return 2500;
    }
}

int TerrainQuadsPerTick(std::int32_t speed)
{
    switch (speed) {
    case 2: return 2;
    case 3: return 5;
    case 4: return 10;
    case 5: return 100;
    default: return 1;
    }
}
