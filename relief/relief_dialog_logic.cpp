#include "relief_dialog_logic.h"

#include <cstdio>

#include "relief_state.h"

const SliderSetup kReliefSliders[4] = {
    {kReliefDegreesSlider, 180, 360, 30, 30, 1},
    {kReliefColorsSlider, kColorSliderFirst, kColorSliderLast, 1, 2, 1},
    {kReliefSoftenSlider, 1, 8, 1, 2, 1},
    {kReliefDelaySlider, 10, 5000, 100, 500, 100},
};

int ColorSliderPosition(std::int32_t colorCount)
{
    switch (colorCount) {
    case 4: return 1;
    case 8: return 2;
    case 16: return 3;
    case 32: return 4;
    case 64: return 5;
    default: return 6;
    }
}

std::int32_t ColorCountFromSliderPosition(int position)
{
    if (position < kColorSliderFirst) position = kColorSliderFirst;
    if (position > kColorSliderLast) position = kColorSliderLast;
    return std::int32_t{1} << (position + 1);
}

std::string FormatColorCountLabel(std::int32_t colorCount)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d colors", static_cast<int>(colorCount));
    return text;
}

std::string FormatDelayLabel(std::int32_t delay)
{
    char text[32];
    std::snprintf(text, sizeof text, "Delay (%d ms)", static_cast<int>(delay));
    return text;
}

std::uint32_t DialogBaseColor(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    return MakeDialogColor(red, green, blue);
}

std::uint8_t PreviewBandChannel(int baseValue, std::int64_t band, std::int64_t count)
{
    // The saver's ramp, spread over the count of bands instead of the count
    // less one: the preview's last band stops short of white.
    const double value = ReliefRampValue(baseValue & 0xFF, static_cast<double>(band), static_cast<double>(count));
    // Truncation toward zero, then the low 8 bits (the value stays below 256).
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(value) & 0xFF);
}

namespace {

std::uint32_t PreviewBandColor(std::uint32_t base, std::int64_t band, std::int64_t count)
{
    return MakeDialogColor(PreviewBandChannel(static_cast<int>(base & 0xFF), band, count),
                           PreviewBandChannel(static_cast<int>(base >> 8 & 0xFF), band, count),
                           PreviewBandChannel(static_cast<int>(base >> 16 & 0xFF), band, count));
}

} // namespace

PalettePreview ComputePalettePreview(std::uint32_t baseColor, std::int32_t colorCount, int stripWidth)
{
    PalettePreview preview;
    preview.count = colorCount > 0 ? colorCount : ClampColorCount(colorCount);
    if (stripWidth < 0) stripWidth = 0;
    preview.bandWidth = static_cast<int>(stripWidth / preview.count);
    // Bands of width 0 draw nothing, so a count wider than the strip (up to
    // 2^31 - 1 from a hand-edited file) costs nothing: the whole strip then
    // shows the last band's colour.
    if (preview.bandWidth > 0) {
        preview.bandColors.reserve(static_cast<std::size_t>(preview.count));
        for (std::int64_t i = 0; i < preview.count; ++i) preview.bandColors.push_back(PreviewBandColor(baseColor, i, preview.count));
    }
    preview.lastColor = PreviewBandColor(baseColor, preview.count - 1, preview.count);
    preview.restLeft = static_cast<int>(preview.bandWidth * preview.count);
    return preview;
}

std::uint32_t PalettePreviewColorAt(const PalettePreview& preview, int x)
{
    if (preview.bandWidth <= 0 || x < 0 || x >= preview.restLeft) return preview.lastColor;
    return preview.bandColors[static_cast<std::size_t>(x / preview.bandWidth)];
}

int BannerLeft(int clientWidth, int bitmapWidth)
{
    return (clientWidth - bitmapWidth) / 2; // truncates toward zero, also when negative
}
