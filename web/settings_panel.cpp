#include "settings_panel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "relief/relief_dialog_logic.h"
#include "relief/relief_life.h"
#include "relief/relief_settings.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain/terrain_life.h"
#include "terrain/terrain_settings.h"

const PanelRange kReliefPanelRanges[4] = {
    {"Degrees", kReliefSliders[0].first, kReliefSliders[0].last},
    {"ColorCount", kReliefSliders[1].first, kReliefSliders[1].last},
    {"Soften", kReliefSliders[2].first, kReliefSliders[2].last},
    {"Delay", kReliefSliders[3].first, kReliefSliders[3].last},
};

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string HexColor(int red, int green, int blue)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", red & 0xFF, green & 0xFF, blue & 0xFF);
    return text;
}

// A dialog colour (0x00BBGGRR) as "#rrggbb".
std::string HexDialogColor(std::uint32_t color)
{
    return HexColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF), static_cast<int>(color >> 16 & 0xFF));
}

// Where a trackbar shows a value: inside its range, at the nearer end.
int OnSlider(int first, int last, std::int32_t value)
{
    return value < first ? first : value > last ? last : static_cast<int>(value);
}

const PanelRange& ReliefRange(const char* key)
{
    for (const PanelRange& range : kReliefPanelRanges)
        if (std::string(range.key) == key) return range;
    return kReliefPanelRanges[0];
}

// One JSON object of controls, written a field at a time.
class Control {
public:
    Control(const char* key, const char* kind, const std::string& label)
    {
        text_ = "{\"key\":" + Quoted(key) + ",\"kind\":" + Quoted(kind) + ",\"label\":" + Quoted(label);
    }
    Control& Number(const char* name, long long value)
    {
        text_ += ",\"" + std::string(name) + "\":" + std::to_string(value);
        return *this;
    }
    Control& Text(const char* name, const std::string& value)
    {
        text_ += ",\"" + std::string(name) + "\":" + Quoted(value);
        return *this;
    }
    Control& Raw(const char* name, const std::string& json)
    {
        text_ += ",\"" + std::string(name) + "\":" + json;
        return *this;
    }
    std::string Done() const { return text_ + "}"; }

private:
    std::string text_;
};

Control Range(const char* key, const std::string& label, int first, int last, int value)
{
    Control c(key, "range", label);
    c.Number("min", first).Number("max", last).Number("value", value);
    return c;
}

std::string Group(const std::string& title, const std::vector<std::string>& controls)
{
    std::string out = "{\"title\":" + Quoted(title) + ",\"controls\":[";
    for (std::size_t i = 0; i < controls.size(); ++i) out += (i ? "," : "") + controls[i];
    return out + "]}";
}

std::string Panel(const SaverLife& saver, const std::vector<std::string>& groups)
{
    std::string out = "{\"saver\":" + Quoted(saver.name) + ",\"groups\":[";
    for (std::size_t i = 0; i < groups.size(); ++i) out += (i ? "," : "") + groups[i];
    return out + "]}";
}

std::string ReliefPanel(const SaverLife& saver, SettingsStore& store)
{
    const ReliefSettings s = LoadReliefSettings(store);
    const auto slider = [](const char* key, std::int32_t value) {
        const PanelRange& r = ReliefRange(key);
        return OnSlider(r.first, r.last, value);
    };
    // The labels tell the stored values, also where the slider shows another.
    const std::vector<std::string> effects = {
        Range("Degrees", "Degrees", ReliefRange("Degrees").first, ReliefRange("Degrees").last, slider("Degrees", s.Degrees)).Done(),
        Range("ColorCount", FormatColorCountLabel(s.ColorCount), kColorSliderFirst, kColorSliderLast, ColorSliderPosition(s.ColorCount))
            .Raw("counts", "[4,8,16,32,64,128]")
            .Done(),
        Range("Soften", "Soften", ReliefRange("Soften").first, ReliefRange("Soften").last, slider("Soften", s.Soften)).Done(),
        Range("Delay", FormatDelayLabel(s.Delay), ReliefRange("Delay").first, ReliefRange("Delay").last, slider("Delay", s.Delay)).Done(),
        Control("Invert", "check", "Invert ondrels").Number("value", s.Invert == 1 ? 1 : 0).Done(),
    };
    const std::vector<std::string> palette = {
        Control("UseColor", "choice", "Palette colors")
            .Raw("options", "[{\"value\":0,\"text\":\"Random color\"},{\"value\":1,\"text\":\"Selection color\"}]")
            .Number("value", s.UseColor != 0 ? 1 : 0)
            .Done(),
        Control("RGB", "color", "Base color")
            .Raw("keys", "[\"RGB_Red\",\"RGB_Green\",\"RGB_Blue\"]")
            .Text("value", HexDialogColor(DialogBaseColor(s.RGB_Red, s.RGB_Green, s.RGB_Blue)))
            .Number("colorCount", s.ColorCount)
            .Done(),
    };
    return Panel(saver, {Group("Effects", effects), Group("Palette colors", palette)});
}

std::string ListOptions(const std::vector<std::string>& lines)
{
    std::string out = "[";
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "," : "") + Quoted(lines[i]);
    return out + "]";
}

