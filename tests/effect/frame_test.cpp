#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "relief/relief_life.h"
#include "relief/relief_state.h"

namespace {

// A state whose colour i is the value i in the red byte, so a pixel's red byte
// reads back as its colour index.
ReliefState IndexState(int width, int height, int colorCount)
{
    ReliefState state;
    state.width = static_cast<std::uint16_t>(width);
    state.height = static_cast<std::uint16_t>(height);
    state.lens.lensSize = static_cast<std::uint16_t>(height / 2);
    state.lens.centerX = static_cast<std::uint16_t>(width / 2);
    state.lens.centerY = static_cast<std::uint16_t>(height / 2);
    state.colorCount = static_cast<std::uint8_t>(colorCount);
    for (int i = 0; i < colorCount; ++i) state.colors.push_back(static_cast<std::uint32_t>(i) | 0xAB0000u);
    RuntimeRandom random;
    BuildLensMap(state.lens, colorCount, 10, random);
    state.heights.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return state;
}

int IndexAt(const ReliefState& state, int r, int k)
{
    const std::size_t at = (static_cast<std::size_t>(r) * state.lens.lensSize + static_cast<std::size_t>(k)) * 3;
    EXPECT_EQ(state.lensPixels[at], 0xAB);    // blue byte first
    EXPECT_EQ(state.lensPixels[at + 1], 0x00); // then green
    return state.lensPixels[at + 2];          // then red
}

// The frame rules written out plainly, for positions where every sampled pixel
// and its neighbours lie inside the field.
int ReferenceIndex(const ReliefState& s, int px, int py, int r, int k)
{
    const int size = s.lens.lensSize;
    const int n = s.colorCount;
    const int m = s.lens.lensMap[static_cast<std::size_t>(r * size + k)];
    if (m == 0) return 0;
    const int x = px + k, y = py + r;
    const auto h = [&](int hx, int hy) { return static_cast<int>(s.heights[static_cast<std::size_t>(hy * s.width + hx)]); };
    int gx = static_cast<std::int16_t>(h(x + 1, y) - h(x, y) + k);
    int gy = static_cast<std::int16_t>(h(x, y + 1) - h(x, y) + r);
    if (gx < 0) gx = 0;
    if (gx >= size) gx = size - 1;
    if (gy < 0) gy = 0;
    if (gy >= size) gy = size - 1;
    const int v = s.lens.lensMap[static_cast<std::size_t>(gy * size + gx)];
    int o = v < n ? v : 1;
    if (m >= n && o > m - n) o = m - n;
    return o;
}

} // namespace

TEST(ReliefFrame, FlatGroundShowsTheLightsOwnProfile)
{
    ReliefState state = IndexState(40, 40, 4); // S = 20
    ComputeReliefFramePixels(state, {10, 10});
    for (int r = 0; r < 20; ++r) {
        for (int k = 0; k < 20; ++k) {
            const int m = state.lens.lensMap[static_cast<std::size_t>(r * 20 + k)];
            const int expected = m == 0 ? 0 : (m < 4 ? m : (m == 4 ? 0 : 1));
            ASSERT_EQ(IndexAt(state, r, k), expected) << r << "," << k;
        }
    }
}

TEST(ReliefFrame, SlopesShiftTheLookUpAndGradientsClampToTheSquare)
{
    ReliefState state = IndexState(64, 64, 16); // S = 32
    std::uint32_t seed = 12345;
    for (int trial = 0; trial < 40; ++trial) {
        // Random fields, from gentle to steeper than the square.
        const int range = trial < 20 ? 4 : 200;
        for (auto& h : state.heights) {
            seed = seed * 1103515245u + 12345u;
            h = static_cast<std::uint16_t>((seed >> 16) % static_cast<std::uint32_t>(range));
        }
        const int px = trial % 16, py = (trial * 7) % 16;
        ComputeReliefFramePixels(state, {px, py});
        for (int r = 0; r < 32; ++r) {
            for (int k = 0; k < 32; ++k) ASSERT_EQ(IndexAt(state, r, k), ReferenceIndex(state, px, py, r, k)) << trial << ":" << r << "," << k;
        }
    }
}

