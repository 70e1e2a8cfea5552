// The terrain saver's settings: keys, defaults, clamps, read and write order.
#pragma once

#include <cstdint>

#include "../common/settings_store.h"

extern const char kTerrainSection[]; // "ScreenSaver.Kesmar"

// Field names are the INI key names.
struct TerrainSettings {
    std::int32_t Depth = 25;    // peaks per scene; 0 none, negative: 1..|Depth| at random
    std::int32_t Speed = 1;     // 1..5
    std::int32_t Mode = 0;      // 0 random, 1 smooth, 2 normal
    std::int32_t Level = 0;     // 0 random, 1..3 noise "High", "Medium", "Low"
    std::int32_t Color = 0;     // 0 random, n: scheme n - 1
    std::int32_t Erase = 1;     // 0 no wipe, 1 random wipe, n: wipe n - 2
    std::int32_t Threshold = 0; // 0 random, 1 "High", 2 "Low"
};

// Reads Depth, Speed, Mode, Level, Color, Erase, Threshold in that order,
// missing keys taking their defaults; every value but Depth is brought into
// its range (below it: the lowest value, above it: the highest).
TerrainSettings LoadTerrainSettings(SettingsStore& store);

// Writes all seven keys as decimal text, in the order Depth, Speed, Mode,
// Level, Erase, Color, Threshold.
void SaveTerrainSettings(SettingsStore& store, const TerrainSettings& settings);

// The scene length in ticks and the quads drawn per tick for a Speed of 1..5.
std::int32_t TerrainTicksPerScene(std::int32_t speed);
int TerrainQuadsPerTick(std::int32_t speed);
