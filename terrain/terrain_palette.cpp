// The twelve palette schemes: a colour wheel, and eleven two-ended ramps whose
// red, green and blue are each the entry index j, the brighter hi =
// min(j + 50, 255), or the constant 50.
#include <new>

#include "terrain_state.h"

namespace {

std::uint32_t Rgb(int red, int green, int blue)
{
    return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8) | static_cast<std::uint32_t>(blue);
}

std::uint32_t WheelColor(int e)
{
    if (e < 64) return Rgb(0, 4 * e, 255);
    if (e < 128) return Rgb(0, 255, 255 - 4 * (e - 64));
    if (e < 192) return Rgb(4 * (e - 128), 255, 0);
    if (e < 255) return Rgb(255, 255 - 4 * (e - 192), 0);
    return Rgb(255, 0, 0);
}

} // namespace

std::array<std::uint32_t, kTerrainPaletteSize> TerrainSchemeColors(int scheme)
{
    // Per scheme 1..11: which of j (0), hi (1) or 50 (2) red, green and blue take.
    static const int kRamps[kTerrainSchemeCount][3] = {
        {0, 0, 0}, // the wheel, below
        {2, 1, 0}, {0, 1, 2}, {0, 0, 2}, {1, 2, 1}, {0, 0, 0}, {0, 1, 1},
        {0, 2, 1}, {2, 2, 0}, {1, 2, 2}, {1, 0, 2}, {0, 0, 1},
    };
    std::array<std::uint32_t, kTerrainPaletteSize> colors{};
    for (int j = 0; j < kTerrainPaletteSize; ++j) {
        if (scheme == 0) {
            colors[static_cast<std::size_t>(j)] = WheelColor(j);
            continue;
        }
        const int hi = j <= 205 ? j + 50 : 255;
        const int values[3] = {j, hi, 50};
        const int* ramp = kRamps[scheme];
        colors[static_cast<std::size_t>(j)] = Rgb(values[ramp[0]], values[ramp[1]], values[ramp[2]]);
    }
    return colors;
}

void BuildTerrainPalette(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random)
{
    state.scheme = settings.Color != 0 ? settings.Color - 1 : DrawRuntimeRandom(random) % kTerrainSchemeCount;
    const std::array<std::uint32_t, kTerrainPaletteSize> colors = TerrainSchemeColors(state.scheme);
    try {
        state.palette.colors.assign(colors.begin(), colors.end());
    } catch (const std::bad_alloc&) {
        return; // the scene is drawn in the palette in use
    }
    ++state.palette.serial;
}