TEST(ReliefFrame, AStepTowardTheNextColumnBrightensOrDarkens)
{
    ReliefState state = IndexState(40, 40, 4);
    // One raised pixel under lens row 9, column 9 (light value 3). The pixel
    // before it faces the rise and looks one column on: 2 becomes 3. The raised
    // pixel falls toward both neighbours and looks one step back in each: 2.
    state.heights[static_cast<std::size_t>((10 + 9) * 40 + 10 + 9)] = 1;
    ComputeReliefFramePixels(state, {10, 10});
    EXPECT_EQ(IndexAt(state, 9, 8), 3);
    EXPECT_EQ(IndexAt(state, 9, 9), 2);
    EXPECT_EQ(IndexAt(state, 9, 10), 3); // untouched: flat to its right and above
}

TEST(ReliefFrame, IndexStaysInRangeForEveryCount)
{
    for (int n : {2, 3, 7, 64, 128}) {
        ReliefState state = IndexState(90, 60, n);
        std::uint32_t seed = static_cast<std::uint32_t>(n);
        for (auto& h : state.heights) {
            seed = seed * 69069u + 1u;
            h = static_cast<std::uint16_t>((seed >> 20) % 31u);
        }
        ComputeReliefFramePixels(state, {20, 10});
        for (int r = 0; r < 30; ++r) {
            for (int k = 0; k < 30; ++k) ASSERT_LT(IndexAt(state, r, k), n);
        }
    }
}

TEST(ReliefFrame, TinyAndNarrowWindowsStayInsideEveryBuffer)
{
    // Run under the sanitizers: any read or write outside the height field,
    // the lens map or the pixel block fails the test.
    const int sizes[][2] = {{0, 0}, {1, 1}, {0, 9}, {9, 0}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {11, 11}, {2, 11},
                            {5, 10}, {1, 12}, {7, 13}, {13, 12}, {30, 100}, {1, 300}, {152, 112}, {101, 77}};
    for (const auto& size : sizes) {
        for (std::int32_t soften : {0, 1}) {
            ReliefSettings settings;
            settings.Soften = soften;
            settings.ColorCount = 8;
            ReliefState state;
            RuntimeRandom random;
            const std::size_t bytes = static_cast<std::size_t>(size[0] * size[1] * 3);
            std::vector<std::uint8_t> picture(bytes);
            for (std::size_t i = 0; i < bytes; ++i) picture[i] = static_cast<std::uint8_t>((i * 37) ^ (i >> 3));
            ASSERT_TRUE(InitRelief(state, settings, random, 7, size[0], size[1], 0, picture.data(), picture.size()));
            SoftwareSurface surface(size[0], size[1]);
            for (int frame = 0; frame < 400; ++frame) {
                TickRelief(state, random, surface);
                // Every pixel of the block is one of the ramp's colours.
                for (std::size_t i = 0; i + 2 < state.lensPixels.size(); i += 3) {
                    const std::uint32_t c = state.lensPixels[i + 2] | (state.lensPixels[i + 1] << 8) | (state.lensPixels[i] << 16);
                    ASSERT_NE(std::find(state.colors.begin(), state.colors.end(), c), state.colors.end());
                }
            }
        }
    }
}

TEST(ReliefFrame, NarrowWindowSlidesTheLensPastTheLeftEdge)
{
    ReliefSettings settings;
    ReliefState state;
    RuntimeRandom random;
    ASSERT_TRUE(InitRelief(state, settings, random, 11, 100, 800, 0, nullptr, 0));
    // S = 400, lensHalf 200, centreX 50: px runs over -300..0.
    int minX = 1 << 20, maxX = -(1 << 20);
    SoftwareSurface surface(100, 800);
    for (int frame = 0; frame < 3000; ++frame) {
        const ReliefPathPosition p = TickRelief(state, random, surface);
        minX = std::min(minX, p.px);
        maxX = std::max(maxX, p.px);
    }
    EXPECT_GE(minX, -300);
    EXPECT_LE(maxX, 0);
    EXPECT_LT(minX, -250);
}

