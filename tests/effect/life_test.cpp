#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "headless/software_surface.h"
#include "relief/relief_life.h"

namespace {

std::vector<std::uint8_t> StripedPicture(int width, int height)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = ((x / 9 + y / 13) % 3 == 0) ? 255 : static_cast<std::uint8_t>(x * 7 + y);
            for (int c = 0; c < 3; ++c) picture[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)] = v;
        }
    }
    return picture;
}

struct ReliefRun {
    ReliefState state;
    RuntimeRandom random;
    SoftwareSurface surface;
    std::vector<ReliefPathPosition> path;
    ReliefRun(int w, int h, std::uint32_t seed, const ReliefSettings& settings, int frames) : surface(w, h)
    {
        const auto picture = StripedPicture(w, h);
        EXPECT_TRUE(InitRelief(state, settings, random, seed, w, h, 0, picture.data(), picture.size()));
        for (int i = 0; i < frames; ++i) path.push_back(TickRelief(state, random, surface));
    }
};

} // namespace

TEST(ReliefLife, CreationSetsSizesAndDrawsSevenNumbers)
{
    ReliefSettings settings; // UseColor 0: three colour draws, then four path draws
    ReliefRun run(1024, 768, 2024, settings, 0);
    EXPECT_EQ(run.state.width, 1024);
    EXPECT_EQ(run.state.height, 768);
    EXPECT_EQ(run.state.lens.lensSize, 384);
    EXPECT_EQ(run.state.lens.lensHalf, 192);
    EXPECT_EQ(run.state.lens.centerX, 512);
    EXPECT_EQ(run.state.lens.centerY, 384);
    EXPECT_EQ(run.state.colorCount, 64);
    EXPECT_EQ(run.state.lens.sineCount, 180);
    RuntimeRandom expected;
    SeedRuntimeRandom(expected, 2024);
    for (int i = 0; i < 7; ++i) DrawRuntimeRandom(expected);
    EXPECT_EQ(run.random.state, expected.state);

    settings.UseColor = 1; // a chosen colour: only the four path draws
    ReliefRun chosen(1024, 768, 2024, settings, 0);
    SeedRuntimeRandom(expected, 2024);
    for (int i = 0; i < 4; ++i) DrawRuntimeRandom(expected);
    EXPECT_EQ(chosen.random.state, expected.state);
}

TEST(ReliefLife, EachTickDrawsTwoNumbersAndPutsTheSquareAtItsPlace)
{
    ReliefSettings settings;
    ReliefRun run(320, 240, 77, settings, 0);
    for (int frame = 0; frame < 30; ++frame) {
        const RuntimeRandom before = run.random;
        SoftwareSurface fresh(320, 240);
        const ReliefPathPosition p = TickRelief(run.state, run.random, fresh);
        RuntimeRandom expected = before;
        DrawRuntimeRandom(expected);
        DrawRuntimeRandom(expected);
        ASSERT_EQ(run.random.state, expected.state);
        // The square of 120 x 120 lands at column px, top edge 120 - py, its
        // bottom row being lensPixels row 0; everything else stays black.
        const int top = 120 - p.py;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                std::uint32_t want = 0;
                if (x >= p.px && x < p.px + 120 && y >= top && y < top + 120) {
                    const std::size_t at = (static_cast<std::size_t>(119 - (y - top)) * 120 + static_cast<std::size_t>(x - p.px)) * 3;
                    want = run.state.lensPixels[at] | (run.state.lensPixels[at + 1] << 8) | (run.state.lensPixels[at + 2] << 16);
                }
                ASSERT_EQ(fresh.PixelAt(x, y), want) << frame << " " << x << "," << y;
            }
        }
    }
}

TEST(ReliefLife, SameSeedSameFramesOtherSeedOtherFrames)
{
    ReliefSettings settings;
    settings.Soften = 3;
    ReliefRun a(200, 150, 5, settings, 50), b(200, 150, 5, settings, 50), c(200, 150, 6, settings, 50);
    EXPECT_EQ(a.surface.pixels, b.surface.pixels);
    EXPECT_NE(a.surface.pixels, c.surface.pixels);
}

TEST(ReliefLife, OddLensSizeClipsTheLineAboveTheWindow)
{
    // 1050 lines: S = 525, py up to 526, so the top edge reaches -1 and the
    // square's top line falls outside the window.
    ReliefSettings settings;
    settings.Degrees = 180;
    ReliefState state;
    RuntimeRandom random;
    ASSERT_TRUE(InitRelief(state, settings, random, 1, 1400, 1050, 0, nullptr, 0));
    SoftwareSurface surface(1400, 1050);
    int lowestTop = 1 << 20;
    for (int frame = 0; frame < 4000; ++frame) {
        const ReliefPathPosition p = TickRelief(state, random, surface);
        lowestTop = std::min(lowestTop, ReliefSquareTop(state, p));
        ASSERT_LE(p.py, 526);
    }
    EXPECT_EQ(lowestTop, -1);
}

TEST(ReliefLife, FreeReleasesEveryTable)
{
    ReliefSettings settings;
    ReliefRun run(64, 48, 1, settings, 1);
    FreeRelief(run.state);
    EXPECT_TRUE(run.state.heights.empty());
    EXPECT_TRUE(run.state.lens.lensMap.empty());
    EXPECT_TRUE(run.state.lens.sines.empty());
    EXPECT_TRUE(run.state.colors.empty());
    EXPECT_TRUE(run.state.lensPixels.empty());
    // A tick after destruction draws nothing and touches nothing.
    SoftwareSurface surface(64, 48);
    TickRelief(run.state, run.random, surface);
    for (auto pixel : surface.pixels) EXPECT_EQ(pixel, 0u);
}

TEST(ReliefLife, OversizedClientAreasAreHeldAs16BitSizes)
{
    EXPECT_EQ(ReliefDimension(-5), 0);
    EXPECT_EQ(ReliefDimension(0), 0);
    EXPECT_EQ(ReliefDimension(3840), 3840);
    EXPECT_EQ(ReliefDimension(65535), 65535);
    EXPECT_EQ(ReliefDimension(70000), 65535);
}

TEST(ReliefLife, UltraHighDefinitionWindow)
{
    // 3840 x 2160: S = 1080, lensHalf 540, px over 0..2760, py over 0..1080.
    ReliefSettings settings;
    settings.Soften = 8;
    const int width = 3840, height = 2160;
    const auto picture = StripedPicture(width, height);
    ReliefState state;
    RuntimeRandom random;
    ASSERT_TRUE(InitRelief(state, settings, random, 31337, width, height, 0, picture.data(), picture.size()));
    EXPECT_EQ(state.lens.lensSize, 1080);
    SoftwareSurface surface(width, height);
    for (int frame = 0; frame < 3; ++frame) {
        const ReliefPathPosition p = TickRelief(state, random, surface);
        ASSERT_GE(p.px, 0);
        ASSERT_LE(p.px, 2760);
        ASSERT_GE(p.py, 0);
        ASSERT_LE(p.py, 1080);
        // The square's bottom-left pixel is lensPixels' first one.
        const int top = ReliefSquareTop(state, p);
        const std::uint32_t corner = state.lensPixels[0] | (state.lensPixels[1] << 8) | (state.lensPixels[2] << 16);
        EXPECT_EQ(surface.PixelAt(p.px, top + 1079), corner);
        EXPECT_EQ(corner, ((state.colors[0] & 0xFF) << 16) | (state.colors[0] & 0xFF00) | ((state.colors[0] >> 16) & 0xFF));
    }
}
