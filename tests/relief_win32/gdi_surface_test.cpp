// The GDI surface draws exactly what the software surface holds, for every
// block width, including those whose rows the platform pads.
#include <gtest/gtest.h>

#include "headless/software_surface.h"
#include "common/win32/gdi_guards.h"
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
        {
            WindowDc dc(window);
            GdiSurface surface(window, dc.dc);
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

TEST(GdiSurface, BlocksWithAPaletteLandAsWithoutAndLeaveTheContextsPalette)
{
    // On a true-colour display the saver's palette changes no pixel; the block
    // is drawn with it realized, and the palette the context held before is
    // held again after (a palette left selected could be deleted under it).
    // A private device context, as the saver window has, keeps its selection
    // from call to call.
    const int width = 64, height = 48;
    HWND window = CreateTopmostPopup("ReliefTestOwnDc", DefWindowProcA, width, height, CS_OWNDC);
    ASSERT_NE(window, nullptr);
    PumpMessages();
    SurfacePalette ramp;
    ramp.colors = {0x010101, 0xC82807};
    ramp.serial = 1;
    GdiSurfaceKeep keep;
    HDC dc = GetDC(window);
    HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
    ReleaseDC(window, dc);

    const int side = 20; // rows of 60 bytes: handed over unpadded
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side * side * 3));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 13 + 5);
    SoftwareSurface expected(width, height);
    expected.PutPixelBlock(30, 20, side, side, pixels.data());
    {
        WindowDc held(window);
        GdiSurface surface(window, held.dc, &keep);
        surface.SelectPalette(ramp);
        ASSERT_NE(keep.palettes.palette, nullptr);
        EXPECT_EQ(GetCurrentObject(held.dc, OBJ_PAL), keep.palettes.palette) << "selected for the block";
        surface.PutPixelBlock(30, 20, side, side, pixels.data());
    }
    const auto shown = ReadWindowPixels(window, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) ASSERT_EQ(shown[static_cast<std::size_t>(y * width + x)], expected.PixelAt(x, y)) << x << "," << y;
    }
    dc = GetDC(window);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), before);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    const HPALETTE made = keep.palettes.palette;
    keep.palettes.Release();
    EXPECT_EQ(GetObjectType(made), 0u) << "selected nowhere, so deleted";
}
