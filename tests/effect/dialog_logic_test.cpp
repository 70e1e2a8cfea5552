// The relief settings dialog's numbers and texts, and the banner's RLE8 coding.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "headless/banner_rle8.h"
#include "relief/relief_dialog_logic.h"

namespace {

std::uint32_t Grey(int v) { return MakeDialogColor(v, v, v); }

TEST(ColorSlider, StoredCountsMapToPositionsAndBack)
{
    const std::int32_t counts[] = {4, 8, 16, 32, 64};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ColorSliderPosition(counts[i]), i + 1);
        EXPECT_EQ(ColorCountFromSliderPosition(i + 1), counts[i]);
    }
    EXPECT_EQ(ColorCountFromSliderPosition(6), 128);
    // Anything that is not one of the five, powers of two or not, sits at 6.
    for (std::int32_t odd : {128, 100, 2, 3, 0, -4, 256, INT_MIN, INT_MAX}) EXPECT_EQ(ColorSliderPosition(odd), 6) << odd;
    // Positions a trackbar never reports stay at the nearer end.
    EXPECT_EQ(ColorCountFromSliderPosition(0), 4);
    EXPECT_EQ(ColorCountFromSliderPosition(-100), 4);
    EXPECT_EQ(ColorCountFromSliderPosition(7), 128);
    EXPECT_EQ(ColorCountFromSliderPosition(INT_MAX), 128);
}

TEST(DialogLabels, TextsForTheCountAndTheDelay)
{
    EXPECT_EQ(FormatColorCountLabel(100), "100 colors");
    EXPECT_EQ(FormatColorCountLabel(4), "4 colors");
    EXPECT_EQ(FormatColorCountLabel(-7), "-7 colors");
    EXPECT_EQ(FormatDelayLabel(1000), "Delay (1000 ms)");
    EXPECT_EQ(FormatDelayLabel(10), "Delay (10 ms)");
    EXPECT_EQ(FormatColorCountLabel(INT_MIN), "-2147483648 colors");
}

TEST(DialogBaseColor, LowBytesOfTheThreeSettings)
{
    EXPECT_EQ(DialogBaseColor(156, 164, 34), 0x0022A49Cu);
    EXPECT_EQ(DialogBaseColor(0x1FF, -1, 256), 0x0000FFFFu);
}

TEST(PalettePreview, BlackBaseRunsFromOneToTheLastBandBelowWhite)
{
    const PalettePreview p64 = ComputePalettePreview(0, 64, 270);
    ASSERT_EQ(p64.count, 64);
    EXPECT_EQ(p64.bandWidth, 4);
    EXPECT_EQ(p64.bandColors.front(), Grey(1)); // band 0 is (1, 1, 1) whatever the base
    EXPECT_EQ(p64.bandColors.back(), Grey(233));
    EXPECT_EQ(p64.lastColor, Grey(233));
    const PalettePreview p4 = ComputePalettePreview(0, 4, 100);
    EXPECT_EQ(p4.lastColor, Grey(63));
    EXPECT_EQ(ComputePalettePreview(0x00FFFFFF, 4, 100).bandColors.front(), Grey(1));
}

TEST(PalettePreview, BandsOfAKnownBaseColour)
{
    // Base (200, 40, 10), 4 bands: pow(255 - C, i / 4) + C / 4 * i per channel.
    const PalettePreview p = ComputePalettePreview(MakeDialogColor(200, 40, 10), 4, 120);
    ASSERT_EQ(p.bandColors.size(), 4u);
    EXPECT_EQ(p.bandColors[0], MakeDialogColor(1, 1, 1));
    EXPECT_EQ(p.bandColors[1], MakeDialogColor(52, 13, 6));  // 2.72 + 50, 3.83 + 10, 3.96 + 2.5
    EXPECT_EQ(p.bandColors[2], MakeDialogColor(107, 34, 20)); // 7.42 + 100, 14.66 + 20, 15.65 + 5
    EXPECT_EQ(p.bandColors[3], MakeDialogColor(170, 86, 69)); // 20.2 + 150, 56.2 + 30, 61.9 + 7.5
    EXPECT_EQ(p.restLeft, 120);
    EXPECT_EQ(PalettePreviewColorAt(p, 0), p.bandColors[0]);
    EXPECT_EQ(PalettePreviewColorAt(p, 29), p.bandColors[0]);
    EXPECT_EQ(PalettePreviewColorAt(p, 30), p.bandColors[1]);
    EXPECT_EQ(PalettePreviewColorAt(p, 119), p.bandColors[3]);
}

TEST(PalettePreview, RestOfTheStripShowsTheLastBand)
{
    const PalettePreview p = ComputePalettePreview(MakeDialogColor(10, 20, 30), 128, 270);
    EXPECT_EQ(p.bandWidth, 2);
    EXPECT_EQ(p.restLeft, 256);
    for (int x = 256; x < 270; ++x) EXPECT_EQ(PalettePreviewColorAt(p, x), p.lastColor);
    EXPECT_EQ(PalettePreviewColorAt(p, 255), p.bandColors[127]);
    EXPECT_EQ(p.lastColor, p.bandColors[127]);
}

TEST(PalettePreview, StripNarrowerThanTheCountShowsOnlyTheLastBand)
{
    const PalettePreview p = ComputePalettePreview(0, 128, 100);
    EXPECT_EQ(p.bandWidth, 0);
    EXPECT_TRUE(p.bandColors.empty());
    EXPECT_EQ(p.restLeft, 0);
    for (int x : {0, 50, 99}) EXPECT_EQ(PalettePreviewColorAt(p, x), p.lastColor);
    // A hand-edited huge count costs no bands and still has a last colour.
    const PalettePreview huge = ComputePalettePreview(0, INT_MAX, 270);
    EXPECT_TRUE(huge.bandColors.empty());
    EXPECT_EQ(huge.lastColor, Grey(254)); // pow(255, 1 - 1 / n) stays just below 255
}

