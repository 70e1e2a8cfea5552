// What both settings dialogs show for any settings a file may hold, and what
// they write for any control values: the labels, slider positions, list
// selections and palette preview they show must be ones their controls can
// show, and what OK writes must read back (into the next opening of the
// dialog) as the controls were left.
#include <string>

#include "headless/ini_settings_store.h"
#include "fuzz_support.h"
#include "relief/relief_dialog_logic.h"
#include "relief/relief_state.h"
#include "terrain/terrain_dialog_logic.h"

namespace {

// The relief dialog's strip is a control some hundred pixels wide; any
// width a window can have is taken, and a few negative ones.
constexpr int kWidestControl = 32767;

void CheckReliefDialog(FuzzedDataProvider& input)
{
    ReliefSettings shown;
    shown.Degrees = ConsumeSettingValue(input);
    shown.RGB_Red = ConsumeSettingValue(input);
    shown.RGB_Green = ConsumeSettingValue(input);
    shown.RGB_Blue = ConsumeSettingValue(input);
    shown.UseColor = ConsumeSettingValue(input);
    shown.ColorCount = ConsumeSettingValue(input);
    shown.Delay = ConsumeSettingValue(input);

    // Opening: the Colors slider and the two labels.
    const int position = ColorSliderPosition(shown.ColorCount);
    FUZZ_CHECK(position >= kColorSliderFirst && position <= kColorSliderLast);
    FUZZ_CHECK(FormatColorCountLabel(shown.ColorCount) == std::to_string(shown.ColorCount) + " colors");
    FUZZ_CHECK(FormatDelayLabel(shown.Delay) == "Delay (" + std::to_string(shown.Delay) + " ms)");

    // The palette preview over a strip of any width.
    const std::uint32_t base = DialogBaseColor(shown.RGB_Red, shown.RGB_Green, shown.RGB_Blue);
    FUZZ_CHECK(base <= 0xFFFFFFu);
    const int strip = input.ConsumeIntegralInRange<int>(-4, kWidestControl);
    const PalettePreview preview = ComputePalettePreview(base, shown.ColorCount, strip);
    FUZZ_CHECK(preview.count >= 1);
    if (shown.ColorCount <= 0) FUZZ_CHECK(preview.count == ClampColorCount(shown.ColorCount));
    FUZZ_CHECK(preview.bandWidth >= 0 && preview.restLeft >= 0 && preview.restLeft <= (strip > 0 ? strip : 0));
    FUZZ_CHECK(preview.restLeft == preview.bandWidth * preview.count || preview.bandWidth == 0);
    if (preview.bandWidth > 0) {
        FUZZ_CHECK(static_cast<std::int64_t>(preview.bandColors.size()) == preview.count);
        FUZZ_CHECK(preview.bandColors.back() == preview.lastColor);
    } else {
        FUZZ_CHECK(preview.bandColors.empty());
    }
    for (int i = 0; i < 64; ++i) {
        const int x = input.ConsumeIntegralInRange<int>(-2, strip + 2);
        const std::uint32_t colour = PalettePreviewColorAt(preview, x);
        FUZZ_CHECK(colour <= 0xFFFFFFu);
        if (preview.bandWidth > 0 && x >= 0 && x < preview.restLeft)
            FUZZ_CHECK(colour == preview.bandColors[static_cast<std::size_t>(x / preview.bandWidth)]);
        else
            FUZZ_CHECK(colour == preview.lastColor);
    }
    const int client = input.ConsumeIntegralInRange<int>(0, kWidestControl);
    const int bannerLeft = BannerLeft(client, 227);
    FUZZ_CHECK(2 * bannerLeft <= client - 227 + 1 && 2 * bannerLeft >= client - 227 - 1);

    // OK: the sliders' positions (a trackbar reports only its range; any value
    // is taken here), the box and the colour as chosen, then the next opening.
    ReliefSettings written = shown;
    written.Degrees = input.ConsumeIntegralInRange<int>(180, 360);
    const int colorsPosition = input.ConsumeIntegral<int>();
    written.ColorCount = ColorCountFromSliderPosition(colorsPosition);
    const int expectedPosition = colorsPosition < kColorSliderFirst ? kColorSliderFirst : colorsPosition > kColorSliderLast ? kColorSliderLast : colorsPosition;
    FUZZ_CHECK(written.ColorCount == (std::int32_t{1} << (expectedPosition + 1)));
    written.Soften = input.ConsumeIntegralInRange<int>(1, 8);
    written.Delay = input.ConsumeIntegralInRange<int>(10, 5000);
    written.Invert = input.ConsumeBool() ? 1 : 0;
    written.UseColor = input.ConsumeBool() ? 1 : 0;
    written.RGB_Red = input.ConsumeIntegralInRange<int>(0, 255);
    written.RGB_Green = input.ConsumeIntegralInRange<int>(0, 255);
    written.RGB_Blue = input.ConsumeIntegralInRange<int>(0, 255);
    IniSettingsStore store;
    SaveReliefSettings(store, written);
    const ReliefSettings reopened = LoadReliefSettings(store);
    FUZZ_CHECK(ColorSliderPosition(reopened.ColorCount) == expectedPosition);
    FUZZ_CHECK(reopened.Degrees == written.Degrees && reopened.Soften == written.Soften && reopened.Delay == written.Delay);
    FUZZ_CHECK(reopened.Invert == written.Invert && reopened.UseColor == written.UseColor);
    if (written.UseColor != 0)
        FUZZ_CHECK(DialogBaseColor(reopened.RGB_Red, reopened.RGB_Green, reopened.RGB_Blue) ==
                   MakeDialogColor(written.RGB_Red, written.RGB_Green, written.RGB_Blue));
}

void CheckTerrainDialog(FuzzedDataProvider& input)
{
    const std::vector<TerrainListSetup> lists = TerrainDialogLists();
    FUZZ_CHECK(lists.size() == 5);

    // Opening on any settings file: every selection names a line of its list.
    static const char* const kKeys[] = {"Depth", "Speed", "Mode", "Level", "Color", "Erase", "Threshold"};
    IniSettingsStore file;
    for (const char* key : kKeys) file.SetValue(kTerrainSection, key, std::to_string(ConsumeSettingValue(input)));
    const TerrainDialogView view = ViewTerrainSettings(LoadTerrainSettings(file));
    FUZZ_CHECK(view.depthPosition >= kTerrainSliders[0].first && view.depthPosition <= kTerrainSliders[0].last);
    FUZZ_CHECK(view.speedPosition >= kTerrainSliders[1].first && view.speedPosition <= kTerrainSliders[1].last);
    FUZZ_CHECK(view.selections.size() == lists.size());
    for (std::size_t n = 0; n < lists.size(); ++n)
        FUZZ_CHECK(view.selections[n] >= 0 && static_cast<std::size_t>(view.selections[n]) < lists[n].lines.size());

    // OK with any slider positions and selected lines (-1: none), then the
    // next opening shows the controls as they were left; no selection reads
    // back as the first line.
    int lines[5];
    for (std::size_t n = 0; n < lists.size(); ++n) lines[n] = input.ConsumeIntegralInRange<int>(-1, static_cast<int>(lists[n].lines.size()) - 1);
    const int depth = input.ConsumeIntegralInRange<int>(kTerrainSliders[0].first, kTerrainSliders[0].last);
    const int speed = input.ConsumeIntegralInRange<int>(kTerrainSliders[1].first, kTerrainSliders[1].last);
    // The lists in their filling order: Mode, Level, Color, Erase, Threshold.
    const TerrainSettings written = TerrainSettingsFromControls(depth, speed, lines[0], lines[1], lines[2], lines[3], lines[4]);
    IniSettingsStore store;
    SaveTerrainSettings(store, written);
    const TerrainDialogView reopened = ViewTerrainSettings(LoadTerrainSettings(store));
    FUZZ_CHECK(reopened.depthPosition == depth && reopened.speedPosition == speed);
    for (std::size_t n = 0; n < lists.size(); ++n) FUZZ_CHECK(reopened.selections[n] == (lines[n] < 0 ? 0 : lines[n]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) CheckReliefDialog(input);
    else CheckTerrainDialog(input);
    return 0;
}
