#include <gtest/gtest.h>

#include <vector>

#include "relief/relief_state.h"

namespace {

ReliefState FieldState(int width, int height)
{
    ReliefState state;
    state.width = static_cast<std::uint16_t>(width);
    state.height = static_cast<std::uint16_t>(height);
    state.lens.lensSize = static_cast<std::uint16_t>(height / 2);
    return state;
}

std::vector<std::uint8_t> UniformPicture(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height * 3));
    for (std::size_t i = 0; i < picture.size(); i += 3) {
        picture[i] = b;
        picture[i + 1] = g;
        picture[i + 2] = r;
    }
    return picture;
}

} // namespace

TEST(HeightField, BlackAndWhiteWithAndWithoutInvert)
{
    ReliefState state = FieldState(10, 768); // S = 384, scale 1.9921875
    const auto black = UniformPicture(10, 768, 0, 0, 0);
    const auto white = UniformPicture(10, 768, 255, 255, 255);
    BuildHeightField(state, black.data(), black.size(), 0);
    for (auto h : state.heights) ASSERT_EQ(h, 384);
    BuildHeightField(state, black.data(), black.size(), 1);
    for (auto h : state.heights) ASSERT_EQ(h, 0);
    BuildHeightField(state, white.data(), white.size(), 1);
    for (auto h : state.heights) ASSERT_EQ(h, 384);
    BuildHeightField(state, white.data(), white.size(), 0);
    for (auto h : state.heights) ASSERT_EQ(h, 0);
}

TEST(HeightField, TruncatesTheScaledSumTowardZero)
{
    // S = 7: scale = 765 / 7 = 109.285...; sum 300 -> 2.745 -> 2 (invert),
    // 7 - 2.745 = 4.25 -> 4.
    ReliefState state = FieldState(1, 15);
    const auto picture = UniformPicture(1, 15, 100, 100, 100);
    BuildHeightField(state, picture.data(), picture.size(), 1);
    EXPECT_EQ(state.heights[0], 2);
    BuildHeightField(state, picture.data(), picture.size(), 0);
    EXPECT_EQ(state.heights[0], 4);
    // Only the channel sum counts.
    const auto other = UniformPicture(1, 15, 0, 45, 255);
    BuildHeightField(state, other.data(), other.size(), 0);
    EXPECT_EQ(state.heights[0], 4);
}

TEST(HeightField, RowsFollowThePictureBottomUp)
{
    ReliefState state = FieldState(3, 4); // S = 2
    std::vector<std::uint8_t> picture(3 * 4 * 3, 0);
    // Pixel (x = 2, y = 1) white: picture offset (1 * 3 + 2) * 3.
    for (int c = 0; c < 3; ++c) picture[static_cast<std::size_t>((1 * 3 + 2) * 3 + c)] = 255;
    BuildHeightField(state, picture.data(), picture.size(), 1);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(state.heights[static_cast<std::size_t>(i)], i == 5 ? 2 : 0) << i;
}

TEST(HeightField, ShortOrMissingPictureIsBlackWhereItEnds)
{
    ReliefState state = FieldState(4, 4);
    const auto white = UniformPicture(4, 4, 255, 255, 255);
    // Seven whole pixels and two bytes of the eighth (sum 510 -> 1.33 -> 1).
    BuildHeightField(state, white.data(), 7 * 3 + 2, 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(state.heights[static_cast<std::size_t>(i)], i < 7 ? 2 : (i == 7 ? 1 : 0)) << i;
    BuildHeightField(state, nullptr, 0, 0);
    for (auto h : state.heights) EXPECT_EQ(h, 2);
}

TEST(HeightField, UnderTwoLinesEveryHeightIsZero)
{
    for (int width : {0, 1, 5}) {
        ReliefState state = FieldState(width, 1);
        const auto black = UniformPicture(width, 1, 0, 0, 0);
        BuildHeightField(state, black.data(), black.size(), 0);
        EXPECT_EQ(state.heights.size(), static_cast<std::size_t>(width));
        for (auto h : state.heights) EXPECT_EQ(h, 0);
    }
}

TEST(Softening, FivePointAverageAndZeroBorder)
{
    ReliefState state = FieldState(4, 4);
    state.heights = {1, 2, 3, 4,
                     5, 6, 7, 8,
                     9, 10, 11, 12,
                     13, 14, 15, 16};
    EXPECT_TRUE(SoftenHeightField(state));
    const std::vector<std::uint16_t> expected = {0, 0, 0, 0,
                                                 0, (6 + 2 + 7 + 10 + 5) / 5, (7 + 3 + 8 + 11 + 6) / 5, 0,
                                                 0, (10 + 6 + 11 + 14 + 9) / 5, (11 + 7 + 12 + 15 + 10) / 5, 0,
                                                 0, 0, 0, 0};
    EXPECT_EQ(state.heights, expected);
}

TEST(Softening, PassCountFromTheSetting)
{
    ReliefState base = FieldState(6, 6);
    base.heights.assign(36, 100);

    ReliefState none = base;
    SoftenHeightFieldPasses(none, 0);
    EXPECT_EQ(none.heights, base.heights);
    SoftenHeightFieldPasses(none, -7); // negative: no passes
    EXPECT_EQ(none.heights, base.heights);

    ReliefState two = base, twice = base;
    SoftenHeightFieldPasses(two, 2);
    SoftenHeightField(twice);
    SoftenHeightField(twice);
    EXPECT_EQ(two.heights, twice.heights);
    EXPECT_EQ(two.heights[0], 0);
    // The second pass sees the first pass's zero border.
    EXPECT_EQ(two.heights[7], (100 + 0 + 100 + 100 + 0) / 5);
    EXPECT_EQ(two.heights[14], 100);

    // Narrow fields become all zero after one pass.
    for (int w : {1, 2}) {
        ReliefState narrow = FieldState(w, 8);
        narrow.heights.assign(static_cast<std::size_t>(w * 8), 9);
        SoftenHeightFieldPasses(narrow, 1);
        for (auto h : narrow.heights) EXPECT_EQ(h, 0);
    }
}

TEST(Softening, HugeSettingEndsOnceTheFieldStopsChangingOrAtTheCap)
{
    // A field that dies out: passes stop early, with the same result as doing
    // every pass.
    ReliefState state = FieldState(12, 10);
    state.heights.assign(120, 24);
    ReliefState manual = state;
    for (int pass = 0; pass < 400; ++pass) SoftenHeightField(manual);
    SoftenHeightFieldPasses(state, 2000000000);
    EXPECT_EQ(state.heights, manual.heights);
    for (auto h : state.heights) EXPECT_EQ(h, 0);

    // A large field that would take many thousands of passes to settle stops
    // at the cap instead of hanging the saver's start.
    ReliefState large = FieldState(400, 300);
    large.heights.assign(400 * 300, 150);
    ReliefState capped = large;
    SoftenHeightFieldPasses(large, 2000000000);
    for (int pass = 0; pass < kMaxSoftenPasses; ++pass) SoftenHeightField(capped);
    EXPECT_EQ(large.heights, capped.heights);
}
