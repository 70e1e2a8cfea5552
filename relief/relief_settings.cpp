#include "relief_settings.h"

#include <string>

const char kReliefSection[] = "ScreenSaver.Ondrels";

ReliefSettings LoadReliefSettings(SettingsStore& store)
{
    ReliefSettings s;
    s.Degrees = store.ReadSettingInt(kReliefSection, "Degrees", 10);
    s.UseColor = store.ReadSettingInt(kReliefSection, "UseColor", 0);
    s.ColorCount = store.ReadSettingInt(kReliefSection, "ColorCount", 64);
    // A missing Delay reads as 1, which is out of range, so it becomes 1000.
    s.Delay = store.ReadSettingInt(kReliefSection, "Delay", 1);
    if (s.Delay < 10 || s.Delay > 5000) s.Delay = 1000;
    s.Soften = store.ReadSettingInt(kReliefSection, "Soften", 1);
    s.Invert = store.ReadSettingInt(kReliefSection, "Invert", 0);
    if (s.UseColor != 0) {
        s.RGB_Red = store.ReadSettingInt(kReliefSection, "RGB_Red", 156);
        s.RGB_Green = store.ReadSettingInt(kReliefSection, "RGB_Green", 164);
        s.RGB_Blue = store.ReadSettingInt(kReliefSection, "RGB_Blue", 34);
    } else {
        s.RGB_Red = s.RGB_Green = s.RGB_Blue = 0;
    }
    return s;
}

void SaveReliefSettings(SettingsStore& store, const ReliefSettings& s)
{
    const auto number = [](std::int32_t v) { return std::to_string(v); };
    const auto flag = [](std::int32_t v) { return std::string(v != 0 ? "1" : "0"); };
    store.WriteSettingString(kReliefSection, "Degrees", number(s.Degrees).c_str());
    store.WriteSettingString(kReliefSection, "Invert", flag(s.Invert).c_str());
    store.WriteSettingString(kReliefSection, "UseColor", flag(s.UseColor).c_str());
    store.WriteSettingString(kReliefSection, "ColorCount", number(s.ColorCount).c_str());
    store.WriteSettingString(kReliefSection, "Delay", number(s.Delay).c_str());
    store.WriteSettingString(kReliefSection, "Soften", number(s.Soften).c_str());
    store.WriteSettingString(kReliefSection, "RGB_Red", number(s.RGB_Red).c_str());
    store.WriteSettingString(kReliefSection, "RGB_Green", number(s.RGB_Green).c_str());
    store.WriteSettingString(kReliefSection, "RGB_Blue", number(s.RGB_Blue).c_str());
}
