// The GDI surface draws exactly what the software surface holds, for every
// block width, including those whose rows the platform pads.
#include <gtest/gtest.h>

#include "common/software_surface.h"
#include "common/win32/gdi_surface.h"
#include "tests/win32/window_pixels.h"

TEST(GdiSurface, BlocksLandPixelForPixelAsOnTheSoftwareSurface)
{
    const int sizes[][2] = {{152, 112}, {151, 113}, {97, 61}, {33, 20}, {5, 7}, {1, 1}};
    for (const auto& size : sizes) {
        const int width = size[0], height = size[1];
        HWND window = CreatePlainWindow(width, height);
        ASSERT_NE(window, nullptr);
        PumpMessages();
        SoftwareSurface expected(width, height);
        GdiSurface surface(window, static_cast<HPALETTE>(nullptr));
        std::uint32_t seed = static_cast<std::uint32_t>(width * 131 + height);
        // Blocks of odd and even sides, some partly outside the window.
        const int blocks[][3] = {{0, 0, 3}, {2, 1, 5}, {-3, -2, 9}, {width / 2, height / 3, 17}, {width - 4, height - 6, 13}, {1, height / 2, 56}};
        for (const auto& block : blocks) {
            const int side = block[2];
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side * side * 3));
            for (auto& value : pixels) {
                seed = seed * 1103515245u + 12345u;
                value = static_cast<std::uint8_t>(seed >> 23);
            }
            expected.PutPixelBlock(block[0], block[1], side, side, pixels.data());
            surface.PutPixelBlock(block[0], block[1], side, side, pixels.data());
        }
        const auto shown = ReadWindowPixels(window, width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(shown[static_cast<std::size_t>(y * width + x)], expected.PixelAt(x, y)) << width << "x" << height << " at " << x << "," << y;
            }
        }
        DestroyWindow(window);
    }
}

TEST(GdiSurface, RowPaddingRoundTrips)
{
    for (int width : {1, 2, 3, 4, 5, 151, 152}) {
        const int height = 3;
        std::vector<std::uint8_t> packed(static_cast<std::size_t>(width * height * 3));
        for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = static_cast<std::uint8_t>(i * 7 + 1);
        std::vector<std::uint8_t> padded;
        PadPixelRows(packed.data(), width, height, padded);
        EXPECT_EQ(PaddedRowLength(width) % 4, 0u);
        EXPECT_EQ(padded.size(), PaddedRowLength(width) * height);
        std::vector<std::uint8_t> back(packed.size());
        UnpadPixelRows(padded.data(), width, height, back.data());
        EXPECT_EQ(back, packed) << width;
    }
}