std::string TerrainPanel(const SaverLife& saver, SettingsStore& store)
{
    const TerrainDialogView view = ViewTerrainSettings(LoadTerrainSettings(store));
    const SliderSetup& depth = kTerrainSliders[0];
    const SliderSetup& speed = kTerrainSliders[1];
    const std::vector<std::string> parameters = {
        Range("Depth", "Depth:", depth.first, depth.last, view.depthPosition).Text("low", "Low").Text("high", "High").Done(),
        Range("Speed", "Speed:", speed.first, speed.last, view.speedPosition).Text("low", "Min").Text("high", "Max").Done(),
    };
    // The lists in the order the dialog fills them, with its labels.
    const char* const keys[] = {"Mode", "Level", "Color", "Erase", "Threshold"};
    const char* const labels[] = {"Mode:", "Level:", "Colors:", "Erase:", "Threshold:"};
    const std::vector<TerrainListSetup> lists = TerrainDialogLists();
    std::vector<std::string> effects;
    for (std::size_t n = 0; n < lists.size() && n < 5; ++n)
        effects.push_back(Control(keys[n], "list", labels[n]).Raw("options", ListOptions(lists[n].lines)).Number("value", view.selections[n]).Done());
    return Panel(saver, {Group("Parameters", parameters), Group("Effects", effects)});
}

// "Key=value" lines as numbers (the leading decimal of each value).
std::map<std::string, int> ControlValues(const std::string& controls)
{
    std::map<std::string, int> values;
    std::istringstream lines(controls);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        values[line.substr(0, equals)] = static_cast<int>(std::strtol(line.c_str() + equals + 1, nullptr, 10));
    }
    return values;
}

int ValueOr(const std::map<std::string, int>& values, const char* key, int shown)
{
    const auto found = values.find(key);
    return found != values.end() ? found->second : shown;
}

void StoreRelief(const std::map<std::string, int>& v, SettingsStore& store)
{
    ReliefSettings s = LoadReliefSettings(store);
    const auto slider = [&](const char* key, std::int32_t stored) {
        const PanelRange& r = ReliefRange(key);
        return OnSlider(r.first, r.last, ValueOr(v, key, OnSlider(r.first, r.last, stored)));
    };
    s.Degrees = slider("Degrees", s.Degrees);
    s.ColorCount = ColorCountFromSliderPosition(ValueOr(v, "ColorCount", ColorSliderPosition(s.ColorCount)));
    s.Soften = slider("Soften", s.Soften);
    s.Delay = slider("Delay", s.Delay);
    s.Invert = ValueOr(v, "Invert", s.Invert == 1 ? 1 : 0) != 0 ? 1 : 0;
    s.UseColor = ValueOr(v, "UseColor", s.UseColor != 0 ? 1 : 0) != 0 ? 1 : 0;
    // The chooser gives a colour's three channels, 0..255 each.
    s.RGB_Red = ValueOr(v, "RGB_Red", s.RGB_Red) & 0xFF;
    s.RGB_Green = ValueOr(v, "RGB_Green", s.RGB_Green) & 0xFF;
    s.RGB_Blue = ValueOr(v, "RGB_Blue", s.RGB_Blue) & 0xFF;
    SaveReliefSettings(store, s);
}

void StoreTerrain(const std::map<std::string, int>& v, SettingsStore& store)
{
    const TerrainDialogView view = ViewTerrainSettings(LoadTerrainSettings(store));
    const std::vector<TerrainListSetup> lists = TerrainDialogLists();
    // A slider stays inside its range and a list line inside its list.
    const auto slider = [&](int n, const char* key, int shown) {
        return OnSlider(kTerrainSliders[n].first, kTerrainSliders[n].last, ValueOr(v, key, shown));
    };
    const auto line = [&](std::size_t n, const char* key) {
        const int selected = ValueOr(v, key, view.selections[n]);
        return selected >= 0 && static_cast<std::size_t>(selected) < lists[n].lines.size() ? selected : view.selections[n];
    };
    SaveTerrainSettings(store, TerrainSettingsFromControls(slider(0, "Depth", view.depthPosition), slider(1, "Speed", view.speedPosition),
                                                           line(0, "Mode"), line(1, "Level"), line(2, "Color"), line(3, "Erase"),
                                                           line(4, "Threshold")));
}

} // namespace

std::string SettingsPanelJson(const SaverLife& saver, SettingsStore& store)
{
    if (&saver == &kReliefLife) return ReliefPanel(saver, store);
    if (&saver == &kTerrainLife) return TerrainPanel(saver, store);
    return "null";
}

void StoreSettingsPanel(const SaverLife& saver, const std::string& controls, SettingsStore& store)
{
    const std::map<std::string, int> values = ControlValues(controls);
    if (&saver == &kReliefLife) StoreRelief(values, store);
    else if (&saver == &kTerrainLife) StoreTerrain(values, store);
}

std::string PalettePreviewJson(int red, int green, int blue, int colorCount, int stripWidth)
{
    const PalettePreview preview = ComputePalettePreview(DialogBaseColor(red, green, blue), colorCount, stripWidth);
    std::string bands = "[";
    for (std::size_t i = 0; i < preview.bandColors.size(); ++i) bands += (i ? "," : "") + Quoted(HexDialogColor(preview.bandColors[i]));
    bands += "]";
    return "{\"bands\":" + bands + ",\"bandWidth\":" + std::to_string(preview.bandWidth) + ",\"last\":" +
           Quoted(HexDialogColor(preview.lastColor)) + ",\"restLeft\":" + std::to_string(preview.restLeft) + "}";
}
