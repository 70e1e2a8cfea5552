// The oblique view: the grid's ground plane is a parallelogram leaning to the
// left, each point raised by its height, and every quad is filled with the
// palette entry of its mean height. Every division truncates, each done
// separately as written.
#include "terrain_state.h"

SurfacePoint ProjectTerrainPoint(std::int32_t width, std::int32_t height, int a, int d, std::int32_t h)
{
    const std::int32_t across = (2 * width * a) / 150;
    const std::int32_t depth = (2 * height * d) / 150;
    return {width / 4 - depth / 2 + across, height / 4 + depth - h};
}

int TerrainQuadColorIndex(const TerrainGrid& grid, std::int32_t maxHeight, int i, int j)
{
    // A scene whose cells all ended at 0 has no height to divide by: its flat
    // ground takes the lowest entry.
    if (maxHeight <= 0) return 0;
    const std::int64_t sum = static_cast<std::int64_t>(TerrainCell(grid, i, j)) + TerrainCell(grid, i + 1, j) +
                             TerrainCell(grid, i + 1, j + 1) + TerrainCell(grid, i, j + 1);
    const std::int64_t index = sum * 255 / (4 * static_cast<std::int64_t>(maxHeight));
    return index < 0 ? 0 : index > 255 ? 255 : static_cast<int>(index);
}

void DrawTerrainStep(TerrainState& state, DrawSurface& surface, TerrainQuadObserver* observer)
{
    if (!state.grid || state.palette.colors.empty()) return;
    TerrainGrid& grid = *state.grid;
    surface.SelectPalette(state.palette);
    for (int n = 0; n < state.quadsPerTick; ++n) {
        if (grid.cursorDepth >= kTerrainGridSide - 1) return; // every quad of the scene is drawn
        const int i = grid.cursorAcross, j = grid.cursorDepth;
        const SurfacePoint corners[4] = {
            ProjectTerrainPoint(grid.width, grid.height, i, j, TerrainCell(grid, i, j)),
            ProjectTerrainPoint(grid.width, grid.height, i + 1, j, TerrainCell(grid, i + 1, j)),
            ProjectTerrainPoint(grid.width, grid.height, i + 1, j + 1, TerrainCell(grid, i + 1, j + 1)),
            ProjectTerrainPoint(grid.width, grid.height, i, j + 1, TerrainCell(grid, i, j + 1)),
        };
        const int index = TerrainQuadColorIndex(grid, state.maxHeight, i, j);
        if (observer) observer->QuadDrawing(i, j, index, corners);
        surface.FillPolygon(corners, 4, SurfacePaletteIndex(index));
        if (++grid.cursorAcross == kTerrainGridSide - 1) {
            grid.cursorAcross = 0;
            ++grid.cursorDepth;
        }
    }
}
