#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "relief/relief_state.h"

namespace {

ReliefSettings ColourSettings(int red, int green, int blue, int count)
{
    ReliefSettings s;
    s.UseColor = 1;
    s.RGB_Red = red;
    s.RGB_Green = green;
    s.RGB_Blue = blue;
    s.ColorCount = count;
    return s;
}

ReliefLens LensOfSize(int size, int colorCount, int degrees = 10, std::uint32_t seed = 1)
{
    ReliefLens lens;
    lens.lensSize = static_cast<std::uint16_t>(size);
    RuntimeRandom random;
    SeedRuntimeRandom(random, seed);
    BuildLensMap(lens, colorCount, degrees, random);
    return lens;
}

int MapAt(const ReliefLens& lens, int row, int column) { return lens.lensMap[static_cast<std::size_t>(row * lens.lensSize + column)]; }

} // namespace

TEST(PaletteRamp, WorkedRampForBaseColourWithEightColours)
{
    ReliefState state;
    RuntimeRandom random;
    BuildPaletteRamp(state, ColourSettings(156, 164, 34, 8), random);
    ASSERT_EQ(state.colorCount, 8);
    const int red[] = {1, 24, 48, 74, 102, 138, 185, 255};
    const int green[] = {1, 25, 50, 77, 106, 142, 188, 255};
    const int blue[] = {1, 7, 14, 24, 41, 71, 131, 255};
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t c = state.colors[static_cast<std::size_t>(i)];
        EXPECT_EQ(static_cast<int>(c & 0xFF), red[i]) << i;
        EXPECT_EQ(static_cast<int>((c >> 8) & 0xFF), green[i]) << i;
        EXPECT_EQ(static_cast<int>((c >> 16) & 0xFF), blue[i]) << i;
        EXPECT_EQ(c >> 24, 0u);
    }
}

TEST(PaletteRamp, ColourCountTakesLowEightBitsClampedToTwoThrough128)
{
    const std::pair<int, int> cases[] = {{0, 2}, {1, 2}, {2, 2}, {64, 64}, {128, 128}, {129, 128}, {200, 128},
                                         {256, 2}, {300, 44}, {-1, 128}, {-254, 2}};
    for (const auto& c : cases) EXPECT_EQ(ClampColorCount(c.first), c.second) << c.first;
}

TEST(PaletteRamp, OnlyLowEightBitsOfTheBaseColourCountAndEndsAreFixed)
{
    ReliefState a, b;
    RuntimeRandom random;
    BuildPaletteRamp(a, ColourSettings(156 + 256, 164 - 512, 34 + 1024, 64), random);
    BuildPaletteRamp(b, ColourSettings(156, 164, 34, 64), random);
    EXPECT_EQ(a.colors, b.colors);
    for (int base : {0, 1, 100, 254, 255}) {
        ReliefState s;
        BuildPaletteRamp(s, ColourSettings(base, base, base, 128), random);
        EXPECT_EQ(s.colors.front(), 0x010101u) << base;
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_GE(static_cast<int>((s.colors.back() >> (8 * channel)) & 0xFF), 254) << base;
        }
    }
}

TEST(PaletteRamp, RandomBaseColourTakesThreeDrawsModulo255)
{
    RuntimeRandom random, copy;
    SeedRuntimeRandom(random, 777);
    SeedRuntimeRandom(copy, 777);
    ReliefState state;
    ReliefSettings s;
    s.ColorCount = 2;
    BuildPaletteRamp(state, s, random);
    const int red = DrawRuntimeRandom(copy) % 255;
    const int green = DrawRuntimeRandom(copy) % 255;
    const int blue = DrawRuntimeRandom(copy) % 255;
    ReliefState expected;
    BuildPaletteRamp(expected, ColourSettings(red, green, blue, 2), copy);
    EXPECT_EQ(state.colors, expected.colors);
    EXPECT_EQ(DrawRuntimeRandom(random), DrawRuntimeRandom(copy)); // exactly three draws
}

TEST(SineTable, EntryCountAndExactExtremes)
{
    ReliefLens lens;
    BuildSineTable(lens, 10);
    EXPECT_EQ(lens.sineCount, 180);
    EXPECT_EQ(lens.sines[45], 1.0);
    EXPECT_EQ(lens.sines[135], -1.0);
    EXPECT_EQ(lens.sines[0], 0.0);
    BuildSineTable(lens, 360);
    EXPECT_EQ(lens.sineCount, 360);
    EXPECT_EQ(lens.sines.size(), 360u);
    BuildSineTable(lens, 180 + 65536);
    EXPECT_EQ(lens.sineCount, 180);
    BuildSineTable(lens, -1); // low 16 bits 65535
    EXPECT_EQ(lens.sineCount, 65535);
    BuildSineTable(lens, 179);
    EXPECT_EQ(lens.sineCount, 180);
}

TEST(LensMap, TwentyByTwentyWithFourColours)
{
    const char* expected[] = {
        "00000000000000000000", "00000000000000000000", "00000004444440000000", "00000445555554400000",
        "00004556677665540000", "00045667111176654000", "00045611111111654000", "00456711222211765400",
        "00456112233221165400", "00457112333321175400", "00457112333321175400", "00456112233221165400",
        "00456711222211765400", "00045611111111654000", "00045667111176654000", "00004556677665540000",
        "00000445555554400000", "00000004444440000000", "00000000000000000000", "00000000000000000000"};
    const ReliefLens lens = LensOfSize(20, 4);
    for (int r = 0; r < 20; ++r) {
        for (int k = 0; k < 20; ++k) EXPECT_EQ(MapAt(lens, r, k), expected[r][k] - '0') << r << "," << k;
    }
}

