// Scene generation: the random choices, the peaks, the in-place smoothing
// sweeps and the noise. The order of random draws is fixed: method, noise
// level, cut choice, the palette scheme, then per peak its value, a and d,
// then one noise draw per cell.
#include <new>

#include "terrain_state.h"

void SmoothAround(std::int32_t* cells, int a, int d)
{
    const std::int32_t v = cells[a * kTerrainGridSide + d];
    for (int a2 = a - 1; a2 <= a + 1; ++a2) {
        for (int d2 = d - 1; d2 <= d + 1; ++d2) {
            if (a2 < 0 || a2 >= kTerrainGridSide || d2 < 0 || d2 >= kTerrainGridSide) continue;
            std::int32_t& cell = cells[a2 * kTerrainGridSide + d2];
            cell = (v + cell) / 2;
        }
    }
}

namespace {

TerrainSceneChoices DrawSceneChoices(const TerrainSettings& settings, RuntimeRandom& random)
{
    TerrainSceneChoices c;
    const int method = settings.Mode == 0 ? DrawRuntimeRandom(random) % 2 : settings.Mode - 1;
    c.method = method == 0 ? TerrainMethod::Smooth : TerrainMethod::Normal;
    c.level = settings.Level == 0 ? DrawRuntimeRandom(random) % 3 : settings.Level - 1;
    c.cut = settings.Threshold == 0 ? DrawRuntimeRandom(random) % 2 : settings.Threshold - 1;
    static const int kAmplitudes[2][3] = {{400, 200, 100}, {10, 5, 2}};
    c.amplitude = kAmplitudes[static_cast<int>(c.method)][c.level];
    c.cutLevel = c.cut == 1 ? 1 : c.amplitude / (c.method == TerrainMethod::Smooth ? 3 : 2);
    return c;
}

std::int32_t PeakCount(std::int32_t depth, RuntimeRandom& random)
{
    std::int32_t count = depth;
    // r % Depth takes the sign of the non-negative draw: 1..|Depth| peaks,
    // without overflow even for the most negative Depth.
    if (depth < 0) count = DrawRuntimeRandom(random) % depth + 1;
    return count < kTerrainMostPeaks ? count : kTerrainMostPeaks;
}

} // namespace

void NewTerrainScene(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, DrawSurface& surface,
                     int width, int height)
{
    state.choices = DrawSceneChoices(settings, random);
    state.maxHeight = 0;
    if (!state.grid) {
        try {
            state.grid.reset(new TerrainGrid());
        } catch (const std::bad_alloc&) {
            return; // tried again at the next scene
        }
    }
    TerrainGrid& grid = *state.grid;
    grid.width = width;
    grid.height = height;
    grid.cursorAcross = 0;
    grid.cursorDepth = 0;
    BuildTerrainPalette(state, settings, random);
    surface.FillBlackRect(0, 0, width, height);
    grid.cells.fill(0);

    // Peaks: value, then a, then d; never on the border rows and columns.
    const std::int32_t peaks = PeakCount(settings.Depth, random);
    state.choices.peaks = peaks;
    const std::int64_t range = (static_cast<std::int64_t>(width) + height) * 3;
    for (std::int32_t p = 0; p < peaks; ++p) {
        // A client area of no size has no peak height to draw from; the draw
        // is still taken so that the sequence stays the same.
        const int draw = DrawRuntimeRandom(random);
        const std::int32_t value = range > 0 ? static_cast<std::int32_t>(draw % range) : 0;
        const int a = DrawRuntimeRandom(random) % 48 + 1;
        const int d = DrawRuntimeRandom(random) % 48 + 1;
        TerrainCell(grid, a, d) = value;
    }

    // The sweeps work in place: a cell changed by one centre is read, with
    // its new value, by every centre after it.
    std::int32_t* cells = grid.cells.data();
    for (int d = 0; d < kTerrainGridSide; ++d) {
        for (int a = 0; a < kTerrainGridSide; ++a) SmoothAround(cells, a, d);
    }

    const int amplitude = state.choices.amplitude;
    const bool normal = state.choices.method == TerrainMethod::Normal;
    for (int d = 0; d < kTerrainGridSide; ++d) {
        for (int a = 0; a < kTerrainGridSide; ++a) {
            std::int32_t& cell = TerrainCell(grid, a, d);
            cell = cell + DrawRuntimeRandom(random) % amplitude - amplitude / 2;
            if (cell < state.choices.cutLevel) cell = 0;
            if (normal && cell > state.maxHeight) state.maxHeight = cell;
        }
    }
    if (normal) return;

    for (int d = 0; d < kTerrainGridSide; ++d) {
        for (int a = 0; a < kTerrainGridSide; ++a) {
            SmoothAround(cells, a, d);
            if (TerrainCell(grid, a, d) > state.maxHeight) state.maxHeight = TerrainCell(grid, a, d);
        }
    }
}
