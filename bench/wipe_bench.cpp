// The drawing cost of each wipe at 1920 x 1080 on the software surface, its
// pauses recorded instead of waited. The figure is the work a wipe adds to its
// pauses; the Windows build's wall time against the pause budget is measured
// by wipe_timing.exe.
#include <benchmark/benchmark.h>

#include "headless/software_surface.h"
#include "terrain/terrain_wipes.h"

namespace {

struct CountedPauses : StepPause {
    long long milliseconds = 0;
    void Pause(int ms) override { milliseconds += ms; }
};

void WipeDrawing(benchmark::State& bench)
{
    const int number = static_cast<int>(bench.range(0));
    SoftwareSurface surface(1920, 1080);
    std::uint32_t seed = 1;
    long long paused = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        std::fill(surface.pixels.begin(), surface.pixels.end(), 0x808080u);
        RuntimeRandom random;
        SeedRuntimeRandom(random, seed++);
        CountedPauses pauses;
        bench.ResumeTiming();
        PlayWipe(surface, random, pauses, surface.width, surface.height, number, 2);
        benchmark::DoNotOptimize(surface.pixels.data());
        paused = pauses.milliseconds;
    }
    bench.SetLabel(kWipeTable[number].eraseText);
    bench.counters["pauses_ms"] = static_cast<double>(paused);
}

} // namespace

BENCHMARK(WipeDrawing)->DenseRange(0, kWipeCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
