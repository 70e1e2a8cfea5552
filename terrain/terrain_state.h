// The terrain saver's run-time records and the effect procedures over them:
// the height grid and its scene, the palette schemes, and the quads drawn
// step by step. Everything here is plain numbers and buffers; the Win32
// window procedure and the headless renderer both drive it through
// terrain_life.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "../common/draw_surface.h"
#include "../common/runtime_random.h"
#include "terrain_settings.h"

constexpr int kTerrainGridSide = 50;
constexpr int kTerrainCells = kTerrainGridSide * kTerrainGridSide;
constexpr int kTerrainPaletteSize = 256;
constexpr int kTerrainSchemeCount = 12;
// A hand-edited Depth beyond this places this many peaks: the design's three
// draws per peak would otherwise keep a scene change busy for minutes. The
// dialog's Depth slider ends at 100.
constexpr std::int32_t kTerrainMostPeaks = 100000;

struct TerrainGrid {
    std::int32_t width = 0;  // client width at the start of the scene
    std::int32_t height = 0; // client height at the start of the scene
    std::int32_t cursorAcross = 0;
    std::int32_t cursorDepth = 0;
    // Cell (a, d) is element a x 50 + d: a across (left to right), d in depth
    // (back to front).
    std::array<std::int32_t, kTerrainCells> cells{};
};

inline std::int32_t& TerrainCell(TerrainGrid& grid, int a, int d) { return grid.cells[static_cast<std::size_t>(a * kTerrainGridSide + d)]; }
inline std::int32_t TerrainCell(const TerrainGrid& grid, int a, int d) { return grid.cells[static_cast<std::size_t>(a * kTerrainGridSide + d)]; }

enum class TerrainMethod { Smooth = 0, Normal = 1 };

// The choices a scene was built with.
struct TerrainSceneChoices {
    TerrainMethod method = TerrainMethod::Smooth;
    int level = 0; // noise level 0 "High", 1 "Medium", 2 "Low"
    int cut = 0;   // cut choice 0 "High", 1 "Low"
    int amplitude = 400;
    int cutLevel = 133;
    std::int32_t peaks = 0;
};

struct TerrainState {
    // Allocated by the first scene and kept; null while it cannot be had.
    std::unique_ptr<TerrainGrid> grid;
    std::int32_t maxHeight = 0;
    // The scene's 256 colours (empty until the first palette is built) and
    // the scheme they follow.
    SurfacePalette palette;
    std::int32_t scheme = 0;
    TerrainSceneChoices choices;
    // The scene clock.
    std::int32_t tickCount = 0;
    std::int32_t ticksPerScene = 2500;
    std::int32_t quadsPerTick = 1;
};

// Averages the neighbourhood of cell (a, d) towards its value, in place:
// each of the (up to) nine cells around it, the centre included, becomes
// (v + cell) / 2, v being the centre's value read once before.
void SmoothAround(std::int32_t* cells, int a, int d);

// One new scene on a client area of width x height: draws the method, noise
// level and cut choice (a draw each where the setting leaves them open),
// resets maxHeight, allocates the grid if there is none (without it nothing
// more happens), records the size and resets the cursor, builds the palette,
// clears the frame to black, and fills the grid: peaks, a smoothing sweep,
// noise with a cut, and for the smooth method a second sweep.
void NewTerrainScene(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, DrawSurface& surface,
                     int width, int height);

// The scene's palette by the Color setting (one draw when it is 0). When its
// colours cannot be had, the palette in use stays.
void BuildTerrainPalette(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random);

// The 256 colours of a scheme 0..11, as 0x00RRGGBB values.
std::array<std::uint32_t, kTerrainPaletteSize> TerrainSchemeColors(int scheme);

// Where grid point (a, d) at height h lies on a width x height client area.
SurfacePoint ProjectTerrainPoint(std::int32_t width, std::int32_t height, int a, int d, std::int32_t h);

// The palette index of quad (i, j): its four corners' heights against maxHeight.
int TerrainQuadColorIndex(const TerrainGrid& grid, std::int32_t maxHeight, int i, int j);

// Told about each quad just before it is drawn (the renderer's trace).
class TerrainQuadObserver {
public:
    virtual ~TerrainQuadObserver() = default;
    virtual void QuadDrawing(int i, int j, int index, const SurfacePoint corners[4]) = 0;
};

// One draw step: selects the scene's palette and draws the next quadsPerTick
// quads from the cursor, back row first, each filled in its palette entry
// and outlined in black. Nothing without a grid or a palette.
void DrawTerrainStep(TerrainState& state, DrawSurface& surface, TerrainQuadObserver* observer = nullptr);
