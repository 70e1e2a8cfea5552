// What the relief saver's settings dialog shows and stores, as plain numbers
// and text: the Colors slider's mapping, the two labels, the palette preview's
// bands and the banner's place. The Win32 dialog only draws these results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../common/slider_setup.h"

// Colors slider: positions 1..6 stand for 4, 8, 16, 32, 64 and 128 colours.
constexpr int kColorSliderFirst = 1;
constexpr int kColorSliderLast = 6;

// The dialog's four sliders (the dialog's resources name the same controls).
enum ReliefSliderControl {
    kReliefDelaySlider = 1012,
    kReliefDegreesSlider = 1015,
    kReliefColorsSlider = 1018,
    kReliefSoftenSlider = 1019,
};
// Their ranges and steps, in the order Degrees, Colors, Soften, Delay.
extern const SliderSetup kReliefSliders[4];

// 4 -> 1, 8 -> 2, 16 -> 3, 32 -> 4, 64 -> 5, anything else -> 6.
int ColorSliderPosition(std::int32_t colorCount);

// 2 to the power (position + 1). A position outside 1..6 (a trackbar never
// reports one) is taken as the nearer end.
std::int32_t ColorCountFromSliderPosition(int position);

// "%d colors" and "Delay (%d ms)".
std::string FormatColorCountLabel(std::int32_t colorCount);
std::string FormatDelayLabel(std::int32_t delay);

// One colour as 0x00BBGGRR (red in the low byte).
constexpr std::uint32_t MakeDialogColor(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red & 0xFF) | static_cast<std::uint32_t>(green & 0xFF) << 8 |
           static_cast<std::uint32_t>(blue & 0xFF) << 16;
}

// The base colour the dialog shows: the low bytes of the three settings.
std::uint32_t DialogBaseColor(std::int32_t red, std::int32_t green, std::int32_t blue);

// Channel value of preview band i of n for base value C (0..255):
// pow(255 - C, i / n) + (C / n) * i, truncated, low 8 bits.
std::uint8_t PreviewBandChannel(int baseValue, std::int64_t band, std::int64_t count);

// The palette preview strip. Band i covers x = i * width .. i * width + width
// (x from 0 at the strip's left edge); the rest of the strip, from
// width * count to its right edge, shows lastColor.
struct PalettePreview {
    std::int64_t count = 0;     // bands drawn, n
    int bandWidth = 0;          // w = strip width / n
    std::vector<std::uint32_t> bandColors; // only when bandWidth > 0 (then count <= strip width)
    std::uint32_t lastColor = 0;
    int restLeft = 0;           // where the rest starts: bandWidth * count
};

// The bands for a strip stripWidth pixels wide. colorCount is the count held
// in memory, not limited to the saver's 2..128; a count of 0 or less (only
// from a hand-edited file) previews the ramp size the saver itself would use
// for it (its low 8 bits clamped to 2..128), so nothing divides by zero.
PalettePreview ComputePalettePreview(std::uint32_t baseColor, std::int32_t colorCount, int stripWidth);

// The colour at x (0 = the strip's left edge) of a computed preview.
std::uint32_t PalettePreviewColorAt(const PalettePreview& preview, int x);

// Left edge of the banner in a client area: centred, negative (cut on both
// sides) when the client is narrower than the picture.
int BannerLeft(int clientWidth, int bitmapWidth);