TEST(PalettePreview, CountOfZeroOrLessPreviewsTheSaversOwnRampSize)
{
    // 0 and 1 and 2 all give the saver's 2 colours; -1 (low byte 255) its 128.
    const PalettePreview zero = ComputePalettePreview(0, 0, 270);
    EXPECT_EQ(zero.count, 2);
    EXPECT_EQ(zero.bandWidth, 135);
    EXPECT_EQ(zero.bandColors.front(), Grey(1));
    EXPECT_EQ(ComputePalettePreview(0, -1, 270).count, 128);
    EXPECT_EQ(ComputePalettePreview(0, -254, 270).count, 2);
    EXPECT_EQ(ComputePalettePreview(0, INT_MIN, 270).count, 2);
    // A strip of no width has no bands and no fault.
    EXPECT_EQ(ComputePalettePreview(0, 0, 0).bandWidth, 0);
    EXPECT_EQ(ComputePalettePreview(0, 4, -5).bandWidth, 0);
}

TEST(BannerPlace, CentredAndCutOnBothSidesWhenNarrow)
{
    EXPECT_EQ(BannerLeft(318, 260), 29);
    EXPECT_EQ(BannerLeft(260, 260), 0);
    EXPECT_EQ(BannerLeft(200, 260), -30);
    EXPECT_EQ(BannerLeft(201, 260), -29); // truncation toward zero
}

std::vector<std::uint8_t> RoundTrip(const std::vector<std::uint8_t>& pixels, int width, int height, bool& ok)
{
    const std::vector<std::uint8_t> coded = EncodeRle8(pixels.data(), width, height);
    std::vector<std::uint8_t> decoded;
    ok = DecodeRle8(coded.data(), coded.size(), width, height, decoded);
    return decoded;
}

TEST(BannerRle8, KnownRowsEncodeAsRunsAbsoluteRunsAndMarks)
{
    // Two rows, stored bottom-up: the second given row comes first.
    const std::vector<std::uint8_t> pixels = {
        1, 2, 3, 3, 3, 3, 4, 5,       // top: 1 2 and 4 5 too short for absolute runs
        7, 7, 7, 7, 7, 7, 7, 7,       // bottom: one run
    };
    const std::vector<std::uint8_t> coded = EncodeRle8(pixels.data(), 8, 2);
    const std::vector<std::uint8_t> expected = {8, 7, 0, 0, 1, 1, 1, 2, 4, 3, 1, 4, 1, 5, 0, 1};
    EXPECT_EQ(coded, expected);

    const std::vector<std::uint8_t> literal = {9, 8, 7, 6, 6, 6};
    const std::vector<std::uint8_t> literalCoded = EncodeRle8(literal.data(), 6, 1);
    const std::vector<std::uint8_t> literalExpected = {0, 3, 9, 8, 7, 0, 3, 6, 0, 1}; // odd run padded
    EXPECT_EQ(literalCoded, literalExpected);
}

TEST(BannerRle8, RowsWiderThanOneRunAndVariedPicturesRoundTrip)
{
    bool ok = false;
    std::vector<std::uint8_t> flat(260 * 3, 42);
    EXPECT_EQ(RoundTrip(flat, 260, 3, ok), flat);
    EXPECT_TRUE(ok);

    std::vector<std::uint8_t> noise(600 * 5);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < noise.size(); ++i) {
        state = state * 214013u + 2531011u;
        // Mostly runs of varying length, some noise: every coding path.
        noise[i] = (state >> 16) % 5 == 0 ? static_cast<std::uint8_t>(state >> 24) : static_cast<std::uint8_t>(i / 7 % 3);
    }
    EXPECT_EQ(RoundTrip(noise, 600, 5, ok), noise);
    EXPECT_TRUE(ok);

    std::vector<std::uint8_t> ramp(300);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(RoundTrip(ramp, 300, 1, ok), ramp); // absolute runs longer than 255 split
    EXPECT_TRUE(ok);
    for (int width : {1, 2, 3, 4}) {
        std::vector<std::uint8_t> small(static_cast<std::size_t>(width) * 2);
        for (std::size_t i = 0; i < small.size(); ++i) small[i] = static_cast<std::uint8_t>(i * 37);
        EXPECT_EQ(RoundTrip(small, width, 2, ok), small) << width;
        EXPECT_TRUE(ok);
    }
}

TEST(BannerRle8, DecoderRejectsCutAndOverflowingStreams)
{
    std::vector<std::uint8_t> pixels;
    const std::uint8_t cut[] = {4, 1, 0, 3, 9};
    EXPECT_FALSE(DecodeRle8(cut, sizeof cut, 8, 1, pixels));
    const std::uint8_t noEnd[] = {4, 1};
    EXPECT_FALSE(DecodeRle8(noEnd, sizeof noEnd, 8, 1, pixels));
    const std::uint8_t tooLong[] = {9, 1, 0, 1};
    EXPECT_FALSE(DecodeRle8(tooLong, sizeof tooLong, 8, 1, pixels));
    const std::uint8_t tooHigh[] = {0, 0, 0, 0, 1, 1, 0, 1};
    EXPECT_FALSE(DecodeRle8(tooHigh, sizeof tooHigh, 8, 2, pixels));
    const std::uint8_t delta[] = {0, 2, 2, 0, 2, 5, 0, 1};
    ASSERT_TRUE(DecodeRle8(delta, sizeof delta, 4, 1, pixels));
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 0, 5, 5}));
}

} // namespace
