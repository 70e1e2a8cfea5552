// Speed of the relief saver's per-frame work and of its window creation, each
// figure printed beside a plain memory copy of the same bytes timed in the
// same run (the floor no pass over those bytes can go below):
//   lens_ns_px / copy_ns_px   the lens square against one copy of its pixels;
//   ms / copy_ms              creation and its parts against one copy of the
//                             bytes they read (the picture, or the field);
//   x_copy                    the figure divided by its copy.
// Targets on one core of the development machine: at most 1 ns per lens pixel
// at 3840 x 2160; picture and tables well under 120 ms at 3840 x 2160.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "relief/relief_life.h"

namespace {

// The thread's processor time, not the wall clock: the machine is shared, and
// time spent waiting for a core would count against whatever ran then.
struct Clock {
    using time_point = double;
    static time_point now()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
};

double SecondsSince(Clock::time_point start) { return Clock::now() - start; }

std::vector<std::uint8_t> DesktopLikePicture(int width, int height)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::uint32_t seed = 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            // Flat areas with edges and some noise, like windows and text.
            const std::uint8_t v = static_cast<std::uint8_t>(((x / 64 + y / 48) % 2 ? 200 : 40) + (seed >> 29));
            for (int c = 0; c < 3; ++c) picture[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)] = v;
        }
    }
    return picture;
}

// Seconds one memcpy of `bytes` bytes takes between two buffers already in
// use (so neither is paged in during the timing), the mean of enough rounds
// to fill a quarter of a second of processor time. Both buffers start on a
// 64-byte boundary: this machine's string copy runs ten times slower to a
// destination 8 or 16 bytes off one, which would make the floor no floor.
double CopySeconds(std::size_t bytes)
{
    std::vector<std::uint8_t> fromStorage(bytes + 64, 1), toStorage(bytes + 64, 2);
    const auto aligned = [](std::vector<std::uint8_t>& storage) {
        const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
        return storage.data() + ((64 - address % 64) % 64);
    };
    const std::uint8_t* from = aligned(fromStorage);
    std::uint8_t* to = aligned(toStorage);
    std::memcpy(to, from, bytes);
    int rounds = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0;
    do {
        std::memcpy(to, from, bytes);
        benchmark::ClobberMemory();
        ++rounds;
        elapsed = SecondsSince(start);
    } while (elapsed < 0.25 || rounds < 10);
    return elapsed / rounds;
}

// The figure and its copy: per unit in the given scale, and their ratio.
void ReportBesideCopy(benchmark::State& bench, double seconds, double copySeconds, double units, double scale,
                      const char* name, const char* copyName)
{
    bench.counters[name] = seconds * scale / units;
    bench.counters[copyName] = copySeconds * scale / units;
    bench.counters["x_copy"] = seconds / copySeconds;
}

// The mean processor seconds of one `step` over the benchmark's iterations.
template <typename Step>
double TimePerIteration(benchmark::State& bench, Step step)
{
    const Clock::time_point start = Clock::now();
    for (auto _ : bench) step();
    return SecondsSince(start) / static_cast<double>(bench.iterations());
}

int Width(const benchmark::State& bench) { return static_cast<int>(bench.range(0)); }
int Height(const benchmark::State& bench) { return static_cast<int>(bench.range(1)); }

// A state as a window of the benchmark's size has it after creation, with
// the default settings, over a desktop-like picture.
struct CreatedState {
    explicit CreatedState(const benchmark::State& bench) : picture(DesktopLikePicture(Width(bench), Height(bench)))
    {
        InitRelief(state, ReliefSettings(), random, 1, Width(bench), Height(bench), 0, picture.data(), picture.size());
    }
    std::vector<std::uint8_t> picture;
    ReliefState state;
    RuntimeRandom random;
};

// A state with only its size set and its height field built, unsoftened.
struct FieldState {
    explicit FieldState(const benchmark::State& bench) : picture(DesktopLikePicture(Width(bench), Height(bench)))
    {
        state.width = static_cast<std::uint16_t>(Width(bench));
        state.height = static_cast<std::uint16_t>(Height(bench));
        state.lens.lensSize = static_cast<std::uint16_t>(Height(bench) / 2);
        BuildHeightField(state, picture.data(), picture.size(), 0);
    }
    std::vector<std::uint8_t> picture;
    ReliefState state;
};

