// The relief saver's settings: keys, defaults, read order and write order.
#pragma once

#include <cstdint>

#include "../common/settings_store.h"

extern const char kReliefSection[]; // "ScreenSaver.Ondrels"

// Field names are the INI key names.
struct ReliefSettings {
    std::int32_t Degrees = 10;
    std::int32_t RGB_Red = 0;
    std::int32_t RGB_Green = 0;
    std::int32_t RGB_Blue = 0;
    std::int32_t UseColor = 0;
    std::int32_t ColorCount = 64;
    std::int32_t Delay = 1000;
    std::int32_t Soften = 1;
    std::int32_t Invert = 0;
};

// Reads Degrees, UseColor, ColorCount, Delay, Soften, Invert and, only when
// UseColor is non-zero, RGB_Red, RGB_Green, RGB_Blue (else they are 0).
// A Delay below 10 or above 5000 becomes 1000.
ReliefSettings LoadReliefSettings(SettingsStore& store);

// Writes all nine keys: Degrees, Invert, UseColor, ColorCount, Delay, Soften,
// RGB_Red, RGB_Green, RGB_Blue. UseColor and Invert are written as "1"/"0".
void SaveReliefSettings(SettingsStore& store, const ReliefSettings& settings);