TEST(LensMap, MiddleRowOf384WithSixtyFourColours)
{
    const ReliefLens lens = LensOfSize(384, 64);
    const int row = 192;
    for (int k = 0; k <= 38; ++k) EXPECT_EQ(MapAt(lens, row, k), 0) << k;
    EXPECT_EQ(MapAt(lens, row, 39), 64);
    EXPECT_EQ(MapAt(lens, row, 95), 123);
    EXPECT_EQ(MapAt(lens, row, 96), 1);
    EXPECT_EQ(MapAt(lens, row, 287), 1);
    EXPECT_EQ(MapAt(lens, row, 191), 63);
    EXPECT_EQ(MapAt(lens, row, 192), 63);
    EXPECT_EQ(MapAt(lens, row, 288), 123);
    EXPECT_EQ(MapAt(lens, row, 344), 64);
    for (int k = 345; k < 384; ++k) EXPECT_EQ(MapAt(lens, row, k), 0) << k;
}

TEST(LensMap, ZonesHoldForEverySizeAndCount)
{
    for (int size : {0, 1, 2, 3, 5, 6, 7, 11, 20, 37, 100, 525}) {
        for (int n : {2, 3, 64, 128}) {
            const ReliefLens lens = LensOfSize(size, n);
            ASSERT_EQ(lens.lensMap.size(), static_cast<std::size_t>(size * size));
            EXPECT_EQ(lens.lensHalf, size / 2);
            for (int v : lens.lensMap) ASSERT_LT(v, 2 * n) << size << " " << n;
            // The disc keeps clear of the last row and column from S = 6 on.
            if (size >= 6) {
                for (int i = 0; i < size; ++i) {
                    EXPECT_EQ(MapAt(lens, size - 1, i), 0);
                    EXPECT_EQ(MapAt(lens, i, size - 1), 0);
                }
            }
        }
    }
}

TEST(LensMap, DrawsTwoPhasesThenTwoSpeeds)
{
    RuntimeRandom random;
    SeedRuntimeRandom(random, 4242);
    const int draws[] = {DrawRuntimeRandom(random), DrawRuntimeRandom(random), DrawRuntimeRandom(random), DrawRuntimeRandom(random)};
    const ReliefLens lens = LensOfSize(40, 16, 360, 4242);
    EXPECT_EQ(lens.phaseX, static_cast<float>(draws[0] % 360));
    EXPECT_EQ(lens.phaseY, static_cast<float>(draws[1] % 360));
    EXPECT_EQ(lens.speedX, static_cast<float>(draws[2] % 3 + 1));
    EXPECT_EQ(lens.speedY, static_cast<float>(draws[3] % 3 + 1));
}

TEST(LightPath, PhaseWrapsOnceAtTheTableEnd)
{
    ReliefLens lens = LensOfSize(384, 64);
    lens.centerX = 512;
    lens.centerY = 384;
    // Choose the speeds so that they are 1 after this frame's jitter.
    RuntimeRandom random;
    SeedRuntimeRandom(random, 5);
    RuntimeRandom peek = random;
    const float jitterX = (DrawRuntimeRandom(peek) & 1) != 0 ? 0.05f : -0.05f;
    const float jitterY = (DrawRuntimeRandom(peek) & 1) != 0 ? 0.05f : -0.05f;
    lens.speedX = 1.0f - jitterX;
    lens.speedY = 1.0f - jitterY;
    lens.phaseX = 179.5f;
    lens.phaseY = 178.0f;
    StepLightPath(lens, random);
    EXPECT_FLOAT_EQ(lens.speedX, 1.0f);
    EXPECT_FLOAT_EQ(lens.phaseX, 0.5f);
    EXPECT_FLOAT_EQ(lens.phaseY, 179.0f);
}

TEST(LightPath, SpeedsStayInRangeAndPositionsCoverTheWindow)
{
    ReliefLens lens = LensOfSize(384, 64, 10, 99);
    lens.centerX = 512;
    lens.centerY = 384;
    RuntimeRandom random;
    SeedRuntimeRandom(random, 99);
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (int frame = 0; frame < 200000; ++frame) {
        const ReliefPathPosition p = StepLightPath(lens, random);
        ASSERT_GE(lens.speedX, 1.0f);
        ASSERT_LE(lens.speedX, 3.0f);
        ASSERT_GE(lens.speedY, 1.0f);
        ASSERT_LE(lens.speedY, 3.0f);
        ASSERT_GE(lens.phaseX, 0.0f);
        ASSERT_LT(lens.phaseX, 180.0f);
        minX = std::min(minX, p.px);
        maxX = std::max(maxX, p.px);
        minY = std::min(minY, p.py);
        maxY = std::max(maxY, p.py);
    }
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(maxX, 640);
    EXPECT_EQ(minY, 0);
    EXPECT_EQ(maxY, 384);
}

TEST(LightPath, PositionFromTheSineOfThePhases)
{
    ReliefLens lens = LensOfSize(384, 64);
    lens.centerX = 512;
    lens.centerY = 384;
    lens.speedX = lens.speedY = 2.0f;
    lens.phaseX = 10.0f; // -> 12.x
    lens.phaseY = 100.0f;
    RuntimeRandom random;
    SeedRuntimeRandom(random, 3);
    const ReliefPathPosition p = StepLightPath(lens, random);
    const int ix = static_cast<int>(lens.phaseX);
    const int iy = static_cast<int>(lens.phaseY);
    EXPECT_EQ(p.px, 512 + static_cast<int>(320 * lens.sines[static_cast<std::size_t>(ix)]) - 192);
    EXPECT_EQ(p.py, 384 + static_cast<int>(192 * lens.sines[static_cast<std::size_t>(iy)]) - 192);
}
