// The terrain saver's window creation and ticks on a software surface of any
// size 0..400 each way: any seed, any settings file values (read as the saver
// reads them, so only Depth reaches the scene unclamped), scene changes with
// their wipes, a client area that changes size between ticks, and tables that
// cannot be had.
#include <string>
#include <vector>

#include "headless/ini_settings_store.h"
#include "headless/software_surface.h"
#include "fuzz_support.h"
#include "terrain/terrain_life.h"
#include "tests/support/allocation_control.h"

namespace {

struct NoPause : StepPause {
    void Pause(int milliseconds) override { FUZZ_CHECK(milliseconds >= 0); }
};

// Checks every scene as it is built and every quad as it is drawn.
struct SceneChecks : TerrainEvents {
    const TerrainSettings& settings;
    int quads = 0;       // drawn in the current scene
    bool gridBefore = false;
    explicit SceneChecks(const TerrainSettings& s) : settings(s) {}

    void SceneBuilt(const TerrainState& state) override
    {
        quads = 0;
        // Without a grid the scene stops before its palette is chosen.
        if (!state.grid) return;
        FUZZ_CHECK(state.scheme >= 0 && state.scheme < kTerrainSchemeCount);
        if (settings.Color != 0) FUZZ_CHECK(state.scheme == settings.Color - 1);
        const std::int32_t peaks = state.choices.peaks;
        if (settings.Depth >= 0) FUZZ_CHECK(peaks == (settings.Depth < kTerrainMostPeaks ? settings.Depth : kTerrainMostPeaks));
        else FUZZ_CHECK(peaks >= 1 && peaks <= kTerrainMostPeaks && peaks <= -static_cast<std::int64_t>(settings.Depth));
        // Cells end at 0 or above and never above the scene's highest.
        for (std::int32_t cell : state.grid->cells) FUZZ_CHECK(cell >= 0 && cell <= state.maxHeight);
    }
    void WipePlayed(int number) override
    {
        // The scene before was drawn in full when it had a grid and a palette.
        if (gridBefore) FUZZ_CHECK(quads == (kTerrainGridSide - 1) * (kTerrainGridSide - 1));
        if (settings.Erase == 0) FUZZ_CHECK(number == -1);
        else if (settings.Erase == 1) FUZZ_CHECK(number >= 0 && number < 15);
        else FUZZ_CHECK(number == settings.Erase - 2);
    }
    void QuadDrawing(int i, int j, int index, const SurfacePoint[4]) override
    {
        FUZZ_CHECK(i >= 0 && i < kTerrainGridSide - 1 && j >= 0 && j < kTerrainGridSide - 1);
        FUZZ_CHECK(index >= 0 && index <= 255);
        FUZZ_CHECK(j * (kTerrainGridSide - 1) + i == quads);
        ++quads;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    int width = ConsumeSide(input);
    int height = ConsumeSide(input);
    const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
    static const char* const kKeys[] = {"Depth", "Speed", "Mode", "Level", "Color", "Erase", "Threshold"};
    IniSettingsStore store;
    for (const char* key : kKeys) store.SetValue(kTerrainSection, key, std::to_string(ConsumeSettingValue(input)));
    const TerrainSettings settings = LoadTerrainSettings(store);

    TerrainState state;
    // Tables that cannot be had: no memory for the grid, for the palette, or
    // for both, for the whole run.
    const std::size_t gridBytes = sizeof(TerrainGrid), paletteBytes = kTerrainPaletteSize * sizeof(std::uint32_t);
    const int shortOf = input.ConsumeIntegralInRange<int>(0, 9);

    // Up to three scene changes at the fast speeds, at most one at the slow
    // ones, where a scene lasts up to 2500 ticks of one quad.
    const std::int32_t perScene = TerrainTicksPerScene(settings.Speed);
    const int scenes = perScene <= 250 ? 3 : 1;
    const int ticks = input.ConsumeIntegralInRange<int>(0, scenes * (perScene + 1));
    const int resizeAt = input.ConsumeIntegralInRange<int>(0, ticks + 1);
    const int newWidth = ConsumeSide(input), newHeight = ConsumeSide(input);

    RuntimeRandom random;
    SoftwareSurface surface(width, height);
    NoPause pause;
    SceneChecks checks(settings);
    FailingAllocations failing = shortOf == 0 ? FailingAllocations::OfSizes({gridBytes})
                                 : shortOf == 1 ? FailingAllocations::OfSizes({paletteBytes})
                                 : shortOf == 2 ? FailingAllocations::OfSizes({gridBytes, paletteBytes})
                                                : FailingAllocations::OfSizes({});
    InitTerrain(state, settings, random, seed, surface, width, height, &checks);
    FUZZ_CHECK(state.tickCount == 0 && state.ticksPerScene == perScene);
    for (int t = 1; t <= ticks; ++t) {
        if (t == resizeAt) {
            width = newWidth;
            height = newHeight;
        }
        checks.gridBefore = state.grid != nullptr && !state.palette.colors.empty();
        TickTerrain(state, settings, random, surface, pause, width, height, &checks);
        FUZZ_CHECK(state.tickCount >= 1 && state.tickCount <= state.ticksPerScene);
        if (!state.palette.colors.empty()) FUZZ_CHECK(surface.palette == state.palette.colors);
    }
    FreeTerrain(state);
    FUZZ_CHECK(!state.grid && state.palette.colors.empty());
    return 0;
}