namespace {

// Every 4-byte pixel holds the 3-byte pixel's bytes and then 0.
void ExpectSamePixels(const std::vector<std::uint8_t>& bgr, const std::vector<std::uint8_t>& bgrx, const std::string& where)
{
    ASSERT_EQ(bgrx.size(), bgr.size() / 3 * 4) << where;
    for (std::size_t i = 0, j = 0; i < bgr.size(); i += 3, j += 4) {
        const bool same = bgrx[j] == bgr[i] && bgrx[j + 1] == bgr[i + 1] && bgrx[j + 2] == bgr[i + 2] && bgrx[j + 3] == 0;
        ASSERT_TRUE(same) << where << " pixel " << i / 3;
    }
}

} // namespace

TEST(ReliefFrame, CreationTablesDrawWhatTheRuleDraws)
{
    // Desktops of flat blocks with hard edges and noise, so that gentle and
    // steep pixels meet in every row; and at the end fields of any 16-bit
    // height, where the gradient's 16-bit wraparound matters. Each frame is
    // drawn through the tables and again without them (the rule as written,
    // checked against the plain rules above), and through the tables at 4
    // bytes a pixel. 40 x 300 is narrower than half its height, so its
    // squares reach past the field's edge.
    const int sizes[][2] = {{152, 112}, {151, 113}, {40, 300}, {640, 480}, {1920, 1080}};
    for (const auto& size : sizes) {
        const int width = size[0], height = size[1];
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height * 3));
        std::uint32_t seed = static_cast<std::uint32_t>(width);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int v = ((x / 23 + y / 17) % 2 ? 210 : 30) + static_cast<int>(seed >> 28);
                for (int c = 0; c < 3; ++c) picture[static_cast<std::size_t>((y * width + x) * 3 + c)] = static_cast<std::uint8_t>(v);
            }
        }
        for (std::int32_t soften : {0, 1, 3}) {
            ReliefSettings settings;
            settings.Soften = soften;
            ReliefState state;
            RuntimeRandom random;
            ASSERT_TRUE(InitRelief(state, settings, random, 3, width, height, 0, picture.data(), picture.size()));
            ASSERT_FALSE(state.frameTables.rows.empty());
            ReliefState plain = state;
            plain.frameTables = ReliefFrameTables();
            ReliefState wide = state;
            wide.lensPixelBytes = 4;
            for (int frame = 0; frame < 12; ++frame) {
                const ReliefPathPosition p = StepLightPath(state.lens, random);
                ComputeReliefFramePixels(state, p);
                ComputeReliefFramePixels(plain, p);
                ComputeReliefFramePixels(wide, p);
                const std::string where = std::to_string(width) + "x" + std::to_string(height) + " soften " + std::to_string(soften) + " frame " + std::to_string(frame);
                ASSERT_EQ(state.lensPixels, plain.lensPixels) << where;
                ExpectSamePixels(state.lensPixels, wide.lensPixels, where);
            }
            // A tick lands the same on a surface either way.
            SoftwareSurface narrowSurface(width, height), wideSurface(width, height);
            wide.lens = state.lens;
            RuntimeRandom same = random;
            TickRelief(state, random, narrowSurface);
            TickRelief(wide, same, wideSurface);
            ASSERT_EQ(narrowSurface.pixels, wideSurface.pixels) << width << "x" << height;
        }
    }
    ReliefState state;
    RuntimeRandom random;
    ASSERT_TRUE(InitRelief(state, ReliefSettings(), random, 9, 300, 200, 0, nullptr, 0));
    std::uint32_t seed = 77;
    for (int trial = 0; trial < 6; ++trial) {
        for (auto& h : state.heights) {
            seed = seed * 1103515245u + 12345u;
            h = static_cast<std::uint16_t>(trial % 2 == 0 ? seed >> 16 : (seed >> 16) % 6u + 1000u * static_cast<std::uint32_t>(trial));
        }
        BuildReliefFrameTables(state);
        ReliefState plain = state;
        plain.frameTables = ReliefFrameTables();
        const ReliefPathPosition p = {trial * 9, trial * 5};
        ComputeReliefFramePixels(state, p);
        ComputeReliefFramePixels(plain, p);
        ASSERT_EQ(state.lensPixels, plain.lensPixels) << "trial " << trial;
    }
    // Changing the field through its procedures drops the tables made from
    // the old one.
    SoftenHeightField(state);
    EXPECT_TRUE(state.frameTables.rows.empty());
    BuildReliefFrameTables(state);
    BuildHeightField(state, nullptr, 0, 0);
    EXPECT_TRUE(state.frameTables.rows.empty());
}
