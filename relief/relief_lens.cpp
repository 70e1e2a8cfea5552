// Palette ramp, lens map, sine table and light path of the relief saver.
#include <algorithm>
#include <cmath>

#include "relief_state.h"

void ClearReliefState(ReliefState& state) { state = ReliefState(); }

std::uint8_t ClampColorCount(std::int32_t colorCountSetting)
{
    int count = static_cast<int>(static_cast<std::uint32_t>(colorCountSetting) & 0xFFu);
    if (count < 2) count = 2;
    if (count > 128) count = 128;
    return static_cast<std::uint8_t>(count);
}

double ReliefRampValue(double baseValue, double step, double steps)
{
    return std::pow(255.0 - baseValue, step / steps) + (baseValue / steps) * step;
}

std::uint8_t RampChannel(int baseValue, int entry, int last)
{
    // Truncation toward zero; the sum never exceeds 255.
    return static_cast<std::uint8_t>(static_cast<int>(ReliefRampValue(baseValue, entry, last)));
}

void BuildPaletteRamp(ReliefState& state, const ReliefSettings& settings, RuntimeRandom& random)
{
    int red, green, blue;
    if (settings.UseColor != 0) {
        red = settings.RGB_Red & 0xFF;
        green = settings.RGB_Green & 0xFF;
        blue = settings.RGB_Blue & 0xFF;
    } else {
        // Three draws in this order: red, green, blue, each 0..254.
        red = DrawRuntimeRandom(random) % 255;
        green = DrawRuntimeRandom(random) % 255;
        blue = DrawRuntimeRandom(random) % 255;
    }
    state.colorCount = ClampColorCount(settings.ColorCount);
    const int last = state.colorCount - 1;
    state.colors.assign(state.colorCount, 0u);
    for (int i = 0; i <= last; ++i) {
        const std::uint32_t r = RampChannel(red, i, last);
        const std::uint32_t g = RampChannel(green, i, last);
        const std::uint32_t b = RampChannel(blue, i, last);
        state.colors[static_cast<std::size_t>(i)] = r + g * 256u + b * 65536u;
    }
}

void BuildSineTable(ReliefLens& lens, std::int32_t degrees)
{
    lens.sineCount = static_cast<std::uint16_t>(static_cast<std::uint32_t>(degrees) & 0xFFFFu);
    if (lens.sineCount < 180) lens.sineCount = 180;
    lens.sines.assign(lens.sineCount, 0.0);
    // The constant as written, not a more precise 2 pi.
    const double step = 6.283185308 / lens.sineCount;
    for (int i = 0; i < lens.sineCount; ++i) lens.sines[static_cast<std::size_t>(i)] = std::sin(i * step);
}

void BuildLensMap(ReliefLens& lens, int colorCount, std::int32_t degrees, RuntimeRandom& random)
{
    const int size = lens.lensSize;
    const int middle = size / 2;
    const double n = colorCount;
    lens.lensMap.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);

    // Outer ring: 0.4 is the single-precision constant, so R1 is exactly 0.4 S
    // when S is a multiple of 5. Inner disc: the light map, N - 1 at the
    // centre falling to 1 at its edge, stored over the ring.
    const int r1 = static_cast<int>(size * static_cast<double>(0.4f));
    const int r2 = static_cast<int>(size * 0.25);
    const double k = 2.5 * n;
    // A value depends on the offsets i and j only through (i + 0.5)^2 and
    // (j + 0.5)^2, which offsets -1 - i and -1 - j give exactly as well, and
    // through their sum, which is the same added either way round: the
    // offsets 0 <= i <= j < R of one eighth are worked out, each in the order
    // the passes write it (the ring's value, then the light's where it
    // reaches), and stored at their mirror places.
    const auto store = [&](int i, int j, std::uint8_t value) {
        for (int row : {middle + i, middle - 1 - i}) {
            for (int column : {middle + j, middle - 1 - j}) {
                // The passes stay inside the square for every size; the check
                // only keeps that a property of this function rather than of
                // its callers.
                if (row >= 0 && row < size && column >= 0 && column < size) {
                    lens.lensMap[static_cast<std::size_t>(row) * static_cast<std::size_t>(size) + static_cast<std::size_t>(column)] = value;
                }
            }
        }
    };
    const int reach = std::max(r1, r2);
    for (int i = 0; i < reach; ++i) {
        for (int j = i; j < reach; ++j) {
            const double d = std::sqrt((j + 0.5) * (j + 0.5) + (i + 0.5) * (i + 0.5));
            int value = -1;
            if (i < r1 && j < r1) {
                double v = k - k * (d / r1) + n;
                if (v >= 2 * n) v = 2 * n - 1;
                if (v >= n) value = static_cast<int>(v);
            }
            if (i < r2 && j < r2) {
                const double v = n - (n - 1) * (d / r2);
                if (v >= 1) value = static_cast<int>(v);
            }
            if (value >= 0) {
                store(i, j, static_cast<std::uint8_t>(value));
                store(j, i, static_cast<std::uint8_t>(value));
            }
        }
    }

    BuildSineTable(lens, degrees);
    lens.lensHalf = static_cast<std::uint16_t>(middle);
    // Four draws in this order; they must not be reordered.
    lens.phaseX = static_cast<float>(DrawRuntimeRandom(random) % lens.sineCount);
    lens.phaseY = static_cast<float>(DrawRuntimeRandom(random) % lens.sineCount);
    lens.speedX = static_cast<float>(DrawRuntimeRandom(random) % 3 + 1);
    lens.speedY = static_cast<float>(DrawRuntimeRandom(random) % 3 + 1);
}

namespace {

// Speed += +/-0.05 (single precision), kept within 1..3.
void JitterSpeed(float& speed, RuntimeRandom& random)
{
    const float jitter = (DrawRuntimeRandom(random) & 1) != 0 ? 0.05f : -0.05f;
    speed = speed + jitter;
    if (speed < 1.0f) {
        speed = 1.0f;
    } else if (speed > 3.0f) {
        speed = 3.0f;
    }
}

void AdvancePhase(float& phase, float speed, std::uint16_t sineCount)
{
    phase = phase + speed;
    if (phase >= static_cast<float>(sineCount)) phase = phase - static_cast<float>(sineCount);
}

// centre + T((centre - half) * sine) - half, the product in double precision.
int PathCoordinate(int center, int half, double sine)
{
    return center + static_cast<int>((center - half) * sine) - half;
}

} // namespace

ReliefPathPosition StepLightPath(ReliefLens& lens, RuntimeRandom& random)
{
    JitterSpeed(lens.speedX, random);
    JitterSpeed(lens.speedY, random);
    AdvancePhase(lens.phaseX, lens.speedX, lens.sineCount);
    AdvancePhase(lens.phaseY, lens.speedY, lens.sineCount);
    ReliefPathPosition position;
    if (lens.sines.empty()) return position;
    const std::size_t ix = static_cast<std::size_t>(lens.phaseX) % lens.sines.size();
    const std::size_t iy = static_cast<std::size_t>(lens.phaseY) % lens.sines.size();
    position.px = PathCoordinate(lens.centerX, lens.lensHalf, lens.sines[ix]);
    position.py = PathCoordinate(lens.centerY, lens.lensHalf, lens.sines[iy]);
    return position;
}
