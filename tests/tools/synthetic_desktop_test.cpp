#include "headless/synthetic_desktop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

TEST(SyntheticDesktop, EverySizeFillsExactlyItsPicture)
{
    // Under the sanitizer build any write outside the image is caught here.
    const int sizes[][2] = {{0, 0}, {0, 9}, {9, 0}, {1, 1}, {3, 2}, {7, 5}, {152, 112}, {640, 8}, {8, 640}, {65535, 1}, {1, 65535}, {3840, 2160}};
    for (const auto& s : sizes) {
        const RgbImage img = MakeSyntheticDesktop(s[0], s[1]);
        EXPECT_EQ(s[0], img.width);
        EXPECT_EQ(s[1], img.height);
        EXPECT_EQ(static_cast<std::size_t>(s[0]) * s[1] * 3, img.rgb.size());
        EXPECT_EQ(img.rgb.size(), SyntheticDesktopPicture(s[0], s[1]).size());
    }
    EXPECT_TRUE(MakeSyntheticDesktop(-5, 10).rgb.empty());
}

TEST(SyntheticDesktop, HasStructureAndIsRepeatable)
{
    const RgbImage a = MakeSyntheticDesktop(320, 240);
    EXPECT_EQ(a.rgb, MakeSyntheticDesktop(320, 240).rgb);
    std::set<std::uint32_t> colors;
    std::size_t white = 0, black = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        const std::uint32_t c = (static_cast<std::uint32_t>(a.rgb[i]) << 16) | (a.rgb[i + 1] << 8) | a.rgb[i + 2];
        colors.insert(c);
        white += c == 0xFFFFFF;
        black += c == 0;
    }
    // Gradients, windows and text: many colours, and both text inks present.
    EXPECT_GT(colors.size(), 50u);
    EXPECT_GT(white, 1000u);
    EXPECT_GT(black, 500u);
    // The taskbar: the bottom line is window-face grey across the width.
    const std::size_t last = (static_cast<std::size_t>(239) * 320) * 3;
    EXPECT_EQ(192, a.rgb[last + 3 * 160]);
    EXPECT_EQ(192, a.rgb[last + 3 * 160 + 2]);
}

TEST(SyntheticDesktop, FontCoversTextCharacters)
{
    const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,:;!?-+=/()[]<>_'\"#*%&@$";
    std::set<std::vector<std::uint8_t>> shapes;
    for (char c : text) {
        std::uint8_t rows[7] = {};
        ASSERT_TRUE(FontGlyph(c, rows)) << c;
        for (std::uint8_t r : rows) EXPECT_EQ(0, r & ~0x1F) << c; // five columns only
        shapes.insert(std::vector<std::uint8_t>(rows, rows + 7));
    }
    EXPECT_EQ(text.size(), shapes.size()); // no two characters look alike
    std::uint8_t lower[7], upper[7];
    ASSERT_TRUE(FontGlyph('q', lower));
    ASSERT_TRUE(FontGlyph('Q', upper));
    EXPECT_EQ(0, std::memcmp(lower, upper, 7));
    EXPECT_FALSE(FontGlyph(' ', lower));
    EXPECT_FALSE(FontGlyph('\x80', lower));
}