// The lens square at 3 bytes a pixel, or at 4 (the windows of 32-bit
// displays).
void LensPixelsPerFrame(benchmark::State& bench)
{
    CreatedState created(bench);
    ReliefState& state = created.state;
    state.lensPixelBytes = static_cast<std::uint8_t>(bench.range(2));
    const double frame = TimePerIteration(bench, [&] {
        const ReliefPathPosition position = StepLightPath(state.lens, created.random);
        ComputeReliefFramePixels(state, position);
        benchmark::DoNotOptimize(state.lensPixels.data());
    });
    const double pixels = static_cast<double>(state.lens.lensSize) * state.lens.lensSize;
    ReportBesideCopy(bench, frame, CopySeconds(state.lensPixels.size()), pixels, 1e9, "lens_ns_px", "copy_ns_px");
}

// Window creation with the given Soften (the default is 1): palette ramp,
// lens map, sine table, height field and softening.
void Creation(benchmark::State& bench)
{
    const auto picture = DesktopLikePicture(Width(bench), Height(bench));
    ReliefSettings settings;
    settings.Soften = static_cast<std::int32_t>(bench.range(2));
    const double creation = TimePerIteration(bench, [&] {
        ReliefState state;
        RuntimeRandom random;
        InitRelief(state, settings, random, 1, Width(bench), Height(bench), 0, picture.data(), picture.size());
        benchmark::DoNotOptimize(state.heights.data());
    });
    ReportBesideCopy(bench, creation, CopySeconds(picture.size()), 1, 1e3, "ms", "copy_ms");
}

// The parts of creation one by one: the height field from the picture, one
// softening pass, and the tables (ramp, lens map, sine table).
void HeightField(benchmark::State& bench)
{
    FieldState field(bench);
    const double seconds = TimePerIteration(bench, [&] {
        BuildHeightField(field.state, field.picture.data(), field.picture.size(), 0);
        benchmark::DoNotOptimize(field.state.heights.data());
    });
    ReportBesideCopy(bench, seconds, CopySeconds(field.picture.size()), 1, 1e3, "ms", "copy_ms");
}

void SofteningPass(benchmark::State& bench)
{
    FieldState field(bench);
    ReliefState& state = field.state;
    const std::vector<std::uint16_t> unsoftened = state.heights;
    double seconds = 0;
    for (auto _ : bench) {
        // Each pass starts from the unsoftened field, so none of them finds
        // nothing left to change.
        bench.PauseTiming();
        state.heights = unsoftened;
        bench.ResumeTiming();
        const Clock::time_point start = Clock::now();
        SoftenHeightField(state);
        seconds += SecondsSince(start);
        benchmark::DoNotOptimize(state.heights.data());
    }
    seconds /= static_cast<double>(bench.iterations());
    ReportBesideCopy(bench, seconds, CopySeconds(unsoftened.size() * sizeof unsoftened[0]), 1, 1e3, "ms", "copy_ms");
}

// The frame tables from a softened field, every row's steps included (frames
// build those as they need them).
void FrameTables(benchmark::State& bench)
{
    CreatedState created(bench);
    ReliefState& state = created.state;
    const double seconds = TimePerIteration(bench, [&] {
        BuildReliefFrameTables(state);
        BuildReliefStepRows(state);
        benchmark::DoNotOptimize(state.frameTables.rows.data());
    });
    ReportBesideCopy(bench, seconds, CopySeconds(state.heights.size() * sizeof state.heights[0]), 1, 1e3, "ms", "copy_ms");
}

void Tables(benchmark::State& bench)
{
    ReliefSettings settings;
    settings.ColorCount = 128;
    std::size_t mapBytes = 0;
    const double seconds = TimePerIteration(bench, [&] {
        ReliefState state;
        RuntimeRandom random;
        state.lens.lensSize = static_cast<std::uint16_t>(Height(bench) / 2);
        BuildPaletteRamp(state, settings, random);
        BuildLensMap(state.lens, state.colorCount, settings.Degrees, random);
        mapBytes = state.lens.lensMap.size();
        benchmark::DoNotOptimize(state.lens.lensMap.data());
    });
    ReportBesideCopy(bench, seconds, CopySeconds(mapBytes), 1, 1e3, "ms", "copy_ms");
}

} // namespace

BENCHMARK(LensPixelsPerFrame)
    ->Args({1024, 768, 3})
    ->Args({1920, 1080, 3})
    ->Args({3840, 2160, 3})
    ->Args({1920, 1080, 4})
    ->Args({3840, 2160, 4})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Creation)->Args({3840, 2160, 1})->Args({3840, 2160, 8})->Unit(benchmark::kMillisecond);
BENCHMARK(HeightField)->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(SofteningPass)->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(FrameTables)->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(Tables)->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
