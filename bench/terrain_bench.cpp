// The terrain saver's work on the software surface at 1920 x 1080: building a
// scene (choices, palette, black clear, peaks, sweeps, noise) and drawing a
// whole scene's 2401 quads.
#include <benchmark/benchmark.h>

#include "headless/software_surface.h"
#include "terrain/terrain_state.h"

namespace {

void NewScene(benchmark::State& bench)
{
    SoftwareSurface surface(1920, 1080);
    TerrainSettings settings;
    TerrainState state;
    RuntimeRandom random;
    SeedRuntimeRandom(random, 1);
    for (auto _ : bench) {
        NewTerrainScene(state, settings, random, surface, surface.width, surface.height);
        benchmark::DoNotOptimize(state.grid->cells.data());
    }
}

void WholeScene(benchmark::State& bench)
{
    SoftwareSurface surface(1920, 1080);
    TerrainSettings settings;
    TerrainState state;
    RuntimeRandom random;
    SeedRuntimeRandom(random, 1);
    state.quadsPerTick = 2401;
    for (auto _ : bench) {
        bench.PauseTiming();
        NewTerrainScene(state, settings, random, surface, surface.width, surface.height);
        bench.ResumeTiming();
        DrawTerrainStep(state, surface);
        benchmark::DoNotOptimize(surface.pixels.data());
    }
}

} // namespace

BENCHMARK(NewScene)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeScene)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
